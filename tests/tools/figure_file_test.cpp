// Listing the figures of a character file, cutting one out and reading it in
// the chooser's modes.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/text.h"
#include "core_calls.h"
#include "reader/delta_removal.h"
#include "reader/reader_test_util.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace vandrel::test {
namespace {

std::string TwoFigures() { return ReadFileBytes(ToolData("two_figures.cr2")); }

TEST(FigureFile, ListsAndCutsTheSameFiguresWhateverTheLineEnds) {
  const std::string lf = TwoFigures();
  const std::size_t doll1 = lf.find("figureResFile :Runtime:Geometries:Dolls");
  const std::size_t robot1 = lf.find("figureResFile :Runtime:Geometries:Robots");
  const std::size_t doll2 = lf.find("figureResFile :Runtime:Geometries:Dolls", robot1);
  const std::size_t robot2 = lf.find("figureResFile :Runtime:Geometries:Robots", doll2);
  const std::string head = lf.substr(0, doll1);
  const std::string wantDoll = head + lf.substr(doll1, robot1 - doll1) + lf.substr(doll2, robot2 - doll2) +
                               "\tsetGeomHandlerOffset 0 0 0\n}";
  const std::string wantRobot = head + lf.substr(robot1, doll2 - robot1) + lf.substr(robot2);
  // Without deltas: the chooser reads the figures without them.
  const auto noDeltas = [](std::string t) {
    const std::size_t d = t.find("deltas");
    return t.erase(d, t.find('}', d) + 1 - d);
  };
  for (const LineEnds ends : {LineEnds::Lf, LineEnds::CrLf, LineEnds::Cr}) {
    SCOPED_TRACE(LineEndsName(ends));
    TempDir dir;
    const std::string path = dir.write("two.cr2", WithLineEnds(lf, ends));
    FigureFile file;
    QuietHost host;
    ASSERT_EQ(ReadFigureFile(path, host, file), FigureListOutcome::Listed);
    ASSERT_EQ(file.Figures.size(), 2u);
    EXPECT_EQ(file.Figures[0].Name, "Doll");
    EXPECT_EQ(file.Figures[1].Name, "Robot");
    EXPECT_EQ(file.Figures[0].Geometry, "doll.obj");
    EXPECT_EQ(file.Figures[1].Geometry, "robot.obj");
    EXPECT_EQ(CutFigure(file, 0), noDeltas(wantDoll));
    // The last figure's second part runs to the end of the file.
    EXPECT_EQ(CutFigure(file, 1), wantRobot);
    // Cut within the file's own text, which goes with it.
    for (std::size_t k : {0u, 1u}) {
      FigureFile taken = file;
      EXPECT_EQ(CutFigure(std::move(taken), k), CutFigure(file, k));
      EXPECT_TRUE(taken.Text.empty() && taken.Figures.empty());
    }
  }
  // A file that is mostly deltas gives the same figures from a copy of what
  // is left, which gives back the room of the deltas.
  std::string heavy = lf;
  std::string deltaLines;
  for (int i = 0; i < 20000; ++i) deltaLines += "d " + std::to_string(i) + " 0.001 0.002 0.003\n";
  heavy.insert(heavy.find('{', heavy.find("deltas")) + 1, "\n" + deltaLines);
  TempDir dir;
  FigureFile file;
  QuietHost quiet;
  ASSERT_EQ(ReadFigureFile(dir.write("heavy.cr2", heavy), quiet, file), FigureListOutcome::Listed);
  EXPECT_EQ(CutFigure(file, 0), noDeltas(wantDoll));
  EXPECT_EQ(CutFigure(file, 1), wantRobot);
  EXPECT_LT(file.Text.capacity(), heavy.size() / 2);
  // "figure" lines that end in blanks and TABs still name their figures.
  QuietHost host;
  ASSERT_EQ(ReadFigureFile(dir.write("blanks.cr2", Replace(lf, "\nfigure\n", "\nfigure \t\n")), host, file),
            FigureListOutcome::Listed);
  ASSERT_EQ(file.Figures.size(), 2u);
  EXPECT_EQ(file.Figures[0].Name, "Doll");
  EXPECT_EQ(file.Figures[1].Name, "Robot");
}

TEST(FigureFile, DeltasGoAndLineEndsBecomeLfInOnePassAsInTwo) {
  // The one pass of the chooser, into a string or within the file's own
  // bytes, gives what turning the line ends into LF and then removing the
  // deltas gives, for every way a "deltas" line can end and for near misses
  // of the word.
  const std::string cases[] = {
      "a\r\ndeltas\r\n{\r\nd 1 2 3\r\n}\r\nb\r\n",
      "a\rdeltas \r{\rd 1\r}\rb\rdeltas\rx",
      "a\ndeltas \r\n{\nd 1\n}\r\r\nb deltasX\r\ndeltas\r\n{ never closed\r\n",
      "deltas\r\n{\r\n}\r\ndeltas \n{\n}\ndeltasdeltas\r\r\n}\r",
      "no deltas here\r\n\r\n",
      "tdeltat deltdeltas\r\n{t}t\rdeltadeltas \n{\r\n}\r\ndelta",
  };
  QuietHost host;
  for (const std::string& text : cases) {
    std::string want = text;
    ToLfLineEnds(want);
    ASSERT_TRUE(StripDeltas(want, host));
    std::string got;
    ASSERT_TRUE(StripDeltas(text, got, true, host));
    EXPECT_EQ(got, want) << text;
    std::string bytes = text;
    std::size_t size = bytes.size();
    ASSERT_TRUE(StripDeltas(bytes.data(), size, true, host));
    EXPECT_EQ(bytes.substr(0, size), want) << text;
  }

  // The progress counts the pieces of a large text, a "deltas" across the
  // places where the count polls included.
  std::string large(17u << 20, 'a');
  for (const std::size_t at :
       {std::size_t{1}, (std::size_t{8} << 20) - 2, (std::size_t{16} << 20) + 1, large.size() - 6})
    large.replace(at, 6, "deltas");
  struct Ranges : QuietHost {
    void SetRange(long long max) override { ranges.push_back(max); }
    void SetValue(long long value) override { values.push_back(value); }
    std::vector<long long> ranges, values;
  } ranges;
  std::string stripped;
  ASSERT_TRUE(StripDeltas(large, stripped, true, ranges));
  ASSERT_FALSE(ranges.ranges.empty());
  EXPECT_EQ(ranges.ranges.front(), 1 + 4 + 1);  // four pieces after the first, and one
  // Of many pieces (more than the count keeps the places of), the bar is set
  // in steps of a thousandth of its length at the least, and ends full.
  constexpr int kMany = 70000;
  std::string many, xs;
  for (int i = 0; i < kMany; ++i) many += "x deltas\n{d 1}", xs += "x ";
  ranges.ranges.clear();
  ranges.values.clear();
  ASSERT_TRUE(StripDeltas(many, stripped, true, ranges));
  EXPECT_EQ(stripped, xs);
  ASSERT_EQ(ranges.ranges.front(), kMany + 2);
  const auto full = std::find(ranges.values.begin(), ranges.values.end(), kMany + 2);
  ASSERT_NE(full, ranges.values.end());
  EXPECT_TRUE(std::is_sorted(ranges.values.begin() + 1, full + 1));
  EXPECT_LE(full - ranges.values.begin(), 2 + 1000 + 1);
  // The same over more than thirty megabytes, searched a stretch at a time:
  // the places kept are the first ones of the text.
  const std::string pad(470, 'a');
  many.clear();
  xs.clear();
  for (int i = 0; i < kMany; ++i) many += "x deltas\n{d 1}" + pad, xs += "x " + pad;
  ranges.ranges.clear();
  ASSERT_TRUE(StripDeltas(many, stripped, true, ranges));
  EXPECT_TRUE(stripped == xs);
  EXPECT_EQ(ranges.ranges.front(), kMany + 2);

  // Esc during the read of a large file gives no figures.
  TempDir dir;
  const std::string path = dir.write("big.cr2", std::string(9u << 20, 'a'));
  struct Cancelling : QuietHost {
    bool CancelRequested() override { return true; }
  } cancelling;
  FigureFile file;
  EXPECT_EQ(ReadFigureFile(path, cancelling, file), FigureListOutcome::Cancelled);
  EXPECT_TRUE(file.Text.empty());
}

TEST(FigureFile, OneFigureIsTheWholeFileBrokenFilesAreRefusedSharedGeometriesAreMatched) {
  const std::string lf = TwoFigures();
  const std::size_t robot1 = lf.find("figureResFile :Runtime:Geometries:Robots");
  const std::size_t doll2 = lf.find("figureResFile :Runtime:Geometries:Dolls", robot1);
  const std::size_t robot2 = lf.find("figureResFile :Runtime:Geometries:Robots", doll2);
  // The doll alone: its two parts and the file's end.
  std::string one = lf.substr(0, robot1) + lf.substr(doll2, robot2 - doll2) + "}\n";
  FigureFile file;
  file.Text = one;
  ASSERT_EQ(ListFigures(file), FigureListOutcome::Listed);
  ASSERT_EQ(file.Figures.size(), 1u);
  EXPECT_EQ(CutFigure(file, 0), one);

  struct Case {
    const char* what;
    std::string text;
  };
  std::string noFigureBlock = lf;
  noFigureBlock.replace(noFigureBlock.find("\nfigure\n", robot2), 8, "\nfigurx\n");
  std::string oneLine = "{\nfigureResFile :a.obj\nactor BODY:1\n\t{\n\t}\nfigure\n\t{\n\tname    A\n\t}\n}\n";
  std::string otherGeometry = lf;
  otherGeometry.replace(otherGeometry.find("Robots:robot", doll2), 12, "Robots:other");
  const Case refused[] = {
      {"a single figureResFile line", oneLine},
      {"an odd number of them", lf + "figureResFile :x.obj\n"},
      {"a figure without its figure block", noFigureBlock},
      {"a first part without its second part", otherGeometry},
  };
  for (const Case& c : refused) {
    FigureFile f;
    f.Text = c.text;
    EXPECT_EQ(ListFigures(f), FigureListOutcome::NotValid) << c.what;
    EXPECT_TRUE(f.Figures.empty()) << c.what;
  }

  // Both figures on the doll's geometry; the robot loses its name line.
  std::string shared = lf;
  for (std::size_t p = shared.find("Robots:robot"); p != std::string::npos; p = shared.find("Robots:robot"))
    shared.replace(p, 12, "Dolls:doll");
  shared.replace(shared.find("name    Robot"), 13, "root2");
  file.Text = shared;
  ASSERT_EQ(ListFigures(file), FigureListOutcome::Listed);
  ASSERT_EQ(file.Figures.size(), 2u);
  EXPECT_EQ(file.Figures[0].Name, "Doll");
  EXPECT_EQ(file.Figures[1].Name, "");  // never a slice of the file
  EXPECT_NE(CutFigure(file, 0).find("material Skin"), std::string::npos);
  EXPECT_EQ(CutFigure(file, 0).find("material Metal"), std::string::npos);
  EXPECT_NE(CutFigure(file, 1).find("material Metal"), std::string::npos);
  EXPECT_EQ(CutFigure(file, 1).find("material Skin"), std::string::npos);
}

class ChosenFigure : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModel();
    calls.fileName = ToolData("two_figures.cr2");
  }
  void TearDown() override { ResetModel(); }
  ScopedScriptedUi ui;
  CoreCalls calls;
};

TEST_F(ChosenFigure, TheSecondFigureComesWithItsOwnMaterialsAndChannelsOnly) {
  gState.FileType = kCr2;
  gState.LoadProps = true;
  calls.chosen = 1;
  ui->AnswerMessage(MsgResult::Yes);
  const FigureReadResult read = calls.RunFigureChooser();
  EXPECT_TRUE(read.MaterialsRead);
  EXPECT_TRUE(read.ChannelsRead);
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);
  EXPECT_EQ(ui->requests()[0].text, kFigureMorphQuestion);
  EXPECT_EQ(ui->requests()[0].buttons, MsgButtons::YesNo);
  ASSERT_EQ(gObjects.size(), 1u);
  EXPECT_EQ(MaterialNames(gObjects[0]), (std::vector<std::string>{"Metal", "Glass"}));
  EXPECT_EQ(gObjects[0].Materials[0].ObjectColor, (ColorRec{128, 128, 128}));
  EXPECT_EQ(ActorNames(), (std::vector<std::string>{"BODY:2", "arm:2"}));
  EXPECT_EQ(DialNames(gActors[0]), std::vector<std::string>{"Blink"});
  EXPECT_EQ(gState.FileName, calls.fileName);
  EXPECT_FALSE(gState.LoadProps || gState.FileGiven || gFigureMorphsOnly || gFigureMaterialsOnly ||
               gFigureBodyOnly);
}

// The morph question goes to the host the caller gives, whose No leaves the
// figure's channels unread.
TEST_F(ChosenFigure, TheMorphQuestionGoesToTheHostGiven) {
  gState.FileType = kCr2;
  FigureFile file;
  QuietHost quiet;
  ASSERT_EQ(ReadFigureFile(calls.fileName, quiet, file), FigureListOutcome::Listed);
  ScriptedHost host;
  host.Answer(MsgResult::No);
  const FigureReadResult read = ReadChosenFigure(file, 1, calls, host);
  EXPECT_TRUE(read.MaterialsRead);
  EXPECT_FALSE(read.ChannelsRead);
  EXPECT_EQ(calls.channelReads, 0);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].text, kFigureMorphQuestion);
  EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
}

TEST_F(ChosenFigure, TheModesDecideWhatIsReadAndAFailedReadAsksNothing) {
  struct Mode {
    const char* what;
    bool morphsOnly, materialsOnly, bodyOnly;
    bool opened, asked, channels;
  };
  const Mode modes[] = {
      {"morphs only", true, false, false, false, false, true},
      {"BODY only", true, false, true, false, false, true},
      {"materials only", false, true, false, true, false, false},
  };
  for (const Mode& m : modes) {
    SCOPED_TRACE(m.what);
    ResetModel();
    ui->clear();
    calls.opens = calls.channelReads = 0;
    gFigureMorphsOnly = m.morphsOnly;
    gFigureMaterialsOnly = m.materialsOnly;
    gFigureBodyOnly = m.bodyOnly;
    gState.FileType = kCr2;
    calls.chosen = 0;
    const FigureReadResult read = calls.RunFigureChooser();
    EXPECT_EQ(calls.opens, m.opened ? 1 : 0);
    EXPECT_EQ(ui->requestsOf(UiRequest::Message).size(), m.asked ? 1u : 0u);
    EXPECT_EQ(read.ChannelsRead, m.channels);
    if (m.channels) {
      EXPECT_EQ(DialNames(gActors[0]), std::vector<std::string>{"Smile"});
    }
    EXPECT_FALSE(gFigureMorphsOnly || gFigureMaterialsOnly || gFigureBodyOnly || gState.FileGiven);
  }

  // A figure text the reader refuses: its error, and no morph question.
  ResetModel();
  ui->clear();
  FigureFile file;
  file.Text = "{\nfigureResFile :a.obj\nactor BODY:1\n\t{\nfigureResFile :a.obj\nfigure\n\t{\n\t}\n";
  ASSERT_EQ(ListFigures(file), FigureListOutcome::Listed);
  gState.FileType = kCr2;
  UiHost shown;
  const FigureReadResult read = ReadChosenFigure(file, 0, calls, shown);
  ASSERT_EQ(ui->requests().size(), 1u);
  EXPECT_NE(ui->requests()[0].text.find("Error in the OpenFile function"), std::string::npos);
  EXPECT_FALSE(read.Any());
}

}  // namespace
}  // namespace vandrel::test
