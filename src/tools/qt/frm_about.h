// The about box: the program's title, version, thanks and the components it
// builds on.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vandrel {

// "Version " and the major, minor and patch numbers the build was given.
QString VersionLine();

class FrmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit FrmAbout(QWidget* owner);

  QLabel* picIcon = nullptr;
  QLabel* lblTitle = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblDescription = nullptr;
  QLabel* Label1 = nullptr;  // "Beta-testers:"
  QLabel* Label2 = nullptr;  // the thanks, first column
  QLabel* Label3 = nullptr;  // the thanks, second column
  QLabel* Label4 = nullptr;  // "Third party components:"
  QLabel* Label5 = nullptr;  // the two credit lines
  QPushButton* cmdOK = nullptr;

  void Form_Load();
  void cmdOK_Click();
};

// Shows the about box modally, owned by `owner`.
void ShowAbout(QWidget* owner);

}  // namespace vandrel
