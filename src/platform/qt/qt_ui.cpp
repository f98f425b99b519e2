#include "platform/qt/qt_ui.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>

#include "platform/desktop_open.h"
#include "platform/dialog_filter.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "platform/qt/dialog_preview_pane.h"
#include "platform/qt/disk_file.h"

namespace vandrel {

namespace {

// Words shown to the person: titles and captions may hold Poser text (a
// map's name) or a file name, and show right either way.
QString Shown(const std::string& s) { return FromPoserText(s); }

QPointer<QWidget> gDialogOwner;

}  // namespace

DialogOwner::DialogOwner(QWidget* owner) : previous_(gDialogOwner) { gDialogOwner = owner; }
DialogOwner::~DialogOwner() { gDialogOwner = previous_; }

QWidget* QtUi::owner() const {
  // A dialog under a modal window would wait behind it, out of reach.
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (gDialogOwner) return gDialogOwner;
  return parent_;
}

MsgResult QtUi::MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                           MsgIcon icon) {
  QMessageBox box(owner());
  box.setWindowTitle(Shown(title));
  box.setText(FromPoserText(text).replace("\r\n", "\n"));
  switch (icon) {
    case MsgIcon::Critical:
      box.setIcon(QMessageBox::Critical);
      break;
    case MsgIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MsgIcon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case MsgIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MsgIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  switch (buttons) {
    case MsgButtons::OK:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MsgButtons::OKCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MsgButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MsgButtons::RetryCancel:
      box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
      break;
  }
  // Every button the box can show has its own case; closing the box without
  // one (Esc, the close box) answers as its cancelling button would.
  switch (box.exec()) {
    case QMessageBox::Ok:
      return MsgResult::OK;
    case QMessageBox::Yes:
      return MsgResult::Yes;
    case QMessageBox::No:
      return MsgResult::No;
    case QMessageBox::Cancel:
      return MsgResult::Cancel;
    case QMessageBox::Retry:
      return MsgResult::Retry;
    default:
      return buttons == MsgButtons::OK      ? MsgResult::OK
             : buttons == MsgButtons::YesNo ? MsgResult::No
                                            : MsgResult::Cancel;
  }
}

std::optional<std::string> QtUi::InputBox(const std::string& prompt, const std::string& title,
                                          const std::string& defaultText) {
  QInputDialog dialog(owner());
  dialog.setWindowTitle(Shown(title));
  dialog.setLabelText(FromPoserText(prompt));
  dialog.setTextValue(FromPoserText(defaultText));
  // Wide enough for the whole title beside the title bar's buttons (a window
  // manager may draw it in a larger, bold font), and never narrower than an
  // input box usually is. The dialog takes its size from its layout, so the
  // text box asks for the room.
  const int titleWidth = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle());
  if (auto* box = dialog.findChild<QLineEdit*>())
    box->setMinimumWidth(std::max(380, titleWidth * 3 / 2 + 140));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ToPoserText(dialog.textValue());
}

std::optional<Rgb> QtUi::ChooseColor(const Rgb& initial) {
  const QColor chosen = QColorDialog::getColor(QColor(initial[0], initial[1], initial[2]), owner());
  if (!chosen.isValid()) return std::nullopt;
  return Rgb{chosen.red(), chosen.green(), chosen.blue()};
}

namespace {
// The file dialog being shown, so that the main window can end it when it closes.
QPointer<QFileDialog> gOpenFileDialog;
}  // namespace

bool EndFileDialog() {
  if (!gOpenFileDialog) return false;
  gOpenFileDialog->reject();
  return true;
}

FileDialogResult QtUi::RunFileDialog(const FileDialogRequest& request, bool save) {
  // With no folder known a dialog starts in the user's home folder, not in
  // whatever folder the program was started from.
  const std::string start = request.initDir.empty() ? HomeFolder() : request.initDir;
  QFileDialog dialog(owner(), Shown(request.title), FromUtf8(start), FromUtf8(QtFilterOf(request.filter)));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save                                     ? QFileDialog::AnyFile
                     : (request.flags & kOfnAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                              : QFileDialog::ExistingFile);
  if (!request.defaultExt.empty()) dialog.setDefaultSuffix(FromUtf8(request.defaultExt));
  const std::string entry = QtFilterEntry(request.filter, request.filterIndex);
  if (!entry.empty()) dialog.selectNameFilter(FromUtf8(entry));
  if (!request.fileName.empty()) dialog.selectFile(FromUtf8(request.fileName));
  // Qt's dialog has no Help button, so helpText has nothing to name.
  if (!request.okText.empty()) dialog.setLabelText(QFileDialog::Accept, Shown(request.okText));
  if (!request.cancelText.empty()) dialog.setLabelText(QFileDialog::Reject, Shown(request.cancelText));
  const QSize plain = dialog.sizeHint();
  if (request.previewPane) new DialogPreviewPane(&dialog, request.preview);
  if (request.left >= 0 && request.top >= 0) dialog.move(request.left, request.top);
  if (request.extraHeight > 0) {
    const QSize least = dialog.minimumSizeHint();
    dialog.resize(std::max(plain.width(), least.width()),
                  std::max(plain.height() + request.extraHeight, least.height()));
  }
  const QPointer<QFileDialog> previous = gOpenFileDialog;
  gOpenFileDialog = &dialog;
  const int answer = dialog.exec();
  gOpenFileDialog = previous;
  FileDialogResult result;
  if (answer != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
  result.cancelled = false;
  for (const QString& file : dialog.selectedFiles()) result.paths.push_back(ToUtf8(file));
  result.path = result.paths.front();
  return result;
}

FileDialogResult QtUi::ShowOpen(const FileDialogRequest& request) { return RunFileDialog(request, false); }
FileDialogResult QtUi::ShowSave(const FileDialogRequest& request) { return RunFileDialog(request, true); }

std::optional<std::string> QtUi::BrowseFolder(const std::string& title, const std::string& startFolder) {
  const QString folder = QFileDialog::getExistingDirectory(
      owner(), Shown(title), FromUtf8(startFolder.empty() ? HomeFolder() : startFolder),
      QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (folder.isEmpty()) return std::nullopt;
  return ToUtf8(folder);
}

ShellResult QtUi::ShellOpen(const std::string& path) {
  // A web page goes to the desktop's browser; no other scheme is handed on
  // (a "path" such as steam://run/1 would start a program).
  if (const QUrl url(FromUtf8(path)); url.isValid() && (url.scheme() == "http" || url.scheme() == "https"))
    return QDesktopServices::openUrl(url) ? ShellResult::Opened : ShellResult::NotStarted;
  if (const ShellResult there = CheckFileToOpen(path); there != ShellResult::Opened) return there;

  // The file's type by its name and by its content: a program, desktop entry
  // or script under either is refused, whatever its execute bit says.
  // A name whose bytes are not UTF-8 is judged by its extension and by the
  // content of the file opened by those bytes.
  QMimeDatabase db;
  std::vector<std::string> types;
  QMimeType byName, byContent;
  if (QtKeepsName(path)) {
    byName = db.mimeTypeForFile(FromUtf8(path));
    byContent = db.mimeTypeForFile(FromUtf8(path), QMimeDatabase::MatchContent);
  } else {
    QFile file;
    if (OpenDiskFile(file, path)) {
      byName = db.mimeTypeForFileNameAndData(FromUtf8(FileNameOf(path)), &file);
      byContent = db.mimeTypeForData(&file);
    } else {
      byName = byContent = db.mimeTypeForFile(FromUtf8(FileNameOf(path)), QMimeDatabase::MatchExtension);
    }
  }
  for (const QMimeType& type : {byName, byContent}) {
    std::vector<std::string> own{type.name().toStdString()};
    for (const QString& parent : type.allAncestors()) own.push_back(parent.toStdString());
    if (IsProgramType(own)) return ShellResult::Refused;
    if (types.empty()) types = std::move(own);
  }
  const std::string entry = DesktopEntryFor(types);
  if (entry.empty()) return ShellResult::NoAssociation;
  const std::vector<std::string> command = DesktopEntryCommand(ReadWholeFile(entry).value_or(""), path);
  if (command.empty()) return ShellResult::NotStarted;
  return StartDetached(command, ToUtf8(QDir::homePath())) ? ShellResult::Opened : ShellResult::NotStarted;
}

bool QtUi::StartProgram(const std::string& program, const std::vector<std::string>& args,
                        const std::string& workingFolder) {
  QStringList list;
  for (const auto& a : args) list << FromUtf8(a);
  QString exe = FromUtf8(program);
  // A Windows program runs through wine when it is there.
  if (exe.endsWith(".exe", Qt::CaseInsensitive)) {
    const QString wine = QStandardPaths::findExecutable("wine");
    if (!wine.isEmpty()) {
      list.prepend(exe);
      exe = wine;
    }
  }
  return QProcess::startDetached(exe, list, FromUtf8(workingFolder));
}

}  // namespace vandrel
