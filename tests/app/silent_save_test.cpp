// "vandrel -s" runs without the main window; the window's own silent save
// (Main with `silent`) is the reference it must match byte for byte.
#include "app/silent_save.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/qt_app.h"
#include "app/settings_file.h"
#include "app/start.h"
#include "common/text.h"
#include "mainwindow/frm_main.h"
#include "model/model.h"
#include "platform/cdlg_ex.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "platform/scoped_env.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"
#include "tools/command_line.h"

namespace vandrel {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;

// What one "-s" run left behind: the exit status, the file beside the input
// (or the input rewritten) and every request made of the user, in order.
struct Outcome {
  bool written = false;
  std::optional<std::string> output;
  std::optional<std::string> input;
  std::vector<std::string> requests;
};

std::optional<std::string> BytesOf(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  return ReadFileBytes(path);
}

// The Poser files of the tests and examples, each under its own path.
std::vector<std::string> PoserFiles() {
  std::vector<std::string> files;
  const fs::path tests(VANDREL_TEST_DATA);
  for (const fs::path& root : {tests, tests.parent_path().parent_path() / "examples"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      const std::string ext = entry.path().extension().string();
      if (entry.is_regular_file() && CommandLineFileType(LCase(ext)) >= 0 && ext.size() == 4)
        files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

class SilentSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    SetProgramFolder(program_.path());
  }
  void TearDown() override { SetProgramFolder(""); }

  // Runs "-s" on `bytes` saved as `name` with Settings.ini holding `settings`,
  // through the window or without it.
  Outcome Run(bool window, const std::string& name, const std::optional<std::string>& bytes,
              const std::string& settings) {
    std::error_code ec;
    fs::remove_all(library_.path(), ec);
    fs::create_directories(library_.path());
    const std::string input = library_.file(name);
    if (bytes) library_.write(name, *bytes);
    program_.write("Settings.ini", settings);
    ResetModel();
    gDlg = CdlgEx{};
    ui_->clear();
    const std::string commandLine = "-s " + input;
    Outcome out;
    if (window) {
      const std::unique_ptr<FrmMain> frmMain = Main(commandLine, true);
      out.written = gSilentSaveWritten;
    } else {
      out.written = RunSilentSave(commandLine, {});
      EXPECT_EQ(out.written, gSilentSaveWritten);
    }
    out.output = BytesOf(SilentSavePath(input));
    out.input = BytesOf(input);
    for (const UiRequest& r : ui_->requests())
      out.requests.push_back(std::to_string(r.kind) + "|" + r.title + "|" + r.text + "|" +
                             std::to_string(static_cast<int>(r.buttons)) + "|" +
                             std::to_string(static_cast<int>(r.icon)));
    return out;
  }

  test::TempDir program_, wine_, library_;
  test::ScopedEnv winePrefix_{"WINEPREFIX", wine_.path()};
  ScopedScriptedUi ui_;
};

// Every Poser file of the tests and examples, and a few that fail, under
// three sets of preferences: the same file, the same exit status and the same
// messages with the window and without it.
TEST_F(SilentSaveTest, WritesWhatTheWindowWritesForEveryFile) {
  program_.write("Templates/Skin.cfg", "Skin\r\n{\r\nSkin\r\n}\r\n");
  program_.write("Templates/Broken.cfg", "Skin\r\nSkin\r\n");
  const std::string defaults;  // written by the first start
  const std::string p5Unix =
      "[General]\r\nSaveAsType=P5\r\nFileSystem=UNIX\r\nP5VersionNumber=5.0\r\nDefaultTemplate=skin\r\n";
  const std::string ownVersions =
      "[General]\r\nSetPoserVersion=False\r\nSetP5Version=False\r\nPVersionNumber=4.010\r\n"
      "DefaultTemplate=Broken\r\n";

  struct Input {
    std::string name;
    std::optional<std::string> bytes;
  };
  std::vector<Input> inputs;
  for (const std::string& path : PoserFiles()) {
    // The folder in the name keeps same-named files apart.
    std::string name = path.substr(path.rfind('/', path.rfind('/') - 1) + 1);
    std::replace(name.begin(), name.end(), '/', '_');
    inputs.push_back({name, ReadFileBytes(path)});
  }
  ASSERT_GE(inputs.size(), 40u);
  inputs.push_back({"broken.pp2", std::string("{\nversion\n")});
  inputs.push_back({"missing.cr2", std::nullopt});
  inputs.push_back({"packed.pz2", std::string("\x1f\x8b\x08\x00pose", 8)});
  inputs.push_back({"nothing.hd2", std::string("{\r\nversion\r\n{\r\nnumber 4.01\r\n}\r\n}\r\n")});
  inputs.push_back(
      {"actors only.fc2",
       std::string(
           "{\r\nversion\r\n{\r\nnumber 3.0\r\n}\r\nthighLength 1.25\r\nactor BODY:1\r\n{\r\n"
           "channels\r\n{\r\nvalueParm v\r\n{\r\nkeys\r\n{\r\nk  0  1\r\n}\r\n}\r\n}\r\n}\r\n}\r\n")});

  int written = 0, templateWarnings = 0;
  for (const std::string& settings : {defaults, p5Unix, ownVersions}) {
    for (const Input& in : inputs) {
      const Outcome windowless = Run(false, in.name, in.bytes, settings);
      const Outcome reference = Run(true, in.name, in.bytes, settings);
      const std::string label = in.name + " with [" + settings + "]";
      EXPECT_EQ(windowless.written, reference.written) << label;
      EXPECT_EQ(windowless.output, reference.output) << label;
      EXPECT_EQ(windowless.input, reference.input) << label;
      EXPECT_EQ(windowless.requests, reference.requests) << label;
      written += windowless.written;
      for (const std::string& r : windowless.requests)
        templateWarnings += r.find("Broken.cfg is damaged") != std::string::npos;
    }
  }
  // Most files give a material pose, and the damaged default template is
  // reported after every read that succeeded.
  EXPECT_GE(written, static_cast<int>(inputs.size()) * 2);
  EXPECT_GE(templateWarnings, static_cast<int>(inputs.size()) / 2);
}

}  // namespace
}  // namespace vandrel
