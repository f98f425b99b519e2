// The main window's read procedures done by the cores themselves, so that
// the tools' procedures run without a window: OpenFile reads through the
// file reader, the channel read through the morph and pose reader, dialogs
// go to the scripted UI and the figure chooser takes the figure `chosen`.
#pragma once

#include <gtest/gtest.h>

#include "common/host.h"
#include "model/model.h"
#include "platform/scripted_ui.h"
#include "reader/morph_pose_file.h"
#include "reader/poser_file_reader.h"
#include "tools/document_calls.h"
#include "tools/figure_file.h"
#include "tools/figure_read.h"

namespace vandrel::test {

class CoreCalls : public DocumentCalls {
 public:
  void OpenFile(const std::string& text) override {
    ++opens;
    BeginOpenFile();
    if (gState.FileGiven) {
      gState.FileGiven = false;
    } else {
      const FileDialogResult chosen = Ui().ShowOpen(OpenDialogRequest(gState.FileType));
      if (chosen.cancelled) return MarkOpenCancelled();
      fileName = chosen.path;
    }
    OpenFileOptions options;
    options.fileType = gState.FileType;
    options.path = fileName;
    if (!text.empty()) options.text = text;
    UiHost host;
    ReadPoserFile(options, host);
  }
  bool ReadMorphPoseFile(bool insertOne, bool useCurrentFile, const std::string& text, bool append) override {
    EXPECT_TRUE(useCurrentFile);
    ++channelReads;
    MorphPoseReadOptions options{insertOne, append, fileName, text};
    UiHost host;
    return ReadMorphPoseData(options, host).Outcome == MorphPoseOutcome::Read;
  }
  std::string& DialogFileName() override { return fileName; }
  bool ChooseFile(const FileDialogRequest& request) override {
    const FileDialogResult chosen = Ui().ShowOpen(request);
    if (chosen.cancelled) return false;
    fileName = chosen.path;
    return true;
  }
  std::unique_ptr<Host> ProgressHost() override { return std::make_unique<QuietHost>(); }
  void ShowObjectList() override { ++objectListShown; }
  void ShowActorList() override { ++actorListShown; }
  int ChosenObject() override { return 0; }
  FigureReadResult RunFigureChooser() override {
    FigureFile file;
    QuietHost host;
    if (ReadFigureFile(fileName, host, file) != FigureListOutcome::Listed) {
      ClearFigureModes();
      return {};
    }
    UiHost shown;
    return ReadChosenFigure(file, chosen, *this, shown);
  }

  std::string fileName;
  std::size_t chosen = 0;
  int opens = 0, channelReads = 0, objectListShown = 0, actorListShown = 0;
};

inline std::string ToolData(const std::string& name) {
  return std::string(VANDREL_TEST_DATA) + "/tools/" + name;
}

// The materials of a group, by name.
inline std::vector<std::string> MaterialNames(const ObjectRec& group) {
  std::vector<std::string> names;
  for (const MaterialRec& m : group.Materials) names.push_back(m.Name.str());
  return names;
}
inline std::vector<std::string> ActorNames() {
  std::vector<std::string> names;
  for (const ActorRec& a : gActors) names.push_back(a.Name.str());
  return names;
}
inline std::vector<std::string> DialNames(const ActorRec& actor) {
  std::vector<std::string> names;
  for (const DialRec& d : actor.Dials) names.push_back(d.Name.str());
  return names;
}

}  // namespace vandrel::test
