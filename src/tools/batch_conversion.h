// Converting a list of pose-type files between the Poser 4 and the Poser 5
// material format, in place or as copies beside them. The run has no reader
// or writer of its own: it drives the open document (the main window) file
// by file through BatchDocument.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/host.h"

namespace vandrel {

// One of the four operations: the label beside its option button, its tool
// tip, the text of the "Operation" column (which the run goes by), the
// format written and whether a copy is written.
struct BatchOperation {
  const char* label;
  const char* toolTip;
  const char* text;
  bool poser5;
  bool copy;
};
inline constexpr int kBatchOperationCount = 4;
inline constexpr BatchOperation kBatchOperations[kBatchOperationCount] = {
    {" Convert into P5 format", "Selected files will be converted into Poser 5 format",
     "Convert into P5 format", true, false},
    {" Convert into P4 format", "Selected files will be converted into Poser 4 format",
     "Convert into P4 format", false, false},
    {" Save a copy in P5 format (as filename_P5)", "A copy of the file will be saved in Poser 5 format",
     "Save a copy in P5 format", true, true},
    {" Save a copy in P4 format (as filename_P4)", "A copy of the file will be saved in Poser 4 format",
     "Save a copy in P4 format", false, true},
};

// The operation whose column text is exactly `text`; nullptr for any other.
const BatchOperation* BatchOperationOfText(const std::string& text);

// The copy of `path` in the other format: the extension is the last four
// characters less a leading "."; the base is what stands before the
// extension and the one character before it. "a.pz2" gives "a_P5.pz2".
std::string BatchCopyPath(const std::string& path, bool poser5);

// True for the five pose types (.pz2 .cm2 .fc2 .hd2 .lt2, any case).
bool IsPoseTypeFile(const std::string& path);

// True when a material of the document has one of its 18 "saved with the
// pose" switches off; a group without materials has nothing to test.
bool HasPartialMaterials();

// True when a pose written now would carry neither a material nor an actor:
// the materials are left out or no group holds one, and the channels are
// left out or no actor was read.
bool NothingToWrite(bool materialsLeftOut, bool channelsLeftOut);

// The converter's file list: each path at most once, in the order added.
struct BatchItem {
  std::string path;
  std::string operation;  // the "Operation" column
};

class BatchList {
 public:
  const std::vector<BatchItem>& items() const { return items_; }
  bool empty() const { return items_.empty(); }
  bool Contains(const std::string& path) const;

  // Adds the paths in order, each with "Convert into P5 format". A file that
  // is not a pose type is refused with a message and the others are still
  // added; a path already listed stops the adding with the "Duplicate file"
  // message. The messages go to `host`. Returns how many were added.
  int Add(const std::vector<std::string>& paths, Host& host);
  // Removes the items at the given rows (any order).
  void Remove(const std::vector<int>& rows);
  // The operation text of the items at the given rows.
  void SetOperation(const std::vector<int>& rows, const std::string& text);

 private:
  std::vector<BatchItem> items_;
  std::unordered_set<std::string> paths_;  // the paths of items_, for the duplicate test
};

// What the run asks of the open document.
class BatchDocument {
 public:
  virtual ~BatchDocument() = default;
  // Before the first file and after the last (also after a failure): the
  // document's windows take no input meanwhile. From BeginRun until
  // ResetAfterRun or EndRun the document reads and saves as a batch run:
  // through a host that shows nothing, with none of its own questions or
  // message boxes, and writing as the batch conversion writes.
  virtual void BeginRun() {}
  virtual void EndRun() {}
  // Reads the file as the open document, its path put in the shared file
  // dialog (gState.FileGiven is set: no dialog); false when the read failed.
  virtual bool Read(const std::string& path) = 0;
  // True when the document read has neither materials nor actors to write.
  virtual bool NothingToSave() = 0;
  // True when the document's materials are left out of the saved pose (the
  // file read had none: its one empty group is only a placeholder).
  virtual bool MaterialsLeftOut() = 0;
  // Chooses the output format as a click on its option would.
  virtual void SetPoser5(bool poser5) = 0;
  // Saves the document in place; false when it could not be written.
  virtual bool Save() = 0;
  // Writes the document to `path` and makes that its file name; false when
  // it could not be written.
  virtual bool SaveCopy(const std::string& path) = 0;
  // After a finished run: the document is emptied and nothing is saved
  // until the next file is opened.
  virtual void ResetAfterRun() = 0;
  // Between files: the windows repaint (they take no input).
  virtual void Yield() {}
};

enum class BatchOutcome {
  Completed,  // every file done; "Job finished" was shown
  Stopped,    // the user chose to cancel at the last file's question
  Failed,     // a read or a write failed; later files were not touched
};

struct BatchRunResult {
  BatchOutcome outcome = BatchOutcome::Completed;
  std::string failedPath;               // Failed: the file it stopped at
  std::vector<std::string> notWritten;  // files with nothing to save
  // Files a conversion in place left as they were, each with what it holds
  // that a material pose does not keep ("animation keys, lightOn").
  struct Left {
    std::string path;
    std::string why;
  };
  std::vector<Left> leftUnchanged;
};

// The progress window of a run: created when the run starts, destroyed
// (unloaded) when it ends.
using BatchProgressFactory = std::function<std::unique_ptr<Host>()>;

// Runs the list from top to bottom. A conversion in place leaves a file that
// holds what the tables do not keep as it is and goes on with the next; its
// copies are written as usual. `askPartial`: a Poser 5 option was
// selected when the run started, so files with partial materials are asked
// about. Questions and messages go to `host`.
BatchRunResult RunBatch(const std::vector<BatchItem>& items, bool askPartial, BatchDocument& document,
                        const BatchProgressFactory& progress, Host& host);

}  // namespace vandrel
