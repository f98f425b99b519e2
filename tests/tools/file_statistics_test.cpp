#include "tools/file_statistics.h"

#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <map>
#include <tuple>

#include "model/model.h"
#include "support/fixed_facts.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::FixedFacts;

MaterialRec Material(const std::string& name, const std::string& texture,
                     const std::string& transparency = kNoMap) {
  MaterialRec m;
  m.Name = name;
  m.TextureMap = texture;
  m.TransparencyMap = transparency;
  return m;
}

DialRec Dial(const std::string& type) {
  DialRec d;
  d.Name = type + "_dial";
  d.ChannelType = type;
  return d;
}

class FileStatistics : public ::testing::Test {
 protected:
  void SetUp() override { ResetModel(); }
  void TearDown() override { ResetModel(); }
};

TEST_F(FileStatistics, CountsGroupsActorsChannelsAndDistinctMaps) {
  gState.FileName = "/docs/Doll.cr2";
  gObjects = {
      ObjectRec{
          "Figure 1",
          {Material("skin", "/t/skin.jpg", "/t/skin.jpg"), Material("lips", "/t/skin.jpg"),
           Material("eyes", "/t/SKIN.jpg"), Material("nails", "NO_MAP", "no_Map"), Material("blank", "")}},
      ObjectRec{"Prop ball", {Material("ball", "/t/ball.jpg"), MaterialRec{}}},
      ObjectRec{"head:1",
                {Material("a", "/t/ball.jpg"), Material("b", "x"), Material("c", "x"), Material("d", "x")}},
      ObjectRec{"Sun", {Material("light", "/t/sun.jpg")}},
  };
  gObjectList = {"Figure 1", "Prop ball", "actor head:1", "light Sun", "actor hip:1"};
  gActors.assign(4, ActorRec{});
  gActors[0].Name = "head:1";
  gActors[0].Dials = {Dial("valueParm"), Dial("targetGeom"), Dial("handGrasp"),
                      Dial("rotateX"),   Dial("translateY"), Dial("")};
  gActors[1].Name = "hip:1";
  gActors[1].Dials = {DialRec{}};  // an actor without channels
  gActors[3].Name = "Sun";

  CollectFileInfo();
  const FileInfoRec& info = gFileInfo;
  EXPECT_EQ(info.FileName, "/docs/Doll.cr2");
  ASSERT_EQ(info.Figures.size(), 2u);  // the light's group is no figure
  // The blank placeholder material is not counted.
  EXPECT_EQ(std::tuple(info.Figures[0].Name, info.Figures[0].Index, info.Figures[1].Index),
            std::tuple("Figure 1", 5, 1));
  // skin, SKIN, ball, x, sun: case counts apart, NO_MAP and "" never.
  EXPECT_EQ(std::tuple(info.TextureMaps, info.BumpMaps, info.ReflectionMaps, info.TransparencyMaps),
            std::tuple(5, 0, 0, 1));
  ASSERT_EQ(info.Actors.size(), 4u);
  // Pose channels: rotateX, translateY and the empty type; hip's blank dial counts for nothing.
  auto counts = [](const ActorInfoRec& a) {
    return std::tuple(a.Channels, a.PoseChannels, a.MorphChannels, a.NullChannels, a.Materials);
  };
  EXPECT_EQ(counts(info.Actors[0]), std::tuple(6, 3, 2, 1, 4));
  EXPECT_EQ(counts(info.Actors[1]), std::tuple(0, 0, 0, 0, 0));
  EXPECT_EQ(info.Actors[2].Name, "");
  EXPECT_EQ(info.Actors[3].Materials, 1);

  // Only actors' groups: no figures; a reset table: nothing at all.
  gObjectList = {"actor Figure 1", "actor Prop ball"};
  CollectFileInfo();
  ASSERT_EQ(gFileInfo.Figures.size(), 1u);
  EXPECT_EQ(gFileInfo.Figures[0].Name, "");
  ResetModel();
  CollectFileInfo();
  EXPECT_EQ(gFileInfo.Figures[0].Name, "");
  ASSERT_EQ(gFileInfo.Actors.size(), 1u);
  EXPECT_EQ(gFileInfo.TextureMaps, 0);
}

TEST_F(FileStatistics, LabelsShowSizesInTheLocaleAndNotAvailableWhereNothingIsCounted) {
  const DisplayLocale comma{",", "%d.%m.%Y", "%H:%M:%S"};
  const struct {
    std::uint64_t bytes;
    const char* text;
  } sizes[] = {{0, "0 KB"},          {999999, "1000 KB"},    {1000000, "1 MB"},    {123456, "123,5 KB"},
               {2345678, "2,35 MB"}, {2345000, "2,34 MB"},   {2355000, "2,36 MB"}, {1050, "1 KB"},
               {1150, "1,2 KB"},     {5000000000, "5000 MB"}};
  for (const auto& s : sizes) EXPECT_EQ(FileSizeText(s.bytes, comma), s.text) << s.bytes;

  FixedFacts files;
  files.files["/docs/Doll.CR2"] = FileFacts{123456, {2024, 3, 5, 0, 0, 0}};
  FileInfoRec info;
  info.FileName = "/docs/Doll.CR2";
  info.TextureMaps = 3;
  FileInfoLabels l = FileInfoLabelsOf(info, files, comma);
  EXPECT_EQ((std::vector<std::string>{l.FileName, l.FileType, l.Size, l.Texture, l.Bump}),
            (std::vector<std::string>{"Doll.CR2", "Character (CR2)", "123,5 KB", "3", "0"}));
  for (const std::string* na :
       {&l.Figures, &l.Materials, &l.Actors, &l.SdMats, &l.Channels, &l.Pose, &l.Morph, &l.Null})
    EXPECT_EQ(*na, "N/A");
  EXPECT_EQ(CreationDateText(info.FileName, files, comma), "05.03.2024");  // midnight: no time

  info.FileName = "/docs/gone.xyz";
  info.Figures = {{"Figure 1", 30000, 0}, {"Prop", 30000, 0}};
  info.Actors = {ActorInfoRec{"BODY:1", 20000, 10000, 5000, 5000, 2},
                 ActorInfoRec{"head:1", 20000, 0, 0, 20000, 3}};
  l = FileInfoLabelsOf(info, files, comma);
  // A file that is gone; sums past 16 bits.
  EXPECT_EQ(
      (std::vector<std::string>{l.FileType, l.Size, CreationDateText(info.FileName, files, comma), l.Figures,
                                l.Materials, l.Actors, l.Channels, l.Pose, l.Morph, l.Null, l.SdMats}),
      (std::vector<std::string>{"N/A", "N/A", "N/A", "2", "60000", "2", "40000", "10000", "5000", "25000",
                                "5"}));
  EXPECT_EQ(FileTypeText("a.lt2"), "Light (LT2)");
  EXPECT_EQ(FormatDateTime({2024, 12, 31, 23, 5, 9}, comma), "31.12.2024 23:05:09");
}

TEST_F(FileStatistics, DiskFactsAndTheUserLocale) {
  test::TempDir dir;
  const std::string file = dir.write("a.cr2", std::string(1234, 'x'));
  const std::optional<FileFacts> facts = DiskFileFacts().Facts(file);
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->size, 1234u);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(facts->created.year, local.tm_year + 1900);
  EXPECT_FALSE(DiskFileFacts().Facts(dir.file("missing")));
  EXPECT_FALSE(DiskFileFacts().Facts(dir.path()));

  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale";
  const DisplayLocale german = UserDisplayLocale();
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(FileSizeText(2345678, german), "2,35 MB");
  EXPECT_EQ(FormatDateTime({2024, 3, 5, 14, 7, 9}, german), "05.03.2024 14:07:09");
  EXPECT_EQ(FileSizeText(2345678, UserDisplayLocale()), "2.35 MB");  // the C locale again
}

}  // namespace
}  // namespace vandrel
