// Files dragged from a file manager onto Vandrel's windows.
#pragma once

class QDropEvent;

namespace vandrel {

// Accepts a drag (enter, move) or a drop of files as a copy: Vandrel only
// reads what is dropped, so the source must never delete its files as after
// a move. A source that offers no copy is refused (the event ignored, false).
bool AcceptFilesAsCopy(QDropEvent* event);

}  // namespace vandrel
