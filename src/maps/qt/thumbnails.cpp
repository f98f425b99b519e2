#include "maps/qt/thumbnails.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <chrono>
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

// A list-0 thumbnail made on a worker thread, ready to go into the list.
struct MadeThumbnail {
  ThumbPicture picture;  // empty when the file could not be read
  QSize size;            // the picture's own size
};

// A thumbnail being made on a worker thread.
struct PendingThumbnail {
  std::string fileName;
  std::future<MadeThumbnail> picture;
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

// The workers that make thumbnails: one core fewer than the machine has, at
// a lower priority than the windows, so that the window that asked for the
// pictures goes on at its own pace. They go with the application, which
// waits for the pictures being made, but not for those not yet started.
class ThumbnailWorkers : public QThreadPool {
 public:
  using QThreadPool::QThreadPool;
  ~ThumbnailWorkers() override { clear(); }
};

QThreadPool& Workers() {
  static QPointer<QThreadPool> pool;
  if (!pool) {
    pool = new ThumbnailWorkers(QCoreApplication::instance());
    pool->setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
  }
  return *pool;
}

void LowerThisThreadsPriority() {
  thread_local bool lowered = false;
  if (lowered) return;
  lowered = true;
  // On Linux a thread's nice value is its own.
  (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 10);
}

// Who is told when thumbnails made on the workers have gone into list 0.
struct ArrivalHandler {
  QPointer<QObject> owner;
  std::function<void()> handler;
};
ArrivalHandler& Arrival() {
  static ArrivalHandler arrival;
  return arrival;
}

// Moves the made thumbnails at the head of the queue into list 0, in the
// order they were asked for; waits for them only when `wait`.
bool TakeMadeThumbnails(bool wait) {
  bool added = false;
  if (!Pending().empty()) SeedStock();
  while (!Pending().empty()) {
    PendingThumbnail& next = Pending().front();
    if (!wait && next.picture.wait_for(std::chrono::seconds(0)) != std::future_status::ready) break;
    MadeThumbnail made = next.picture.get();
    const std::string fileName = std::move(next.fileName);
    Pending().pop_front();
    PendingKeys().erase(fileName);
    if (made.picture.empty()) continue;
    AddPictureSize(fileName, made.size.width(), made.size.height());
    added = MainList().Add(fileName, std::move(made.picture)) || added;
  }
  return added;
}

// On the windows' thread, while thumbnails are being made: takes in those
// that are done and tells the window.
QTimer* ArrivalTimer() {
  static QPointer<QTimer> timer;
  if (!timer && QCoreApplication::instance()) {
    timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(40);
    QObject::connect(timer, &QTimer::timeout, [] {
      if (TakeMadeThumbnails(false) && Arrival().owner && Arrival().handler) Arrival().handler();
      if (Pending().empty()) timer->stop();
    });
  }
  return timer;
}

}  // namespace

void FinishPendingThumbnails() {
  if (Pending().empty()) return;
  SeedStock();
  TakeMadeThumbnails(true);
  LetWindowsPaint();
}

void RequestThumbnail(const std::string& file) {
  SeedStock();
  if (MainList().Contains(file) || !PendingKeys().insert(file).second) return;
  auto task = std::make_shared<std::packaged_task<MadeThumbnail()>>([file] {
    LowerThisThreadsPriority();
    const Thumbnail thumb = ReadThumbnail(file);
    if (thumb.image.isNull()) return MadeThumbnail{};
    return MadeThumbnail{FromQImage(ToListSize(thumb.image, QSize(kMainThumbnailSide, kMainThumbnailSide))),
                         thumb.size};
  });
  Pending().push_back(PendingThumbnail{file, task->get_future()});
  Workers().start([task] { (*task)(); });
  if (QTimer* timer = ArrivalTimer(); timer && !timer->isActive()) timer->start();
}

bool ThumbnailPending(const std::string& file) { return PendingKeys().count(file) != 0; }

void OnThumbnailsArrived(QObject* owner, std::function<void()> handler) {
  Arrival() = ArrivalHandler{owner, std::move(handler)};
}

void LoadMapReferenceThumbnail(const std::string& path) {
  const std::string file = PoserPathToFilePath(path);
  if (FileExists(file)) RequestThumbnail(file);
}

ThumbnailList& ImageList1(int listNumber) {
  if (listNumber == 1) return ChooserList();
  FinishPendingThumbnails();
  SeedStock();
  return MainList();
}

void CutMainThumbnailsToStock() {
  // The pictures still being made for the last file are no longer wanted:
  // those not started are dropped, those being made are not waited for.
  Workers().clear();
  Pending().clear();
  PendingKeys().clear();
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
  // What is done is taken in; what is still being made is not waited for.
  TakeMadeThumbnails(false);
  SeedStock();
  return MainList().Find(file);
}

void ShowMapThumbnail(const std::string& path, QLabel* image, QLabel* caption) {
  const ThumbPicture* picture = MapThumbnail(path);
  const bool loading = !picture && !path.empty() && ThumbnailPending(PoserPathToFilePath(path));
  if (picture) {
    image->setPixmap(ThumbnailPixmap(*picture));
  } else if (loading) {
    ShowLoadingPicture(image);
  } else {
    image->clear();
  }
  image->setEnabled(picture || loading);
  caption->setEnabled(picture || loading);
}

void ShowLoadingPicture(QLabel* image) {
  SeedStock();
  if (const ThumbPicture* loading = MainList().Find("Loading")) image->setPixmap(ThumbnailPixmap(*loading));
}

QPixmap ThumbnailPixmap(const ThumbPicture& picture) { return QPixmap::fromImage(ToQImage(picture)); }

}  // namespace vandrel
