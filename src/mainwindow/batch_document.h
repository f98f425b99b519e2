// The main window as the batch converter's document: each file is read with
// the window's OpenFile and written with its Save command or as a copy.
#pragma once

#include "tools/batch_conversion.h"
#include "tools/qt/frm_batch_converter.h"

namespace vandrel {

class FrmMain;

class MainWindowBatchDocument : public BatchDocument {
 public:
  explicit MainWindowBatchDocument(FrmMain& window) : window_(window) {}

  void BeginRun() override;
  void EndRun() override;
  bool Read(const std::string& path) override;
  bool NothingToSave() override;
  bool MaterialsLeftOut() override;
  void SetPoser5(bool poser5) override;
  bool Save() override;
  bool SaveCopy(const std::string& path) override;
  void ResetAfterRun() override;
  void Yield() override;

 private:
  FrmMain& window_;
};

// Connects the batch converter to the window's menu entry; `progress` makes
// the progress window of each run.
void ConnectBatchConverter(FrmMain& window, FrmBatchConverter::ProgressFactory progress);

}  // namespace vandrel
