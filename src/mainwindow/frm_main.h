// The main window: a frame of three panes under a tab strip (the Materials
// pane and the Morph and Pose channels pane, each a class of its own, and the
// Save Options pane), the menu bar, the window's commands and the calls into
// reading and writing.
//
// The window is split by feature over several files:
//   frm_main.cpp                 construction, tabs, drop, closing, object list
//   frm_main_options_pane.cpp    the Save Options pane and its handlers
//   frm_main_menus.cpp           the menu bar and its commands
//   frm_main_reset.cpp           the first state and the reset before a read
//   frm_main_document.cpp        the calls into reading and writing
//   materials_pane*.cpp          the Materials pane (materials_pane.h)
//   channels_pane*.cpp           the Morph and Pose channels pane (channels_pane.h)
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/materials_pane.h"
#include "platform/cdlg_ex.h"
#include "platform/ui_services.h"
#include "reader/channel_reader.h"
#include "reader/poser_file_reader.h"
#include "tools/document_session.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStackedWidget;
class QTabBar;
class QTreeWidget;
class QWidget;

namespace vandrel {

class ChannelsPane;

// Windows of their own that the main window opens; each is built elsewhere.
enum class OtherWindow {
  Templates,       // selection template editor (Selection templates)
  Import,          // import window (Import data)
  FileInfo,        // file information window (File Information)
  Preferences,     // preferences window (Preferences)
  About,           // about box (About)
  CreateMat,       // material copying window (button "Add materials to object")
  BatchConverter,  // batch converter (P4 <-> P5 batch converter), modeless
  FigureChooser,   // multi-figure chooser (Multi-Figure Character File)
};
inline constexpr int kOtherWindowCount = 8;

class FrmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit FrmMain(QWidget* parent = nullptr);
  ~FrmMain() override;
  // The window's start size on a screen whose free room (less panels and task
  // bars) is `room`: 900 x 720, or lower to leave room for the title bar.
  static QSize StartSize(const QSize& room);

  // ---- Controls, by their documented names. --------------------------------
  // Tab strip and panes.
  QTabBar* tbsOptions = nullptr;
  QStackedWidget* paneStack = nullptr;
  std::array<QWidget*, 3> picOptions{};

  // The Materials pane, its controls and procedures.
  MaterialsPane* materials = nullptr;

  // Morph and Pose channels pane: its own class, a page of paneStack.
  ChannelsPane* channelsPane = nullptr;

  // Save Options pane.
  QGroupBox* fraFileSystem = nullptr;
  std::array<QRadioButton*, 2> optFileSystem{};
  std::array<QLabel*, 3> lblFileSystem{};
  QGroupBox* fraPoserFormat = nullptr;
  std::array<QRadioButton*, 2> optPoserFormat{};
  std::array<QLabel*, 3> lblPoserFormat{};
  QLabel* lblPoserVersion = nullptr;
  QCheckBox* chkNoMaterialData = nullptr;
  QLabel* lblNoMaterialData = nullptr;
  QCheckBox* chkChannels = nullptr;
  QLabel* lblEnableChannels = nullptr;

  // Menu bar.
  QMenu* mnuFile = nullptr;
  QMenu* mnuOpen = nullptr;
  QMenu* mnuPoseFile = nullptr;
  QAction* mnuOpenPZ2 = nullptr;
  QAction* mnuOpenCM2 = nullptr;
  QAction* mnuOpenFC2 = nullptr;
  QAction* mnuOpenHD2 = nullptr;
  QAction* mnuOpenLT2 = nullptr;
  QAction* mnuOpenCR2 = nullptr;
  QAction* mnuOpenCR2Props = nullptr;
  QAction* mnuMultiFigure = nullptr;
  QAction* mnuOpenPP2 = nullptr;
  QAction* mnuOpenHR2 = nullptr;
  QAction* mnuSave = nullptr;
  QAction* mnuSaveAs = nullptr;
  QAction* mnuSelSets = nullptr;
  QAction* mnuExportMTL = nullptr;
  QAction* mnuImport = nullptr;
  QAction* mnuFileInfo = nullptr;
  QAction* mnuBatchConvert = nullptr;
  QAction* mnuEmpty = nullptr;
  QAction* mnuExit = nullptr;
  QMenu* mnuSettings = nullptr;
  QAction* mnuPreferences = nullptr;
  QAction* mnuPoser = nullptr;
  QMenu* mnuHelp = nullptr;
  QAction* mnuReadme = nullptr;
  QAction* mnuWebSite = nullptr;
  QAction* mnuVHistory = nullptr;
  QAction* mnuEmpty2 = nullptr;
  QAction* mnuAbout = nullptr;

  // The window's own file dialog (without the preview) as data: what Save as
  // and Export prepare, and the open dialog when the preview is off.
  FileDialogRequest CommonDialog1;

  // ---- Menu commands. -------------------------------------------------------
  void mnuOpenPZ2_Click();
  void mnuOpenCM2_Click();
  void mnuOpenFC2_Click();
  void mnuOpenHD2_Click();
  void mnuOpenLT2_Click();
  void mnuOpenCR2_Click();
  void mnuOpenCR2Props_Click();
  void mnuOpenPP2_Click();
  void mnuOpenHR2_Click();
  void mnuMultiFigure_Click();
  // Save in place. True when the file was written.
  bool mnuSave_Click();
  // Save under a new name. True when the file was written.
  bool mnuSaveAs_Click();
  // Writes the document to `path` and makes it the document's name (caption,
  // last save folder, Save enabled). "" on success, else the error, and the
  // document keeps its name.
  std::string SaveDocumentAs(const std::string& path);
  void mnuExportMTL_Click();
  void mnuBatchConvert_Click();
  void mnuSelSets_Click();
  void mnuImport_Click();
  void mnuFileInfo_Click();
  void mnuPreferences_Click();
  void mnuAbout_Click();
  void cmdCreateMat_Click();
  void mnuReadme_Click();
  void mnuWebSite_Click();
  void mnuVHistory_Click();
  void mnuPoser_Click();
  void mnuExit_Click();

  // A file dropped on the window (only the first of several is used).
  void Form_OLEDragDrop(const std::string& path);
  // A drop on the window or on one of its text boxes: the first dropped
  // file, taken as a copy, is opened by its extension. False (the drop
  // ignored) while the window is busy or when no local file was dropped.
  bool TakeFileDrop(QDropEvent* event);
  // The save question and the release before the window closes; false keeps it open.
  bool Form_Unload();
  // When the document has changes that a save would keep, asks `question`
  // (Yes, No, Cancel). Yes saves as Save would: in place for a pose-type
  // file read completely, else through Save as. False when the user
  // cancelled or the save did not happen.
  bool SaveChangesFirst(const char* question);
  static constexpr const char* kExitQuestion = "Do you want to save before exiting?";
  static constexpr const char* kOpenQuestion = "Do you want to save the changes before opening another file?";
  // Shows the pane of the chosen tab.
  void tbsOptions_Click();

  // ---- Save options. --------------------------------------------------------
  void optPoserFormat_Click(int index);
  void chkNoMaterialData_Click();
  void chkChannels_Click();
  // Change handling of the required-version box TXT(0).
  void RequiredVersion_Change();

  // ---- Reset and enabling. --------------------------------------------------
  // Without `cutThumbnails` the map thumbnails stay (those of a file read
  // just before).
  void ResetMainWindow(bool cutThumbnails = true);
  // The window after a failed read or a batch run: no document, the material
  // controls off, both "Don't save" boxes ticked and disabled.
  void LeaveDocumentEmpty();
  // Neither materials nor channels would be written (both left out or none).
  bool NothingToSave() const;

  // Copies the shared open dialog's settings onto CommonDialog1.
  void CopyDialogSettings();

  // ---- Window-side steps around a read. ------------------------------------
  // Before the text of a chosen file is read: reset, open the Materials pane,
  // "Don't save materials" on and unticked, document name and caption, and for
  // character, prop and hair files "Don't save morphs or poses" ticked and off.
  void BeginLoad(const std::string& path, int fileType);
  // After the read: the object list, the required version, the menus and the
  // document flags.
  void EndLoad(int fileType);
  // After channels were read: the actor list, the object list's actor
  // entries, the channel pane and "Don't save morphs or poses" on and unticked.
  void ShowChannelsRead();
  // After Esc in a read: the document holds only part of its file. Save in
  // place stays off until a complete read or a Save as, and the caption
  // says that the read was cancelled.
  void MarkReadCancelled();
  // Caption "Vandrel - [name]" for a document path.
  void SetDocumentCaption(const std::string& path);

  // While a read or another long operation runs, the window takes no input.
  // Calls nest: the window takes input again after as many SetBusy(false).
  void SetBusy(bool busy);
  bool IsBusy() const { return busy_; }
  // While the batch converter drives the window: reads report through a
  // host that shows nothing, the window shows none of its own messages, a
  // file holding what the tables do not keep is not saved in place, and the
  // pose is written as a batch conversion writes it.
  void SetBatchRun(bool on) { batchRun_ = on; }
  bool BatchRun() const { return batchRun_; }

  // The save options as the writer takes them.
  bool DosLineEnds() const;
  bool Poser5Format() const;

  // ---- Seams into reading, writing and the other windows. -------------------
  // Each has a default implementation in frm_main_document.cpp; tests and the
  // start procedure may replace the hooks.

  // Reads a Poser file (or `text`) into the tables and the window.
  virtual void OpenFile(const std::string& text);
  // Reads morph and pose channels into gActors and the actor list.
  virtual void ReadMorphPoseFile(bool insertOne, bool useCurrentFile, const std::string& text, bool append);
  // Writes the material pose to CommonDialog1.fileName. "" on success, else the error.
  virtual std::string WritePoseFile();
  // What the save options and the thigh-length box hold for a save.
  SaveChoices SaveChoicesShown() const;
  // Writes every group's materials as a .mtl file. "" on success, else the error.
  virtual std::string ExportMtl(const std::string& path);
  virtual void CollectFileInfo();
  virtual void CheckMapReferences();
  // Connects the window that another part of the program builds: `open`
  // shows it (modally, owned by this window, except the batch converter).
  // Until then its menu entry stays disabled and its command does nothing.
  void SetOtherWindow(OtherWindow which, std::function<void()> open);
  bool HasOtherWindow(OtherWindow which) const;

  // The shared open dialog (its settings and file name) and its Open.
  virtual CdlgEx& SharedDialog() { return gDlg; }
  virtual FileDialogResult ShowSharedOpen(bool preview);

  // The open dialog of a file type on the shared dialog (or CommonDialog1
  // when the preview is off); false when it was cancelled.
  bool ChooseOpenFile(int fileType);
  // The same with the given title, filter, extension and start folder; the
  // chosen folder is not kept.
  bool ChooseOpenFile(const FileDialogRequest& request);
  // The same with the preview chosen (the map dialogs follow MapThumb).
  bool ChooseOpenFile(const FileDialogRequest& request, bool preview);
  // The host that long reads report through: the progress window (set by the
  // start procedure), nothing in a batch run, message boxes otherwise.
  std::function<std::unique_ptr<Host>()> MakeProgressHost;
  std::unique_ptr<Host> ProgressHost();
  // What a read asks of the controls.
  void ApplyReadResult(const OpenFileResult& result);
  void ApplyChannelRead(const ChannelReadResult& result);

  // The procedures that other parts of the program build: the file
  // statistics (which enables File Information) and the map reference check.
  std::function<void()> CollectFileInfoHook;
  std::function<void()> CheckMapReferencesHook;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QWidget* BuildOptionsPane();
  void BuildMenus();
  void SetFirstState();
  void OpenPoseType(int fileType);
  void OpenFigureType(int fileType, bool loadProps, bool alwaysAsk);
  // Every text box but the four map path boxes passes dropped files to the window.
  void TakeTextBoxDrops();
  void RunOtherWindow(OtherWindow which);
  // Before an open command replaces the document: the save question. False
  // when nothing is to be opened.
  bool MayReplaceDocument();
  QAction* MenuOf(OtherWindow which) const;
  std::array<std::function<void()>, kOtherWindowCount> otherWindows_{};

  bool busy_ = false;
  int busyDepth_ = 0;
  bool batchRun_ = false;
  bool closing_ = false;
  // The last open command opened nothing because of the save question.
  bool openRefused_ = false;
  // The last read was cancelled: the document holds only part of its file.
  bool readCancelled_ = false;
  // The last channel read (ReadMorphPoseFile) was cancelled.
  bool channelReadCancelled_ = false;
};

}  // namespace vandrel
