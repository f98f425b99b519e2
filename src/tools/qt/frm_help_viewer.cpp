#include "tools/qt/frm_help_viewer.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "common/text.h"
#include "platform/files.h"
#include "platform/qt/poser_text.h"
#include "platform/ui_services.h"

namespace vandrel {

namespace {

QPointer<FrmHelpViewer> gHelpViewer;

void SayFileNotFound(const std::string& path) {
  Ui().MessageBox("File not found:\r\n" + path, "Vandrel", MsgButtons::OK, MsgIcon::Exclamation);
}

// ".htm", ".md", ... lower-cased; "" when the file name has no dot.
std::string KindOf(const std::string& path) {
  const std::size_t dot = path.find_last_of("./");
  return dot != std::string::npos && path[dot] == '.' ? LCase(path.substr(dot)) : std::string();
}

}  // namespace

std::string HeadingAnchor(const std::string& heading) {
  std::string anchor;
  for (char c : LCase(Trim(heading))) {
    if (c == ' ') {
      anchor += '-';
    } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               static_cast<unsigned char>(c) >= 0x80) {
      anchor += c;
    }
  }
  return anchor;
}

FrmHelpViewer::FrmHelpViewer(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName("frmHelpViewer");
  txtHelp = new QTextBrowser(this);
  txtHelp->setObjectName("txtHelp");
  txtHelp->setOpenLinks(false);
  connect(txtHelp, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) { FollowLink(link); });
  cmdBack = new QPushButton("Back", this);
  cmdBack->setObjectName("cmdBack");
  cmdBack->setShortcut(QKeySequence::Back);
  cmdBack->setEnabled(false);
  connect(cmdBack, &QPushButton::clicked, this, [this] { Back(); });
  cmdClose = new QPushButton("Close", this);
  cmdClose->setObjectName("cmdClose");
  connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdBack);
  buttons->addStretch(1);
  buttons->addWidget(cmdClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(txtHelp, 1);
  layout->addLayout(buttons);
  resize(760, 560);
}

bool FrmHelpViewer::ShowFile(const std::string& path, const std::string& anchor) {
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return false;
  const QString text = FromUtf8(*bytes);
  const std::string kind = KindOf(path);
  QString title = FromUtf8(FileNameOf(path));
  const bool plain = kind != ".htm" && kind != ".html" && kind != ".md";
  // Plain text keeps its own line breaks: a fixed font, and none of the
  // format the cursor had in the file shown before.
  txtHelp->document()->setDefaultFont(plain ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : font());
  if (plain) {
    txtHelp->clear();
    txtHelp->setCurrentCharFormat(QTextCharFormat());
    txtHelp->setPlainText(text);
  } else if (kind == ".md") {
    txtHelp->setMarkdown(text);
  } else {
    txtHelp->setHtml(text);
    if (!txtHelp->documentTitle().isEmpty()) title = txtHelp->documentTitle();
  }
  file_ = path;
  setWindowTitle("Vandrel - " + title);
  if (!anchor.empty()) ScrollToHeading(anchor);
  return true;
}

void FrmHelpViewer::ScrollToHeading(const std::string& anchor) {
  QTextDocument* document = txtHelp->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() == 0 || HeadingAnchor(ToUtf8(block.text())) != anchor) continue;
    txtHelp->setTextCursor(QTextCursor(block));
    txtHelp->verticalScrollBar()->setValue(
        static_cast<int>(document->documentLayout()->blockBoundingRect(block).top()));
    return;
  }
  txtHelp->scrollToAnchor(FromUtf8(anchor));  // an anchor the page names itself
}

void FrmHelpViewer::FollowLink(const QUrl& link) {
  if (link.scheme() == "http" || link.scheme() == "https" || link.scheme() == "mailto") {
    Ui().ShellOpen(ToUtf8(link.toString()));
    return;
  }
  const QUrl target = QUrl::fromLocalFile(FromUtf8(file_)).resolved(link);
  if (!target.isLocalFile()) return;
  const std::string path = ToUtf8(target.toLocalFile());
  const std::string anchor = ToUtf8(target.fragment());
  if (path == file_) {
    ScrollToHeading(anchor);
    return;
  }
  const std::string left = file_;
  if (!ShowFile(path, anchor)) {
    SayFileNotFound(path);
    return;
  }
  back_.push_back(left);
  cmdBack->setEnabled(true);
}

void FrmHelpViewer::Back() {
  if (back_.empty()) return;
  ShowFile(back_.back());
  back_.pop_back();
  cmdBack->setEnabled(!back_.empty());
}

void FrmHelpViewer::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void OpenHelpFile(QWidget* owner, const std::string& path) {
  if (!FileExists(path)) {
    SayFileNotFound(path);
    return;
  }
  if (Ui().ShellOpen(path) == ShellResult::Opened) return;
  // No program for the type on this desktop (or it would not start).
  if (!gHelpViewer) {
    gHelpViewer = new FrmHelpViewer(owner);
    gHelpViewer->setAttribute(Qt::WA_DeleteOnClose);
  }
  gHelpViewer->ShowFile(path);
  gHelpViewer->show();
  gHelpViewer->raise();
  gHelpViewer->activateWindow();
}

FrmHelpViewer* OpenHelpViewer() { return gHelpViewer.data(); }

}  // namespace vandrel
