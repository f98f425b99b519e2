#include "maps/qt/thumbnails.h"

#include <QCoreApplication>
#include <QLabel>
#include <QThreadPool>
#include <deque>
#include <future>
#include <memory>
#include <unordered_set>

#include "maps/picture_sizes.h"
#include "maps/poser_paths.h"
#include "platform/files.h"
#include "platform/qt/thumbnail_picture.h"

namespace vandrel {

namespace {

ThumbnailList& MainList() {
  static ThumbnailList list;
  return list;
}

ThumbnailList& ChooserList() {
  static ThumbnailList list;
  return list;
}

QImage ToListSize(const QImage& image, const QSize& side) {
  if (image.size() == side) return image;
  return image.scaled(side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void SeedStock() {
  ThumbnailList& list = MainList();
  if (list.Count() >= kStockPictureCount) return;
  list.Clear();
  const ThumbnailList& stock = StockThumbnails();
  const QSize side(kMainThumbnailSide, kMainThumbnailSide);
  for (std::size_t i = 0; i < stock.Count(); ++i)
    list.Add(stock.KeyAt(i), FromQImage(ToListSize(ToQImage(stock.At(i)), side)));
}

// A thumbnail decoding on a worker thread.
struct PendingThumbnail {
  std::string fileName;
  std::future<Thumbnail> picture;
};

std::deque<PendingThumbnail>& Pending() {
  static std::deque<PendingThumbnail> pending;
  return pending;
}

std::unordered_set<std::string>& PendingKeys() {
  static std::unordered_set<std::string> keys;
  return keys;
}

// Puts a read thumbnail into a list with its size entry.
bool AddThumbnail(ThumbnailList& list, int listNumber, const std::string& fileName, const Thumbnail& thumb) {
  if (thumb.image.isNull()) return false;
  AddPictureSize(fileName, thumb.size.width(), thumb.size.height());
  // List 0 keeps 93 x 93 pictures; list 1 the size of its first one.
  QSize side(kMainThumbnailSide, kMainThumbnailSide);
  if (listNumber == 1) side = list.Count() ? QSize(list.At(0).width, list.At(0).height) : thumb.image.size();
  return list.Add(fileName, FromQImage(ToListSize(thumb.image, side)));
}

// Lets queued painting happen while a picture loads; the user's input waits.
void LetWindowsPaint() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void FinishPendingThumbnails() {
  if (Pending().empty()) return;
  SeedStock();
  while (!Pending().empty()) {
    PendingThumbnail next = std::move(Pending().front());
    Pending().pop_front();
    AddThumbnail(MainList(), 0, next.fileName, next.picture.get());
  }
  PendingKeys().clear();
  LetWindowsPaint();
}

void LoadMapReferenceThumbnail(const std::string& path) {
  const std::string file = PoserPathToFilePath(path);
  if (!FileExists(file)) return;
  SeedStock();
  if (MainList().Contains(file) || !PendingKeys().insert(file).second) return;
  auto task = std::make_shared<std::packaged_task<Thumbnail()>>([file] { return ReadThumbnail(file); });
  Pending().push_back(PendingThumbnail{file, task->get_future()});
  QThreadPool::globalInstance()->start([task] { (*task)(); });
}

ThumbnailList& ImageList1(int listNumber) {
  FinishPendingThumbnails();
  if (listNumber == 1) return ChooserList();
  SeedStock();
  return MainList();
}

void CutMainThumbnailsToStock() {
  FinishPendingThumbnails();
  SeedStock();
  MainList().CutTo(kStockPictureCount);
}

void ClearChooserThumbnails() { ChooserList().Clear(); }

bool LoadThumbNail(const std::string& fileName, int listNumber) {
  ThumbnailList& list = ImageList1(listNumber);
  if (list.Contains(fileName)) return false;
  LetWindowsPaint();
  if (!AddThumbnail(list, listNumber, fileName, ReadThumbnail(fileName))) return false;
  LetWindowsPaint();
  LetWindowsPaint();
  return true;
}

const ThumbPicture* MapThumbnail(const std::string& path) {
  const std::string file = PoserPathToFilePath(path);
  if (file.empty()) return nullptr;
  return ImageList1(0).Find(file);
}

void ShowMapThumbnail(const std::string& path, QLabel* image, QLabel* caption) {
  const ThumbPicture* picture = MapThumbnail(path);
  if (picture) {
    image->setPixmap(ThumbnailPixmap(*picture));
  } else {
    image->clear();
  }
  image->setEnabled(picture != nullptr);
  caption->setEnabled(picture != nullptr);
}

void ShowLoadingPicture(QLabel* image) {
  if (const ThumbPicture* loading = ImageList1(0).Find("Loading")) image->setPixmap(ThumbnailPixmap(*loading));
}

QPixmap ThumbnailPixmap(const ThumbPicture& picture) { return QPixmap::fromImage(ToQImage(picture)); }

}  // namespace vandrel
