#include "maps/map_cache.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "maps/map_test_util.h"

namespace vandrel {
namespace {

using test::MapTest;

TEST_F(MapTest, ScanListsPicturesByKindDepthFirstInSortedOrderAndSavesTheFiveCacheFiles) {
  for (const char* name : {"a.TIF", "b.tiff", "c.jpeg", "d.PICT", "e.txt", "xtiff", "f.bum", "g.bmp", "h.png"})
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
  EXPECT_EQ(Cache("tifs.txt"), "a.TIF\r\n*" + lib + "\r\nb.tiff\r\n*" + lib + "\r\nxtiff\r\n*" + lib + "\r\n");
  EXPECT_EQ(Cache("bums.txt"), "f.bum\r\n*" + lib + "\r\n");
  EXPECT_EQ(Cache("bmps.txt"), "g.bmp\r\n*" + lib + "\r\n");

  // A second scan lists everything again; the save then names it twice.
  ScanFolder(lib, host);
  ASSERT_TRUE(SaveMapCache(host));
  EXPECT_EQ(Cache("bums.txt"), "f.bum\r\n*" + lib + "\r\nf.bum\r\n*" + lib + "\r\n");

  // Whole names only, in any case; the cache file is read again once it changes.
  std::string error;
  EXPECT_EQ(FindInMapList(MapKind::Jpg, "Z.JPG").size(), 2u);  // scanned twice
  EXPECT_TRUE(FindInMapList(MapKind::Jpg, "2.jpg").empty());
  EXPECT_EQ(FindInCacheFile(MapKind::Tif, "A.tif", error).size(), 2u);
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
  EXPECT_EQ(host.messages[0].rfind("The map cache could not be saved in " + tree.file("blocked/Cache") + ":\r\n", 0),
            0u);
}

}  // namespace
}  // namespace vandrel
