#include "platform/scripted_ui.h"

namespace vandrel {

namespace {
ScriptedUi& DefaultUi() {
  static ScriptedUi ui;
  return ui;
}
UiServices* gUi = nullptr;
}  // namespace

UiServices& Ui() { return gUi ? *gUi : DefaultUi(); }

UiServices* SetUi(UiServices* ui) {
  UiServices* previous = gUi;
  gUi = ui;
  return previous;
}

std::vector<UiRequest> ScriptedUi::requestsOf(UiRequest::Kind kind) const {
  std::vector<UiRequest> out;
  for (const auto& r : requests_)
    if (r.kind == kind) out.push_back(r);
  return out;
}

void ScriptedUi::clear() { *this = ScriptedUi(); }

MsgResult ScriptedUi::MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                                 MsgIcon icon) {
  UiRequest r{UiRequest::Message, text, title, buttons, icon, {}, {}, {}, {}, {}, {}};
  requests_.push_back(r);
  if (!messages_.empty()) {
    MsgResult answer = messages_.front();
    messages_.pop_front();
    return answer;
  }
  ++unscripted_;
  return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes
         : buttons == MsgButtons::RetryCancel                               ? MsgResult::Retry
                                                                            : MsgResult::OK;
}

std::optional<std::string> ScriptedUi::InputBox(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText) {
  UiRequest r{UiRequest::Input, prompt, title, MsgButtons::OKCancel, MsgIcon::None, {}, {}, {}, {},
              defaultText,      {}};
  requests_.push_back(r);
  if (inputs_.empty()) return std::nullopt;
  auto answer = inputs_.front();
  inputs_.pop_front();
  return answer;
}

std::optional<Rgb> ScriptedUi::ChooseColor(const Rgb& initial) {
  UiRequest r{UiRequest::Color, {}, {}, MsgButtons::OK, MsgIcon::None, {}, {}, {}, {}, {}, initial};
  requests_.push_back(r);
  if (colors_.empty()) return std::nullopt;
  auto answer = colors_.front();
  colors_.pop_front();
  return answer;
}

FileDialogResult ScriptedUi::NextFile() {
  if (files_.empty()) return FileDialogResult{};
  FileDialogResult answer = files_.front();
  files_.pop_front();
  return answer;
}

FileDialogResult ScriptedUi::ShowOpen(const FileDialogRequest& request) {
  requests_.push_back(UiRequest{
      UiRequest::Open, {}, request.title, MsgButtons::OK, MsgIcon::None, request, {}, {}, {}, {}, {}});
  return NextFile();
}

FileDialogResult ScriptedUi::ShowSave(const FileDialogRequest& request) {
  requests_.push_back(UiRequest{
      UiRequest::Save, {}, request.title, MsgButtons::OK, MsgIcon::None, request, {}, {}, {}, {}, {}});
  return NextFile();
}

std::optional<std::string> ScriptedUi::BrowseFolder(const std::string& title,
                                                    const std::string& startFolder) {
  requests_.push_back(UiRequest{
      UiRequest::Folder, {}, title, MsgButtons::OK, MsgIcon::None, {}, startFolder, {}, {}, {}, {}});
  if (folders_.empty()) return std::nullopt;
  auto answer = folders_.front();
  folders_.pop_front();
  return answer;
}

ShellResult ScriptedUi::ShellOpen(const std::string& path) {
  requests_.push_back(
      UiRequest{UiRequest::Shell, path, {}, MsgButtons::OK, MsgIcon::None, {}, {}, {}, {}, {}, {}});
  return shellResult_;
}

bool ScriptedUi::StartProgram(const std::string& program, const std::vector<std::string>& args,
                              const std::string& workingFolder) {
  requests_.push_back(UiRequest{
      UiRequest::Start, program, {}, MsgButtons::OK, MsgIcon::None, {}, {}, args, workingFolder, {}, {}});
  return startOk_;
}

}  // namespace vandrel
