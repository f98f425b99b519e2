// The state of one read, shared by its two halves: the staged reading of the
// file and the split into material groups. Internal to the reader.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "reader/poser_file_reader.h"

namespace vandrel {

// Stable numbers of the steps a failure report names ("Code line number").
enum ReadStep : int {
  kStepEntry = 1,
  kStepReset = 4,
  kStepDocumentName = 5,
  kStepHeader = 6,
  kStepVersion = 66,
  kStepObjectList = 7,
  kStepPropScan = 8,
  kStepPropLines = 88,
  kStepOpenFile = 10,
  kStepTailFirstKey = 112,
  kStepTailSecondKey = 114,
  kStepHead = 115,
  kStepPropLine = 116,
  kStepFullRead = 12,
  kStepObjectPart = 21,
  kStepObjectReader = 27,
  kStepGroupSplit = 31,
  kStepGroupParts = 37,
  kStepFigureGroup = 41,
  kStepPropParts = 45,
  kStepGroups = 51,
  kStepMaterials = 58,
  kStepEndOfLoad = 61,
};

// The text of one read, held once. The input is the caller's text, viewed,
// or the file's bytes, read whole the first time the read needs them; the
// text being processed (`whole`) is either made from the input or takes the
// file's bytes themselves, which are then rewritten in place.
class ReadText {
 public:
  explicit ReadText(const std::optional<std::string_view>& given) : given_(given) {}

  // Whether the caller gave the text (no file is read).
  bool given() const { return given_.has_value(); }
  // Views the given text or reads the file, once; a NUL byte anywhere fails
  // the read. `yield` lets the windows repaint during a long read.
  void Load(const std::string& path, const std::function<bool()>& yield);
  // The input as read, until it is taken or dropped.
  std::string_view input() const { return input_; }
  // The file's bytes become `whole`, without a second copy; a given text is
  // copied into it.
  void TakeInputAsWhole();
  // The input is not needed again: the file's bytes are freed.
  void DropInput();
  // The input once more in `whole`: the given text copied, or the file read
  // again when its bytes went into `whole` (`yield` as for Load).
  void ReloadWhole(const std::string& path, const std::function<bool()>& yield);

  std::string whole;  // the text being processed

 private:
  std::optional<std::string_view> given_;
  std::string file_;        // the file's bytes, while the input views them
  std::string_view input_;  // the given text or `file_`
  bool loaded_ = false;
  bool taken_ = false;  // `file_` went into `whole`
};

struct ReadState {
  ReadState(const OpenFileOptions& options, Host& host, OpenFileResult& result)
      : options(options), host(host), result(result) {}

  const OpenFileOptions& options;
  Host& host;
  OpenFileResult& result;
  ReadText text{options.text};
  std::vector<std::string> parts;  // one text per material group
  bool objectTextCut = false;
  std::size_t materialBlocks = 0;  // "material " blocks read into the groups
  int step = kStepEntry;

  void Stage(const std::string& text) { host.SetStage(text); }
  void Item(const std::string& text) { host.SetItem(text); }
  void Range(long long max) { host.SetRange(max); }
  void Value(long long value) { host.SetValue(value); }
  // Lets the windows repaint during a loop over the file's units; the read
  // cannot be cancelled there, so the answer goes unused.
  void Yield() { host.CancelRequested(); }
};

// Reads the file (or takes the given text) the first time the read needs
// it; `step` names the step in a failure report.
void LoadData(ReadState& rs, int step);

// The second half of a read: material groups, materials, the end of a load.
void ReadMaterialGroups(ReadState& rs);

}  // namespace vandrel
