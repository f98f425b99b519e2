#include "tools/file_report.h"

#include <gtest/gtest.h>

#include <map>

#include "common/text.h"
#include "model/model.h"
#include "platform/files.h"
#include "support/fixed_facts.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::FixedFacts;

using test::ReadFileBytes;

// Pictures whose bytes name what they show.
class NamedPictures : public ReportPictures {
 public:
  bool thumbnail = true;
  std::vector<std::string> asked;
  std::optional<std::string> LibraryThumbnailJpeg(const std::string& png) override {
    asked.push_back(png);
    return thumbnail ? std::optional<std::string>("THUMB") : std::nullopt;
  }
  std::string MapPictureJpeg(const std::string& file) override { return "JPEG " + file; }
};

MaterialRec Maps(const std::string& name, const std::string& texture, const std::string& bump,
                 const std::string& transparency) {
  MaterialRec m;
  m.Name = name;
  m.TextureMap = texture;
  m.BumpMap = bump;
  m.TransparencyMap = transparency;
  return m;
}

class FileReport : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModel();
    gObjects = {ObjectRec{"Figure 1",
                          {Maps("a", "/maps/gone.jpg", "/maps/b<ump>.jpg", "NO_MAP"),
                           Maps("b", "/maps/skin.jpg", "no_map", "/maps/skin.jpg"),
                           Maps("c", "/maps/skin.jpg", "/maps/b<ump>.jpg", "")}}};
    gPictureSizes = {StringPairRec{"/MAPS/Skin.jpg", "512 X 256"}};
    facts.files["/docs/Fig&Co.cr2"] = FileFacts{123456, {2024, 3, 5, 14, 7, 9}};
    facts.files["/maps/skin.jpg"] = FileFacts{2345000, {2024, 1, 2, 0, 0, 0}};
    facts.files["/maps/b<ump>.jpg"] = FileFacts{999, {2023, 12, 31, 23, 59, 59}};
    request.reportPath = dir.file("Fig.htm");
    request.fileName = "/docs/Fig&Co.cr2";
    request.readVersion = "4<b>";
    request.labels = FileInfoLabels{"Fig&Co.cr2", "Character (CR2)",
                                    "123,5 KB",   "1",
                                    "3",          "N/A",
                                    "N/A",        "N/A",
                                    "N/A",        "N/A",
                                    "N/A",        "2",
                                    "1",          "0",
                                    "1"};
  }
  void TearDown() override { ResetModel(); }
  std::string Picture(const std::string& name) {
    return ReadFileBytes(dir.file("Fig_Images/" + name + ".jpg"));
  }

  test::TempDir dir;
  FixedFacts facts;
  NamedPictures pictures;
  ReportRequest request;
  const DisplayLocale comma{",", "%d.%m.%Y", "%H:%M:%S"};
};

TEST_F(FileReport, PageAndPicturesAsLaidOutAndAFailureWritesNoPage) {
  ASSERT_EQ(WriteFileReport(request, facts, comma, pictures), "");
  EXPECT_EQ(ReadFileBytes(request.reportPath), ReadFileBytes(VANDREL_TEST_DATA "/report/fig.htm"));
  EXPECT_EQ(pictures.asked, std::vector<std::string>{"/docs/Fig&Co.png"});
  EXPECT_EQ((std::vector<std::string>{Picture("thumbnail"), Picture("tex 1"), Picture("bump 0"),
                                      Picture("transparency 0")}),
            (std::vector<std::string>{"THUMB", "JPEG /maps/skin.jpg", "JPEG /maps/b<ump>.jpg",
                                      "JPEG /maps/skin.jpg"}));
  EXPECT_FALSE(FileExists(dir.file("Fig_Images/tex 0.jpg")));

  // Without pictures: no folder.
  pictures.thumbnail = false;
  for (MaterialRec& m : gObjects[0].Materials.Edit())
    m = Maps(m.Name.str(), "/maps/gone.jpg", "NO_MAP", "NO_MAP");
  request.reportPath = dir.file("plain.report.htm");
  ASSERT_EQ(WriteFileReport(request, facts, comma, pictures), "");
  const std::string page = ReadFileBytes(request.reportPath);
  EXPECT_NE(
      page.find("<body text=\"#033D5B\">\r\n<h3><font size=\"3\" face=\"Verdana, Arial, Helvetica, sans - "
                "serif\">Fig&amp;Co.cr2</font></h3>\r\n<font size=\"2\""),
      std::string::npos);
  EXPECT_NE(page.find("File not found"), std::string::npos);
  for (const char* none :
       {"<em>No bump maps</em>", "<em>No reflection maps</em>", "<em>No transparency maps</em>"})
    EXPECT_NE(page.find(none), std::string::npos) << none;
  EXPECT_FALSE(FolderExists(dir.file("plain.report_Images")));

  // A picture folder that cannot be made: the error is told, the old page stays.
  pictures.thumbnail = true;
  const std::string oldPage = dir.write("again/Fig.htm", "old page");
  dir.write("again/Fig_Images", "a file in the way");
  request.reportPath = oldPage;
  EXPECT_NE(WriteFileReport(request, facts, comma, pictures), "");
  EXPECT_EQ(ReadFileBytes(oldPage), "old page");
  // A browser reads a backslash in a link as "/": the folder's is escaped.
  request.reportPath = dir.file("back\\slash #1.htm");
  ASSERT_EQ(WriteFileReport(request, facts, comma, pictures), "");
  EXPECT_NE(ReadFileBytes(request.reportPath).find("<img src=\"back%5Cslash %231_Images/thumbnail.jpg\">"),
            std::string::npos);
  EXPECT_EQ(ReadFileBytes(dir.file("back\\slash #1_Images/thumbnail.jpg")), "THUMB");
  EXPECT_EQ(ReportImagesFolderName("/r/Fig.htm"), "Fig_Images");
  EXPECT_EQ(ReportImagesFolderName("/r/noext"), "noext_Images");
  EXPECT_EQ(HtmlEscape("<a href=\"x\">&</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;");
}

}  // namespace
}  // namespace vandrel
