#include "app/frm_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "app/settings_file.h"
#include "common/text.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/folder_browser.h"
#include "platform/qt/controls.h"
#include "platform/qt/poser_text.h"
#include "platform/ui_services.h"
#include "tools/selection_templates.h"

namespace vandrel {

namespace {

constexpr const char* kTitle = "Vandrel";

// The folder boxes' tips; their captions are FolderLabel's.
struct FolderBox {
  const char* tip;
  const char* browseTip;
};

constexpr std::array<FolderBox, kFolderBoxCount> kFolderBoxes = {{
    {"Path of the default Characters (CR2) folder", "Browse the default Character folder"},
    {"Path of the default Poses (PZ2) folder", "Browse the default Pose folder"},
    {"Path of the default Props (PP2) folder", "Browse the default Prop folder"},
    {"Path of the default Hair (HR2) folder", "Browse the default Hair folder"},
    {"Path of the default Save folder", "Browse the default Save folder"},
    {"Path of the default Maps folder", "Browse the default Maps folder"},
    {"Path of the Poser folder", "Browse Poser application's folder"},
    {"Path of the default Cameras (CM2) folder", "Browse the default Camera folder"},
    {"Path of the default Lights (LT2) folder", "Browse the default Light folder"},
    {"Path of the default Hands (HD2) folder", "Browse the default Hand folder"},
    {"Path of the default Faces (FC2) folder", "Browse the default Face folder"},
}};

QWidget* Named(QWidget* widget, const QString& name, const char* tip = nullptr) {
  widget->setObjectName(name);
  if (tip) widget->setToolTip(QString::fromUtf8(tip));
  return widget;
}

QString Indexed(const char* name, int index) { return QStringLiteral("%1(%2)").arg(name).arg(index); }

}  // namespace

// ---- The window ----

FrmSettings::FrmSettings(QWidget* parent, RunPoserSwitch runPoser)
    : QDialog(parent), runPoser_(std::move(runPoser)), program_(DefaultAssociationProgram()) {
  setObjectName("frmSettings");
  setWindowTitle("Vandrel preferences");
  setModal(true);

  TabStrip1 = new QTabWidget(this);
  TabStrip1->setObjectName("TabStrip1");
  const char* tabs[3][2] = {
      {"Default Folders", "Folders"}, {"File Associations", "FileAs"}, {"General", "General"}};
  QWidget* pages[3];
  for (int i = 0; i < 3; ++i) {
    pages[i] = new QWidget;
    pages[i]->setObjectName(Indexed("picOption", i));
    pages[i]->setProperty("key", tabs[i][1]);
    TabStrip1->addTab(pages[i], tabs[i][0]);
  }
  BuildFoldersPage(pages[0]);
  BuildAssociationsPage(pages[1]);
  BuildGeneralPage(pages[2]);

  cmdOK = new QPushButton("OK");
  Named(cmdOK, "cmdOK", "Save settings and exit");
  cmdOK->setDefault(true);
  cmdCancel = new QPushButton("Cancel");
  Named(cmdCancel, "cmdCancel", "Exit without saving");
  controls::bindButton(cmdOK, [this] { cmdOK_Click(); });
  controls::bindButton(cmdCancel, [this] { reject(); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TabStrip1);
  layout->addLayout(buttons);

  Form_Load();
}

void FrmSettings::BuildFoldersPage(QWidget* page) {
  auto* grid = new QGridLayout(page);
  for (int i = 0; i < kFolderBoxCount; ++i) {
    auto* label = new QLabel(FolderLabel(i));
    label->setObjectName(Indexed("lblFolder", i));
    TXT[i] = new QLineEdit;
    Named(TXT[i], Indexed("TXT", i), kFolderBoxes[i].tip);
    TXT[i]->setMinimumWidth(320);
    Browse[i] = new QPushButton("Browse...");
    Named(Browse[i], Indexed("Browse", i), kFolderBoxes[i].browseTip);
    controls::bindButton(Browse[i], [this, i] { Browse_Click(i); });
    grid->addWidget(label, i, 0);
    grid->addWidget(TXT[i], i, 1);
    grid->addWidget(Browse[i], i, 2);
  }
  grid->setRowStretch(kFolderBoxCount, 1);
}

void FrmSettings::BuildAssociationsPage(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  auto* heading = new QLabel("Associate these file types with Vandrel");
  heading->setObjectName("lblAssociations");
  layout->addWidget(heading);
  for (int i = 0; i < kAssociationCount; ++i) {
    const AssociationType& type = AssociationTypes()[i];
    chkAs[i] = new QCheckBox(type.label);
    const std::string tip =
        std::string("Check if you want to associate ") + type.kind + " files with Vandrel";
    Named(chkAs[i], Indexed("chkAs", i), tip.c_str());
    layout->addWidget(chkAs[i]);
  }
  layout->addStretch(1);
}

void FrmSettings::BuildGeneralPage(QWidget* page) {
  auto check = [](QCheckBox*& box, const char* name, const char* text, const char* tip = nullptr) {
    box = new QCheckBox(text);
    Named(box, name, tip);
    return box;
  };
  auto* layout = new QVBoxLayout(page);

  auto* thumbs = new QGroupBox("Thumbnail Options");
  thumbs->setObjectName("fraThumbnails");
  auto* thumbsLayout = new QVBoxLayout(thumbs);
  thumbsLayout->addWidget(
      check(chkThumbDialog, "chkThumbDialog", "Enable thumbnails in 'open file' dialogs"));
  thumbsLayout->addWidget(check(chkThumbMap, "chkThumbMap", "Enable thumbnails in 'open map' dialogs"));
  thumbsLayout->addWidget(check(chkThumbMain, "chkThumbMain", "Enable thumbnails in main window"));
  layout->addWidget(thumbs);

  layout->addWidget(check(chkAutoCorrect, "chkAutoCorrect", " Automatically correct false map paths"));
  layout->addWidget(check(chkNOMAP, "chkNOMAP", "If map file isn't found, insert 'NO_MAP'"));

  auto versionRow = [&](QCheckBox*& box, const char* name, const char* text, const char* tip,
                        QLineEdit*& edit, const char* editName) {
    auto* row = new QHBoxLayout;
    row->addWidget(check(box, name, text, tip));
    edit = new QLineEdit;
    Named(edit, editName);
    edit->setMaximumWidth(80);
    row->addWidget(edit);
    row->addStretch(1);
    layout->addLayout(row);
  };
  versionRow(chkVersion, "chkVersion", " Poser version for all P4/PP files:",
             "If checked this version number will be used with all P4/PP files", txtVersion, "txtVersion");
  versionRow(chkP5Version, "chkP5Version", " Poser version for all P5 files:",
             "If checked this version number will be used with all P5 files", txtP5Version, "txtP5Version");

  auto optionFrame = [&](const char* frameName, const char* title, QRadioButton*& first,
                         const char* firstName, const char* firstText, QRadioButton*& second,
                         const char* secondName, const char* secondText) {
    auto* frame = new QGroupBox(title);
    frame->setObjectName(frameName);
    auto* frameLayout = new QHBoxLayout(frame);
    first = new QRadioButton(firstText);
    Named(first, firstName);
    second = new QRadioButton(secondText);
    Named(second, secondName);
    frameLayout->addWidget(first);
    frameLayout->addWidget(second);
    return frame;
  };
  auto* frames = new QHBoxLayout;
  frames->addWidget(optionFrame("fraFileFormat", "Default file format", optPoser4, "optPoser4",
                                " Poser 4/Pro Pack", optPoser5, "optPoser5", " Poser 5"));
  frames->addWidget(optionFrame("fraFileSystem", "Default file system", optDOS, "optDOS", " DOS/Windows",
                                optUNIX, "optUNIX", " UNIX/Macintosh"));
  layout->addLayout(frames);

  layout->addWidget(check(chkReportTime, "chkReportTime", "Report time used to load morphs and poses",
                          "A message box is displayed when morphs and poses have been loaded"));
  layout->addWidget(check(chkDisableProperties, "chkDisableProperties",
                          "Disable actor's and channel's properties (other than dial values) by default"));

  auto* templateRow = new QHBoxLayout;
  auto* templateLabel = new QLabel("Default selection template:");
  templateLabel->setObjectName("lblTemplate");
  cmbTemplate = new QComboBox;
  Named(cmbTemplate, "cmbTemplate", "This material selection template will be loaded by default");
  cmbTemplate->setEnabled(false);
  templateRow->addWidget(templateLabel);
  templateRow->addWidget(cmbTemplate, 1);
  layout->addLayout(templateRow);

  // Cache options: shown and kept valid, not stored.
  auto* cache = new QGroupBox("Cache Memory Options");
  Named(cache, "fraCacheOptions", "Cache memory speeds up loading of commonly used files");
  auto* cacheLayout = new QGridLayout(cache);
  cacheLayout->addWidget(check(chkCachePoser, "chkCachePoser", "Use cache memory with Poser files"), 0, 0, 1,
                         3);
  cacheLayout->addWidget(check(chkCacheMap, "chkCacheMap", "Use cache memory with map references"), 1, 0, 1,
                         3);
  auto cacheRow = [&](int row, const char* text, const char* tip, QLineEdit*& box, const char* boxName,
                      QScrollBar*& spin, const char* spinName, int low, int high, const char* initial) {
    cacheLayout->addWidget(new QLabel(text), row, 0);
    box = new QLineEdit(initial);
    Named(box, boxName, tip);
    box->setMaximumWidth(60);
    spin = new QScrollBar(Qt::Vertical);
    Named(spin, spinName);
    spin->setRange(low, high);
    spin->setInvertedAppearance(true);  // the upper arrow counts up
    spin->setFixedHeight(box->sizeHint().height());
    spin->setValue(std::atoi(initial));
    cacheLayout->addWidget(box, row, 1);
    cacheLayout->addWidget(spin, row, 2);
  };
  cacheRow(2, "Cache only files larger than",
           "Files with bigger size than this will be stored in cache memory", txtCacheFiles, "txtCacheFiles",
           vscCacheFiles, "vscCacheFiles", 0, 999, "100");
  cacheRow(3, "Maximum cache size:", "Maximum cache memory size. Enter 0 for no size limit", txtCacheMax,
           "txtCacheMax", vscCacheMax, "vscCacheMax", 1, 998, "10");
  txtCacheFiles->setEnabled(false);
  vscCacheFiles->setEnabled(false);
  layout->addWidget(cache);
  layout->addStretch(1);

  // Each switch keeps its dependent control enabled exactly while it is ticked.
  auto follow = [](QCheckBox* box, std::vector<QWidget*> dependents) {
    controls::bindCheckBox(box, [box, dependents = std::move(dependents)] {
      for (QWidget* w : dependents) w->setEnabled(box->isChecked());
    });
  };
  follow(chkAutoCorrect, {chkNOMAP});
  follow(chkVersion, {txtVersion});
  follow(chkP5Version, {txtP5Version});
  follow(chkCachePoser, {txtCacheFiles, vscCacheFiles});
  controls::bindCheckBox(chkThumbMain, [this] { chkThumbMain_Click(); });
  controls::bindText(txtCacheFiles, [this] { CacheText_Change(txtCacheFiles, vscCacheFiles, 0, 999, "0"); });
  controls::bindText(txtCacheMax, [this] { CacheText_Change(txtCacheMax, vscCacheMax, 1, 998, "1"); });
  controls::bindValue(vscCacheFiles,
                      [this] { controls::setText(txtCacheFiles, QString::number(vscCacheFiles->value())); });
  controls::bindValue(vscCacheMax,
                      [this] { controls::setText(txtCacheMax, QString::number(vscCacheMax->value())); });
}

void FrmSettings::Form_Load() {
  const SettingsRec& s = gSettings;
  for (int i = 0; i < kFolderBoxCount; ++i) controls::setText(TXT[i], FromUtf8(FolderField(s, i)));

  for (int i = 0; i < kAssociationCount; ++i) {
    registered_[i] = IsAssociated(AssociationTypes()[i].extension);
    controls::setChecked(chkAs[i], registered_[i]);
  }

  FillTemplateList();

  controls::setChecked(chkThumbDialog, s.CdlgThumb);
  controls::setChecked(chkThumbMap, s.MapThumb);
  controls::setChecked(chkThumbMain, s.MainThumb);
  controls::setChecked(chkAutoCorrect, s.AutoCorrect);
  controls::setChecked(chkNOMAP, s.SetNoMap);
  controls::setChecked(chkVersion, s.SetPoserVersion);
  controls::setChecked(chkP5Version, s.SetP5Version);
  controls::setChecked(chkReportTime, s.ReportTime);
  controls::setChecked(chkDisableProperties, s.DisableProperties);
  chkNOMAP->setEnabled(s.AutoCorrect);
  txtVersion->setEnabled(s.SetPoserVersion);
  txtP5Version->setEnabled(s.SetP5Version);
  controls::setText(txtVersion, FromUtf8(s.PVersionNumber));
  controls::setText(txtP5Version, FromUtf8(s.P5VersionNumber));
  controls::setOption(s.SaveAsType ? optPoser4 : optPoser5);
  controls::setOption(s.FileSystem ? optDOS : optUNIX);

  // The default template is selected only while its file is still there.
  controls::setListIndex(cmbTemplate, -1);
  const std::string file = TemplateFile(s.DefaultTemplate);
  if (!s.DefaultTemplate.empty() && FileExists(file) && cmbTemplate->count() > 0) {
    for (int i = 0; i < cmbTemplate->count(); ++i) {
      if (EqualsNoCase(ToUtf8(cmbTemplate->itemText(i)), s.DefaultTemplate)) {
        controls::setListIndex(cmbTemplate, i);
        break;
      }
    }
  }
}

void FrmSettings::FillTemplateList() {
  for (const std::string& name : TemplateNames()) controls::addItem(cmbTemplate, FromUtf8(name));
  if (cmbTemplate->count() > 0) cmbTemplate->setEnabled(true);
}

PreferencesForm FrmSettings::form() const {
  PreferencesForm form;
  for (int i = 0; i < kFolderBoxCount; ++i) form.folders[i] = ToUtf8(TXT[i]->text());
  for (int i = 0; i < kAssociationCount; ++i) form.associate[i] = chkAs[i]->isChecked();
  form.thumbDialog = chkThumbDialog->isChecked();
  form.thumbMap = chkThumbMap->isChecked();
  form.thumbMain = chkThumbMain->isChecked();
  form.autoCorrect = chkAutoCorrect->isChecked();
  form.noMap = chkNOMAP->isChecked();
  form.setVersion = chkVersion->isChecked();
  form.setP5Version = chkP5Version->isChecked();
  form.versionNumber = ToUtf8(txtVersion->text());
  form.p5VersionNumber = ToUtf8(txtP5Version->text());
  form.poser4 = optPoser4->isChecked();
  form.dos = optDOS->isChecked();
  form.reportTime = chkReportTime->isChecked();
  form.disableProperties = chkDisableProperties->isChecked();
  if (cmbTemplate->currentIndex() >= 0) form.selectedTemplate = ToUtf8(cmbTemplate->currentText());
  return form;
}

void FrmSettings::Browse_Click(int index) {
  gState.BrowseFolderIndex = index;
  const std::string start = BrowseStartFolder(ToUtf8(TXT[index]->text()), gSettings.Poser);
  const std::string chosen = BrowseForFolder(index, start);
  if (!FolderExists(Trim(chosen))) return;  // cancelled
  controls::setText(TXT[index], FromUtf8(chosen));
  if (index != kPoserFolderBox) return;
  for (const auto& [box, folder] : PoserLayoutFills(form().folders, chosen))
    controls::setText(TXT[box], FromUtf8(folder));
}

void FrmSettings::chkThumbMain_Click() {
  if (chkThumbMain->isChecked() != gSettings.MainThumb)
    Ui().MessageBox("Changes will take effect the next\r\ntime you start Vandrel.", kTitle, MsgButtons::OK,
                    MsgIcon::None);
}

void FrmSettings::CacheText_Change(QLineEdit* box, QScrollBar* spin, int low, int high,
                                   const char* replacement) {
  const std::string text = ToUtf8(box->text());
  const std::string kept = CheckedCacheText(text, low, high, replacement);
  if (kept != text) {
    controls::setText(box, FromUtf8(kept));  // runs this handler again with the new text
    return;
  }
  if (auto value = NumericValue(text)) controls::setValue(spin, static_cast<int>(std::nearbyint(*value)));
}

void FrmSettings::cmdOK_Click() {
  const PreferencesForm form = this->form();
  // Nothing is saved while a value cannot be kept; the window stays open.
  if (const std::string unsavable = UnsavablePreference(form); !unsavable.empty()) {
    Ui().MessageBox(unsavable, kTitle, MsgButtons::OK, MsgIcon::Exclamation);
    return;
  }
  runPoserEnabled_ = RunPoserEnabled(form);
  if (runPoser_) runPoser_(*runPoserEnabled_);

  const std::string failures = ApplyAssociationChanges(registered_, form.associate, program_);
  if (!failures.empty()) Ui().MessageBox(failures, kTitle, MsgButtons::OK, MsgIcon::Exclamation);

  ApplyForm(form, gSettings);
  const std::string saveError = SaveSettings();
  if (!saveError.empty()) Ui().MessageBox(saveError, kTitle, MsgButtons::OK, MsgIcon::Exclamation);
  accept();
}

bool ShowPreferences(QWidget* parent, FrmSettings::RunPoserSwitch runPoser) {
  FrmSettings window(parent, std::move(runPoser));
  return window.exec() == QDialog::Accepted;
}

}  // namespace vandrel
