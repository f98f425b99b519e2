#include "maps/map_cache.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "maps/map_search.h"
#include "maps/map_test_util.h"

namespace vandrel {
namespace {

using test::MapTest;

TEST_F(MapTest, ScanListsPicturesByKindDepthFirstInSortedOrderAndSavesTheFiveCacheFiles) {
  for (const char* name :
       {"a.TIF", "b.tiff", "c.jpeg", "d.PICT", "e.txt", "xtiff", "f.bum", "g.bmp", "h.png"})
    tree.write(std::string("lib/") + name, "x");
  tree.write("lib/Zeta/z.jpg", "x");
  tree.write("lib/Alpha/Inner/i.jpg", "x");
  tree.write("lib/Alpha/a2.jpg", "x");
  tree.write("lib/Alpha/bad\nname.jpg", "x");
  tree.mkdir("lib/Line\rbreak");
  tree.write("lib/Line\rbreak/lost.jpg", "x");
  // A link back up the tree is followed once and never loops.
  ASSERT_EQ(::symlink(tree.file("lib").c_str(), tree.file("lib/Alpha/Loop").c_str()), 0);
  const std::string lib = tree.file("lib");

  ScanFolder(lib + "/", host);

  const auto keys = [](const std::vector<StringPairRec>& list) {
    std::vector<std::string> out;
    for (const auto& e : list) out.push_back(e.Key);
    return out;
  };
  EXPECT_EQ(keys(gMapLists.TifFiles), (std::vector<std::string>{"a.TIF", "b.tiff", "xtiff"}));
  EXPECT_EQ(keys(gMapLists.JpgFiles), (std::vector<std::string>{"c.jpeg", "a2.jpg", "i.jpg", "z.jpg"}));
  EXPECT_EQ(keys(gMapLists.OtherFiles), (std::vector<std::string>{"d.PICT", "h.png"}));
  EXPECT_EQ(gMapLists.JpgFiles[2].Value, lib + "/Alpha/Inner");
  EXPECT_EQ(host.items.front(), "lib...");

  ASSERT_TRUE(SaveMapCache(host));
  EXPECT_EQ(Cache("tifs.txt"),
            "a.TIF\r\n*" + lib + "\r\nb.tiff\r\n*" + lib + "\r\nxtiff\r\n*" + lib + "\r\n");
  EXPECT_EQ(Cache("bums.txt"), "f.bum\r\n*" + lib + "\r\n");
  EXPECT_EQ(Cache("bmps.txt"), "g.bmp\r\n*" + lib + "\r\n");

  // A second scan replaces what the first listed: each file once.
  ScanFolder(lib, host);
  ASSERT_TRUE(SaveMapCache(host));
  EXPECT_EQ(Cache("bums.txt"), "f.bum\r\n*" + lib + "\r\n");

  // Whole names only, in any case; the cache file is read again once it changes.
  std::string error;
  EXPECT_EQ(FindInMapList(MapKind::Jpg, "Z.JPG").size(), 1u);
  EXPECT_TRUE(FindInMapList(MapKind::Jpg, "2.jpg").empty());
  EXPECT_EQ(FindInCacheFile(MapKind::Tif, "A.tif", error).size(), 1u);
  gMapLists.TifFiles.assign(1, StringPairRec{});
  ASSERT_TRUE(SaveMapCache(host));
  EXPECT_EQ(Cache("tifs.txt"), "\r\n*\r\n");
  EXPECT_TRUE(FindInCacheFile(MapKind::Tif, "a.tif", error).empty());
  EXPECT_TRUE(error.empty());
}

TEST_F(MapTest, EscStopsTheScanAndKeepsWhatWasListed) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "sub/d.jpg"}) tree.write(name, "x");
  host.cancelAtPoll = 3;
  ScanFolder(tree.path(), host, ScanOptions{0, 0});
  ASSERT_EQ(gMapLists.JpgFiles.size(), 2u);
  EXPECT_EQ(gMapLists.JpgFiles[1].Key, "b.jpg");

  // Nothing scanned: every file is its empty entry.
  SetUp();
  ASSERT_TRUE(SaveMapCache(host));
  for (const char* file : {"bmps.txt", "bums.txt", "jpgs.txt", "tifs.txt", "others.txt"})
    EXPECT_EQ(Cache(file), "\r\n*\r\n") << file;
}

TEST_F(MapTest, AddingOneFileAndACacheThatCannotBeWritten) {
  const std::string file = tree.write("Maps/Skin.JPG", "x");
  AddToMapCache(tree.file("maps/skin.jpg"));  // no such file on a case-sensitive disk
  AddToMapCache(file);
  AddToMapCache(tree.write("Maps/readme.txt", "x"));
  ASSERT_EQ(gMapLists.JpgFiles.size(), 1u);
  EXPECT_EQ(gMapLists.JpgFiles[0].Key, "Skin.JPG");
  EXPECT_EQ(gMapLists.JpgFiles[0].Value, tree.file("Maps"));

  // The Cache folder is taken by a file: reported, and nothing claims success.
  tree.write("blocked/Cache", "x");
  SetProgramFolder(tree.file("blocked"));
  EXPECT_FALSE(SaveMapCache(host));
  // Once, naming the folder, though all five files failed.
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].rfind(
                "The map cache could not be saved in " + tree.file("blocked/Cache") + ":\r\n", 0),
            0u);
}

// Runs of the program one after another over one library: what any run
// found stays in the cache files, once per file, however often it is
// scanned; files that are gone drop out once a scan or a lookup meets them.
TEST_F(MapTest, EveryRunKeepsWhatEarlierRunsFoundAndEachFileOnce) {
  const std::string tex = tree.mkdir("Poser/Runtime/Textures"), other = tree.mkdir("Other");
  for (const char* f : {"Poser/Runtime/Textures/A/a.jpg", "Poser/Runtime/Textures/A/b.tif",
                        "Poser/Runtime/Textures/B/c.jpg", "Other/x.jpg", "Other/Deep/y.png"})
    tree.write(f, "x");
  // Every entry of the five files as "folder/name", sorted, repeats kept.
  const auto cached = [&] {
    std::vector<std::string> all;
    for (const char* file : {"bmps.txt", "bums.txt", "jpgs.txt", "tifs.txt", "others.txt"}) {
      const std::string text = Cache(file);
      for (std::size_t p = 0; p < text.size();) {
        const std::size_t nameEnd = text.find("\r\n*", p), folderEnd = text.find("\r\n", nameEnd + 3);
        if (nameEnd == std::string::npos || folderEnd == std::string::npos) break;
        if (nameEnd > p)
          all.push_back(text.substr(nameEnd + 3, folderEnd - nameEnd - 3) + "/" +
                        text.substr(p, nameEnd - p));
        p = folderEnd + 2;
      }
    }
    std::sort(all.begin(), all.end());
    return all;
  };
  const auto scan = [&](const std::string& folder) {
    ScanFolder(folder, host);
    ASSERT_TRUE(SaveMapCache(host));
  };
  const std::string a = tex + "/A/a.jpg", b = tex + "/A/b.tif", c = tex + "/B/c.jpg", d = tex + "/A/d.jpg",
                    x = other + "/x.jpg", y = other + "/Deep/y.png";
  struct Run {
    const char* what;
    std::function<void()> act;
    std::vector<std::string> expected;
  };
  const Run runs[] = {
      {"the textures scanned", [&] { scan(tex); }, {a, b, c}},
      {"another folder scanned: the textures stay", [&] { scan(other); }, {a, b, c, y, x}},
      {"the textures ten times (a pose opened ten times)",
       [&] {
         for (int i = 0; i < 10; ++i) scan(tex + "/");
       },
       {a, b, c, y, x}},
      {"a part of the textures and nothing at all",
       [&] {
         scan(tex + "/A");
         ASSERT_TRUE(SaveMapCache(host));
       },
       {a, b, c, y, x}},
      {"a file deleted and one added, the textures scanned",
       [&] {
         std::remove(c.c_str());
         tree.write("Poser/Runtime/Textures/A/d.jpg", "x");
         scan(tex);
       },
       {a, b, d, y, x}},
      {"a deleted file met by a lookup, then a scan of the textures",
       [&] {
         std::remove(x.c_str());
         MapSearchHooks hooks;
         EXPECT_EQ(FindFile("D:\\x.jpg", host, hooks), "D:\\x.jpg");
         scan(tex);
       },
       {a, b, d, y}},
  };
  for (const Run& run : runs) {
    ResetModel();  // a new run: the lists start empty
    run.act();
    std::vector<std::string> expected = run.expected;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(cached(), expected) << run.what;
  }
  // A later run finds each file without a scan.
  ResetModel();
  MapSearchHooks hooks;
  EXPECT_EQ(FindFile("E:\\maps\\Y.PNG", host, hooks), y);
  EXPECT_EQ(FindFile("E:\\maps\\d.jpg", host, hooks), d);
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace vandrel
