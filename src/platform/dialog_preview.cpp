#include "platform/dialog_preview.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/text.h"
#include "platform/files.h"
#include "platform/path_case.h"

namespace vandrel {

ThumbnailList gWorkingThumbnails;
std::string gDlgSelectedFile;

bool ThumbnailList::Add(const std::string& key, ThumbPicture picture) {
  if (!index_.emplace(key, items_.size()).second) return false;
  items_.emplace_back(key, std::move(picture));
  return true;
}

const ThumbPicture* ThumbnailList::Find(const std::string& key) const {
  const auto it = index_.find(key);
  return it == index_.end() ? nullptr : &items_[it->second].second;
}

void ThumbnailList::CutTo(std::size_t count) {
  while (items_.size() > count) {
    index_.erase(items_.back().first);
    items_.pop_back();
  }
}

namespace {

// A stock picture: the black thumbnail background with `inside(x, y)`
// giving the colour of each pixel of the picture's square.
template <typename Colour>
ThumbPicture StockPicture(Colour inside) {
  ThumbPicture p;
  p.width = p.height = kThumbnailSide;
  p.pixels.assign(static_cast<std::size_t>(kThumbnailSide) * kThumbnailSide, 0xFF000000u);
  for (int y = 0; y < kThumbnailPicture; ++y)
    for (int x = 0; x < kThumbnailPicture; ++x)
      p.pixels[static_cast<std::size_t>(y) * kThumbnailSide + x] = inside(x, y);
  return p;
}

constexpr int kLast = kThumbnailPicture - 1;
bool OnFrame(int x, int y) { return x < 2 || y < 2 || x > kLast - 2 || y > kLast - 2; }

int RoundHalfEven(float v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

ThumbnailList& StockThumbnails() {
  static ThumbnailList stock = [] {
    ThumbnailList list;
    list.Add("Black", StockPicture([](int, int) { return 0xFF000000u; }));
    // A framed empty square.
    list.Add("NoImage", StockPicture([](int x, int y) { return OnFrame(x, y) ? 0xFF808080u : 0xFF303030u; }));
    // A chequered square, where a preview will be.
    list.Add("PicPrev",
             StockPicture([](int x, int y) { return ((x / 8 + y / 8) % 2) ? 0xFF505050u : 0xFF3A3A3Au; }));
    // Grey, crossed from corner to corner.
    list.Add("NA", StockPicture([](int x, int y) {
               const bool cross = std::abs(x - y) <= 1 || std::abs(x + y - kLast) <= 1;
               return cross ? 0xFFC0C0C0u : 0xFF606060u;
             }));
    // Three dots across the middle.
    list.Add("Loading", StockPicture([](int x, int y) {
               const int c = kThumbnailPicture / 2, dy = y - c;
               bool dot = false;
               for (int cx : {c - 16, c, c + 16}) dot = dot || (x - cx) * (x - cx) + dy * dy <= 25;
               return dot ? 0xFFE0E0E0u : 0xFF202020u;
             }));
    return list;
  }();
  return stock;
}

ThumbRect LetterboxRect(int pictureWidth, int pictureHeight) {
  ThumbRect r;
  if (pictureWidth <= 0 || pictureHeight <= 0) return r;
  const float ratio = static_cast<float>(pictureWidth) / static_cast<float>(pictureHeight);
  if (ratio < 1.0f) {
    r.height = kThumbnailPicture;
    r.width = std::max(1, RoundHalfEven(static_cast<float>(r.height) * ratio));
    r.x = std::abs(r.width - r.height) / 2;
  } else {
    r.width = kThumbnailPicture;
    r.height = std::max(1, RoundHalfEven(static_cast<float>(r.width) / ratio));
    r.y = std::abs(r.width - r.height) / 2;
  }
  return r;
}

PreviewKind PreviewKindOf(const std::string& path) {
  static const char* const kPictures[] = {".bmp", ".jpg", "jpeg", ".gif", ".rle", ".wmf", ".emf", ".png",
                                          ".tif", "tiff", ".bum", ".pcx", ".pgm", "pict", ".psd", ".tga"};
  static const char* const kLibrary[] = {".cr2", ".pz2", ".pp2", ".fc2", ".cm2", ".hr2", ".hd2", ".lt2"};
  const std::string tail = LCase(Right(path, 4));
  for (const char* p : kPictures)
    if (tail == p) return PreviewKind::Picture;
  for (const char* p : kLibrary)
    if (tail == p) return PreviewKind::PoserLibrary;
  return PreviewKind::Other;
}

std::string LibraryThumbnailPath(const std::string& path) { return Left(path, InStrRev(path, ".")) + "png"; }

bool LoadWorkingThumbnail(const std::string& path, const ThumbnailLoader& load) {
  if (gWorkingThumbnails.Contains(path) || !load) return false;
  std::optional<ThumbPicture> picture = load(path);
  if (!picture || picture->empty()) return false;
  return gWorkingThumbnails.Add(path, std::move(*picture));
}

namespace {

// The picture file itself, loaded into the working list; nullptr when it cannot be read.
const ThumbPicture* WorkingPictureOf(const std::string& path, const ThumbnailLoader& load) {
  LoadWorkingThumbnail(path, load);
  return gWorkingThumbnails.Find(path);
}

// The library thumbnail as stored on disk: the exact name first, then one
// that differs only by case, as the libraries' home platform finds it.
std::string StoredThumbnailPath(const std::string& path) {
  const std::string thumb = LibraryThumbnailPath(path);
  if (FileExists(thumb)) return thumb;
  const std::string stored = FindStoredName(FolderOf(thumb), FileNameOf(thumb));
  if (stored.empty()) return {};
  const std::string found = JoinPath(FolderOf(thumb), stored);
  return FileExists(found) ? found : std::string();
}

}  // namespace

const ThumbPicture* DialogThumbnail(const std::string& path, const ThumbnailLoader& load) {
  if (!FileExists(path)) return nullptr;  // nothing there, or a folder
  switch (PreviewKindOf(path)) {
    case PreviewKind::Picture:
      return WorkingPictureOf(path, load);
    case PreviewKind::PoserLibrary: {
      const std::string thumb = StoredThumbnailPath(path);
      if (!thumb.empty()) return WorkingPictureOf(thumb, load);
      return StockThumbnails().Find("NA");
    }
    case PreviewKind::Other:
      break;
  }
  return StockThumbnails().Find("NA");
}

const ThumbPicture* DialogSelectionChanged(const std::string& path, bool previewTicked,
                                           const ThumbnailLoader& load) {
  if (path.empty()) return nullptr;
  gDlgSelectedFile = path;
  return previewTicked ? DialogThumbnail(path, load) : nullptr;
}

}  // namespace vandrel
