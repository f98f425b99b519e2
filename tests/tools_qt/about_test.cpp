#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "app/qt_app.h"
#include "platform/qt/program_icon.h"
#include "tools/qt/frm_about.h"

namespace vandrel {
namespace {

TEST(About, NamesTheProgramItsVersionAndWhatItBuildsOn) {
  test::App();
  FrmAbout about(nullptr);
  EXPECT_EQ(about.windowTitle(), "About Vandrel");
  EXPECT_EQ(about.lblTitle->text(), "Vandrel");
  EXPECT_EQ(about.lblVersion->text(), "Version 0.1.0");
  // The program's own icon, as on every window.
  EXPECT_EQ(about.picIcon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
            DrawProgramIcon(48).convertToFormat(QImage::Format_ARGB32_Premultiplied));
  EXPECT_FALSE(about.lblDescription->text().isEmpty());
  // No one to thank as a tester yet: that part is out of view, and no
  // library is listed there.
  EXPECT_EQ(about.Label1->text(), "Beta-testers:");
  for (const QLabel* thanks : {about.Label1, about.Label2, about.Label3}) EXPECT_TRUE(thanks->isHidden());
  EXPECT_EQ(about.Label2->text() + about.Label3->text(), "");
  int separators = 0;
  for (const QFrame* line : about.findChildren<QFrame*>("Line1")) separators += line->isHidden() ? 0 : 1;
  EXPECT_EQ(separators, 1);
  // The libraries the program ships on are its components, one a line.
  EXPECT_EQ(about.Label4->text(), "Third party components:");
  EXPECT_FALSE(about.Label4->isHidden() || about.Label5->isHidden());
  const QStringList credits = about.Label5->text().split('\n');
  ASSERT_EQ(credits.size(), 2);
  EXPECT_TRUE(credits[0].startsWith("Qt 6.") && credits[0].contains("JPEG")) << credits[0].toStdString();
  EXPECT_TRUE(credits[1].startsWith("stb_image")) << credits[1].toStdString();
  // Fits a small screen.
  EXPECT_LE(about.sizeHint().width(), 1366);
  EXPECT_LE(about.sizeHint().height(), 768);
  about.show();
  about.cmdOK->click();
  EXPECT_TRUE(about.isHidden());
  EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace vandrel
