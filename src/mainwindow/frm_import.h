// The import window "Import materials or morphs and poses": what to import
// (materials, or morphs and poses, optionally only the BODY actor) and from
// which type of file. The window only collects the choice; Import closes it
// and runs the import.
#pragma once

#include <QDialog>
#include <array>

#include "tools/document_calls.h"
#include "tools/import.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vandrel {

class FrmImport : public QDialog {
  Q_OBJECT

 public:
  explicit FrmImport(QWidget* owner);

  // Shows the window modally, then runs the import chosen with Import.
  static void Run(DocumentCalls& calls, QWidget* owner);

  QGroupBox* fraDataType = nullptr;
  std::array<QRadioButton*, 2> optDataType{};
  QCheckBox* chkBody = nullptr;
  std::array<QLabel*, 2> lblInfo{};
  QGroupBox* fraFileType = nullptr;
  std::array<QRadioButton*, kImportTypeCount> optFileType{};
  QPushButton* cmdImport = nullptr;
  QPushButton* cmdCancel = nullptr;

  void optDataType_Click(int index);
  void optFileType_Click(int index);
  void cmdImport_Click();
  void cmdCancel_Click();

  // The choice made (valid after Import).
  ImportData Data() const;
  int FileTypeIndex() const { return fileType_; }
  bool BodyOnly() const;

 private:
  int fileType_ = 0;
};

}  // namespace vandrel
