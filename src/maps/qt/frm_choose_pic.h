// The map chooser "Choose the right map file": when a missing map's name is
// found in two or more folders, the user picks one of the files (or
// "NO_MAP"), seeing its thumbnail, folder, pixel size, file size and
// creation date. The files offered are gMapCandidates; OK leaves the chosen
// index in gChosenMapIndex, Esc and the close box leave -1 (no choice).
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vandrel {

class FrmChoosePic : public QDialog {
  Q_OBJECT

 public:
  explicit FrmChoosePic(QWidget* owner);

  QLabel* lblChoosePic;
  QComboBox* cmbMaps;
  QCheckBox* chkThumbNail;
  QLabel* lblToggleThumbNail;
  QLabel* imgMapThumb;
  QPlainTextEdit* txtMapInfo;
  QPushButton* cmdOK;

  // One "thumbnail shown" mark per entry of cmbMaps, all cleared.
  void RedimListed();

  void Form_Activate();
  void chkThumbNail_Click();
  void cmbMaps_Click();
  void cmdOK_Click();
  void Form_Unload();

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  std::vector<bool> mListed;
  bool activated_ = false;
  bool unloaded_ = false;
};

// The info lines of a candidate file: "File Path: " and its folder, and while
// its thumbnail is shown the dimensions, the size in MB (two decimals, the
// user's decimal sign) and the creation date and time.
// The text is UTF-8 (a file name from the disk).
std::string MapInfoText(const std::string& candidate, bool thumbnailShown);

// Shows the chooser modally over `owner` with `entries` ("skin.jpg 1", ...,
// "NO_MAP") for the files in gMapCandidates; returns the chosen index, -1
// when the window was closed without a choice.
int ChooseMapFile(QWidget* owner, const std::vector<std::string>& entries);

}  // namespace vandrel
