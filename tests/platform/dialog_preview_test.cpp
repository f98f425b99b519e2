#include "platform/dialog_preview.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::TempDir;

// A loader that stands in for the picture reader: each readable file gets a
// one-pixel picture of its own, and every call is recorded.
struct FakeLoader {
  std::vector<std::string> calls;
  std::vector<std::string> unreadable;
  ThumbnailLoader fn() {
    return [this](const std::string& path) -> std::optional<ThumbPicture> {
      calls.push_back(path);
      for (const auto& u : unreadable)
        if (u == path) return std::nullopt;
      return ThumbPicture{1, 1, {static_cast<std::uint32_t>(calls.size())}};
    };
  }
};

class DialogPreview : public ::testing::Test {
 protected:
  void SetUp() override {
    gWorkingThumbnails.Clear();
    gDlgSelectedFile.clear();
  }
  void TearDown() override { gWorkingThumbnails.Clear(); }
  const ThumbPicture* na() { return StockThumbnails().Find("NA"); }
  TempDir dir;
  FakeLoader loader;
};

TEST(PreviewKind, GoesByTheLastFourCharactersInAnyCase) {
  // Only the last four characters count, lower-cased.
  for (const char* p : {"/a/skin.JPEG", "/a/d.bum", "/a/e.Tiff", "/a/g.pict", "/a/photo_jpeg"})
    EXPECT_EQ(PreviewKindOf(p), PreviewKind::Picture) << p;
  for (const char* p : {"/a/Figure.cr2", "/a/b.PZ2", "/a/h.lt2"})
    EXPECT_EQ(PreviewKindOf(p), PreviewKind::PoserLibrary) << p;
  for (const char* p : {"/a/skin.jp", "/a/b.jpe", "/a/b.cr2x", "/a/notes.txt", "jpg", ""})
    EXPECT_EQ(PreviewKindOf(p), PreviewKind::Other) << p;
}

TEST(PreviewKind, LibraryThumbnailIsThePathUpToItsLastDotAndPng) {
  EXPECT_EQ(LibraryThumbnailPath("/lib/Figure.cr2"), "/lib/Figure.png");
  EXPECT_EQ(LibraryThumbnailPath("/lib/My.Fig.v2.CR2"), "/lib/My.Fig.v2.png");
  EXPECT_EQ(LibraryThumbnailPath("/lib.d/Pose.pz2"), "/lib.d/Pose.png");
}

TEST(PreviewKind, LetterboxFitsTheLongerSideAndCentresTheShorter) {
  // Halves round to even: 93 / 2 = 46.5 gives 46.
  const ThumbRect wide = LetterboxRect(200, 100);
  EXPECT_EQ(wide.x, 0);
  EXPECT_EQ(wide.width, 93);
  EXPECT_EQ(wide.height, 46);
  EXPECT_EQ(wide.y, 23);
  const ThumbRect tall = LetterboxRect(100, 200);
  EXPECT_EQ(tall.height, 93);
  EXPECT_EQ(tall.width, 46);
  EXPECT_EQ(tall.x, 23);
  EXPECT_EQ(tall.y, 0);
  const ThumbRect square = LetterboxRect(17, 17);
  EXPECT_EQ(square.width, 93);
  EXPECT_EQ(square.height, 93);
  EXPECT_EQ(LetterboxRect(1, 5000).width, 1);  // never narrower than a pixel
  EXPECT_EQ(LetterboxRect(0, 10).width, 0);
}

TEST_F(DialogPreview, PicturesAreLoadedOnceUnderTheirPath) {
  const std::string jpeg = dir.write("Skin.JPEG", "x");
  const ThumbPicture* first = DialogThumbnail(jpeg, loader.fn());
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, na());
  EXPECT_EQ(first, gWorkingThumbnails.Find(jpeg));
  // Another file whose name differs only in case is another picture.
  const std::string lower = dir.write("skin.jpeg", "x");
  EXPECT_NE(DialogThumbnail(lower, loader.fn()), first);
  // Selected again: drawn from the list, not read again.
  EXPECT_EQ(DialogThumbnail(jpeg, loader.fn()), first);
  EXPECT_EQ(loader.calls, (std::vector<std::string>{jpeg, lower}));

  const std::string bump = dir.write("rock.bum", "x");
  const ThumbPicture* b = DialogThumbnail(bump, loader.fn());
  ASSERT_NE(b, nullptr);
  EXPECT_NE(b, na());
}

TEST_F(DialogPreview, OtherFilesShowNotAvailable) {
  EXPECT_EQ(DialogThumbnail(dir.write("skin.jp", "x"), loader.fn()), na());
  EXPECT_EQ(DialogThumbnail(dir.write("notes.txt", "x"), loader.fn()), na());
  EXPECT_TRUE(loader.calls.empty());
  ASSERT_NE(na(), nullptr);
  EXPECT_EQ(na()->width, kThumbnailSide);
  EXPECT_EQ(na()->pixels.size(), static_cast<std::size_t>(kThumbnailSide * kThumbnailSide));
}

TEST_F(DialogPreview, LibraryFilesShowThePngBesideThem) {
  const std::string figure = dir.write("Figure.cr2", "{");
  EXPECT_EQ(DialogThumbnail(figure, loader.fn()), na());  // no Figure.png yet
  EXPECT_TRUE(loader.calls.empty());

  const std::string png = dir.write("Figure.png", "x");
  const ThumbPicture* thumb = DialogThumbnail(figure, loader.fn());
  ASSERT_NE(thumb, nullptr);
  EXPECT_NE(thumb, na());
  EXPECT_EQ(loader.calls, std::vector<std::string>{png});
  EXPECT_EQ(thumb, gWorkingThumbnails.Find(png));

  // A thumbnail whose name differs only by case is found as well.
  const std::string pose = dir.write("Walk.PZ2", "{");
  const std::string upper = dir.write("Walk.PNG", "x");
  ASSERT_NE(DialogThumbnail(pose, loader.fn()), nullptr);
  EXPECT_EQ(loader.calls.back(), upper);
}

TEST_F(DialogPreview, NothingIsDrawnForFoldersMissingFilesAndUnreadablePictures) {
  const std::string folder = dir.mkdir("Runtime.png");
  EXPECT_EQ(DialogThumbnail(folder, loader.fn()), nullptr);
  EXPECT_EQ(DialogThumbnail(dir.file("gone.jpg"), loader.fn()), nullptr);
  const std::string broken = dir.write("broken.jpg", "not a picture");
  loader.unreadable.push_back(broken);
  EXPECT_EQ(DialogThumbnail(broken, loader.fn()), nullptr);
  EXPECT_FALSE(gWorkingThumbnails.Contains(dir.path() + "/broken.jpg"));
  EXPECT_EQ(loader.calls.size(), 1u);
}

TEST_F(DialogPreview, SelectionIsRecordedAndDrawnOnlyWhileTheBoxIsTicked) {
  const std::string jpg = dir.write("a.jpg", "x");
  EXPECT_EQ(DialogSelectionChanged(jpg, false, loader.fn()), nullptr);
  EXPECT_EQ(gDlgSelectedFile, jpg);
  EXPECT_TRUE(loader.calls.empty());

  const std::string folder = dir.mkdir("textures");
  EXPECT_EQ(DialogSelectionChanged(folder, true, loader.fn()), nullptr);
  EXPECT_EQ(gDlgSelectedFile, folder);

  // Nothing selected: nothing changes.
  EXPECT_EQ(DialogSelectionChanged("", true, loader.fn()), nullptr);
  EXPECT_EQ(gDlgSelectedFile, folder);

  const ThumbPicture* drawn = DialogSelectionChanged(jpg, true, loader.fn());
  ASSERT_NE(drawn, nullptr);
  EXPECT_EQ(drawn->pixels, std::vector<std::uint32_t>{1u});
  EXPECT_EQ(gDlgSelectedFile, jpg);
}

}  // namespace
}  // namespace vandrel
