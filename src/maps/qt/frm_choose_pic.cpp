#include "maps/qt/frm_choose_pic.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "common/text.h"
#include "maps/picture_sizes.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "platform/ui_services.h"

namespace vandrel {

namespace {

// The time a file was created (its birth time where the file system keeps
// one, else its last change); invalid when the file cannot be described.
QDateTime CreatedTime(const std::string& path) {
  struct statx sx {};
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) != 0) return {};
  const auto& t = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_mtime;
  return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(t.tv_sec));
}

void ShowPicture(QLabel* box, const ThumbPicture* picture) {
  if (picture)
    box->setPixmap(ThumbnailPixmap(*picture));
  else
    box->clear();
  box->repaint();
}

const ThumbPicture* Stock(const char* key) { return ImageList1(0).Find(key); }

}  // namespace

std::string MapInfoText(const std::string& candidate, bool thumbnailShown) {
  std::string text = "File Path: " + FolderOf(candidate);
  if (!thumbnailShown) return text;
  std::string dimensions = PictureSizeOf(candidate);
  if (dimensions.empty()) dimensions = "N/A";
  text += "\r\nDimensions: " + dimensions + " pixels";
  struct stat st {};
  if (::stat(candidate.c_str(), &st) != 0) throw std::runtime_error("File not found: " + candidate);
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  // Megabytes rounded to two decimals, halves to even.
  const double mb = std::nearbyint(static_cast<double>(st.st_size) / 10000.0) / 100.0;
  text += "\r\nSize: " + ToUtf8(locale.toString(mb, 'g', 15)) + " MB";
  const QDateTime created = CreatedTime(candidate);
  text += "\r\nCreated: " + ToUtf8(locale.toString(created.date(), QLocale::ShortFormat) + " " +
                                   locale.toString(created.time(), QLocale::LongFormat));
  return text;
}

FrmChoosePic::FrmChoosePic(QWidget* owner) : QDialog(owner) {
  setObjectName("frmChoosePic");
  setWindowTitle("Choose the right map file");
  lblChoosePic = new QLabel("More than one file matched the search. Choose a file from the combo-box.", this);
  lblChoosePic->setObjectName("lblChoosePic");
  cmbMaps = new QComboBox(this);
  cmbMaps->setObjectName("cmbMaps");
  chkThumbNail = new QCheckBox(this);
  chkThumbNail->setObjectName("chkThumbNail");
  lblToggleThumbNail = new QLabel("Show Thumbnail", this);
  lblToggleThumbNail->setObjectName("lblToggleThumbNail");
  lblToggleThumbNail->setBuddy(chkThumbNail);
  imgMapThumb = new QLabel(this);
  imgMapThumb->setObjectName("imgMapThumb");
  imgMapThumb->setFixedSize(kThumbnailSide + 4, kThumbnailSide + 4);
  imgMapThumb->setAlignment(Qt::AlignCenter);
  imgMapThumb->setFrameShape(QFrame::Box);
  txtMapInfo = new QPlainTextEdit("File Path:\nDimensions:\nSize:\nCreated:", this);
  txtMapInfo->setObjectName("txtMapInfo");
  txtMapInfo->setReadOnly(true);
  txtMapInfo->setMinimumWidth(320);
  cmdOK = new QPushButton("OK", this);
  cmdOK->setObjectName("cmdOK");

  auto* toggle = new QHBoxLayout;
  toggle->addWidget(chkThumbNail);
  toggle->addWidget(lblToggleThumbNail);
  toggle->addStretch();
  auto* details = new QHBoxLayout;
  details->addWidget(imgMapThumb, 0, Qt::AlignTop);
  details->addWidget(txtMapInfo, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  auto* column = new QVBoxLayout(this);
  column->addWidget(lblChoosePic);
  column->addWidget(cmbMaps);
  column->addLayout(toggle);
  column->addLayout(details);
  column->addLayout(buttons);

  controls::bindClick(cmbMaps, [this] { cmbMaps_Click(); });
  controls::bindCheckBox(chkThumbNail, [this] { chkThumbNail_Click(); });
  controls::bindButton(cmdOK, [this] { cmdOK_Click(); });
}

void FrmChoosePic::RedimListed() { mListed.assign(static_cast<std::size_t>(cmbMaps->count()), false); }

void FrmChoosePic::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!activated_) {
    activated_ = true;
    Form_Activate();
  }
}

void FrmChoosePic::Form_Activate() { controls::setChecked(chkThumbNail, true); }

void FrmChoosePic::chkThumbNail_Click() {
  if (!chkThumbNail->isChecked()) {
    imgMapThumb->clear();
    imgMapThumb->setEnabled(false);
    return;
  }
  imgMapThumb->setEnabled(true);
  cmbMaps_Click();
}

void FrmChoosePic::cmbMaps_Click() {
  const int index = cmbMaps->currentIndex();
  if (index < 0 || index >= static_cast<int>(gMapCandidates.size())) return;
  const std::string candidate = gMapCandidates[static_cast<std::size_t>(index)];
  const bool thumbnails = chkThumbNail->isChecked();
  try {
    if (thumbnails) ShowPicture(imgMapThumb, Stock("Loading"));
    cmdOK->setEnabled(false);
    QCoreApplication::processEvents();
    bool shown = false;
    if (thumbnails) {
      const bool added = LoadThumbNail(candidate, 1);
      if (static_cast<std::size_t>(index) < mListed.size() &&
          (added || mListed[static_cast<std::size_t>(index)])) {
        ShowPicture(imgMapThumb, ImageList1(1).Find(candidate));
        shown = true;
        mListed[static_cast<std::size_t>(index)] = true;
      } else {
        ShowPicture(imgMapThumb, Stock("NA"));
      }
    }
    txtMapInfo->setPlainText(FromUtf8(Replace(MapInfoText(candidate, shown), "\r\n", "\n")));
    cmdOK->setEnabled(true);
  } catch (const std::exception& e) {
    Ui().MessageBox(
        std::string("Error in the cmbMaps sub\r\n") + e.what() + ", error number 53\r\nCode line number 0",
        "", MsgButtons::OK, MsgIcon::Exclamation);
  }
}

void FrmChoosePic::cmdOK_Click() { accept(); }

void FrmChoosePic::done(int result) {
  Form_Unload();
  // Esc and the close box choose nothing: the map stays as it was.
  if (result != Accepted) gChosenMapIndex = -1;
  QDialog::done(result);
}

void FrmChoosePic::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  gChosenMapIndex = cmbMaps->currentIndex();
  gMapCandidates.assign(1, std::string());
  ClearChooserThumbnails();
  mListed.clear();
}

int ChooseMapFile(QWidget* owner, const std::vector<std::string>& entries) {
  FrmChoosePic window(owner);
  controls::clear(window.cmbMaps);
  for (const std::string& entry : entries) controls::addItem(window.cmbMaps, FromPoserText(entry));
  window.RedimListed();
  controls::setListIndex(window.cmbMaps, 0);
  // Sized to its contents before it is shown: under X11 the window otherwise
  // came up at a bare window's 100 x 30 pixels (the showing handlers yield to
  // the event loop), with nothing of it readable.
  window.adjustSize();
  window.exec();
  return gChosenMapIndex;
}

}  // namespace vandrel
