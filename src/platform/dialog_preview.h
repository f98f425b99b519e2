// The thumbnail preview of the open dialog, without the toolkit: which kind
// of file a selection is, which picture stands for it, and the two picture
// lists the preview draws from. The Qt side loads pictures and shows them.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vandrel {

// A square thumbnail: width x height pixels, 0xAARRGGBB, row by row.
struct ThumbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  bool empty() const { return width <= 0 || height <= 0; }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Pictures kept under a text key (thumbnails use the file path as the file
// system compares it: case counts), in the order they were added. Pictures stay where they are while
// others are added.
class ThumbnailList {
 public:
  // Adds `picture` under `key`; false (and nothing changes) when the key is taken.
  bool Add(const std::string& key, ThumbPicture picture);
  const ThumbPicture* Find(const std::string& key) const;
  bool Contains(const std::string& key) const { return Find(key) != nullptr; }
  std::size_t Count() const { return items_.size(); }
  // The i-th picture added and its key (0-based).
  const std::string& KeyAt(std::size_t i) const { return items_[i].first; }
  const ThumbPicture& At(std::size_t i) const { return items_[i].second; }
  // Keeps only the first `count` pictures.
  void CutTo(std::size_t count);
  void Clear() { CutTo(0); }

 private:
  std::deque<std::pair<std::string, ThumbPicture>> items_;
  std::unordered_map<std::string, std::size_t> index_;
};

// The stock pictures, in this order: "Black" (the background every
// thumbnail is drawn on), "NoImage", "PicPrev", "NA" (no picture available)
// and "Loading" (shown while a picture loads); kThumbnailSide squares,
// drawn on first use.
ThumbnailList& StockThumbnails();
// The working list the open dialog's preview fills; seeded with "NA" before
// the dialog and emptied after it.
extern ThumbnailList gWorkingThumbnails;
// Full path of the file last selected in the open dialog.
extern std::string gDlgSelectedFile;

inline constexpr int kThumbnailSide = 97;     // side of a letterboxed thumbnail, in pixels
inline constexpr int kThumbnailPicture = 93;  // the square the picture is fitted into
inline constexpr int kPreviewDrawSide = 91;   // side the preview box draws a thumbnail at

// Where a picture of w x h pixels goes inside a thumbnail: fitted into the
// top-left kThumbnailPicture square, centred along its shorter side.
struct ThumbRect {
  int x = 0, y = 0, width = 0, height = 0;
};
ThumbRect LetterboxRect(int pictureWidth, int pictureHeight);

enum class PreviewKind { Picture, PoserLibrary, Other };
// By the last four characters of the path, lower-cased (".jpg", "jpeg", ".cr2", ...).
PreviewKind PreviewKindOf(const std::string& path);
// The library thumbnail of a Poser file: the path up to and including its
// last "." followed by "png" (Figure.cr2 -> Figure.png).
std::string LibraryThumbnailPath(const std::string& path);

// Reads a picture file into a letterboxed thumbnail; nullopt when it cannot.
using ThumbnailLoader = std::function<std::optional<ThumbPicture>(const std::string& path)>;

// Puts the thumbnail of `path` into the working list under its path; false when the key was there already or
// the picture could not be loaded.
bool LoadWorkingThumbnail(const std::string& path, const ThumbnailLoader& load);

// The picture the preview shows for `path`: the picture itself, the library
// thumbnail beside a Poser file, or the stock "NA". nullptr when the preview
// stays as it is (no such file, a folder, a picture that cannot be read).
const ThumbPicture* DialogThumbnail(const std::string& path, const ThumbnailLoader& load);

// The dialog's selection moved to `path` ("" = nothing selected): records it
// in gDlgSelectedFile and, when the preview box is ticked, gives what to
// draw (nullptr = draw nothing).
const ThumbPicture* DialogSelectionChanged(const std::string& path, bool previewTicked,
                                           const ThumbnailLoader& load);

}  // namespace vandrel
