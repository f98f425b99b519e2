#include "reader/poser_file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "common/numbers.h"
#include "common/text.h"
#include "model/data_not_kept.h"
#include "model/model.h"
#include "model/object_list.h"
#include "platform/files.h"
#include "reader/file_header.h"
#include "reader/file_text.h"
#include "reader/kept_data.h"
#include "reader/prop_entries.h"
#include "reader/read_fault.h"
#include "reader/read_state.h"
#include "reader/read_windows.h"
#include "reader/text_scan.h"

namespace vandrel {
namespace {

constexpr const char* kProgramTitle = "Vandrel";

}  // namespace

namespace {

// Title and default extension of each type's open dialog, in type order.
struct DialogRow {
  const char* title;
  const char* ext;
};
constexpr DialogRow kDialogRows[kFileTypeCount] = {
    {"Open Character file", "cr2"}, {"Open Pose file", "pz2"},   {"Open Prop file", "pp2"},
    {"Open Hair file", "hr2"},      {"Open Camera file", "cm2"}, {"Open Face file", "fc2"},
    {"Open Hand file", "hd2"},      {"Open Light file", "lt2"},
};

std::string DialogFilter(int fileType) {
  switch (fileType) {
    case kCr2:
      return "Characters|*.cr2|All files|*.*";
    case kPp2:
      return "Props|*.pp2|All files|*.*";
    case kHr2:
      return "Hair|*.hr2|All files|*.*";
    default:
      break;
  }
  // The type's own kind first, then the other pose kinds.
  struct Kind {
    int type;
    const char* entry;
  };
  constexpr Kind kinds[] = {{kPz2, "Pose files|*.pz2"},
                            {kCm2, "Camera files|*.cm2"},
                            {kHd2, "Hand files|*.hd2"},
                            {kFc2, "Face files|*.fc2"},
                            {kLt2, "Light files|*.lt2"}};
  std::string filter;
  for (const Kind& k : kinds)
    if (k.type == fileType) filter = k.entry;
  for (const Kind& k : kinds)
    if (k.type != fileType) filter += std::string("|") + k.entry;
  return filter + "|All files|*.*";
}

// Header: version and comment, from prefixes of 50, 100, ... characters
// until one holds "}". A given text is read the same way, so that a comment
// before its version block does not push the block out of a fixed 50
// characters.
void ReadHeader(ReadState& rs) {
  const std::optional<std::size_t> length = HeaderPrefixLength(rs.text.input());
  if (!length) throw InputPastEndFault();
  const std::string_view head = rs.text.input().substr(0, *length);
  rs.step = kStepVersion;
  FileHeader header = ParseFileHeader(head, rs.options.poser5Format);
  gState.FileNotes = std::move(header.fileNotes);
  gState.ReadVersion = std::move(header.readVersion);
  gState.RequiredVersion = std::move(header.requiredVersion);
  rs.result.setRequiredVersion = true;
}

// Prop scan of a figure-type file: the "figure" entry and the props of the
// file's first part, found in the prefix that holds the first object line
// twice.
void ScanProps(ReadState& rs) {
  rs.result.enableObjectList = true;
  rs.Stage("Looking for props...");
  rs.Range(100);
  rs.Value(0);

  const std::string_view data = rs.text.input();
  const std::string first = CrToLfCopy(data.substr(0, 250));
  std::size_t at = 0;
  for (const char* key : {"actor ", "light ", "camera ", "prop "}) {
    if (at != 0) break;
    at = InStr(first, key);
  }
  if (at == 0) throw InvalidCallFault();
  // The object line runs to its line end, also past the first 250 characters.
  std::size_t stop = at;
  while (stop <= data.size() && data[stop - 1] != '\n' && data[stop - 1] != '\r') ++stop;
  const std::string_view objectLine = data.substr(at - 1, stop - at);

  // The prefix that holds the object line twice, found directly.
  const std::size_t length = PropScanLength(data, objectLine);
  const std::size_t rounds = length <= 100 ? 1 : (length - 100 + 499) / 500 + 1;
  rs.Item("Char " + FormatInt(static_cast<long long>(length)) + "...");
  rs.Value(static_cast<long long>(rounds % 100));
  const std::string_view buffer = data.substr(0, length);

  rs.step = kStepPropLines;
  const bool crIsLineEnd = !rs.text.given();
  if (FindLineEndKey(buffer, "figureResFile ", 1, crIsLineEnd) != 0) AddObjectListItem("figure", 0);
  AddObjectListItems(PropScanEntries(buffer, data, crIsLineEnd, [&rs] { rs.Yield(); }));
}

// Quick read of a figure-type file: the tail back to the block that holds
// the last second key, and the head up to its first "}".
void QuickRead(ReadState& rs, int fileType) {
  const bool prop = fileType == kPp2 || fileType == kHr2;
  const char* firstKey = prop ? "addActor" : "setGeomHandlerOffset";
  const char* secondKey = prop ? "displayMode" : "figureType";
  const std::string_view data = rs.text.input();

  rs.step = kStepTailFirstKey;
  if (!TailStart(data, firstKey)) throw BadRecordFault();
  rs.step = kStepTailSecondKey;
  const std::optional<std::size_t> tail = TailStart(data, secondKey);
  if (!tail) throw BadRecordFault();
  const std::string_view buffer = data.substr(*tail - 1, data.size() - *tail);

  rs.step = kStepHead;
  const std::optional<std::size_t> headLength = HeadPrefixLength(data);
  if (!headLength) throw InputPastEndFault();
  const std::string_view head = data.substr(0, *headLength);

  if (prop) {
    rs.step = kStepPropLine;
    const std::string start = CrToLfCopy(data.substr(0, *headLength + 5 + 50));
    const long long at = static_cast<long long>(InStr(start, "prop "));
    if (at == 0) throw InvalidCallFault();
    const long long lf = static_cast<long long>(InStr(static_cast<std::size_t>(at), start, "\n"));
    gObjects[0].Name = MidChecked(start, at, lf - at);
  }
  rs.text.whole.reserve(head.size() + 1 + buffer.size());
  rs.text.whole.assign(head).append("\n");
  // The tail can be most of a large file: copied a stretch at a time, so
  // that the windows repaint.
  AppendLargeText(rs.text.whole, buffer, [&rs] {
    rs.Yield();
    return false;
  });
}

}  // namespace

void LoadData(ReadState& rs, int step) {
  rs.step = step;
  // This read cannot be cancelled: its polls only let the windows repaint.
  rs.text.Load(rs.options.path, [&rs] {
    rs.host.CancelRequested();
    return false;
  });
}

std::string NotPoserTextOf(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
      static_cast<unsigned char>(bytes[1]) == 0x8b)
    return kCompressedPoserFile;
  if (bytes.find('\0') != std::string_view::npos) return kNotPoserText;
  std::size_t i = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
    ++i;
  return i < bytes.size() && bytes[i] == '{' ? std::string() : kNotPoserText;
}

std::string NotPoserText(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return {};
  }
  // The start decides; a NUL further on is found by the read itself, in the
  // bytes it holds anyway (LoadData), so the file is not read twice.
  constexpr std::size_t kStart = std::size_t{64} << 10;
  std::unique_ptr<char[]> start(new char[kStart]);
  std::size_t got = 0;
  while (got < kStart) {
    const ssize_t n = ::read(fd, start.get() + got, kStart - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a failed read is reported by the reader
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return NotPoserTextOf(std::string_view(start.get(), got));
}

std::string OpenFileErrorReport(const std::string& description, int number, int step) {
  return "Error in the OpenFile function\r\n" + description + ", error number " + FormatInt(number) +
         "\r\nCode line number " + FormatInt(step);
}

namespace {

// The refusal of a file that is not Poser text, `why` says how: reported
// through `host`, gState.ReadError set, nothing else changed.
OpenFileResult Refusal(const std::string& why, Host& host) {
  OpenFileResult result;
  const ReadFault fault = NotPoserTextFault(why);
  result.errorNumber = fault.number;
  result.errorDescription = fault.description;
  result.errorStep = kStepEntry;
  result.errorReport = OpenFileErrorReport(fault.description, fault.number, kStepEntry);
  gState.ReadError = true;
  host.Message(result.errorReport, kProgramTitle, MsgButtons::OK, MsgIcon::Exclamation);
  return result;
}

}  // namespace

bool RefuseNonPoserText(const std::string& path, Host& host) {
  const std::string why = NotPoserText(path);
  if (why.empty()) return false;
  Refusal(why, host);
  return true;
}

void BeginOpenFile() {
  gState.ReadError = false;
  gOpenCancelled = false;
  gActorMaterialsFound = false;
}

void MarkOpenCancelled() {
  gState.LoadProps = false;
  gOpenCancelled = true;
}

void ResetDocument() {
  ResetActors();
  ResetObjects();
  gObjectList.clear();
  gState.FileName.clear();
  gState.RequiredVersion.clear();
  gState.ReadVersion.clear();
  gIsHairFile = false;
  gState.Dirty = false;
  gDataNotKept = DataNotKeptRec{};
}

FileDialogRequest OpenDialogRequest(int fileType) {
  FileDialogRequest r;
  const int type = fileType >= 0 && fileType < kFileTypeCount ? fileType : kCr2;
  r.title = kDialogRows[type].title;
  r.defaultExt = kDialogRows[type].ext;
  r.filter = DialogFilter(type);
  const std::string& preference = gSettings.FolderOfType(type);
  if (preference != kNone) r.initDir = preference;
  const std::string& last = gState.LastFolderOfType(type);
  if (!last.empty()) r.initDir = last;
  r.fileName.clear();
  r.flags = kOfnOpenDefault;
  r.left = 200;
  r.top = 200;
  r.extraHeight = 100;
  r.preview = gSettings.CdlgThumb;
  return r;
}

void RememberOpenFolder(int fileType, const std::string& path) {
  gState.LastFolderOfType(fileType) = FolderOf(path);
}

OpenFileResult ReadPoserFile(const OpenFileOptions& options, Host& host) {
  OpenFileResult result;
  BeginOpenFile();
  gState.FileGiven = false;
  gState.FileType = options.fileType;

  ReadState rs(options, host, result);
  rs.parts.assign(1, std::string());
  const bool figureType = !IsPoseType(options.fileType);
  std::vector<std::string> notKept;
  bool cutOff = false;
  if (!rs.text.given() && !options.knownText) {
    // Refused before anything changes: the document stays as it was.
    const std::string why = NotPoserText(options.path);
    if (!why.empty()) return Refusal(why, host);
  }
  try {
    rs.step = kStepReset;
    if (!gImportMode) {
      ResetDocument();
      gPictureSizes.assign(1, StringPairRec{});
    } else {
      ResetObjects();
    }

    if (!gImportMode) {
      rs.step = kStepDocumentName;
      gState.FileName = options.path;
      result.setCaption = true;
      result.caption = "Vandrel - [" + FileNameOf(options.path) + "]";
      if (figureType) result.channelsOff = true;
      LoadData(rs, kStepHeader);
      ReadHeader(rs);
    }

    rs.step = kStepObjectList;
    gObjectList.clear();

    if (figureType && gState.LoadProps) {
      LoadData(rs, kStepPropScan);
      rs.step = kStepPropScan;
      ScanProps(rs);
    }

    rs.Stage("Reading file...");
    rs.parts.assign(gObjectList.empty() ? 1 : gObjectList.size(), std::string());
    LoadData(rs, kStepOpenFile);
    if (figureType) {
      QuickRead(rs, options.fileType);
    } else {
      rs.step = kStepFullRead;
      // What the tables will not keep of the file, and whether its blocks
      // close: a file cut off is not read as if it ended there.
      const KeptDataReport kept =
          CheckKeptData(rs.text.input(), {.objectsRead = static_cast<bool>(options.objectPartReader)},
                        [&rs] { rs.Yield(); });
      cutOff = !kept.blocksClosed;
      notKept = kept.kinds;
      rs.Yield();
      if (!rs.text.given()) {
        // The file's own bytes become the text, without a second copy.
        rs.text.TakeInputAsWhole();
        RemoveIndentationInPlace(rs.text.whole);
        rs.Yield();
      } else {
        rs.text.whole = RemoveIndentation(rs.text.input());
      }
    }
    ReadMaterialGroups(rs);
    // A fault the read meets on its way comes first.
    if (cutOff) throw CutOffFault();
    result.ok = true;
    if (!gImportMode) gDataNotKept = {options.path, std::move(notKept)};
  } catch (const ReadFault& fault) {
    result.errorNumber = fault.number;
    result.errorDescription = fault.description;
  } catch (const std::bad_alloc&) {
    const ReadFault fault = OutOfMemoryFault();
    result.errorNumber = fault.number;
    result.errorDescription = fault.description;
  }
  if (!result.ok) {
    // Nothing of the read stays: the controls go back to an empty document.
    OpenFileResult failed;
    failed.errorNumber = result.errorNumber;
    failed.errorDescription = std::move(result.errorDescription);
    failed.setCaption = result.setCaption;
    failed.caption = std::move(result.caption);
    result = std::move(failed);
    result.errorStep = rs.step;
    gState.ReadError = true;
    result.errorReport = OpenFileErrorReport(result.errorDescription, result.errorNumber, result.errorStep);
    host.Message(result.errorReport, kProgramTitle, MsgButtons::OK, MsgIcon::Exclamation);
    ResetDocument();
    result.channelsOff = true;
    result.noMaterialData = true;
  }
  return result;
}

}  // namespace vandrel
