#include "app/silent_save.h"

#include <QString>

#include "app/settings_file.h"
#include "model/model.h"
#include "platform/qt/poser_text.h"
#include "platform/ui_services.h"
#include "tools/command_line.h"
#include "tools/document_session.h"
#include "tools/selection_templates.h"

namespace vandrel {

namespace {

// The default template chosen in the template list after a read: its file
// is read to list its groups, and a file that cannot be read is reported.
void ChooseDefaultTemplate() {
  if (gSettings.DefaultTemplate.empty()) return;
  const QString wanted = FromUtf8(gSettings.DefaultTemplate).toLower();
  for (const TemplateEntry& entry : ListTemplates()) {
    if (FromUtf8(entry.name).toLower() != wanted) continue;
    SelectionTemplate tpl;
    const std::string error = ReadTemplateFile(entry.path, tpl);
    if (!error.empty()) Ui().MessageBox(error, "", MsgButtons::OK, MsgIcon::Exclamation);
    return;
  }
}

}  // namespace

bool RunSilentSave(const std::string& commandLine, const std::string& lastArgument) {
  gState.FileGiven = gState.Dirty = gState.LoadProps = false;
  gSilentSaveWritten = gEndProgram = false;
  LoadSettings(true);
  UiHost host;
  WindowlessDocument document(host);
  document.Start();

  gState.FileGiven = true;
  gState.FileType = CommandLineFileType(commandLine);
  // Character files are read as one figure; props and hair as they are.
  gState.LoadProps = false;
  const SessionResult result = document.Open(commandLine, lastArgument, ChooseDefaultTemplate);
  document.Save(result);
  gState.FileGiven = false;
  return gSilentSaveWritten;
}

}  // namespace vandrel
