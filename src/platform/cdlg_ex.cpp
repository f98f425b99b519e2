#include "platform/cdlg_ex.h"

#include "platform/dialog_preview.h"
#include "platform/files.h"
#include "platform/program_folder.h"

namespace vandrel {

CdlgEx gDlg;

namespace {
inline constexpr int kPreviewExtraHeight = 100;
}

FileDialogRequest CdlgEx::Request(bool open) const {
  FileDialogRequest r;
  r.title = DialogTitle;
  r.filter = Filter;
  r.filterIndex = FilterIndex > 0 ? static_cast<int>(FilterIndex) : 1;
  // With no folder known the dialog starts in the user's home folder.
  r.initDir = InitDir.empty() ? HomeFolder() : InitDir;
  r.fileName = FileName;
  r.defaultExt = DefaultExt;
  r.flags = flags | kOfnPreviewDialog;
  // Both 0 leave the dialog where the system puts it, at its normal size;
  // otherwise it moves there and grows to make room for the preview.
  if (Left != 0 || Top != 0) {
    r.left = static_cast<int>(Left);
    r.top = static_cast<int>(Top);
    r.extraHeight = kPreviewExtraHeight;
  }
  r.okText = OKText;
  r.cancelText = CancelText;
  r.helpText = HelpText;
  r.previewPane = open;
  r.preview = open && PreviewOn;
  return r;
}

bool CdlgEx::TakeResult(const FileDialogResult& result) {
  lastResult_ = result.cancelled || result.path.empty() ? 0 : 1;
  if (lastResult_ > 0) {
    FileName = result.path;
    FileTitle = FileNameOf(result.path);
    return false;
  }
  return CancelError;
}

bool CdlgEx::ShowOpen() {
  gWorkingThumbnails.Clear();
  gWorkingThumbnails.Add("NA", *StockThumbnails().Find("NA"));
  const FileDialogRequest request = Request(true);
  const FileDialogResult result = Ui().ShowOpen(request);
  gWorkingThumbnails.Clear();
  return TakeResult(result);
}

bool CdlgEx::ShowSave() { return TakeResult(Ui().ShowSave(Request(false))); }

}  // namespace vandrel
