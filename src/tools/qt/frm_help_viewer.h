// The help files that stand beside the program (the licence text, the
// version history, the help page and the README) open in the desktop's
// program for their type; where there is none, Vandrel shows them in a
// read-only window of its own.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QPushButton;
class QTextBrowser;
class QUrl;

namespace vandrel {

class FrmHelpViewer : public QWidget {
  Q_OBJECT

 public:
  explicit FrmHelpViewer(QWidget* owner);

  QTextBrowser* txtHelp = nullptr;
  QPushButton* cmdBack = nullptr;  // back to the file a link left
  QPushButton* cmdClose = nullptr;

  // Shows a help file: HTML (.htm, .html), Markdown (.md) or plain text,
  // scrolled to `anchor` when it names one of its headings. False (and
  // nothing changes) when the file cannot be read.
  bool ShowFile(const std::string& path, const std::string& anchor = {});
  const std::string& file() const { return file_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // A link of the shown file: another help file or a place in this one
  // shows here; a web address goes to the desktop's browser.
  void FollowLink(const QUrl& link);
  void ScrollToHeading(const std::string& anchor);

  void Back();

  std::string file_;
  std::vector<std::string> back_;  // the files links left, last one last
};

// Opens the help file `path`: in the program the desktop associates with
// its type, else in the one FrmHelpViewer (owned by `owner`). A missing file
// is said in a message box.
void OpenHelpFile(QWidget* owner, const std::string& path);

// The help viewer when it is open, else nullptr.
FrmHelpViewer* OpenHelpViewer();

// The anchor a heading gets in the README as it is published: lower case,
// blanks as "-", and only letters, digits, "-" and "_" kept
// ("Set-up (Debian 12)" -> "set-up-debian-12").
std::string HeadingAnchor(const std::string& heading);

}  // namespace vandrel
