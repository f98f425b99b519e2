#include "reader/morph_pose_file.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "common/text.h"
#include "model/model.h"
#include "platform/files.h"
#include "reader/actor_switches.h"
#include "reader/channel_scan.h"
#include "reader/delta_removal.h"
#include "reader/file_text.h"
#include "reader/model_snapshot.h"
#include "reader/read_fault.h"

namespace vandrel {
namespace {

struct CancelledRead {};

MorphPoseReadResult& Failure(MorphPoseReadResult& result, const ReadFault& fault, Host& host) {
  result.Outcome = MorphPoseOutcome::Failed;
  result.ErrorNumber = fault.number;
  result.ErrorDescription = fault.description;
  host.Message(kMorphDataNotFound, fault.description, MsgButtons::OK, MsgIcon::Exclamation);
  return result;
}

bool HasTwoCr(std::string_view text) {
  const std::size_t first = text.find('\r');
  return first != std::string_view::npos && text.rfind('\r') != first;
}

// Where the channel part begins, by the file's extension.
std::size_t ChannelStart(const std::string& buffer, const std::string& fileName) {
  const std::string ext = LCase(Right(fileName, 4));
  if (ext == ".cr2") {
    const std::size_t first = InStr(buffer, "\nfigureResFile");
    return InStr(first + 1, buffer, "\nfigureResFile") + 15;
  }
  if (ext == ".hr2" || ext == ".pp2") {
    const std::size_t first = InStr(buffer, "\nprop ");
    const std::size_t second = InStr(first + 1, buffer, "\nprop ");
    if (second == 0) throw InvalidCallFault();
    return second;
  }
  // After the version block; a pose without one (its first "}" closes a
  // block of its first object) is read from its start.
  const std::size_t brace = InStr(buffer, "}");
  const std::string_view head = std::string_view(buffer).substr(0, brace == 0 ? 0 : brace - 1);
  for (const std::string_view key : ObjectKeywords::kWords)
    if (FindAtLineStart(head, key, 1, 1, true) != 0) return 1;
  return brace + 2;
}

// Where it ends: the "figure" line after the inverse kinematics channels.
std::size_t ChannelEnd(const std::string& buffer) {
  const std::size_t ik = InStr(buffer, "ikchannels");
  std::size_t end = ik != 0 ? InStr(ik, buffer, "\nfigure\n") : 0;
  if (end == 0) end = InStr(buffer, "\nfigure\n");
  return end != 0 ? end : buffer.size();
}

class MorphPoseReader {
 public:
  MorphPoseReader(const MorphPoseReadOptions& options, Host& host) : options_(options), host_(host) {}

  ChannelReadResult Run() {
    // The "actor " entries beyond the material table come back with the read.
    if (gObjectList.size() > gObjects.size()) gObjectList.resize(gObjects.size());
    host_.SetRange(6);
    host_.SetValue(0);
    host_.SetStage("Reading file...");
    const long long startMs = TickCountMs();

    const bool fromFile = options_.Text.empty();
    // A file is read whole into memory of its own, where a large one loses
    // its deltas.
    std::string file;
    std::string_view source = options_.Text;
    if (fromFile) {
      bool cancelled = false;
      if (!FileExists(options_.FileName)) throw FileNotFoundFault();
      try {
        file = ReadFileText(options_.FileName, [&] { return cancelled = host_.CancelRequested(); });
      } catch (const ReadFault&) {
        throw FileNotFoundFault();
      }
      if (cancelled) throw CancelledRead{};
      source = file;
    }
    std::string block;
    if (options_.InsertOne) {
      if (!BodyOnlyBlock(source, block)) throw InputPastEndFault();
      source = block;
    }
    Value(1);

    // The text read becomes the buffer, without a copy: the block cut out,
    // or the file (a given text is the caller's, and is copied).
    std::string buffer = options_.InsertOne ? std::move(block)
                         : fromFile         ? std::move(file)
                                            : std::string(source);
    if (fromFile) {
      CancelCheck();
      host_.SetStage("Reading data...");
      if (buffer.size() > kStripDeltasAbove) {
        if (!StripDeltas(buffer, host_, ProgressMemo{6, 1})) throw CancelledRead{};
      } else if (HasTwoCr(buffer)) {
        CrToLf(buffer);
      }
    }
    std::string().swap(file);
    std::string().swap(block);
    Value(5);
    CancelCheck();

    CleanFigureLines(buffer, [this] { CancelCheck(); });
    if (FindEndingLine(buffer, "channels", 1) == 0) throw NoChannelData{};
    const std::size_t leading = buffer.find_first_not_of('\n');
    buffer.erase(0, leading == std::string::npos ? buffer.size() : leading);

    std::string part;
    if (!options_.InsertOne) {
      const std::size_t start = ChannelStart(buffer, options_.FileName);
      const std::size_t end = ChannelEnd(buffer);
      if (end < start) throw InvalidCallFault();
      // Mid(buffer, start, end - start): cut within the buffer's own bytes
      // when it is most of them, else copied, giving back the rest.
      const std::size_t from = std::max<std::size_t>(start, 1) - 1;
      if (from < buffer.size()) {
        const std::size_t length = std::min(end - start, buffer.size() - from);
        if (length >= buffer.size() / 2) {
          buffer.resize(from + length);
          buffer.erase(0, from);
          part = std::move(buffer);
        } else {
          part = buffer.substr(from, length);
        }
      }
    }
    Value(6);
    CancelCheck();

    if (options_.InsertOne) part = std::move(buffer);
    std::string().swap(buffer);
    if (StartsWith(part, "\n")) part.erase(0, 1);
    if (LCase(Right(options_.FileName, 4)) == ".hr2") {
      // The hair prop is always read under one name.
      const std::size_t lf = part.find('\n');
      const std::size_t firstLine = lf == std::string::npos ? part.size() : lf;
      if (firstLine > 0) part.replace(0, firstLine, "prop figureHair");
    }
    return LoadMorphsAndPoses(
        part, host_, {.InsertOne = options_.InsertOne, .Append = options_.Append, .StartMs = startMs});
  }

  struct NoChannelData {};

 private:
  void Value(long long value) { host_.SetValue(value); }
  void CancelCheck() {
    if (host_.CancelRequested()) throw CancelledRead{};
  }

  const MorphPoseReadOptions& options_;
  Host& host_;
};

}  // namespace

void CleanFigureLines(std::string& text, const std::function<void()>& tick) {
  // "figure" with blanks and TABs after it at its line end ends there; then
  // the blanks and TABs before every line-final "figure" go. The text only
  // shrinks, so what is written never overtakes what is still to be read.
  constexpr std::string_view kFigure = "figure";
  char* const t = text.data();
  const std::size_t size = text.size();
  std::size_t written = 0, from = 0, seen = 0;
  const auto keep = [&](std::size_t to) {
    if (written != from) std::memmove(t + written, t + from, to - from);
    written += to - from;
  };
  for (std::size_t at = text.find(kFigure); at != std::string::npos; at = text.find(kFigure, at + 1)) {
    if (tick && ++seen % 4096 == 0) tick();
    std::size_t end = at + kFigure.size();
    while (end < size && (t[end] == ' ' || t[end] == '\t')) ++end;
    if (end == size || t[end] != '\n') continue;
    keep(at);
    while (written > 0 && (t[written - 1] == ' ' || t[written - 1] == '\t')) --written;
    std::memcpy(t + written, "figure\n", kFigure.size() + 1);
    written += kFigure.size() + 1;
    from = end + 1;
    // The next "figure" begins after this one's line end.
    at = end;
  }
  keep(size);
  text.resize(written);
}

bool BodyOnlyBlock(std::string_view source, std::string& block) {
  const std::size_t n = source.size();
  // The keywords count only at line starts of the source: "actor " inside a
  // dial's name ("move actor left") neither starts nor ends the block.
  // First / last occurrence lying wholly in `window` (which starts at source
  // position `offset` + 1) that stands at a line start of the source;
  // 1-based in the window, 0 = none.
  const auto firstIn = [&](std::string_view window, std::size_t offset, std::string_view key,
                           std::size_t from) {
    const std::size_t q = FindAtLineStart(source, key, offset + from, 1, true);
    return q == 0 || q - offset - 1 + key.size() > window.size() ? std::size_t{0} : q - offset;
  };
  const auto lastIn = [&](std::string_view window, std::size_t offset, std::string_view key) {
    const std::size_t q = FindLastAtLineStart(source, key, offset + window.size(), 1, true);
    return q <= offset ? std::size_t{0} : q - offset;
  };
  const std::size_t first = firstIn(source, 0, "actor BODY", 1);
  if (first == 0) return false;
  // The first read that holds the whole keyword, cut to begin at its fourth
  // character.
  const std::size_t firstChunk = (first + 9 + 499) / 500 * 500;
  std::string_view window = source.substr(0, firstChunk).substr(first + 2);
  std::size_t offset = first + 2;
  const std::size_t bodyInCut = firstIn(window, offset, "actor BODY", 1);
  if (!(bodyInCut != 0 && lastIn(window, offset, "actor ") != bodyInCut)) {
    // Later reads start at the character after the first "actor BODY" and
    // grow by 500 until they hold a second "actor BODY" and an "actor "
    // after it.
    const std::size_t second = firstIn(source, 0, "actor BODY", first + 1);
    if (second == 0) return false;
    const std::size_t after = firstIn(source, 0, "actor ", second + 1);
    if (after == 0) return false;
    const std::size_t need = std::max(second + 9, after + 5) - first;
    std::size_t chunk = firstChunk + 500;
    if (need > chunk) chunk += (need - chunk + 499) / 500 * 500;
    window = source.substr(first, std::min(chunk, n - first));
    offset = first;
  }
  const std::size_t lastBody = lastIn(window, offset, "actor BODY");
  const std::size_t lastActor = lastIn(window, offset, "actor ");
  block =
      lastActor > lastBody ? std::string(window.substr(lastBody - 1, lastActor - lastBody)) : std::string();
  return true;
}

MorphPoseReadResult ReadMorphPoseData(const MorphPoseReadOptions& options, Host& host) {
  MorphPoseReadResult result;
  // Out of memory anywhere in the read (a helper thread's included) ends it
  // as a failure: the model goes back to what it was, the report is shown.
  std::optional<ModelSnapshot> kept;
  try {
    kept.emplace(ModelSnapshot::CopyTables());
  } catch (const std::bad_alloc&) {
    // Nothing has changed yet.
    return Failure(result, OutOfMemoryFault(), host);
  }
  ModelSnapshot& before = *kept;
  try {
    MorphPoseReader reader(options, host);
    result.Channels = reader.Run();
    if (result.Channels.Cancelled) {
      before.PutBack();
      result.Outcome = MorphPoseOutcome::Cancelled;
      return result;
    }
    DisableActorAndDialProperties();
    gState.Dirty = true;
    result.Outcome = MorphPoseOutcome::Read;
  } catch (const CancelledRead&) {
    before.PutBack();
    result.Outcome = MorphPoseOutcome::Cancelled;
    result.Channels.Cancelled = true;
  } catch (const MorphPoseReader::NoChannelData&) {
    before.PutBack();
    result.Outcome = MorphPoseOutcome::NoChannels;
    host.Message(kNoMorphData, "", MsgButtons::OK, MsgIcon::Exclamation);
  } catch (const ReadFault& fault) {
    before.PutBack();
    return Failure(result, fault, host);
  } catch (const std::bad_alloc&) {
    before.PutBack();
    return Failure(result, OutOfMemoryFault(), host);
  }
  return result;
}

}  // namespace vandrel
