// The UiServices that shows real Qt dialogs.
#pragma once

#include "platform/qt/poser_text.h"
#include "platform/ui_services.h"

class QWidget;

namespace vandrel {

class QtUi : public UiServices {
 public:
  // Dialogs are shown over `parent` (may be null), or over the window that
  // owns them for the moment (DialogOwner, a modal window).
  explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                       MsgIcon icon) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  std::optional<Rgb> ChooseColor(const Rgb& initial) override;
  FileDialogResult ShowOpen(const FileDialogRequest& request) override;
  FileDialogResult ShowSave(const FileDialogRequest& request) override;
  std::optional<std::string> BrowseFolder(const std::string& title, const std::string& startFolder) override;
  ShellResult ShellOpen(const std::string& path) override;
  bool StartProgram(const std::string& program, const std::vector<std::string>& args,
                    const std::string& workingFolder) override;

 private:
  FileDialogResult RunFileDialog(const FileDialogRequest& request, bool save);
  QWidget* owner() const;
  QWidget* parent_;
};

// While one lives, the dialogs and message boxes QtUi shows belong to
// `owner`: a window of its own (the batch converter) handling a command
// keeps its questions and dialogs above itself, and comes back to the front
// when they close. A modal window that is up owns them before it.
class DialogOwner {
 public:
  explicit DialogOwner(QWidget* owner);
  ~DialogOwner();
  DialogOwner(const DialogOwner&) = delete;
  DialogOwner& operator=(const DialogOwner&) = delete;

 private:
  QWidget* previous_;
};

// Ends a file dialog that is still open, as cancelled; false when none is.
// The main window calls it when it closes.
bool EndFileDialog();

}  // namespace vandrel
