#include "platform/qt/file_drops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "platform/qt/poser_text.h"

namespace vandrel {

bool AcceptFilesAsCopy(QDropEvent* event) {
  if (!(event->possibleActions() & Qt::CopyAction)) {
    event->ignore();
    return false;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  return true;
}

std::vector<std::string> DroppedLocalFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile() && !url.toLocalFile().isEmpty()) paths.push_back(ToUtf8(url.toLocalFile()));
  return paths;
}

}  // namespace vandrel
