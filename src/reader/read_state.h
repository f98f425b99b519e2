// The state of one read, shared by its two halves: the staged reading of the
// file and the split into material groups. Internal to the reader.
#pragma once

#include <cstdlib>
#include <functional>
#include <memory>
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

// A file's bytes, read once whole into memory that the system may back with
// large pages: a hundred megabytes then cost a few hundred page faults
// instead of tens of thousands.
class FileBuffer {
 public:
  // Fails the read (ReadFault 53 or 75) when the file cannot be read.
  // `stop` is asked after each piece of a few megabytes (the windows
  // repaint); when it answers true the read ends there, with what it has.
  // With `refuseNul` a NUL byte fails the read (ReadFault 321) as soon as
  // the piece that holds it is read.
  static FileBuffer Read(const std::string& path, const std::function<bool()>& stop = {},
                         bool refuseNul = false);
  std::string_view view() const { return {data_.get(), size_}; }
  // The bytes themselves, for a reader that rewrites them in place.
  char* data() { return data_.get(); }

 private:
  struct Free {
    void operator()(char* p) const { std::free(p); }
  };
  std::unique_ptr<char, Free> data_;
  std::size_t size_ = 0;
};

struct ReadState {
  ReadState(const OpenFileOptions& options, Host& host, OpenFileResult& result)
      : options(options), host(host), result(result) {}

  const OpenFileOptions& options;
  Host& host;
  OpenFileResult& result;
  bool textGiven = false;  // options.text holds the content
  FileBuffer fileBytes;    // the file read once, whole
  // A pose-type file read once, whole: its bytes become the text processed,
  // so that the file is never held twice.
  std::string fileText;
  bool fileTextTaken = false;  // `data` no longer holds the file
  std::string_view data;       // the file's bytes or the given text
  bool loaded = false;
  std::string whole;               // the text being processed
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

// Reads the file (or takes the given text) into `data` the first time the
// read needs it; `step` names the step in a failure report.
void LoadData(ReadState& rs, int step);

// The whole file as text, read through pieces (no zero-filled copy); fails
// the read (ReadFault 53 or 75) when the file cannot be read, and with
// `refuseNul` (ReadFault 321) at the first piece that holds a NUL byte.
std::string ReadFileText(const std::string& path, const std::function<bool()>& stop = {},
                         bool refuseNul = false);

// The second half of a read: material groups, materials, the end of a load.
void ReadMaterialGroups(ReadState& rs);

}  // namespace vandrel
