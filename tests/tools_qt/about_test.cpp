#include "tools/qt/frm_about.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "app/qt_app.h"

namespace vandrel {
namespace {

TEST(About, NamesTheProgramItsVersionAndWhatItBuildsOn) {
  test::App();
  FrmAbout about(nullptr);
  EXPECT_EQ(about.windowTitle(), "About Vandrel");
  EXPECT_EQ(about.lblTitle->text(), "Vandrel");
  EXPECT_EQ(about.lblVersion->text(), "Version 0.1.0");
  EXPECT_FALSE(about.picIcon->pixmap().isNull());
  EXPECT_FALSE(about.lblDescription->text().isEmpty());
  EXPECT_EQ(about.Label1->text(), "Beta-testers:");
  EXPECT_EQ(about.Label4->text(), "Third party components:");
  const QStringList credits = about.Label5->text().split('\n');
  ASSERT_EQ(credits.size(), 2);
  EXPECT_TRUE(credits[0].contains("Qt") && credits[0].contains("stb_image"));
  EXPECT_TRUE(credits[1].contains("JPEG") && credits[1].contains("Qt"));
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
