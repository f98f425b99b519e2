// The help files on a desktop without a program for their types: shown in
// Vandrel's own viewer, every link of the help page leading to a file and
// heading that stand beside it.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextFragment>
#include <QUrl>
#include <memory>

#include "app/qt_app.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"
#include "tools/qt/frm_help_viewer.h"

namespace vandrel {
namespace {

TEST(HeadingAnchor, AsThePublishedReadmeNamesItsHeadings) {
  const struct {
    const char* heading;
    const char* anchor;
  } cases[] = {
      {"Set-up (Debian 12)", "set-up-debian-12"}, {"Layout", "layout"}, {" What's new? ", "whats-new"}};
  for (const auto& c : cases) EXPECT_EQ(HeadingAnchor(c.heading), c.anchor) << c.heading;
}

class HelpFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    // As the build puts them beside the program.
    const std::string source = std::string(VANDREL_TEST_DATA) + "/../../";
    for (const char* name : {"VHelp.htm", "VHistory.htm", "VDLLicense.txt"})
      beside.write(name, test::ReadFileBytes(source + "help/" + name));
    beside.write("README.md", test::ReadFileBytes(source + "README.md"));
    owner = std::make_unique<QWidget>();
  }
  void TearDown() override { delete OpenHelpViewer(); }

  // The links of the page shown, in order.
  static std::vector<QString> Links(const FrmHelpViewer& viewer) {
    std::vector<QString> links;
    for (QTextBlock block = viewer.txtHelp->document()->begin(); block.isValid(); block = block.next())
      for (auto it = block.begin(); !it.atEnd(); ++it)
        if (const QString href = it.fragment().charFormat().anchorHref(); !href.isEmpty())
          links.push_back(href);
    return links;
  }

  test::TempDir beside;
  ScopedScriptedUi ui;
  std::unique_ptr<QWidget> owner;  // the main window's stand-in
};

TEST_F(HelpFiles, WithoutAProgramForTheirTypeTheyShowInVandrelsViewer) {
  const std::string page = beside.file("VHelp.htm");
  // A program for the type: it gets the file, Vandrel shows nothing.
  OpenHelpFile(owner.get(), page);
  ASSERT_EQ(ui->requestsOf(UiRequest::Shell).size(), 1u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Shell)[0].text, page);
  EXPECT_EQ(OpenHelpViewer(), nullptr);

  ui->AnswerShell(ShellResult::NoAssociation);
  OpenHelpFile(owner.get(), page);
  FrmHelpViewer* viewer = OpenHelpViewer();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_EQ(viewer->windowTitle(), "Vandrel - Vandrel help");
  EXPECT_TRUE(viewer->txtHelp->toPlainText().contains("Vandrel edits the materials"));
  EXPECT_TRUE(viewer->txtHelp->isReadOnly());

  // Every link stays beside the program: no web address, each file there,
  // each anchor one of the target's headings; Back returns to the page.
  const std::vector<QString> links = Links(*viewer);
  ASSERT_GE(links.size(), 5u);
  for (const QString& href : links) {
    const QUrl link(href);
    EXPECT_TRUE(link.scheme().isEmpty()) << href.toStdString();
    emit viewer->txtHelp->anchorClicked(link);
    EXPECT_EQ(viewer->file(), beside.file(link.path().toStdString())) << href.toStdString();
    if (link.hasFragment()) {
      const QTextBlock at = viewer->txtHelp->textCursor().block();
      EXPECT_GT(at.blockFormat().headingLevel(), 0) << href.toStdString();
      EXPECT_EQ(HeadingAnchor(at.text().toStdString()), link.fragment().toStdString());
      EXPECT_GT(viewer->txtHelp->verticalScrollBar()->value(), 0) << href.toStdString();
    }
    viewer->cmdBack->click();
    EXPECT_EQ(viewer->file(), page);
  }
  EXPECT_FALSE(viewer->cmdBack->isEnabled());
  EXPECT_EQ(ui->requestsOf(UiRequest::Shell).size(), 2u);

  // The licence, through the menu's route, in the same window.
  OpenHelpFile(owner.get(), beside.file("VDLLicense.txt"));
  EXPECT_EQ(OpenHelpViewer(), viewer);
  EXPECT_EQ(viewer->windowTitle(), "Vandrel - VDLLicense.txt");
  EXPECT_TRUE(viewer->txtHelp->toPlainText().contains("Permission is hereby granted"));

  // A web address goes to the browser; a missing file is said.
  emit viewer->txtHelp->anchorClicked(QUrl("https://example.org/page"));
  EXPECT_EQ(ui->requestsOf(UiRequest::Shell).back().text, "https://example.org/page");
  OpenHelpFile(owner.get(), beside.file("gone.htm"));
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[0].text, "File not found:\r\n" + beside.file("gone.htm"));
  EXPECT_EQ(viewer->file(), beside.file("VDLLicense.txt"));

  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(viewer, &esc);
  EXPECT_TRUE(viewer->isHidden());
}

}  // namespace
}  // namespace vandrel
