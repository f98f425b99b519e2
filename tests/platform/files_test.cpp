#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "support/temp_dir.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;

TEST(Files, ExistenceFollowsLinksAndKnowsFilesFromFolders) {
  TempDir dir;
  const std::string file = dir.write("a.pz2", "x");
  const std::string folder = dir.mkdir("Runtime");
  fs::create_symlink(file, dir.file("link-to-file"));
  fs::create_symlink(folder, dir.file("link-to-folder"));
  fs::create_symlink(dir.file("gone"), dir.file("dangling"));

  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FolderExists(file));
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_FALSE(FileExists(folder));
  EXPECT_TRUE(FileExists(dir.file("link-to-file")));
  EXPECT_TRUE(FolderExists(dir.file("link-to-folder")));
  EXPECT_FALSE(FileExists(dir.file("dangling")));
  EXPECT_FALSE(FileExists(dir.file("missing")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FolderExists(""));
}

TEST(Files, ReadWholeFileKeepsEveryByte) {
  TempDir dir;
  const std::string bytes("a\r\nb\0c\xFF\r", 8);
  EXPECT_EQ(ReadWholeFile(dir.write("f.bin", bytes)), bytes);
  EXPECT_EQ(ReadWholeFile(dir.write("empty", "")), std::string());
  EXPECT_EQ(ReadWholeFile(dir.file("missing")), std::nullopt);
  EXPECT_EQ(ReadWholeFile(dir.path()), std::nullopt);
}

// Large files go out in pieces (sent on to the disk on the way) and come
// back through memory backed by large pages, byte for byte.
TEST(Files, LargeFileWrittenInPiecesReadsBackWhole) {
  TempDir dir;
  std::string bytes(std::size_t{13} << 20 | 3, '\0');
  std::uint32_t state = 12345;
  for (char& c : bytes) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
  const std::string path = dir.file("large.pz2");
  {
    AtomicFile file(path);
    for (std::size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = piece * 3 + 7)
      ASSERT_TRUE(file.Write(std::string_view(bytes).substr(at, piece)));
    ASSERT_EQ(file.Commit(), "");
  }
  std::string back;
  int asked = 0;
  ASSERT_EQ(ReadWholeFileInto(
                path, back, [&] { return ++asked < 0; }, std::size_t{1} << 20),
            0);
  EXPECT_TRUE(back == bytes);
  EXPECT_GE(asked, 12);
  // A read stopped early keeps what it has, from the start.
  ASSERT_EQ(ReadWholeFileInto(
                path, back, [] { return true; }, std::size_t{1} << 20),
            0);
  EXPECT_GE(back.size(), std::size_t{1} << 20);
  EXPECT_LT(back.size(), bytes.size());
  EXPECT_TRUE(std::string_view(bytes).starts_with(back));
}

TEST(Files, AtomicWriteReplacesKeepsModeAndFollowsLinks) {
  TempDir dir;
  const std::string target = dir.write("Settings.ini", "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  EXPECT_EQ(WriteFileAtomic(target, "new"), "");
  EXPECT_EQ(ReadFileBytes(target), "new");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // Writing through a link replaces the file it points to and keeps the link.
  fs::create_symlink(target, dir.file("link.ini"));
  EXPECT_EQ(WriteFileAtomic(dir.file("link.ini"), "via link"), "");
  EXPECT_TRUE(fs::is_symlink(dir.file("link.ini")));
  EXPECT_EQ(ReadFileBytes(target), "via link");

  // A new file is created; failures come back as text.
  EXPECT_EQ(WriteFileAtomic(dir.file("created.txt"), ""), "");
  EXPECT_TRUE(FileExists(dir.file("created.txt")));
  EXPECT_NE(WriteFileAtomic(dir.file("no/such/folder.txt"), "x"), "");
  EXPECT_NE(WriteFileAtomic(dir.mkdir("folder"), "x"), "");
  EXPECT_NE(WriteFileAtomic("", "x"), "");

  // A read-only file is refused and left as it was, also through a link.
  const std::string locked = dir.write("locked.pz2", "keep");
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
  EXPECT_NE(WriteFileAtomic(locked, "lost"), "");
  fs::create_symlink(locked, dir.file("locked-link.pz2"));
  EXPECT_NE(WriteFileAtomic(dir.file("locked-link.pz2"), "lost"), "");
  EXPECT_EQ(ReadFileBytes(locked), "keep");

  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 6u);  // Settings.ini, link.ini, created.txt, folder, locked.pz2, locked-link.pz2
}

TEST(Files, PathPieces) {
  EXPECT_EQ(FileNameOf("/a/b/c.pz2"), "c.pz2");
  EXPECT_EQ(FileNameOf("c.pz2"), "c.pz2");
  EXPECT_EQ(FileNameOf("/a/b/"), "");
  EXPECT_EQ(FolderOf("/a/b/c.pz2"), "/a/b");
  EXPECT_EQ(FolderOf("c.pz2"), "");
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/", "b"), "/b");
  EXPECT_EQ(JoinPath("", "b"), "b");
}

}  // namespace
}  // namespace vandrel
