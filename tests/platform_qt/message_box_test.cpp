// The real message box, answered by clicking its own buttons: every button
// of every kind reaches the caller as its own answer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include "app/qt_app.h"
#include "platform/qt/qt_ui.h"

namespace vandrel {
namespace {

constexpr QMessageBox::StandardButton kEsc = QMessageBox::NoButton;

TEST(QtUiMessageBox, EveryButtonOfEveryKindIsAnsweredAsClicked) {
  test::App();
  const struct {
    MsgButtons buttons;
    QMessageBox::StandardButton click;  // kEsc: the Esc key
    MsgResult answer;
  } cases[] = {
      {MsgButtons::OK, QMessageBox::Ok, MsgResult::OK},
      {MsgButtons::OK, kEsc, MsgResult::OK},
      {MsgButtons::OKCancel, QMessageBox::Ok, MsgResult::OK},
      {MsgButtons::OKCancel, QMessageBox::Cancel, MsgResult::Cancel},
      {MsgButtons::OKCancel, kEsc, MsgResult::Cancel},
      {MsgButtons::YesNo, QMessageBox::Yes, MsgResult::Yes},
      {MsgButtons::YesNo, QMessageBox::No, MsgResult::No},
      {MsgButtons::YesNoCancel, QMessageBox::Yes, MsgResult::Yes},
      {MsgButtons::YesNoCancel, QMessageBox::No, MsgResult::No},
      {MsgButtons::YesNoCancel, QMessageBox::Cancel, MsgResult::Cancel},
      {MsgButtons::YesNoCancel, kEsc, MsgResult::Cancel},
      {MsgButtons::RetryCancel, QMessageBox::Retry, MsgResult::Retry},
      {MsgButtons::RetryCancel, QMessageBox::Cancel, MsgResult::Cancel},
      {MsgButtons::RetryCancel, kEsc, MsgResult::Cancel},
  };
  QtUi ui;
  for (const auto& c : cases) {
    const int kind = static_cast<int>(c.buttons);
    QString shown;
    int buttonCount = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;  // not up yet
      answer.stop();
      shown = box->text();
      buttonCount = static_cast<int>(box->buttons().size());
      if (c.click == kEsc) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &esc);
      } else {
        ASSERT_NE(box->button(c.click), nullptr) << kind;
        box->button(c.click)->click();
      }
    });
    answer.start(5);
    EXPECT_EQ(ui.MessageBox("Do you want to\r\nreplace it?", "Vandrel", c.buttons, MsgIcon::None), c.answer)
        << "kind " << kind << ", button " << c.click;
    EXPECT_EQ(shown, "Do you want to\nreplace it?");
    const int expectedButtons = c.buttons == MsgButtons::OK ? 1 : c.buttons == MsgButtons::YesNoCancel ? 3 : 2;
    EXPECT_EQ(buttonCount, expectedButtons) << kind;
  }
}

}  // namespace
}  // namespace vandrel
