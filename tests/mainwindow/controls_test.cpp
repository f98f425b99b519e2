
#include "platform/qt/controls.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>

#include "window_fixture.h"

namespace vandrel::controls {
namespace {

TEST(Controls, CheckBoxFromCodeRunsItsHandlerOnceAndOnlyOnAChange) {
  test::App();
  QCheckBox box;
  int clicks = 0, toggles = 0;
  bindCheckBox(&box, [&] { ++clicks; });
  QObject::connect(&box, &QCheckBox::toggled, [&] { ++toggles; });
  setChecked(&box, true);
  EXPECT_TRUE(box.isChecked());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(toggles, 0);  // Qt's own signal stays quiet
  setChecked(&box, true);
  EXPECT_EQ(clicks, 1);
  setChecked(&box, false);
  EXPECT_EQ(clicks, 2);
  box.click();  // the user's click runs it as well
  EXPECT_EQ(clicks, 3);
}

TEST(Controls, OptionButtonAlwaysRunsItsHandler) {
  test::App();
  QWidget frame;
  auto* a = new QRadioButton(&frame);
  auto* b = new QRadioButton(&frame);
  int aClicks = 0, bClicks = 0;
  bindOption(a, [&] { ++aClicks; });
  bindOption(b, [&] { ++bClicks; });
  setOption(a);
  setOption(a);  // already set: runs again
  EXPECT_EQ(aClicks, 2);
  setOption(b);
  EXPECT_TRUE(b->isChecked());
  EXPECT_FALSE(a->isChecked());
  EXPECT_EQ(aClicks, 2);
  EXPECT_EQ(bClicks, 1);
}

TEST(Controls, TextValueAndListIndexRunTheirHandlerOnlyOnARealChange) {
  test::App();
  QLineEdit box;
  QScrollBar bar(Qt::Horizontal);
  QComboBox list;
  int texts = 0, values = 0, clicks = 0;
  bindText(&box, [&] { ++texts; });
  bindValue(&bar, [&] { ++values; });
  bindClick(&list, [&] { ++clicks; });
  setText(&box, "12");
  setText(&box, "12");
  EXPECT_EQ(texts, 1);
  bar.setRange(0, 100);
  setValue(&bar, 50);
  setValue(&bar, 50);
  setValue(&bar, 500);  // clamped to 100: a change
  EXPECT_EQ(bar.value(), 100);
  EXPECT_EQ(values, 2);
  setRange(&bar, 0, 10);  // pushes the value into the range
  EXPECT_EQ(values, 3);

  // Items added to an empty list leave nothing chosen and run nothing.
  addItem(&list, "figure");
  addItem(&list, "actor BODY");
  EXPECT_EQ(list.currentIndex(), -1);
  EXPECT_EQ(clicks, 0);
  setListIndex(&list, 1);
  setListIndex(&list, 1);
  EXPECT_EQ(clicks, 1);
  insertItem(&list, 0, "prop ball");
  EXPECT_EQ(list.currentText(), "actor BODY");
  removeItem(&list, 2);  // the chosen item: nothing is chosen afterwards
  EXPECT_EQ(list.currentIndex(), -1);
  EXPECT_EQ(clicks, 1);
}

TEST(Controls, ListBoxSelectionRunsItsHandlerButAListViewRunsNone) {
  test::App();
  QListWidget box;
  box.setSelectionMode(QAbstractItemView::ExtendedSelection);
  int boxClicks = 0;
  bindClick(&box, [&] { ++boxClicks; });
  addItem(&box, "skin");
  addItem(&box, "eyes");
  setSelected(&box, 1, true);
  setSelected(&box, 1, true);
  EXPECT_TRUE(box.item(1)->isSelected());
  EXPECT_EQ(boxClicks, 1);
  setListIndex(&box, 0);  // moves only the current row
  EXPECT_EQ(box.currentRow(), 0);
  EXPECT_FALSE(box.item(0)->isSelected());
  EXPECT_TRUE(box.item(1)->isSelected());
  EXPECT_EQ(boxClicks, 2);

  QTreeWidget view;
  int itemClicks = 0, selectionSignals = 0;
  bindItemClick(&view, [&](QTreeWidgetItem*) { ++itemClicks; });
  QObject::connect(&view, &QTreeWidget::itemSelectionChanged, [&] { ++selectionSignals; });
  view.addTopLevelItem(new QTreeWidgetItem({"BODY:1", "actor"}));
  setSelected(&view, 0, true);
  EXPECT_TRUE(view.topLevelItem(0)->isSelected());
  setSelected(&view, 0, false);
  EXPECT_FALSE(view.topLevelItem(0)->isSelected());
  EXPECT_EQ(itemClicks, 0);
  EXPECT_EQ(selectionSignals, 0);
}

}  // namespace
}  // namespace vandrel::controls
