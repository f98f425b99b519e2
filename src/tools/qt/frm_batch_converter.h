// The batch converter window "P4 <-> P5 batch converter": a list of pose
// files, each with its operation, run through the open document.
#pragma once

#include <QTreeWidget>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/batch_conversion.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace vandrel {

// The list view that takes dropped files.
class BatchFileList : public QTreeWidget {
  Q_OBJECT

 public:
  explicit BatchFileList(QWidget* parent);
  std::function<void(const std::vector<std::string>&)> onDrop;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

class FrmBatchConverter : public QWidget {
  Q_OBJECT

 public:
  // The progress window of a run, owned by the window given.
  using ProgressFactory = std::function<std::unique_ptr<Host>(QWidget* owner)>;

  FrmBatchConverter(QWidget* owner, std::unique_ptr<BatchDocument> document, ProgressFactory progress);
  ~FrmBatchConverter() override;

  BatchFileList* ListView1 = nullptr;
  QLabel* Label1 = nullptr;
  std::array<QRadioButton*, kBatchOperationCount> Option{};  // Option1 .. Option4
  std::array<QLabel*, kBatchOperationCount> lblOption{};     // the captions beside them
  QPushButton* Command1 = nullptr;                           // Add file(s)...
  QPushButton* Command2 = nullptr;                           // Remove selected file(s)
  QPushButton* Command3 = nullptr;                           // Select all
  QPushButton* Command4 = nullptr;                           // Run Batch
  QPushButton* Command5 = nullptr;                           // Cancel

  const BatchList& list() const { return list_; }
  bool running() const { return running_; }

  void Form_Load();
  void Command1_Click();
  void ListView1_OLEDragDrop(const std::vector<std::string>& paths);
  void Command2_Click();
  void Command3_Click();
  // Option1_Click .. Option4_Click (index 0 .. 3).
  void Option_Click(int index);
  void Command4_Click();
  void Command5_Click();

 protected:
  // Esc presses Cancel; the window does not close while a run goes.
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void AddFiles(const std::vector<std::string>& paths);
  void FillList();
  std::vector<int> SelectedRows() const;
  void EnableListCommands(bool on);

  std::unique_ptr<BatchDocument> document_;
  ProgressFactory progress_;
  BatchList list_;
  std::string rememberedFolder_;
  std::string dialogFolder_;  // the add dialog's initial folder, kept between uses
  bool running_ = false;
};

// Shows the one batch converter, not modal: a tool window of `owner` that
// stays above it and owns its own dialogs and messages. A second call
// brings the open one to the front.
FrmBatchConverter& ShowBatchConverter(QWidget* owner,
                                      std::function<std::unique_ptr<BatchDocument>()> document,
                                      FrmBatchConverter::ProgressFactory progress);

}  // namespace vandrel
