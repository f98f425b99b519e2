// The main window's two picture lists of map thumbnails and the procedures
// that fill and show them. List 0 holds the five stock pictures ("Black",
// "NoImage", "PicPrev", "NA", "Loading") and then the thumbnails of the open
// document's maps, each 93 x 93 pixels; list 1 holds the map chooser's
// thumbnails at the size of the first one added. Every thumbnail is kept
// under its picture's file path exactly as given: the file system tells
// names apart by case, so "Skin.jpg" and "skin.jpg" are two pictures.
#pragma once

#include <QPixmap>
#include <functional>
#include <string>

#include "platform/dialog_preview.h"

class QLabel;
class QObject;

namespace vandrel {

inline constexpr int kStockPictureCount = 5;
inline constexpr int kMainThumbnailSide = 93;  // size of every picture of list 0

// ImageList1(0) and ImageList1(1). List 0 starts with the stock pictures.
ThumbnailList& ImageList1(int listNumber);

// Cuts list 0 back to its five stock pictures (a new file is loaded); the
// thumbnails still being made are dropped.
void CutMainThumbnailsToStock();
// Empties list 1 (the map chooser closes).
void ClearChooserThumbnails();

// Puts the thumbnail of the picture file `fileName` into list `listNumber`
// (0 or 1) and adds its size to gPictureSizes. True when a thumbnail was
// added; false when the key was there already (nothing is read then) or the
// picture cannot be read. Lets the window paint (no input) before and after.
bool LoadThumbNail(const std::string& fileName, int listNumber);

// The list-0 thumbnail of a picture file starts being made on a worker
// thread (nothing happens when list 0 has it or it is on its way). The
// pictures go into list 0 and gPictureSizes in the order they were asked
// for, as LoadThumbNail would have put them: as they are done, while the
// windows' event loop runs (the OnThumbnailsArrived handler is told), and
// all of them when FinishPendingThumbnails runs, which waits for them.
// ImageList1(0) and LoadThumbNail into list 0 wait for them first; the map
// boxes (MapThumbnail, ShowMapThumbnail) never wait.
void RequestThumbnail(const std::string& file);
void FinishPendingThumbnails();
// True while the thumbnail of `file` is being made.
bool ThumbnailPending(const std::string& file);
// The one handler told, on the windows' thread, when made thumbnails have
// gone into list 0; dropped when `owner` goes.
void OnThumbnailsArrived(QObject* owner, std::function<void()> handler);
// While a file is read: RequestThumbnail for a map reference whose file exists.
void LoadMapReferenceThumbnail(const std::string& path);

// The picture list 0 keeps for the map reference `path` (a colon or file
// path); nullptr when it holds none.
const ThumbPicture* MapThumbnail(const std::string& path);

// Shows in `image` the thumbnail list 0 holds for the map reference `path`
// and enables the box and its caption; while it is being made, the stock
// picture "Loading"; without one (a missing file, "NO_MAP") the box is
// cleared and both are disabled.
void ShowMapThumbnail(const std::string& path, QLabel* image, QLabel* caption);
// Shows the stock picture "Loading" in a thumbnail box.
void ShowLoadingPicture(QLabel* image);

QPixmap ThumbnailPixmap(const ThumbPicture& picture);

}  // namespace vandrel
