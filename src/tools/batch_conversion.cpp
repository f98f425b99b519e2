#include "tools/batch_conversion.h"

#include <algorithm>
#include <exception>

#include "common/text.h"
#include "maps/poser_paths.h"
#include "model/data_not_kept.h"
#include "model/model.h"
#include "platform/files.h"

namespace vandrel {

namespace {

constexpr const char* kCompleted = "Batch operations completed successfully.";

}  // namespace

const BatchOperation* BatchOperationOfText(const std::string& text) {
  for (const BatchOperation& op : kBatchOperations)
    if (text == op.text) return &op;
  return nullptr;
}

std::string BatchCopyPath(const std::string& path, bool poser5) {
  std::string ext = Right(path, 4);
  if (StartsWith(ext, ".")) ext = ext.substr(1);
  const std::size_t cut = ext.size() + 1;
  const std::string base = path.size() > cut ? path.substr(0, path.size() - cut) : std::string();
  return base + (poser5 ? "_P5." : "_P4.") + ext;
}

bool IsPoseTypeFile(const std::string& path) {
  const std::string ext = LCase(Right(path, 4));
  return ext == ".pz2" || ext == ".cm2" || ext == ".fc2" || ext == ".hd2" || ext == ".lt2";
}

bool HasPartialMaterials() {
  for (const ObjectRec& group : gObjects)
    for (const MaterialRec& material : group.Materials)
      for (int i = 0; i < MaterialRec::kSwitchCount; ++i)
        if (!material.SwitchOn(i)) return true;
  return false;
}

bool NothingToWrite(bool materialsLeftOut, bool channelsLeftOut) {
  const bool materials = std::any_of(gObjects.begin(), gObjects.end(),
                                     [](const ObjectRec& group) { return !group.Materials.empty(); });
  const bool actors =
      std::any_of(gActors.begin(), gActors.end(), [](const ActorRec& actor) { return !actor.Name.empty(); });
  return (materialsLeftOut || !materials) && (channelsLeftOut || !actors);
}

// ---- The list ---------------------------------------------------------------------

bool BatchList::Contains(const std::string& path) const { return paths_.count(path) != 0; }

int BatchList::Add(const std::vector<std::string>& paths, Host& host) {
  int added = 0;
  for (const std::string& path : paths) {
    if (FolderExists(path)) {
      // A dropped folder (even one named like a pose file) is no file to convert.
      host.Message(path + "\r\nis a folder, not a pose file, and cannot be converted", "Batch converter",
                   MsgButtons::OK, MsgIcon::Exclamation);
      continue;
    }
    if (!IsPoseTypeFile(path)) {
      // A character, prop or hair file would be overwritten with a material pose.
      host.Message("File " + path + "\r\nis not a pose file and cannot be converted", "Batch converter",
                   MsgButtons::OK, MsgIcon::Exclamation);
      continue;
    }
    if (!paths_.insert(path).second) {
      host.Message("File " + path + "\r\nis already in the list", "Duplicate file", MsgButtons::OK,
                   MsgIcon::Exclamation);
      break;
    }
    items_.push_back({path, kBatchOperations[0].text});
    ++added;
  }
  return added;
}

void BatchList::Remove(const std::vector<int>& rows) {
  std::vector<bool> gone(items_.size(), false);
  for (int row : rows)
    if (row >= 0 && static_cast<std::size_t>(row) < items_.size()) gone[static_cast<std::size_t>(row)] = true;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (gone[i]) {
      paths_.erase(items_[i].path);
      continue;
    }
    // A string moved onto itself is left empty: an item that keeps its row stays.
    if (kept != i) items_[kept] = std::move(items_[i]);
    ++kept;
  }
  items_.resize(kept);
}

void BatchList::SetOperation(const std::vector<int>& rows, const std::string& text) {
  for (int row : rows)
    if (row >= 0 && static_cast<std::size_t>(row) < items_.size())
      items_[static_cast<std::size_t>(row)].operation = text;
}

// ---- The run ----------------------------------------------------------------------

BatchRunResult RunBatch(const std::vector<BatchItem>& items, bool askPartial, BatchDocument& document,
                        const BatchProgressFactory& makeProgress, Host& host) {
  BatchRunResult result;
  const std::size_t count = items.size();
  document.BeginRun();
  std::unique_ptr<Host> progress = makeProgress ? makeProgress() : std::make_unique<QuietHost>();
  progress->SetStage("Running batch conversion...");
  progress->SetRange(static_cast<long long>(count));
  progress->SetValue(0);

  long long done = 0;
  bool askedToStop = false;
  for (std::size_t i = 0; i < count && !askedToStop; ++i) {
    const BatchItem& item = items[i];
    const bool last = i + 1 == count;
    bool ok = true;
    try {
      gState.FileType = kPz2;
      gState.FileGiven = true;
      progress->SetItem(GetFileName(item.path));
      ok = document.Read(item.path);
      gState.FileGiven = false;
      if (ok && askPartial && !document.MaterialsLeftOut() && HasPartialMaterials()) {
        const MsgResult answer = host.Message(
            "File " + item.path + "\r\ncontains partial materials which don't always work in Poser 5.\r\n" +
                (last ? "Would you like to cancel the operation?"
                      : "Would you like to skip to the next file?"),
            "Partial MAT exclamation", MsgButtons::YesNo, MsgIcon::None);
        if (answer == MsgResult::Yes) {
          askedToStop = last;
          continue;  // nothing written for it, the bar stays
        }
      }
      if (ok && document.NothingToSave()) {
        result.notWritten.push_back(item.path);
      } else if (ok) {
        if (const BatchOperation* op = BatchOperationOfText(item.operation)) {
          const std::vector<std::string>& lost = DataLostByWriting(item.path);
          if (!op->copy && !lost.empty()) {
            result.leftUnchanged.push_back({item.path, DataNotKeptText(lost)});
          } else {
            document.SetPoser5(op->poser5);
            ok = op->copy ? document.SaveCopy(BatchCopyPath(item.path, op->poser5)) : document.Save();
          }
        }
      }
    } catch (const std::exception&) {
      ok = false;
    }
    if (!ok) {
      gState.FileGiven = false;
      progress.reset();
      document.EndRun();
      host.Message(
          "Could not complete requested operation for " + item.path + "\r\nBatch operations aborted.",
          "Error", MsgButtons::OK, MsgIcon::Exclamation);
      result.outcome = BatchOutcome::Failed;
      result.failedPath = item.path;
      return result;
    }
    progress->SetValue(++done);
    if (!last) document.Yield();
  }

  progress.reset();
  if (askedToStop) {
    result.outcome = BatchOutcome::Stopped;
  } else {
    std::string text = result.leftUnchanged.empty() ? kCompleted : "Batch operations completed.";
    if (!result.notWritten.empty()) {
      text += "\r\nNot written (nothing to save):";
      for (const std::string& path : result.notWritten) text += "\r\n" + path;
    }
    if (!result.leftUnchanged.empty()) {
      text += "\r\nLeft unchanged (they hold data that a material pose does not keep):";
      for (const BatchRunResult::Left& left : result.leftUnchanged)
        text += "\r\n" + left.path + " (" + left.why + ")";
    }
    host.Message(text, "Job finished", MsgButtons::OK, MsgIcon::Information);
  }
  document.ResetAfterRun();
  document.EndRun();
  return result;
}

}  // namespace vandrel
