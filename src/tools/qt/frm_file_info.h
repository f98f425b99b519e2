// The file information window "File Information": the statistics of the
// open file on three pages, the file's notes, and the HTML report.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "platform/display_locale.h"
#include "platform/file_facts.h"
#include "tools/file_report.h"
#include "tools/file_statistics.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace vandrel {

class FrmFileInfo : public QDialog {
  Q_OBJECT

 public:
  // Sizes and dates come from `files`, numbers and dates are shown in
  // `locale`, the report's pictures are made by `pictures` (the Qt ones when
  // null). Fills every field from gFileInfo and gState.FileNotes.
  explicit FrmFileInfo(QWidget* parent = nullptr, const FileFactsSource& files = DiskFileFacts(),
                       DisplayLocale locale = UserDisplayLocale(), ReportPictures* pictures = nullptr);
  ~FrmFileInfo() override;

  void cmbFigures_Click();
  void cmbActors_Click();
  void cmdOK_Click();
  void cmdCreateHTML_Click();

  QTabWidget* TabStrip1 = nullptr;
  QLabel *lblFileName = nullptr, *lblFileType = nullptr, *lblSize = nullptr, *lblFigures = nullptr;
  QLabel *lblMaterials = nullptr, *lblSdMats = nullptr, *lblActors = nullptr, *lblChannels = nullptr;
  QLabel *lblPose = nullptr, *lblMorph = nullptr, *lblNull = nullptr;
  QLabel *lblTexture = nullptr, *lblBump = nullptr, *lblReflection = nullptr, *lblTransparency = nullptr;
  QComboBox* cmbFigures = nullptr;
  QLabel* lblMaterialsF = nullptr;
  QComboBox* cmbActors = nullptr;
  QLabel *lblMaterialsA = nullptr, *lblChannelsA = nullptr, *lblPoseA = nullptr, *lblMorphA = nullptr,
         *lblNullA = nullptr;
  QPlainTextEdit* txtNotes = nullptr;
  QPushButton *cmdOK = nullptr, *cmdCreateHTML = nullptr;

 private:
  void Build();
  void Form_Load();

  const FileFactsSource& files_;
  DisplayLocale locale_;
  ReportPictures* pictures_;
  std::unique_ptr<ReportPictures> ownPictures_;
  FileInfoLabels labels_;
};

}  // namespace vandrel
