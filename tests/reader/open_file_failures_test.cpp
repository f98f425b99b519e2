// Files the reader refuses or gives up on, and cancelled opens: one error
// report, and the document left empty or as it was.
#include <gtest/gtest.h>

#include "common/text.h"
#include "model/model.h"
#include "open_file_fixture.h"
#include "reader/channel_reader.h"
#include "reader/poser_file_reader.h"

namespace vandrel::test {
namespace {

TEST_F(OpenFileTest, ShortFilesAreNotRefusedForTheirSize) {
  // The version block ends in the last few characters; the file is far
  // shorter than the first reads of the header and the prop scan.
  const std::string tiny =
      "{\nversion\n{\nnumber 4.01\n}\nactor BODY:1\n{\n}\nactor BODY:1\n{\nsetGeomHandlerOffset 0 0 0\n}\n"
      "figure\n{\nfigureType 1\nmaterial x\n{\nKdColor 1 1 1 1\n}\n}\n}";
  for (LineEnds ends : kAllLineEnds) {
    ResetModel();
    gState.LoadProps = true;
    const OpenFileResult r = OpenText("tiny.cr2", WithLineEnds(tiny, ends), kCr2);
    ASSERT_TRUE(r.ok) << r.errorReport;
    EXPECT_EQ(MaterialNames(0), std::vector<std::string>{"x"});
  }
  ResetModel();
  const OpenFileResult r = OpenText("v.pz2", "{\nversion\n{\nnumber 4.01\n}\n}", kPz2);
  ASSERT_TRUE(r.ok) << r.errorReport;
  EXPECT_TRUE(r.noMaterialData);
}

TEST_F(OpenFileTest, EveryFailureEndsInTheOneErrorReportAndAnEmptyDocument) {
  struct Case {
    std::string name, text;
    int type;
    int number;
    std::string description;
  };
  const std::string head = "{\nversion\n{\nnumber 4\n}\n";
  const Case cases[] = {
      {"nobrace.pz2", "{\nversion\nnumber 4.01\n", kPz2, 62, "Input past end of file"},
      {"nokey.cr2", "{\nversion\n{\nnumber 4.01\n}\nfigure\n{\nfigureType 1\nmaterial a\n{\n}\n}\n}", kCr2,
       63, "Bad record number"},
      {"overflow.pz2", "{\nversion\n{\nnumber 4\n}\nfigure\n{\nmaterial a\n{\nKdColor 1 200 0 1\n}\n}\n}",
       kPz2, 6, "Overflow"},
      {"noline.pz2", "{\nversion\n{\nnumber 4\n}\nfigure\n{\nmaterial a}", kPz2, 5,
       "Invalid procedure call or argument"},
      // A number too large for a double is refused wherever it stands, never
      // kept as an infinity (a value of none of the three also fails alike).
      {"bigkey.pz2", head + "actor a\n{\nchannels\n{\nvalueParm v\n{\nkeys\n{\nk  0  -1e999\n}\n}\n}\n}\n}\n",
       kPz2, 6, "Overflow"},
      {"bigthigh.pz2", head + "thighLength 1e300\nactor a\n{\n}\n}\n", kPz2, 6, "Overflow"},
      {"bigtmin.pz2", head + "figure\n{\nmaterial a\n{\ntMin 1e999\n}\n}\n}\n", kPz2, 6, "Overflow"},
      {"bigstrength.pz2", head + "figure\n{\nmaterial a\n{\nTextureColor 1 1 1 2e999\n}\n}\n}\n", kPz2, 6,
       "Overflow"},
      {"bigversion.pz2", "{\nversion\n{\nnumber 1e400\n}\nfigure\n{\nmaterial a\n{\n}\n}\n}\n", kPz2, 6,
       "Overflow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetModel();
    gObjectList = {"left over"};
    host.messages.clear();
    const OpenFileResult r = OpenText(c.name, c.text, c.type, false,
                                      [](std::string_view text, Host& h) { ReadObjectPart(text, h); });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorNumber, c.number);
    EXPECT_TRUE(gState.ReadError);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Error in the OpenFile function\r\n" + c.description +
                                         ", error number " + std::to_string(c.number) +
                                         "\r\nCode line number " + std::to_string(r.errorStep));
    EXPECT_EQ(host.messages[0].title, "Vandrel");
    EXPECT_EQ(host.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(r.channelsOff && r.noMaterialData);
    EXPECT_FALSE(r.enableSaveAs || r.selectFirstObject || r.enableExportMtl);
    EXPECT_TRUE(gObjects.size() == 1 && gObjects[0].Name.empty() && gObjects[0].Materials.empty());
    EXPECT_TRUE(gObjectList.empty());
    EXPECT_EQ(gState.FileName, "");
    EXPECT_EQ(r.dialogFileName, "");
  }

  ResetModel();
  OpenFileOptions missing;
  missing.fileType = kPz2;
  missing.path = dir.file("absent.pz2");
  const OpenFileResult r = ReadPoserFile(missing, host);
  EXPECT_EQ(r.errorNumber, 53);
  EXPECT_NE(r.errorStep, 0);

  // The next good read clears the flag.
  Open("materials.pz2", kPz2, LineEnds::Lf);
  EXPECT_FALSE(gState.ReadError);
}

TEST_F(OpenFileTest, ACancelledDialogLeavesTheDocumentAsItWas) {
  Open("figure_props.cr2", kCr2, LineEnds::Lf);
  const ObjectList list = gObjectList;
  const std::size_t materials = gObjects[0].Materials.size();
  gState.LoadProps = true;
  BeginOpenFile();
  MarkOpenCancelled();
  EXPECT_TRUE(gOpenCancelled);
  EXPECT_FALSE(gState.LoadProps);
  EXPECT_FALSE(gState.ReadError);
  EXPECT_EQ(gObjectList, list);
  EXPECT_EQ(gObjects[0].Materials.size(), materials);
  EXPECT_EQ(gState.FileName, dir.file("figure_props.cr2"));

  Open("materials.pz2", kPz2, LineEnds::Lf);
  EXPECT_FALSE(gOpenCancelled);
}

// A NUL byte far into a large file: the read gives up at the piece that
// holds it instead of reading the whole file first.
TEST_F(OpenFileTest, ANulFarIntoALargeFileIsRefusedWithoutReadingTheRest) {
  class PollCounter : public RecordingHost {
   public:
    bool CancelRequested() override {
      ++polls;
      return false;
    }
    int polls = 0;
  };
  std::string bytes = "{\nversion\n{\nnumber 4.01\n}\n";
  while (bytes.size() < (std::size_t{3} << 19)) bytes += "prop p\n";
  bytes += '\0';
  bytes.resize(std::size_t{24} << 20, 'x');
  for (const char* name : {"binary.pz2", "binary.cr2"}) {
    SCOPED_TRACE(name);
    ResetModel();
    PollCounter counter;
    OpenFileOptions options;
    options.fileType = std::string(name).ends_with("cr2") ? kCr2 : kPz2;
    options.path = dir.write(name, bytes);
    const OpenFileResult r = ReadPoserFile(options, counter);
    EXPECT_EQ(r.errorNumber, 321);
    EXPECT_EQ(r.errorDescription, kNotPoserText);
    ASSERT_EQ(counter.messages.size(), 1u);
    // The read yields after every few megabytes it reads: once or twice here.
    EXPECT_LE(counter.polls, 2);
  }
}

}  // namespace
}  // namespace vandrel::test
