// The figure chooser "Select Figure": lists the figures of a character file
// by name or by geometry file and reads the chosen one, in the modes its
// caller set (gFigureMorphsOnly, gFigureMaterialsOnly, gFigureBodyOnly).
#pragma once

#include <QDialog>

#include "tools/document_calls.h"
#include "tools/figure_file.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vandrel {

class FrmFigure : public QDialog {
  Q_OBJECT

 public:
  FrmFigure(DocumentCalls& calls, QWidget* owner);

  // Loads the window for the file in calls.DialogFileName(), shows it modally
  // when the file holds two figures or more (one is read at once) and reads
  // the chosen one. The modes and gState.LoadProps are cleared however the
  // window ends; the result says what was read.
  static FigureReadResult Run(DocumentCalls& calls, QWidget* owner);

  QLabel* lblFigure = nullptr;
  QComboBox* cmbFigure = nullptr;
  QLabel* Label2 = nullptr;
  QRadioButton* optName = nullptr;
  QLabel* lblByName = nullptr;
  QRadioButton* optGeom = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* cmdOK = nullptr;

  // Reads and lists the file; false after "Not a valid Character file".
  bool Form_Load();
  // With fewer than two figures the only one is read at once.
  void Form_Activate();
  void optName_Click();
  void optGeom_Click();
  void cmdOK_Click();
  const FigureReadResult& Result() const { return result_; }

 private:
  void List(bool byName);

  DocumentCalls& calls_;
  FigureFile file_;
  FigureReadResult result_;
};

}  // namespace vandrel
