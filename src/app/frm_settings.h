// The preferences window: the default folders, the file associations and the
// general options, shown from gSettings and written back by OK.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/preferences.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;

namespace vandrel {

class FrmSettings : public QDialog {
  Q_OBJECT

 public:
  // Told, after OK, whether the main window's Run Poser entry must be enabled.
  using RunPoserSwitch = std::function<void(bool enabled)>;

  explicit FrmSettings(QWidget* parent = nullptr, RunPoserSwitch runPoser = {});

  // The program registered for the file types (default: the running Vandrel).
  void setAssociationProgram(AssociationProgram program) { program_ = std::move(program); }
  // The controls' values.
  PreferencesForm form() const;
  // After OK: whether Run Poser must be enabled; nullopt otherwise.
  std::optional<bool> runPoserEnabled() const { return runPoserEnabled_; }

 private:
  void BuildFoldersPage(QWidget* page);
  void BuildAssociationsPage(QWidget* page);
  void BuildGeneralPage(QWidget* page);
  void Form_Load();
  void FillTemplateList();
  void Browse_Click(int index);
  void chkThumbMain_Click();
  void CacheText_Change(QLineEdit* box, QScrollBar* spin, int low, int high, const char* replacement);
  void cmdOK_Click();

  RunPoserSwitch runPoser_;
  AssociationProgram program_;
  std::optional<bool> runPoserEnabled_;
  std::array<bool, kAssociationCount> registered_{};

  QTabWidget* TabStrip1 = nullptr;
  std::array<QLineEdit*, kFolderBoxCount> TXT{};
  std::array<QPushButton*, kFolderBoxCount> Browse{};
  std::array<QCheckBox*, kAssociationCount> chkAs{};
  QCheckBox *chkThumbDialog = nullptr, *chkThumbMap = nullptr, *chkThumbMain = nullptr;
  QCheckBox *chkAutoCorrect = nullptr, *chkNOMAP = nullptr;
  QCheckBox *chkVersion = nullptr, *chkP5Version = nullptr;
  QLineEdit *txtVersion = nullptr, *txtP5Version = nullptr;
  QRadioButton *optPoser4 = nullptr, *optPoser5 = nullptr, *optDOS = nullptr, *optUNIX = nullptr;
  QCheckBox *chkReportTime = nullptr, *chkDisableProperties = nullptr;
  QComboBox* cmbTemplate = nullptr;
  QCheckBox *chkCachePoser = nullptr, *chkCacheMap = nullptr;
  QLineEdit *txtCacheFiles = nullptr, *txtCacheMax = nullptr;
  QScrollBar *vscCacheFiles = nullptr, *vscCacheMax = nullptr;
  QPushButton *cmdOK = nullptr, *cmdCancel = nullptr;
};

// The Settings menu's Preferences command: shows the window modally over
// `parent`; `runPoser` is told the Run Poser state when the user presses OK.
// True when the user pressed OK.
bool ShowPreferences(QWidget* parent, FrmSettings::RunPoserSwitch runPoser);

}  // namespace vandrel
