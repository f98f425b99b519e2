// The real message box shows a path from the disk (UTF-8) and Poser text
// (Windows-1252) as the person wrote them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

#include "app/qt_app.h"
#include "platform/qt/qt_ui.h"

namespace vandrel {
namespace {

TEST(ShownText, MessageBoxesShowDiskNamesAndPoserTextAlike) {
  test::App();
  struct Case {
    std::string text, title;
    QString shownText, shownTitle;
  };
  const Case cases[] = {
      {"Is /home/j\xC3\xBCrgen/Poser\r\nyour Poser directory?", "Default Poser folder",
       QString::fromUtf8("Is /home/j\xC3\xBCrgen/Poser\nyour Poser directory?"), "Default Poser folder"},
      {"Material P\xEA" "che \x80", "Caf\xE9", QString::fromUtf8("Material P\xC3\xAA" "che \xE2\x82\xAC"),
       QString::fromUtf8("Caf\xC3\xA9")},
  };
  QtUi ui;
  for (const Case& c : cases) {
    QString text, title;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      text = box->text();
      title = box->windowTitle();
      box->button(QMessageBox::Ok)->click();
    });
    ui.MessageBox(c.text, c.title, MsgButtons::OK, MsgIcon::Question);
    EXPECT_EQ(text, c.shownText);
    EXPECT_EQ(title, c.shownTitle);
  }
}

}  // namespace
}  // namespace vandrel
