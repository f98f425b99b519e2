#include "mainwindow/frm_main.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "common/text.h"
#include "mainwindow/channels_pane.h"
#include "maps/poser_paths.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/dialog_preview.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "platform/qt/file_drops.h"
#include "platform/qt/qt_ui.h"
#include "reader/material_parser.h"

namespace vandrel {

FrmMain::FrmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName("frmMain");
  setWindowTitle("Vandrel");
  setAcceptDrops(true);
  // While a file is read with the MainThumb preference on, every map that
  // exists gets its thumbnail.
  SetMaterialMapHook(LoadMapReferenceThumbnail);
  OnThumbnailsArrived(this, [this] { materials->ShowArrivedThumbnails(); });

  auto* central = new QWidget(this);
  central->setObjectName("frmMainClient");
  auto* layout = new QVBoxLayout(central);
  tbsOptions = new QTabBar(central);
  tbsOptions->setObjectName("tbsOptions");
  tbsOptions->setExpanding(false);
  const char* captions[3] = {"Materials", "Morph and Pose channels", "Save Options"};
  const char* tips[3] = {"Click this tab to edit materials", "Click this tab to edit morph and pose channels",
                         "Click this tab to select what will be included in the pose"};
  for (int i = 0; i < 3; ++i) {
    tbsOptions->addTab(captions[i]);
    tbsOptions->setTabToolTip(i, tips[i]);
  }
  paneStack = new QStackedWidget(central);
  paneStack->setObjectName("picOptionsStack");
  materials = new MaterialsPane(*this);
  picOptions[0] = materials;
  picOptions[1] = channelsPane = new ChannelsPane(*this);
  picOptions[2] = BuildOptionsPane();
  for (int i = 0; i < 3; ++i) {
    picOptions[i]->setObjectName(QString("picOptions(%1)").arg(i));
    paneStack->addWidget(picOptions[i]);
  }
  paneStack->setCurrentIndex(0);
  layout->addWidget(tbsOptions);
  layout->addWidget(paneStack, 1);
  setCentralWidget(central);
  controls::bindClick(tbsOptions, [this] { tbsOptions_Click(); });

  BuildMenus();
  SetFirstState();
  TakeTextBoxDrops();
  // Never below what the panes need: the layout keeps the least size.
  if (const QScreen* s = screen()) resize(StartSize(s->availableGeometry().size()));
}

FrmMain::~FrmMain() = default;

QSize FrmMain::StartSize(const QSize& room) {
  // A laptop's 768 lines less its panel leave about 728; the title bar takes 32.
  return QSize(900, 720).boundedTo(room - QSize(0, 32));
}

// ---- Tabs -------------------------------------------------------------------

void FrmMain::tbsOptions_Click() {
  const int chosen = tbsOptions->currentIndex();
  for (int i = 0; i < tbsOptions->count(); ++i)
    if (i == chosen) paneStack->setCurrentIndex(i);
  if (chosen == 0) {
    if (!chkNoMaterialData->isChecked() && materials->lstMaterials->isEnabled()) materials->ShowMaterial();
  } else if (chosen == 1) {
    // With no actor listed there is nothing to show but the pane itself.
    if (!chkChannels->isChecked() && channelsPane->lstActors->topLevelItemCount() > 0)
      channelsPane->lstActors_ItemClick(1);
  }
}

// ---- Dropped files ------------------------------------------------------------

namespace {

// The file a drop on the window opens: the first of the dropped URLs, when it
// names a local file.
std::string DroppedFile(const QMimeData* data) {
  const QList<QUrl> urls = data ? data->urls() : QList<QUrl>{};
  if (urls.isEmpty() || !urls.first().isLocalFile()) return {};
  return ToUtf8(urls.first().toLocalFile());
}

// A file dragged onto a text box is a file dropped on the window, never text
// typed into the box; dragged text still goes into the box.
class TextBoxFileDrops : public QObject {
 public:
  explicit TextBoxFileDrops(FrmMain& window) : QObject(&window), window_(window) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (DroppedFile(drop->mimeData()).empty()) return false;
    if (type == QEvent::Drop)
      window_.TakeFileDrop(drop);
    else if (window_.IsBusy())
      drop->ignore();
    else
      AcceptFilesAsCopy(drop);
    return true;
  }

 private:
  FrmMain& window_;
};

}  // namespace

void FrmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!busy_ && event->mimeData()->hasUrls()) AcceptFilesAsCopy(event);
}

void FrmMain::dropEvent(QDropEvent* event) { TakeFileDrop(event); }

bool FrmMain::TakeFileDrop(QDropEvent* event) {
  const std::string path = DroppedFile(event->mimeData());
  if (busy_ || path.empty() || !AcceptFilesAsCopy(event)) {
    event->ignore();
    return false;
  }
  Form_OLEDragDrop(path);
  return true;
}

void FrmMain::TakeTextBoxDrops() {
  // The map path boxes take dropped files as maps.
  const auto isMapBox = [this](const QLineEdit* box) {
    return std::find(materials->TXT.begin() + 8, materials->TXT.end(), box) != materials->TXT.end();
  };
  auto* drops = new TextBoxFileDrops(*this);
  for (QLineEdit* box : findChildren<QLineEdit*>())
    if (!isMapBox(box)) box->installEventFilter(drops);
}

void FrmMain::Form_OLEDragDrop(const std::string& path) {
  openRefused_ = false;
  std::string ext = Right(path, 4);
  if (StartsWith(ext, ".")) ext = ext.substr(1);
  ext = LCase(ext);
  gState.FileGiven = true;
  const std::string kept = SharedDialog().FileName;
  SharedDialog().FileName = path;
  if (ext == "cr2")
    mnuMultiFigure_Click();
  else if (ext == "pp2")
    mnuOpenPP2_Click();
  else if (ext == "hr2")
    mnuOpenHR2_Click();
  else if (ext == "pz2")
    mnuOpenPZ2_Click();
  else if (ext == "cm2")
    mnuOpenCM2_Click();
  else if (ext == "fc2")
    mnuOpenFC2_Click();
  else if (ext == "hd2")
    mnuOpenHD2_Click();
  else if (ext == "lt2")
    mnuOpenLT2_Click();
  else
    openRefused_ = true;
  if (openRefused_) {
    gState.FileGiven = false;
    SharedDialog().FileName = kept;
  }
}

// ---- Closing ----------------------------------------------------------------

void FrmMain::mnuExit_Click() { close(); }

bool FrmMain::Form_Unload() { return SaveChangesFirst(kExitQuestion); }

bool FrmMain::SaveChangesFirst(const char* question) {
  if (!gState.Dirty || (chkChannels->isChecked() && chkNoMaterialData->isChecked())) return true;
  const MsgResult answer = Ui().MessageBox(question, "", MsgButtons::YesNoCancel, MsgIcon::None);
  if (answer == MsgResult::Cancel) return false;
  if (answer == MsgResult::Yes) {
    const std::string ext = LCase(Right(gState.FileName, 4));
    // A document whose read was cancelled is not the file it came from: it
    // is saved under a name the user chooses.
    const bool inPlace = !readCancelled_ &&
                         (ext == ".pz2" || ext == ".cm2" || ext == ".fc2" || ext == ".lt2" || ext == ".hd2");
    // A save that was cancelled or failed keeps the document, so that the
    // changes are not lost.
    if (!(inPlace ? mnuSave_Click() : mnuSaveAs_Click())) return false;
  }
  return true;
}

bool FrmMain::MayReplaceDocument() {
  if (SaveChangesFirst(kOpenQuestion)) return true;
  // Nothing is opened: a known path is not kept for the next open command.
  gState.FileGiven = false;
  openRefused_ = true;
  return false;
}

void FrmMain::closeEvent(QCloseEvent* event) {
  if (busy_ || closing_) {
    event->ignore();
    return;
  }
  closing_ = true;
  const bool close = Form_Unload();
  closing_ = false;
  if (close)
    event->accept();
  else
    event->ignore();
}

// ---- Busy -------------------------------------------------------------------

bool FrmMain::event(QEvent* event) {
  // Ctrl+A in a list that selects several rows selects them all, as a text
  // box's Select All does, instead of opening About.
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* view = qobject_cast<QAbstractItemView*>(QApplication::focusWidget());
    if (view && static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll) &&
        (view->selectionMode() == QAbstractItemView::ExtendedSelection ||
         view->selectionMode() == QAbstractItemView::MultiSelection)) {
      event->accept();
      return true;
    }
  }
  return QMainWindow::event(event);
}

void FrmMain::SetBusy(bool busy) {
  busyDepth_ = std::max(0, busyDepth_ + (busy ? 1 : -1));
  busy_ = busyDepth_ > 0;
  centralWidget()->setEnabled(!busy_);
  menuBar()->setEnabled(!busy_);
}

// ---- The shared dialog ------------------------------------------------------------

void FrmMain::CopyDialogSettings() {
  const CdlgEx& shared = SharedDialog();
  CommonDialog1.title = shared.DialogTitle;
  CommonDialog1.defaultExt = shared.DefaultExt;
  CommonDialog1.filter = shared.Filter;
  CommonDialog1.initDir = shared.InitDir;
  CommonDialog1.fileName = shared.FileName;
  CommonDialog1.flags = shared.flags;
}

void FrmMain::SetDocumentCaption(const std::string& path) {
  setWindowTitle("Vandrel - [" + FromUtf8(FileNameOf(path)) + "]");
}

}  // namespace vandrel
