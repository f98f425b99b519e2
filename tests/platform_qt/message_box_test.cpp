// The real message box, answered by clicking its own buttons: every button
// of every kind reaches the caller as its own answer, and a path from the
// disk (UTF-8) and Poser text (Windows-1252) show as the person wrote them.
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

TEST(QtUiMessageBox, EveryButtonIsAnsweredAsClickedAndTextShowsAsWritten) {
  test::App();
  using B = MsgButtons;
  using R = MsgResult;
  using Q = QMessageBox;
  const struct {
    MsgButtons buttons;
    QMessageBox::StandardButton click;  // kEsc: the Esc key
    MsgResult answer;
  } cases[] = {
      {B::OK, Q::Ok, R::OK},
      {B::OK, kEsc, R::OK},
      {B::OKCancel, Q::Ok, R::OK},
      {B::OKCancel, Q::Cancel, R::Cancel},
      {B::OKCancel, kEsc, R::Cancel},
      {B::YesNo, Q::Yes, R::Yes},
      {B::YesNo, Q::No, R::No},
      {B::YesNoCancel, Q::Yes, R::Yes},
      {B::YesNoCancel, Q::No, R::No},
      {B::YesNoCancel, Q::Cancel, R::Cancel},
      {B::YesNoCancel, kEsc, R::Cancel},
      {B::RetryCancel, Q::Retry, R::Retry},
      {B::RetryCancel, Q::Cancel, R::Cancel},
      {B::RetryCancel, kEsc, R::Cancel},
  };
  QtUi ui;
  // Asks through the real box and answers with `click`; what the box showed.
  struct Shown {
    MsgResult answer;
    QString text, title;
    int buttons = 0;
  };
  const auto ask = [&ui](const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon,
                         QMessageBox::StandardButton click) {
    Shown shown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;  // not up yet
      answer.stop();
      shown.text = box->text();
      shown.title = box->windowTitle();
      shown.buttons = static_cast<int>(box->buttons().size());
      if (click == kEsc) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &esc);
      } else {
        ASSERT_NE(box->button(click), nullptr) << static_cast<int>(buttons);
        box->button(click)->click();
      }
    });
    answer.start(5);
    shown.answer = ui.MessageBox(text, title, buttons, icon);
    return shown;
  };
  for (const auto& c : cases) {
    const int kind = static_cast<int>(c.buttons);
    const Shown shown = ask("Do you want to\r\nreplace it?", "Vandrel", c.buttons, MsgIcon::None, c.click);
    EXPECT_EQ(shown.answer, c.answer) << "kind " << kind << ", button " << c.click;
    EXPECT_EQ(shown.text, "Do you want to\nreplace it?");
    EXPECT_EQ(shown.buttons, c.buttons == B::OK ? 1 : c.buttons == B::YesNoCancel ? 3 : 2) << kind;
  }

  const struct {
    std::string text, title;
    QString shownText, shownTitle;
  } texts[] = {
      {"Is /home/j\xC3\xBCrgen/Poser\r\nyour Poser directory?", "Default Poser folder",
       QString::fromUtf8("Is /home/j\xC3\xBCrgen/Poser\nyour Poser directory?"), "Default Poser folder"},
      {"Material P\xEA"
       "che \x80",
       "Caf\xE9",
       QString::fromUtf8("Material P\xC3\xAA"
                         "che \xE2\x82\xAC"),
       QString::fromUtf8("Caf\xC3\xA9")},
  };
  for (const auto& c : texts) {
    const Shown shown = ask(c.text, c.title, B::OK, MsgIcon::Question, Q::Ok);
    EXPECT_EQ(shown.text, c.shownText);
    EXPECT_EQ(shown.title, c.shownTitle);
  }
}

}  // namespace
}  // namespace vandrel
