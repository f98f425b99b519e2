#include "app/start.h"

#include <QApplication>
#include <algorithm>
#include <clocale>
#include <iostream>

#include "app/frm_please_wait.h"
#include "app/frm_settings.h"
#include "app/settings_file.h"
#include "app/silent_save.h"
#include "common/text.h"
#include "mainwindow/batch_document.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/tool_windows.h"
#include "model/model.h"
#include "platform/console_ui.h"
#include "platform/earlier_files.h"
#include "platform/files.h"
#include "platform/path_case.h"
#include "platform/qt/controls.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_ui.h"
#include "tools/command_line.h"

namespace vandrel {

namespace {

// The progress window for one long read or batch run: its start time taken
// when the operation begins, unloaded when it ends.
class ProgressWindowHost : public PleaseWaitHost {
 public:
  explicit ProgressWindowHost(QWidget* owner) : PleaseWaitHost(owner) { StartOperation(); }
  ~ProgressWindowHost() override { Unload(); }
};

void ConnectWindows(FrmMain* window, bool silent) {
  window->MakeProgressHost = [window, silent]() -> std::unique_ptr<Host> {
    if (silent) return std::make_unique<UiHost>();
    return std::make_unique<ProgressWindowHost>(window);
  };
  ConnectToolWindows(*window);
  window->SetOtherWindow(OtherWindow::Preferences, [window] {
    ShowPreferences(window, [window](bool on) { window->mnuPoser->setEnabled(on); });
  });
  ConnectBatchConverter(*window, [](QWidget* owner) -> std::unique_ptr<Host> {
    return std::make_unique<ProgressWindowHost>(owner);
  });
}

// Hands the command line's file to the reader; false when it was not one of
// the eight types or a character file that does not exist.
bool OpenCommandLineFile(FrmMain& window, const std::string& commandLine, const std::string& lastArgument) {
  gState.FileGiven = true;
  const int type = CommandLineFileType(commandLine);
  switch (type) {
    case kCr2: {
      gState.FileType = kCr2;
      if (HasSilentSwitch(commandLine, lastArgument)) {
        window.OpenFile("");
        return true;
      }
      const std::string path = CommandLinePath(commandLine, lastArgument);
      if (!FileExists(path)) return false;
      gDlg.FileName = TrueCasePath(path);
      if (window.HasOtherWindow(OtherWindow::FigureChooser)) {
        window.mnuMultiFigure_Click();  // takes the known path, reads the chosen figure
      } else {
        // Until the figure chooser exists the file is read as one figure with its props.
        window.mnuOpenCR2Props_Click();
      }
      return true;
    }
    case kPp2:
      window.mnuOpenPP2_Click();
      return true;
    case kHr2:
      window.mnuOpenHR2_Click();
      return true;
    case kPz2:
      window.mnuOpenPZ2_Click();
      return true;
    case kCm2:
      window.mnuOpenCM2_Click();
      return true;
    case kFc2:
      window.mnuOpenFC2_Click();
      return true;
    case kHd2:
      window.mnuOpenHD2_Click();
      return true;
    case kLt2:
      window.mnuOpenLT2_Click();
      return true;
    default:
      return false;
  }
}

// Moves the files an earlier run kept beside the program; what could not be
// moved is told once (it stays where it was).
void MoveEarlierFilesOnce() {
  const std::vector<std::string> problems = MoveEarlierFiles(EarlierProgramFolders());
  if (problems.empty()) return;
  std::string text = "Vandrel keeps its settings, templates and cache in your own folders now.";
  for (const std::string& problem : problems) text += "\n\n" + problem;
  Ui().MessageBox(text, "Vandrel", MsgButtons::OK, MsgIcon::Exclamation);
}

// "-s FILE": shows nothing and needs no display, so it starts no
// application object, no window system and no fonts; messages go to
// standard error, each naming the file. The exit code is 0 only when the
// material pose was written, 2 when the arguments cannot be run.
int RunSilent(const std::vector<std::string>& args, const std::string& commandLine,
              const std::string& lastArgument) {
  if (const std::string error = SilentArgumentsError(args); !error.empty()) {
    std::cerr << "vandrel: " << Replace(error, "\n", "\n  ") << '\n';
    return 2;
  }
  // Texts and numbers follow the user's locale as in every other run.
  std::setlocale(LC_ALL, "");
  // Standard error carries Vandrel's own messages, not the toolkit's notes.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
  });
  const std::string file = CommandLinePath(commandLine, lastArgument);
  {
    // Files of an earlier run are none of this file's business.
    ConsoleUi console(std::cerr);
    UiServices* previous = SetUi(&console);
    MoveEarlierFilesOnce();
    SetUi(previous);
  }
  if (CommandLineFileType(commandLine) < 0) {
    std::cerr << "vandrel: " << file << ": not a Poser file (.cr2 .pz2 .pp2 .hr2 .cm2 .fc2 .hd2 .lt2)\n";
    return 1;
  }
  // The reader finds the file in any letter case.
  const std::string found = TrueCasePath(file);
  if (found.empty()) {
    std::cerr << "vandrel: " << file << ": there is no such file\n";
    return 1;
  }
  if (FolderExists(found)) {
    std::cerr << "vandrel: " << file << ": is a folder, not a file\n";
    return 1;
  }
  ConsoleUi console(std::cerr, file);
  UiServices* previous = SetUi(&console);
  const bool written = RunSilentSave(commandLine, lastArgument);
  SetUi(previous);
  return written ? 0 : 1;
}

}  // namespace

std::unique_ptr<FrmMain> Main(const std::string& commandLine, bool silent, const std::string& lastArgument) {
  gState.FileGiven = gState.Dirty = gState.LoadProps = false;
  gSilentSaveWritten = gEndProgram = false;
  // Every window, dialog and message box shows the program's icon.
  QApplication::setWindowIcon(ProgramIcon());
  auto frmMain = std::make_unique<FrmMain>();
  ConnectWindows(frmMain.get(), silent);
  if (!silent) frmMain->show();
  LoadSettings(silent);
  frmMain->mnuPoser->setEnabled(IsSetFolder(gSettings.Poser));
  CreateTables();
  controls::setOption(frmMain->optPoserFormat[gSettings.SaveAsType ? 0 : 1]);
  controls::setOption(frmMain->optFileSystem[gSettings.FileSystem ? 0 : 1]);

  if (!commandLine.empty()) {
    gCommandLine = commandLine;
    gLastArgument = lastArgument;
    gStarting = true;
    if (!OpenCommandLineFile(*frmMain, commandLine, lastArgument)) gState.FileGiven = false;
    gStarting = false;
    gCommandLine.clear();
    gLastArgument.clear();
  }
  return frmMain;
}

int RunProgram(int argc, char** argv) {
  const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
  switch (RequestOfArguments(args)) {
    case ProgramRequest::Help:
      std::cout << UsageText() << std::flush;
      return 0;
    case ProgramRequest::Version:
      std::cout << "Vandrel " VANDREL_VERSION "\n" << std::flush;
      return 0;
    case ProgramRequest::Run:
      break;
  }
  const std::string commandLine = JoinCommandLine(argc, argv);
  const std::string lastArgument = argc > 1 ? argv[argc - 1] : "";
  // "-s" alone is no switch by the rules of the one line, but it is meant as one.
  if (HasSilentSwitch(commandLine, lastArgument) || (args.size() == 1 && LCase(args[0]) == "-s"))
    return RunSilent(args, commandLine, lastArgument);

  QApplication app(argc, argv);
  QApplication::setApplicationName("Vandrel");
  // The window system matches the windows with the installed desktop entry.
  QGuiApplication::setDesktopFileName("vandrel");
  QtUi ui;
  UiServices* previous = SetUi(&ui);
  MoveEarlierFilesOnce();
  int code = 0;
  {
    std::unique_ptr<FrmMain> frmMain = Main(commandLine, false, lastArgument);
    ui.setParent(frmMain.get());
    code = QApplication::exec();
    ui.setParent(nullptr);
  }
  SetUi(previous);
  return code;
}

}  // namespace vandrel
