#include "app/frm_please_wait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QThread>

#include "app/qt_app.h"
#include "platform/scripted_ui.h"

namespace vandrel {
namespace {

using test::App;

TEST(ElapsedTime, CountsWholeMinutesAndTheRoundedSecondsSinceTheStart) {
  const int start = 1000;  // seconds
  auto text = [&](long long sinceStartMs) {
    const long long t = start * 1000LL + sinceStartMs;
    return ElapsedTimeText(t, t, start);
  };
  EXPECT_EQ(text(125000), "Elapsed time: 2 min, 5 sec");
  EXPECT_EQ(text(0), "Elapsed time: 0 min, 0 sec");
  EXPECT_EQ(text(59400), "Elapsed time: 0 min, 59 sec");
  // The minutes take the seconds unrounded, the seconds are rounded first.
  EXPECT_EQ(text(119700), "Elapsed time: 1 min, 0 sec");
  EXPECT_EQ(text(3600000 + 61000), "Elapsed time: 61 min, 1 sec");
  // Halves go to the even second.
  EXPECT_EQ(text(2500), "Elapsed time: 0 min, 2 sec");
  EXPECT_EQ(text(3500), "Elapsed time: 0 min, 4 sec");
  // Minutes from the second reading, seconds from the first.
  EXPECT_EQ(ElapsedTimeText(start * 1000LL + 59000, start * 1000LL + 60100, start),
            "Elapsed time: 1 min, 59 sec");
}

TEST(ElapsedTime, StartTimeIsTheTickInWholeSecondsHalvesToEven) {
  EXPECT_EQ(TickSeconds(1499), 1);
  EXPECT_EQ(TickSeconds(1500), 2);
  EXPECT_EQ(TickSeconds(2500), 2);
  EXPECT_EQ(TickSeconds(2501), 3);
  // A start rounded up is never shown as minus one minute.
  EXPECT_EQ(ElapsedTimeText(1600, 1600, TickSeconds(1600)), "Elapsed time: 0 min, 0 sec");
  const long long a = TickCountMs();
  EXPECT_GE(TickCountMs(), a);
}

class PleaseWait : public ::testing::Test {
 protected:
  void SetUp() override {
    owner.setObjectName("frmMain");
    owner.show();
  }
  void TearDown() override { UnloadPleaseWait(); }

  static void Press(QWidget* window, Qt::Key key, bool post = false) {
    if (post) {
      QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    } else {
      QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
      QCoreApplication::sendEvent(window, &event);
    }
  }

  // Polls let the events run once per turn interval: waits for the next one.
  static void WaitForTurn() { QThread::msleep(kEventTurnMs + 5); }

  QApplication& app = App();  // before any widget
  QWidget owner;
};

TEST_F(PleaseWait, HostShowsStagesItemsAndProgress) {
  PleaseWaitHost host(&owner);
  FrmPleaseWait& w = host.Show("Reading file...");
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.lblPleaseWait->text(), "Reading file...");
  // Nothing else takes input while it is up.
  EXPECT_EQ(QApplication::activeModalWidget(), &w);
  EXPECT_TRUE(w.isEnabled());

  const int start = host.StartOperation();
  EXPECT_EQ(w.StartTime, start);
  EXPECT_NEAR(start, TickCountMs() / 1000.0, 1.0);

  host.SetStage("Loading materials...");
  host.SetItem("figure 1 \xe9t\xe9...");  // Poser text is Windows-1252
  host.SetRange(6);
  host.SetValue(3);
  EXPECT_EQ(w.lblPleaseWait->text(), "Loading materials...");
  EXPECT_EQ(w.lblFigure->text(), QString::fromUtf8("figure 1 \xc3\xa9t\xc3\xa9..."));
  EXPECT_EQ(w.ProgressBar1->maximum(), 6);
  EXPECT_EQ(w.ProgressBar1->value(), 3);
  host.SetValue(99);  // beyond the range: held at the end
  EXPECT_EQ(w.ProgressBar1->value(), 6);
  host.SetRange(0);
  EXPECT_TRUE(w.ProgressBar1->isHidden());

  WaitForTurn();
  EXPECT_FALSE(host.CancelRequested());
  // Just started: 0 minutes (and 0 seconds, or 1 when a half second passed meanwhile).
  EXPECT_TRUE(w.windowTitle().startsWith("Elapsed time: 0 min, ")) << w.windowTitle().toStdString();
  // A later use sets the plain title back.
  host.Show("Looking for props...");
  EXPECT_EQ(w.windowTitle(), "Please wait");
  // A start time handed on by the caller is kept.
  EXPECT_EQ(host.StartOperation(1234), 1234);
  EXPECT_EQ(w.StartTime, 1234);
}

TEST_F(PleaseWait, EscTurnsTheStatusIntoCancelling) {
  PleaseWaitHost host(&owner);
  FrmPleaseWait& w = host.Show("Loading Morphs and Poses...");
  host.StartOperation();
  Press(&w, Qt::Key_A);
  Press(&w, Qt::Key_Return);
  EXPECT_EQ(w.lblPleaseWait->text(), "Loading Morphs and Poses...");
  EXPECT_FALSE(host.CancelRequested());

  // A pending Esc is handled by the poll at the next turn of the event loop.
  Press(&w, Qt::Key_Escape, /*post=*/true);
  WaitForTurn();
  EXPECT_TRUE(host.CancelRequested());
  EXPECT_EQ(w.lblPleaseWait->text(), "Cancelling...");
  const QString title = w.windowTitle();
  EXPECT_TRUE(host.CancelRequested());  // stays until a new stage text
  EXPECT_EQ(w.windowTitle(), title);

  // A stage that sets its own text afterwards starts normally.
  host.SetStage("Reading data...");
  EXPECT_FALSE(host.CancelRequested());

  // Only the exact text counts.
  w.lblPleaseWait->setText("Cancelling");
  EXPECT_FALSE(host.CancelRequested());
  Press(&w, Qt::Key_Escape);
  EXPECT_TRUE(w.Cancelling());
}

TEST_F(PleaseWait, UnloadGivesTheFocusBackAndTheNextUseStartsFresh) {
  int calls = 0;
  FrmPleaseWait& w = frmPleaseWait(&owner, [&] { ++calls; });
  PleaseWaitHost host(&owner);
  host.Show("Scanning folders...");
  host.SetItem("/runtime/textures");
  host.StartOperation();
  Press(&w, Qt::Key_Escape);
  host.Unload();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(LoadedPleaseWait(), nullptr);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(owner.findChild<FrmPleaseWait*>(), nullptr);
  // With no window, the poll asks nothing of one and does not cancel.
  EXPECT_FALSE(host.CancelRequested());
  host.Unload();  // nothing left to unload
  EXPECT_EQ(calls, 1);

  FrmPleaseWait& fresh = frmPleaseWait(&owner);
  EXPECT_EQ(&frmPleaseWait(&owner), &fresh);  // the same window until unloaded
  EXPECT_EQ(owner.findChild<QLabel*>("lblPleaseWait")->text(), "Please wait while loading...");
  EXPECT_EQ(owner.findChild<QLabel*>("lblFigure")->text(), "");
  EXPECT_EQ(fresh.windowTitle(), " Please wait");
  EXPECT_EQ(fresh.StartTime, 0);
  EXPECT_TRUE(fresh.isWindow());
  EXPECT_TRUE(fresh.isHidden());
}

TEST_F(PleaseWait, MessagesGoToTheUi) {
  ScopedScriptedUi ui;
  ui->AnswerMessage(MsgResult::No);
  PleaseWaitHost host(&owner);
  EXPECT_EQ(host.Message("Do you want to load morph and pose data also?", "Vandrel", MsgButtons::YesNo,
                         MsgIcon::Question),
            MsgResult::No);
  ASSERT_EQ(ui->requests().size(), 1u);
  EXPECT_EQ(ui->requests()[0].text, "Do you want to load morph and pose data also?");
  EXPECT_EQ(ui->requests()[0].buttons, MsgButtons::YesNo);
}

}  // namespace
}  // namespace vandrel
