// Every message box, input box, colour dialog, file and folder dialog, shell
// open and program start goes through this one interface, so that windows can
// be driven by a script in tests. The Qt implementation lives in
// platform/qt/; ScriptedUi (scripted_ui.h) answers from a script.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/host.h"

namespace vandrel {

// Option bits of a file dialog, with the values callers and stored settings use.
inline constexpr long kOfnOverwritePrompt = 0x2;
inline constexpr long kOfnHideReadOnly = 0x4;
inline constexpr long kOfnEnableHook = 0x20;
// Several files can be chosen; FileDialogResult::paths lists them all.
inline constexpr long kOfnAllowMultiSelect = 0x200;
inline constexpr long kOfnPathMustExist = 0x800;
inline constexpr long kOfnFileMustExist = 0x1000;
inline constexpr long kOfnExplorer = 0x80000;
inline constexpr long kOfnLongNames = 0x200000;
// Added to every dialog of the shared dialog class: the explorer-style dialog with the preview.
inline constexpr long kOfnPreviewDialog = kOfnExplorer | kOfnEnableHook;
// The open dialogs' usual bits (file and path must exist, no read-only box): 6148.
inline constexpr long kOfnOpenDefault = kOfnFileMustExist | kOfnPathMustExist | kOfnHideReadOnly;
// The save dialogs' usual bits (overwrite prompt, path must exist, no read-only box): 2054.
inline constexpr long kOfnSaveDefault = kOfnOverwritePrompt | kOfnPathMustExist | kOfnHideReadOnly;

// One file dialog: what the window asks for, and what the main window's own
// dialog (FrmMain::CommonDialog1) keeps from one dialog to the next.
struct FileDialogRequest {
  std::string title;
  std::string filter;   // "Pose files|*.pz2|All files|*.*"
  int filterIndex = 1;  // 1-based, as the original counts
  std::string initDir;
  std::string fileName;      // initial name
  std::string defaultExt;    // without the dot
  long flags = 0;            // kOfn... bits
  int left = -1, top = -1;   // screen position, -1 = let the system choose
  int extraHeight = 0;       // pixels added below the dialog (room for a preview)
  bool preview = false;      // the preview box starts ticked (with previewPane)
  bool previewPane = false;  // the dialog carries the thumbnail preview box and its switch
  std::string okText;        // replacement button captions; "" = the standard one
  std::string cancelText;
  std::string helpText;
};

struct FileDialogResult {
  bool cancelled = true;
  std::string path;                // full path of the chosen file (the first one of several)
  std::vector<std::string> paths;  // every chosen file, in the dialog's order
  int filterIndex = 1;
};

using Rgb = std::array<int, 3>;

// What opening a file in its associated program came to.
enum class ShellResult {
  Opened,
  FileNotFound,   // no such file (its folder exists)
  PathNotFound,   // its folder is missing, or the path is not absolute
  Refused,        // the file is a program, a desktop entry or a script: never started
  NoAssociation,  // no program is associated with its type
  NotStarted,     // the associated program could not be started
};

class UiServices {
 public:
  virtual ~UiServices() = default;
  virtual MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                               MsgIcon icon) = 0;
  // nullopt = cancelled.
  virtual std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                              const std::string& defaultText) = 0;
  virtual std::optional<Rgb> ChooseColor(const Rgb& initial) = 0;
  virtual FileDialogResult ShowOpen(const FileDialogRequest& request) = 0;
  virtual FileDialogResult ShowSave(const FileDialogRequest& request) = 0;
  // nullopt = cancelled.
  virtual std::optional<std::string> BrowseFolder(const std::string& title,
                                                  const std::string& startFolder) = 0;
  // Opens a file (or a web address) in its associated program.
  virtual ShellResult ShellOpen(const std::string& path) = 0;
  // Starts a program without waiting for it; false when it could not start.
  virtual bool StartProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& workingFolder) = 0;
};

// The program's one instance. Until one is installed, a ScriptedUi with an
// empty script answers (every question with its default), so core code
// without a window never blocks.
UiServices& Ui();
// Installs `ui` (not owned; nullptr goes back to the default). Returns the previous one.
UiServices* SetUi(UiServices* ui);

// A Host whose messages go to Ui().
class UiHost : public Host {
 public:
  MsgResult Message(const std::string& text, const std::string& title, MsgButtons buttons,
                    MsgIcon icon) override {
    return Ui().MessageBox(text, title, buttons, icon);
  }
};

}  // namespace vandrel
