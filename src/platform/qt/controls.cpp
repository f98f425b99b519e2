#include "platform/qt/controls.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelection>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTreeWidget>
#include <algorithm>
#include <memory>
#include <vector>

namespace vandrel::controls {

namespace {

// The handler lives in a child object, so it goes away with its control.
class HandlerSlot : public QObject {
 public:
  explicit HandlerSlot(QObject* parent) : QObject(parent) { setObjectName(kName); }
  Handler handler;
  static constexpr const char* kName = "vandrelHandlerSlot";
};

HandlerSlot* SlotOf(QObject* control) {
  for (QObject* child : control->children())
    if (child->objectName() == HandlerSlot::kName)
      if (auto* slot = dynamic_cast<HandlerSlot*>(child)) return slot;
  return nullptr;
}

// Watches a caption label and passes its clicks on to its button.
class CaptionClick : public QObject {
 public:
  CaptionClick(QLabel* caption, QAbstractButton* button) : QObject(caption), button_(button) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonRelease) return false;
    auto* caption = static_cast<QWidget*>(watched);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    // Released over the caption, as a click on a button counts only there.
    if (mouse->button() != Qt::LeftButton || !caption->rect().contains(mouse->position().toPoint()))
      return false;
    if (!caption->isEnabled() || !button_->isEnabled() || button_->isHidden()) return false;
    if (button_->focusPolicy() & Qt::ClickFocus) button_->setFocus(Qt::MouseFocusReason);
    button_->click();
    return false;
  }

 private:
  QAbstractButton* button_;
};

}  // namespace

void setHandler(QObject* control, Handler handler) {
  HandlerSlot* slot = SlotOf(control);
  if (!slot) slot = new HandlerSlot(control);
  slot->handler = std::move(handler);
}

void runHandler(QObject* control) {
  HandlerSlot* slot = SlotOf(control);
  if (slot && slot->handler) {
    Handler copy = slot->handler;  // the handler may replace itself
    copy();
  }
}

void bindCheckBox(QCheckBox* box, Handler onClick) {
  setHandler(box, std::move(onClick));
  QObject::connect(box, &QCheckBox::clicked, box, [box] { runHandler(box); });
}

void bindOption(QRadioButton* option, Handler onClick) {
  setHandler(option, std::move(onClick));
  QObject::connect(option, &QRadioButton::toggled, option, [option](bool on) {
    if (on) runHandler(option);
  });
}

void bindText(QLineEdit* box, Handler onChange) {
  setHandler(box, std::move(onChange));
  QObject::connect(box, &QLineEdit::textEdited, box, [box] { runHandler(box); });
}

void bindValue(QScrollBar* bar, Handler onChange) {
  setHandler(bar, std::move(onChange));
  QObject::connect(bar, &QScrollBar::valueChanged, bar, [bar] { runHandler(bar); });
}

void bindClick(QComboBox* list, Handler onClick) {
  setHandler(list, std::move(onClick));
  QObject::connect(list, &QComboBox::activated, list, [list] { runHandler(list); });
}

void bindClick(QListWidget* list, Handler onClick) {
  setHandler(list, std::move(onClick));
  QObject::connect(list, &QListWidget::itemSelectionChanged, list, [list] { runHandler(list); });
}

void bindClick(QTabBar* tabs, Handler onClick) {
  setHandler(tabs, std::move(onClick));
  QObject::connect(tabs, &QTabBar::currentChanged, tabs, [tabs] { runHandler(tabs); });
}

void bindButton(QAbstractButton* button, Handler onClick) {
  setHandler(button, std::move(onClick));
  QObject::connect(button, &QAbstractButton::clicked, button, [button] { runHandler(button); });
}

void bindMenu(QAction* entry, Handler onClick) {
  setHandler(entry, std::move(onClick));
  QObject::connect(entry, &QAction::triggered, entry, [entry] { runHandler(entry); });
}

void bindItemClick(QTreeWidget* view, std::function<void(QTreeWidgetItem*)> onItemClick) {
  QObject::connect(view, &QTreeWidget::itemClicked, view,
                   [onItemClick](QTreeWidgetItem* item) { onItemClick(item); });
}

void setChecked(QCheckBox* box, bool checked) {
  if (box->isChecked() == checked) return;
  {
    const QSignalBlocker block(box);
    box->setChecked(checked);
  }
  runHandler(box);
}

void setOption(QRadioButton* option) {
  {
    // The sibling that clears emits too; block the whole group.
    std::vector<std::unique_ptr<QSignalBlocker>> blocks;
    if (QWidget* parent = option->parentWidget())
      for (QRadioButton* sibling : parent->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
        blocks.push_back(std::make_unique<QSignalBlocker>(sibling));
    const QSignalBlocker block(option);
    option->setChecked(true);
  }
  runHandler(option);
}

void setText(QLineEdit* box, const QString& text) {
  if (box->text() == text) return;
  {
    const QSignalBlocker block(box);
    box->setText(text);
  }
  runHandler(box);
}

void setValue(QScrollBar* bar, int value) {
  const int before = bar->value();
  {
    const QSignalBlocker block(bar);
    bar->setValue(value);
  }
  if (bar->value() != before) runHandler(bar);
}

void setRange(QScrollBar* bar, int minimum, int maximum) {
  const int before = bar->value();
  {
    const QSignalBlocker block(bar);
    bar->setRange(minimum, maximum);
  }
  if (bar->value() != before) runHandler(bar);
}

void setListIndex(QComboBox* list, int index) {
  if (index < -1 || index >= list->count()) index = -1;
  if (list->currentIndex() == index) return;
  {
    const QSignalBlocker block(list);
    list->setCurrentIndex(index);
  }
  runHandler(list);
}

void setListIndex(QListWidget* list, int row) {
  if (row < -1 || row >= list->count()) row = -1;
  if (list->currentRow() == row) return;
  {
    const QSignalBlocker block(list);
    const QSignalBlocker blockModel(list->selectionModel());
    list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
  }
  runHandler(list);
}

void setTab(QTabBar* tabs, int index) {
  if (tabs->currentIndex() == index) return;
  {
    const QSignalBlocker block(tabs);
    tabs->setCurrentIndex(index);
  }
  runHandler(tabs);
}

void setSelected(QListWidget* list, int row, bool selected) {
  QListWidgetItem* item = list->item(row);
  if (!item || item->isSelected() == selected) return;
  {
    const QSignalBlocker block(list);
    const QSignalBlocker blockModel(list->selectionModel());
    item->setSelected(selected);
  }
  list->viewport()->update();
  runHandler(list);
}

std::vector<bool> selectedRows(const QListWidget* list) {
  std::vector<bool> rows(static_cast<std::size_t>(std::max(0, list->count())), false);
  for (const QItemSelectionRange& range : list->selectionModel()->selection()) {
    const int top = std::max(0, range.top());
    const int bottom = std::min(range.bottom(), list->count() - 1);
    for (int i = top; i <= bottom; ++i) rows[static_cast<std::size_t>(i)] = true;
  }
  return rows;
}

void setSelection(QListWidget* list, const std::vector<bool>& selected) {
  const int n = list->count();
  const std::vector<bool> before = selectedRows(list);
  QItemSelection selection;
  bool changed = false;
  int start = -1;
  for (int i = 0; i <= n; ++i) {
    const bool on = i < n && i < static_cast<int>(selected.size()) && selected[static_cast<std::size_t>(i)];
    if (i < n && on != before[static_cast<std::size_t>(i)]) changed = true;
    if (on && start < 0) start = i;
    if (!on && start >= 0) {
      selection.select(list->model()->index(start, 0), list->model()->index(i - 1, 0));
      start = -1;
    }
  }
  if (!changed) return;
  {
    const QSignalBlocker block(list);
    const QSignalBlocker blockModel(list->selectionModel());
    // Clearing first and then selecting is linear; ClearAndSelect over a
    // selection of many ranges is quadratic in Qt.
    list->selectionModel()->clearSelection();
    list->selectionModel()->select(selection, QItemSelectionModel::Select);
  }
  list->viewport()->update();
  runHandler(list);
}

void setSelected(QTreeWidget* view, int row, bool selected) {
  QTreeWidgetItem* item = view->topLevelItem(row);
  if (!item) return;
  const QSignalBlocker block(view);
  const QSignalBlocker blockModel(view->selectionModel());
  item->setSelected(selected);
  view->viewport()->update();
}

void selectRows(QTreeWidget* view, const std::vector<bool>& rows) {
  QAbstractItemModel* model = view->model();
  const int last = model->columnCount() - 1;
  QItemSelection selection;
  const int count = std::min(static_cast<int>(rows.size()), view->topLevelItemCount());
  for (int first = 0; first < count;) {
    if (!rows[static_cast<std::size_t>(first)]) {
      ++first;
      continue;
    }
    int end = first;
    while (end + 1 < count && rows[static_cast<std::size_t>(end + 1)]) ++end;
    selection.select(model->index(first, 0), model->index(end, last));
    first = end + 1;
  }
  // The items keep their own selected flag from the selection model's signals.
  // Clearing first and then selecting is linear; ClearAndSelect over a
  // selection of many ranges is quadratic in Qt.
  const QSignalBlocker block(view);
  view->selectionModel()->clearSelection();
  view->selectionModel()->select(selection, QItemSelectionModel::Select);
  view->viewport()->update();
}

void selectAll(QTreeWidget* view) {
  const QSignalBlocker block(view);
  view->selectAll();
  view->viewport()->update();
}

std::vector<bool> selectedRows(const QTreeWidget* view) {
  std::vector<bool> rows(static_cast<std::size_t>(view->topLevelItemCount()), false);
  for (const QItemSelectionRange& range : view->selectionModel()->selection()) {
    if (range.left() != 0 || range.parent().isValid()) continue;
    for (int r = range.top(); r <= range.bottom() && r < static_cast<int>(rows.size()); ++r)
      rows[static_cast<std::size_t>(r)] = true;
  }
  return rows;
}

int selectedCount(const QTreeWidget* view) {
  const std::vector<bool> rows = selectedRows(view);
  return static_cast<int>(std::count(rows.begin(), rows.end(), true));
}

void setCurrentRow(QTreeWidget* view, int row) {
  const QSignalBlocker block(view);
  view->selectionModel()->setCurrentIndex(view->model()->index(row, 0), QItemSelectionModel::NoUpdate);
}

void setItems(QTreeWidget* view, const std::vector<std::pair<QString, QString>>& items) {
  const QSignalBlocker block(view);
  const QSignalBlocker blockModel(view->selectionModel());
  view->clear();
  QList<QTreeWidgetItem*> made;
  made.reserve(static_cast<qsizetype>(items.size()));
  for (const auto& [name, type] : items) made.append(new QTreeWidgetItem({name, type}));
  view->addTopLevelItems(made);
}

void addItem(QComboBox* list, const QString& text) { insertItem(list, list->count(), text); }

void insertItem(QComboBox* list, int index, const QString& text) {
  const QSignalBlocker block(list);
  const int before = list->currentIndex();
  list->insertItem(index, text);
  if (before < 0) list->setCurrentIndex(-1);
}

void removeItem(QComboBox* list, int index) {
  if (index < 0 || index >= list->count()) return;
  const QSignalBlocker block(list);
  const bool wasChosen = list->currentIndex() == index;
  list->removeItem(index);
  if (wasChosen) list->setCurrentIndex(-1);
}

void clear(QComboBox* list) {
  const QSignalBlocker block(list);
  list->clear();
}

void addItem(QListWidget* list, const QString& text) {
  const QSignalBlocker block(list);
  list->addItem(text);
}

void addItems(QListWidget* list, const QStringList& texts) {
  const QSignalBlocker block(list);
  list->addItems(texts);
}

void clear(QListWidget* list) {
  const QSignalBlocker block(list);
  const QSignalBlocker blockModel(list->selectionModel());
  list->clear();
}

void clear(QTreeWidget* view) {
  const QSignalBlocker block(view);
  const QSignalBlocker blockModel(view->selectionModel());
  view->clear();
}

QPushButton* newButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  if (!tip.isEmpty()) b->setToolTip(tip);
  return b;
}

QLabel* newLabel(QWidget* parent, const QString& name, const QString& caption, const QString& tip) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(name);
  if (!tip.isEmpty()) l->setToolTip(tip);
  return l;
}

void clickThroughCaption(QLabel* caption, QAbstractButton* button) {
  caption->setBuddy(button);
  caption->installEventFilter(new CaptionClick(caption, button));
}

}  // namespace vandrel::controls
