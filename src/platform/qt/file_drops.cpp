#include "platform/qt/file_drops.h"

#include <QDropEvent>

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

}  // namespace vandrel
