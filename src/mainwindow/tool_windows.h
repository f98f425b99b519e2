// The tools' windows as the main window opens them: the figure chooser, the
// import window and the material copying window, and what they ask of the
// main window (its read procedures, the shared dialog, its lists).
#pragma once

#include "tools/document_calls.h"

namespace vandrel {

class FrmMain;

class MainWindowCalls : public DocumentCalls {
 public:
  explicit MainWindowCalls(FrmMain& window) : window_(window) {}
  void OpenFile(const std::string& text) override;
  bool ReadMorphPoseFile(bool insertOne, bool useCurrentFile, const std::string& text, bool append) override;
  std::string& DialogFileName() override;
  bool ChooseFile(const FileDialogRequest& request) override;
  std::unique_ptr<Host> ProgressHost() override;
  void ShowObjectList() override;
  void ShowActorList() override;
  FigureReadResult RunFigureChooser() override;
  int ChosenObject() override;
  FrmMain& Window() { return window_; }

 private:
  FrmMain& window_;
};

// Connects the figure chooser (Multi-Figure Character File, a dropped or
// command-line character file), the import window (Import data) and the
// material copying window ("Add materials to object"), the selection template
// editor and the file information window to `window`.
void ConnectToolWindows(FrmMain& window);

}  // namespace vandrel
