// A UiServices that answers from a script and records every request; used by
// tests and by runs that must never wait for a person.
#pragma once

#include <deque>
#include <string>
#include <variant>
#include <vector>

#include "platform/ui_services.h"

namespace vandrel {

struct UiRequest {
  enum Kind { Message, Input, Color, Open, Save, Folder, Shell, Start } kind;
  std::string text;  // message or prompt text; shell / program path
  std::string title;
  MsgButtons buttons = MsgButtons::OK;
  MsgIcon icon = MsgIcon::None;
  FileDialogRequest dialog;       // Open / Save
  std::string startFolder;        // Folder
  std::vector<std::string> args;  // Start
  std::string workingFolder;      // Start
  std::string defaultText;        // Input
  Rgb color{};                    // Color: the initial colour
};

class ScriptedUi : public UiServices {
 public:
  // Answers, consumed in order by the request of the matching kind. A request
  // with no scripted answer gets the default: the first button (OK / Yes) of a
  // message box, a cancel of every dialog, success of shell open and start.
  void AnswerMessage(MsgResult r) { messages_.push_back(r); }
  void AnswerInput(std::optional<std::string> s) { inputs_.push_back(std::move(s)); }
  void AnswerColor(std::optional<Rgb> c) { colors_.push_back(c); }
  void AnswerOpen(std::string path) { files_.push_back(FileDialogResult{false, path, {path}, 1}); }
  // The answer of an open dialog that allows several files.
  void AnswerOpenFiles(std::vector<std::string> paths) {
    files_.push_back(
        FileDialogResult{false, paths.empty() ? std::string() : paths.front(), std::move(paths), 1});
  }
  void AnswerSave(std::string path) { files_.push_back(FileDialogResult{false, path, {path}, 1}); }
  void CancelFileDialog() { files_.push_back(FileDialogResult{}); }
  void AnswerFolder(std::optional<std::string> f) { folders_.push_back(std::move(f)); }
  // The result of every later shell open (Opened until set).
  void AnswerShell(ShellResult r) { shellResult_ = r; }
  void FailStart() { startOk_ = false; }

  const std::vector<UiRequest>& requests() const { return requests_; }
  std::vector<UiRequest> requestsOf(UiRequest::Kind kind) const;
  // Messages asked but not answered from the script (answered by default).
  int unscripted() const { return unscripted_; }
  void clear();

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
  FileDialogResult NextFile();
  std::deque<MsgResult> messages_;
  std::deque<std::optional<std::string>> inputs_;
  std::deque<std::optional<Rgb>> colors_;
  std::deque<FileDialogResult> files_;
  std::deque<std::optional<std::string>> folders_;
  ShellResult shellResult_ = ShellResult::Opened;
  bool startOk_ = true;
  std::vector<UiRequest> requests_;
  int unscripted_ = 0;
};

// Installs a ScriptedUi for the life of the object (tests).
class ScopedScriptedUi {
 public:
  ScopedScriptedUi() : previous_(SetUi(&ui_)) {}
  ~ScopedScriptedUi() { SetUi(previous_); }
  ScriptedUi& operator*() { return ui_; }
  ScriptedUi* operator->() { return &ui_; }

 private:
  ScriptedUi ui_;
  UiServices* previous_;
};

}  // namespace vandrel
