#include "maps/map_search.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "maps/map_cache.h"
#include "maps/map_test_util.h"
#include "maps/poser_paths.h"

namespace vandrel {
namespace {

class MapSearchTest : public test::MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    gSettings.Poser = tree.mkdir("Poser");
    textures = tree.mkdir("Poser/Runtime/Textures");
    hooks.chooseMap = [this](const std::vector<std::string>& entries) {
      chooserEntries = entries;
      offered = gMapCandidates;
      return choice;
    };
    hooks.browseForFolder = [this](const std::string& start, const std::string& name) {
      questions.push_back(name + " from " + start);
      return folderAnswer;
    };
    hooks.beginScan = [this] { ++scans; };
  }
  void WriteJpgCache(const std::vector<std::pair<std::string, std::string>>& entries) {
    program.write("Cache/jpgs.txt", test::CacheEntries(entries));
  }
  // eye.jpg in lib/A and lib/B, both in the cache file.
  void WriteTwoEyes() {
    WriteJpgCache({{"eye.jpg", tree.file("lib/A")}, {"eye.jpg", tree.file("lib/B")}});
    tree.write("lib/A/eye.jpg", "x"), tree.write("lib/B/eye.jpg", "x");
  }
  FixOutcome Fix(std::vector<std::string>& maps) {
    std::vector<std::string*> fields;
    for (std::string& m : maps) fields.push_back(&m);
    return FixMapReferences(fields, host, hooks);
  }

  std::string textures;
  MapSearchHooks hooks;
  std::vector<std::string> chooserEntries, offered, questions;
  int choice = 0;
  int scans = 0;
  std::string folderAnswer;
};

TEST_F(MapSearchTest, FindFileMatchesWholeNamesInTheListsThenTheCacheFileOfItsKind) {
  const std::string skin = tree.write("Poser/Runtime/Textures/Set/Skin.JPG", "x");
  tree.write("Poser/Runtime/Textures/Set/darkskin.jpg", "x");
  AddToMapCache(tree.file("Poser/Runtime/Textures/Set/darkskin.jpg"));
  AddToMapCache(skin);
  AddToMapCache(skin);  // listed twice, offered once

  EXPECT_EQ(FindFile("D:\\Poser 4\\Runtime\\textures\\skin.jpg", host, hooks),
            ":Runtime:Textures:Set:Skin.JPG");
  hooks.fullPaths = true;
  EXPECT_EQ(FindFile(":Runtime:Textures:skin.jpg", host, hooks), skin);
  hooks.fullPaths = false;
  EXPECT_EQ(FindFile("NO_MAP", host, hooks), "NO_MAP");
  EXPECT_EQ(FindFile("C:\\maps\\kin.jpg", host, hooks), "C:\\maps\\kin.jpg");
  gSettings.SetNoMap = true;
  EXPECT_EQ(FindFile("C:\\maps\\kin.jpg", host, hooks), "NO_MAP");
  gSettings.SetNoMap = false;

  // The cache file: entries whose file is gone are dropped, one file is offered once.
  const std::string a = tree.write("lib/A/face.jpg", "x");
  const std::string b = tree.write("lib/B/Face.jpg", "x");
  WriteJpgCache({{"face.jpg", tree.file("lib/A")},
                 {"FACE.JPG", tree.file("gone")},
                 {"Face.jpg", tree.file("lib/B")},
                 {"face.jpg", tree.file("lib/A")},
                 {"bigface.jpg", tree.file("lib/A")}});
  choice = 1;
  EXPECT_EQ(FindFile("E:\\face.jpg", host, hooks), b);
  EXPECT_EQ(chooserEntries, (std::vector<std::string>{"face.jpg 1", "face.jpg 2", "NO_MAP"}));
  EXPECT_EQ(offered, (std::vector<std::string>{a, b, "NO_MAP/face.jpg"}));
  EXPECT_EQ(gChosenMapIndex, 1);
  // The chosen file joined the lists: the next search needs no chooser.
  chooserEntries.clear();
  EXPECT_EQ(FindFile("E:\\face.jpg", host, hooks), b);
  EXPECT_TRUE(chooserEntries.empty());

  // Choosing the chooser's last entry gives "NO_MAP".
  WriteTwoEyes();
  choice = 2;
  EXPECT_EQ(FindFile("E:\\eye.jpg", host, hooks), "NO_MAP");

  // An extension from a file never names another cache file; "tiff" reads tifs.txt.
  program.write("Cache/xyzs.txt", test::CacheEntries({{"eye.xyz", tree.file("lib/A")}}));
  tree.write("lib/A/eye.xyz", "x"), tree.write("lib/A/bump.TIFF", "x");
  EXPECT_EQ(FindFile("E:\\eye.xyz", host, hooks), "E:\\eye.xyz");
  program.write("Cache/tifs.txt", test::CacheEntries({{"bump.TIFF", tree.file("lib/A")}}));
  EXPECT_EQ(FindFile(":bump.tiff", host, hooks), tree.file("lib/A/bump.TIFF"));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(MapSearchTest, FixChangesTheFormOfPresentMapsAndScansEachFolderOnceForMissingOnes) {
  const std::string skin = tree.write("Poser/Runtime/Textures/New/Skin.jpg", "x");
  std::vector<std::string> maps = {
      ":Runtime:Textures:New:skin.jpg",  // present: only its form changes
      "NO_MAP",
      "",                                // nothing to look for
      ":Runtime:Textures:Old:SKIN.JPG",  // missing, found by the scan
      ":runtime:textures:old:skin.jpg",  // the same map: no second scan
      ":Runtime:Textures:Gone.jpg",      // missing everywhere: keeps its text
      ":Runtime:Textures:Gone.jpg",
  };
  hooks.fullPaths = true;
  FixOutcome outcome = Fix(maps);
  EXPECT_EQ(maps, (std::vector<std::string>{skin, "NO_MAP", "", skin, skin, ":Runtime:Textures:Gone.jpg",
                                            ":Runtime:Textures:Gone.jpg"}));
  EXPECT_EQ(outcome.processed, 6);
  EXPECT_TRUE(outcome.changed);
  EXPECT_TRUE(gState.Dirty);
  EXPECT_EQ(scans, 2);  // one wait window per missing reference, one listing of the folder
  EXPECT_EQ(gMapLists.JpgFiles.size(), 1u);
  EXPECT_TRUE(questions.empty());
  EXPECT_EQ(Cache("jpgs.txt"), test::CacheEntries({{"Skin.jpg", tree.file("Poser/Runtime/Textures/New")}}));

  // Back to colon form; a second click starts with empty tables and a new scan.
  hooks.fullPaths = false;
  maps = {skin, ":Runtime:Textures:Gone.jpg"};
  Fix(maps);
  EXPECT_EQ(maps[0], ":Runtime:Textures:New:Skin.jpg");
  EXPECT_EQ(scans, 3);
  EXPECT_EQ(gMapLists.JpgFiles.size(), 1u);  // the new scan replaced the first

  // Two materials naming a map that the cache finds twice: one question, and
  // the answer "NO_MAP" holds for both.
  WriteTwoEyes();
  int asked = 0;
  hooks.chooseMap = [&asked](const std::vector<std::string>& entries) {
    ++asked;
    return static_cast<int>(entries.size()) - 1;
  };
  maps = {"E:\\eye.jpg", "E:\\eye.jpg"};
  Fix(maps);
  EXPECT_EQ(maps, (std::vector<std::string>{"NO_MAP", "NO_MAP"}));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(scans, 3);
}

TEST_F(MapSearchTest, AReferenceOutsideThePoserFolderAsksForTheFolderAndACancelEndsTheClick) {
  const std::string face = tree.write("Elsewhere/Deep/Face.png", "x");
  std::vector<std::string> maps = {"D:\\Other\\face.png", "D:\\Other\\face.png", "D:\\Other\\eye.png"};
  int ended = 0;
  hooks.endScan = [&] { ++ended; };

  // Cancelled: nothing recorded, nothing after it touched.
  EXPECT_TRUE(Fix(maps).endedEarly);
  EXPECT_EQ(questions, (std::vector<std::string>{"face.png from " + textures}));
  EXPECT_EQ(maps[0], "D:\\Other\\face.png");
  EXPECT_EQ(FindReplacedMap("d:\\other\\face.png"), -1);
  EXPECT_EQ(ended, 1);

  // Answered: the folder is scanned once, the same map of the next material reuses the result.
  folderAnswer = tree.file("Elsewhere");
  questions.clear();
  EXPECT_FALSE(Fix(maps).endedEarly);
  EXPECT_EQ(maps, (std::vector<std::string>{face, face, "D:\\Other\\eye.png"}));
  EXPECT_EQ(questions.size(), 2u);  // eye.png was asked for too: the folder is known as scanned
  EXPECT_EQ(gMapLists.OtherFiles.size(), 1u);
  EXPECT_TRUE(IsFolderScanned(folderAnswer));

  // A texture folder spelt in another case is still the one scanned.
  gSettings.Poser = tree.mkdir("Wine Poser");
  const std::string lower = tree.write("Wine Poser/runtime/textures/skin/Leg.jpg", "x");
  maps = {":Runtime:Textures:Legs:leg.jpg"};
  hooks.fullPaths = true;
  Fix(maps);
  EXPECT_EQ(maps[0], lower);
  EXPECT_EQ(gScannedFolders.back(), tree.file("Wine Poser/runtime/textures"));
  EXPECT_EQ(questions.size(), 2u);

  // No Poser folder, or the preference "none" whatever the working folder
  // holds: told so, and the click ends with the map untouched.
  const auto cwd = std::filesystem::current_path();
  tree.write("none/Runtime/Textures/x.jpg", "x");
  std::filesystem::current_path(tree.path());
  for (const std::string& poser : {tree.file("NoPoser"), std::string("none")}) {
    gSettings.Poser = poser;
    maps = {":Runtime:Textures:x.jpg"};
    EXPECT_TRUE(Fix(maps).endedEarly) << poser;
    EXPECT_EQ(host.messages, std::vector<std::string>(
                                 poser == "none" ? 2 : 1,
                                 "The Default Poser\r\nfolder preference hasn't been set up correctly."));
    EXPECT_EQ(maps[0], ":Runtime:Textures:x.jpg");
  }
  std::filesystem::current_path(cwd);
  EXPECT_TRUE(gMapLists.JpgFiles.size() < 2 &&
              (gMapLists.JpgFiles.empty() || gMapLists.JpgFiles[0].Key != "x.jpg"));
}

TEST_F(MapSearchTest, InOnePassNoQuestionIsAskedAgainAfterACancelOrEsc) {
  gAutoCorrecting = true;
  tree.write("Poser/Runtime/Textures/a.jpg", "x"), tree.write("Poser/Runtime/Textures/b.jpg", "x");
  // Esc in the scan of the texture folder (the check's own first poll only
  // lets the windows repaint): the question for the map after it is not asked.
  host.cancelAtPoll = 2;
  std::vector<std::string> maps = {":Runtime:Textures:Sub:missing.jpg", "D:\\Other\\hand.png"};
  EXPECT_FALSE(Fix(maps).endedEarly);
  EXPECT_TRUE(questions.empty());
  EXPECT_EQ(maps[1], "D:\\Other\\hand.png");

  // The next pass asks again; a cancelled question is not repeated for the
  // same name (in any case, from any folder) in a later click of the pass.
  ResetMapSearch();
  maps = {"D:\\Other\\face.png"};
  EXPECT_TRUE(Fix(maps).endedEarly);
  maps = {"E:\\Else\\FACE.png", "D:\\Other\\hand.png"};
  EXPECT_TRUE(Fix(maps).endedEarly);
  EXPECT_EQ(questions, (std::vector<std::string>{"face.png from " + textures, "hand.png from " + textures}));
  EXPECT_EQ(maps[0], "E:\\Else\\FACE.png");

  // The chooser closed without a choice: the map stays as it was (SetNoMap
  // too), and the next material naming it is not asked.
  WriteTwoEyes();
  gSettings.SetNoMap = true;
  int asked = 0;
  hooks.chooseMap = [&asked](const std::vector<std::string>&) { return ++asked, -1; };
  const int scansBefore = scans;
  maps = {":Runtime:Textures:eye.jpg", ":Runtime:Textures:eye.jpg"};
  EXPECT_FALSE(Fix(maps).endedEarly);
  EXPECT_EQ(maps, (std::vector<std::string>{":Runtime:Textures:eye.jpg", ":Runtime:Textures:eye.jpg"}));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(scans, scansBefore);
}

// Poser writes "Pêche.jpg" in Windows-1252; the disk names the file
// "pêche.JPG" in UTF-8. The path, the folder scan, its cache file and
// a cache file of an earlier version all find it; found maps enter the pose
// in Windows-1252.
TEST_F(MapSearchTest, AccentedColonPathsInWindows1252FindUtf8FilesInAnyCase) {
  const std::string peach = tree.write(
      "Poser/Runtime/Textures/Fruits/p\xC3\xAA"
      "che.JPG",
      "x");
  EXPECT_EQ(PoserPathToFilePath(":Runtime:Textures:FRUITS:P\xEA"
                                "che.jpg"),
            peach);
  EXPECT_EQ(FilePathToPoserPath(peach, false),
            ":Runtime:Textures:Fruits:p\xEA"
            "che.JPG");

  // Listed elsewhere in the pose: Fix scans the texture folder and finds it;
  // the path that names it already stays as written.
  std::vector<std::string> maps = {
      ":Runtime:Textures:Obst:P\xEA"
      "che.jpg",
      ":Runtime:Textures:Fruits:P\xEA"
      "che.jpg"};
  Fix(maps);
  EXPECT_EQ(maps, (std::vector<std::string>{":Runtime:Textures:Fruits:p\xEA"
                                            "che.JPG",
                                            ":Runtime:Textures:Fruits:P\xEA"
                                            "che.jpg"}));
  EXPECT_EQ(scans, 1);
  EXPECT_NE(Cache("jpgs.txt")
                .find("p\xC3\xAA"
                      "che.JPG\r\n*" +
                      textures + "/Fruits\r\n"),
            std::string::npos);

  // A later run: only the cache file knows it.
  gMapLists = {};
  ResetMapSearch();
  EXPECT_EQ(FindFile("C:\\Obst\\P\xEA"
                     "CHE.jpg",
                     host, hooks),
            ":Runtime:Textures:Fruits:p\xEA"
            "che.JPG");

  // A cache file holding a name in Windows-1252 still finds the UTF-8 file.
  const std::string cafe = tree.write("lib/Caf\xC3\xA9.jpg", "x");
  WriteJpgCache({{"Caf\xE9.jpg", tree.file("lib")}});
  hooks.fullPaths = true;
  EXPECT_EQ(FindFile("C:\\caf\xE9.JPG", host, hooks), tree.file("lib/Caf\xE9.jpg"));
  EXPECT_EQ(gMapLists.JpgFiles.back().Key, "Caf\xC3\xA9.jpg");  // kept as the disk names it
  // So does one whose Windows-1252 bytes also read as UTF-8 ("É’" is C9 92),
  // looked up by either reading of the map's name.
  const std::string andre = tree.write("lib/ANDR\xC3\x89\xE2\x80\x99S.jpg", "x");
  WriteJpgCache({{"ANDR\xC9\x92S.jpg", tree.file("lib")}});
  EXPECT_EQ(FindFile("C:\\ANDR\xC9\x92S.jpg", host, hooks), andre);
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace vandrel
