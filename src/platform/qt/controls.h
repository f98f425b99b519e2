// Setting controls from code the way the original platform does.
//
// Every value a procedure puts into a control goes through these helpers.
// Each one blocks the control's Qt signals during the write and afterwards
// runs the control's own handler (the one given to a bind... function) exactly
// when the original would: only when the value really changes, except that
// setting an option button always runs its handler. List views (QTreeWidget)
// run no handler when code selects an item. Qt signals are connected only for
// the user's own changes.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

#include "model/model.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QObject;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QString;
class QWidget;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace vandrel::controls {

using Handler = std::function<void()>;

// The handler a change of `control` runs; replaces an earlier one.
void setHandler(QObject* control, Handler handler);
// Runs the handler of `control` when it has one.
void runHandler(QObject* control);

// Binding a handler also connects the signal of the user's own change.
void bindCheckBox(QCheckBox* box, Handler onClick);         // clicked by the user
void bindOption(QRadioButton* option, Handler onClick);     // chosen by the user
void bindText(QLineEdit* box, Handler onChange);            // typed, cut or pasted
void bindValue(QScrollBar* bar, Handler onChange);          // dragged or stepped
void bindClick(QComboBox* list, Handler onClick);           // an item chosen
void bindClick(QListWidget* list, Handler onClick);         // selection changed
void bindClick(QTabBar* tabs, Handler onClick);             // a tab chosen
void bindButton(QAbstractButton* button, Handler onClick);  // pressed
void bindMenu(QAction* entry, Handler onClick);             // menu entry chosen
void bindItemClick(QTreeWidget* view, std::function<void(QTreeWidgetItem*)> onItemClick);

// Check box: ticked or cleared; the handler runs when the state changed.
void setChecked(QCheckBox* box, bool checked);
// Option button set: the others of its group clear; its handler always runs.
void setOption(QRadioButton* option);
// Text box; the handler runs when the text changed.
void setText(QLineEdit* box, const QString& text);
// Scroll bar value, clamped to its range; the handler runs when it changed.
void setValue(QScrollBar* bar, int value);
// Range of a scroll bar; a value pushed into the new range runs the handler.
void setRange(QScrollBar* bar, int minimum, int maximum);
// Chosen item of a drop-down list (-1 = none); the handler runs when it changed.
void setListIndex(QComboBox* list, int index);
// Current row of a list box ("ListIndex"), without touching the selection;
// the handler runs when it changed.
void setListIndex(QListWidget* list, int row);
// Chosen tab; the handler runs when it changed.
void setTab(QTabBar* tabs, int index);
// Selection of one list-box row; the handler runs when it changed.
void setSelected(QListWidget* list, int row, bool selected);
// The whole selection of a list box at once (row i selected when rows[i]),
// in one change however many rows it touches; the handler runs once when
// the selection changed. The current row stays.
void setSelection(QListWidget* list, const std::vector<bool>& rows);
// The selected state of every row, in row order, read in one pass over the
// selection's ranges (asking each row is slow on long lists).
std::vector<bool> selectedRows(const QListWidget* list);
// Selection of one list-view item: never runs a handler.
void setSelected(QTreeWidget* view, int row, bool selected);
// List-view selection in one step (never item by item, which grows
// quadratically with the rows): exactly the rows set in `rows`, or all rows.
// Never runs a handler.
void selectRows(QTreeWidget* view, const std::vector<bool>& rows);
void selectAll(QTreeWidget* view);
// One flag per row of the list view, set for the selected rows, and their count.
std::vector<bool> selectedRows(const QTreeWidget* view);
int selectedCount(const QTreeWidget* view);
// Moves the list view's current item (where the arrow keys start) without
// touching the selection.
void setCurrentRow(QTreeWidget* view, int row);
// Replaces the items of a two-column list view in one step.
void setItems(QTreeWidget* view, const std::vector<std::pair<QString, QString>>& items);

// Item changes of lists run no handler and keep "nothing chosen" as it was:
// a drop-down list that had no chosen item still has none afterwards.
void addItem(QComboBox* list, const QString& text);
void insertItem(QComboBox* list, int index, const QString& text);
void removeItem(QComboBox* list, int index);
void clear(QComboBox* list);
void addItem(QListWidget* list, const QString& text);
// Many items at once (one insertion, however long the list).
void addItems(QListWidget* list, const QStringList& texts);
void clear(QListWidget* list);
void clear(QTreeWidget* view);

// Clears gState.EventsOn for the life of the object, so that the window's
// own changes of a control do not count as the user's.
class EventsOff {
 public:
  EventsOff() : saved_(gState.EventsOn) { gState.EventsOn = false; }
  ~EventsOff() { gState.EventsOn = saved_; }
  EventsOff(const EventsOff&) = delete;
  EventsOff& operator=(const EventsOff&) = delete;

 private:
  bool saved_;
};

// A button or label with its documented name, caption and tool tip.
QPushButton* newButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip = {});
QLabel* newLabel(QWidget* parent, const QString& name, const QString& caption, const QString& tip = {});

// A check box or option button whose text stands in a label beside it: a
// click on the label is a click on the button (the box ticks or clears, the
// option is chosen, its handler runs), as long as both are enabled. The label
// becomes the button's buddy.
void clickThroughCaption(QLabel* caption, QAbstractButton* button);

}  // namespace vandrel::controls
