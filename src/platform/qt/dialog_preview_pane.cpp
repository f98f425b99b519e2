#include "platform/qt/dialog_preview_pane.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/dialog_preview.h"
#include "platform/qt/poser_text.h"
#include "platform/qt/thumbnail_picture.h"

namespace vandrel {

DialogPreviewPane::DialogPreviewPane(QFileDialog* dialog, bool ticked) : QWidget(dialog), dialog_(dialog) {
  setObjectName("previewPane");
  check_ = new QCheckBox("Show preview", this);
  check_->setObjectName("chkPreview(1)");
  // 95 x 20, or wider when the caption needs it in the desktop's font.
  check_->setFixedSize(std::max(95, check_->sizeHint().width()), 20);
  check_->setChecked(ticked);
  picture_ = new QLabel(this);
  picture_->setObjectName("Picture1(1)");
  picture_->setFixedSize(95, 95);
  picture_->setFrameShape(QFrame::Box);
  picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(5);
  column->addWidget(check_);
  column->addWidget(picture_);
  column->addStretch();

  // Below everything the dialog shows, from its left edge.
  if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
    grid->addWidget(this, grid->rowCount(), 0, 1, grid->columnCount(), Qt::AlignLeft | Qt::AlignTop);
  else if (dialog->layout())
    dialog->layout()->addWidget(this);

  connect(check_, &QCheckBox::toggled, this, [this] { chkPreview_Click(); });
  // A file clicked or reached with the keys...
  connect(dialog, &QFileDialog::currentChanged, this, &DialogPreviewPane::SelectionChanged);
  // ...and one picked by a typed name or by code.
  if (auto* list = dialog->findChild<QListView*>("listView"); list && list->selectionModel()) {
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, list] {
      const QModelIndexList rows = list->selectionModel()->selectedRows();
      if (!rows.isEmpty()) SelectionChanged(rows.first().data(QFileSystemModel::FilePathRole).toString());
    });
  }
}

void DialogPreviewPane::SelectionChanged(const QString& path) {
  const ThumbPicture* thumb = DialogSelectionChanged(ToUtf8(path), check_->isChecked(), LoadThumbnailPicture);
  if (!thumb) return;
  const QImage image = ToQImage(*thumb);
  if (image.isNull()) return;
  picture_->setPixmap(QPixmap::fromImage(
      image.scaled(kPreviewDrawSide, kPreviewDrawSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void DialogPreviewPane::chkPreview_Click() {
  if (!check_->isChecked()) picture_->clear();
}

}  // namespace vandrel
