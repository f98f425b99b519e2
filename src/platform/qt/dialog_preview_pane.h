// The thumbnail preview inside an open dialog: a picture box and the
// "Show preview" switch, placed below the dialog's own controls. Each file
// the user selects becomes gDlgSelectedFile and, while the switch is on, is
// drawn as a thumbnail.
#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QFileDialog;
class QLabel;

namespace vandrel {

class DialogPreviewPane : public QWidget {
 public:
  // Adds the pane to `dialog`'s layout (the dialog owns it) and follows its selection.
  DialogPreviewPane(QFileDialog* dialog, bool ticked);

  QLabel* Picture() const { return picture_; }
  QCheckBox* Check() const { return check_; }

  // The dialog's selection moved to `path`.
  void SelectionChanged(const QString& path);
  // The switch changed: switching it off clears the picture.
  void chkPreview_Click();

 private:
  QFileDialog* dialog_;
  QLabel* picture_;
  QCheckBox* check_;
};

}  // namespace vandrel
