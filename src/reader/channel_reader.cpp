#include "reader/channel_reader.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "platform/files.h"
#include "reader/actor_switches.h"
#include "reader/channel_scan.h"
#include "reader/model_snapshot.h"
#include "reader/read_fault.h"

namespace vandrel {
namespace {

constexpr const auto& kKeywords = ObjectKeywords::kWords;

// The nearest object block from a position of the whole text, as
// NextObjectBlock answers for the text from that position on. A keyword
// begins a block only at the start of a line (after its indentation): "prop "
// inside a dial's "name lift prop arm" line starts nothing (ObjectKeywords).
class ObjectBlockFinder {
 public:
  explicit ObjectBlockFinder(std::string_view text)
      : text_(text), own_(text), keys_(own_), brace_(text, "{"), lineEnd_(text, "\n") {}
  // With the keyword positions of the reader, shared by its finders: the
  // text is then gone through once for all of them.
  ObjectBlockFinder(std::string_view text, ObjectKeywords& keys)
      : text_(text), own_({}), keys_(keys), brace_(text, "{"), lineEnd_(text, "\n") {}

  // The keyword's index (-1 = none) and how many characters were skipped.
  std::pair<int, std::size_t> Next(std::size_t from, bool checkEmpty) {
    std::size_t start = from;
    std::array<std::size_t, 4> pos{};
    std::size_t nearest = 0;
    for (;;) {
      nearest = 0;
      bool restart = false;
      for (std::size_t k = 0; k < kKeywords.size(); ++k) {
        pos[k] = keys_.Next(k, start);
        if (pos[k] == 0) continue;
        if (nearest == 0) {
          nearest = pos[k];
          continue;
        }
        if (pos[k] >= nearest) continue;
        if (checkEmpty && IsEmptyBlock(pos[k])) {
          // The search starts again a header line's length further on, as
          // often as it takes to pass the empty block (every round before
          // that finds the same keywords).
          const std::size_t length = HeaderLength(pos[k]);
          start += length * ((pos[k] - start) / length + 1);
          restart = true;
          break;
        }
        nearest = pos[k];
      }
      if (!restart) break;
    }
    if (nearest == 0) return {-1, 0};
    for (std::size_t k = 0; k < kKeywords.size(); ++k)
      if (pos[k] == nearest) return {static_cast<int>(k), start - from};
    return {-1, 0};
  }

 private:
  // A block whose first twenty characters from its "{" hold "}" with only
  // line ends, blanks and TABs between.
  bool IsEmptyBlock(std::size_t at) {
    const std::size_t open = brace_.Next(at);
    if (open == 0) return false;
    const std::string_view twenty = text_.substr(open - 1, 20);
    const std::size_t close = twenty.find('}');
    if (close == std::string_view::npos) return false;
    std::string rest;
    for (char c : twenty.substr(0, close + 1))
      if (c != '\n' && c != ' ' && c != '\t' && c != '\r') rest += c;
    return rest == "{}";
  }

  // From the keyword to the character before the next LF (the end of the
  // text when there is none).
  std::size_t HeaderLength(std::size_t at) {
    const std::size_t lf = lineEnd_.Next(at);
    return lf == 0 ? text_.size() - at + 1 : lf - at;
  }

  std::string_view text_;
  ObjectKeywords own_;
  ObjectKeywords& keys_;
  ForwardFinder brace_;
  ForwardFinder lineEnd_;
};

// The occurrences of "<type> <name>" as a whole line in one block (nothing
// but blanks, TABs or a CR after the name up to the line end), found through
// the occurrences of "<type> " sorted by the rest of their line: a channel
// line that is looked for again after it was read is answered without
// searching the rest of the block, and "targetGeom Smile" never stands for
// "targetGeom SmileOpen".
class ChannelLineIndex {
 public:
  void Reset(std::string_view text, std::size_t from, std::size_t blockEnd) {
    text_ = text;
    from_ = from;
    blockEnd_ = blockEnd;
    byType_.clear();
  }

  // What the Find below answers, when the line just read that holds the name
  // starts at `lineStart` (after line ends and indentation): that line is the
  // answer unless the same line stands earlier, which is looked for only
  // between `at` and it; none when the line starts before `at`. The type's
  // lines are then not gathered for the block.
  // `lineEnd` is the LF that ends that line (0 = none).
  std::size_t Find(const std::string& type, std::string_view name, std::size_t at, std::size_t lineStart,
                   std::size_t lineEnd, const BlockLineIndex& lines) {
    std::size_t q = lineStart;
    while (q >= 1 && q <= text_.size() &&
           (text_[q - 1] == ' ' || text_[q - 1] == '\t' || text_[q - 1] == '\n' || text_[q - 1] == '\r'))
      ++q;
    at = std::max(at, from_);
    // A line before the channel made last (read again on the way to the
    // next one) makes no channel: a later channel of the same type and name
    // is read in its turn, not in place of the channels between.
    if (q < at) return 0;
    if (q >= blockEnd_ || !CountsAt(text_, q, 1, Match::LineStart) || Rest(type, q, lineEnd) != name)
      return Find(type, name, at, lines);
    // The lines between `at` and it (the channel before) are looked at once,
    // through the block's index of lines.
    const std::vector<std::size_t>& starts = lines.All(BlockLineIndex::kLine);
    for (auto it = std::lower_bound(starts.begin(), starts.end(), at); it != starts.end() && *it < q; ++it)
      if (text_[*it - 1] == type[0] && Rest(type, *it) == name) return *it;
    return q;
  }

  // First occurrence at or after `at` that starts before the block's end; 0 = none.
  std::size_t Find(const std::string& type, std::string_view name, std::size_t at,
                   const BlockLineIndex& lines) {
    auto it = byType_.find(type);
    if (it == byType_.end()) it = byType_.emplace(type, Build(type, lines)).first;
    const std::vector<Entry>& entries = it->second;
    const std::size_t hash = std::hash<std::string_view>()(name);
    for (auto e = std::lower_bound(entries.begin(), entries.end(), Entry{hash, at, {}});
         e != entries.end() && e->hash == hash; ++e)
      if (e->rest == name) return e->pos;
    return 0;
  }

 private:
  // The rest of the line after "<type> " at `q` up to its LF, without the
  // blanks, TABs and CRs at its end; the text at `q` must begin with the type.
  // `lineEnd`, when not npos, is the first LF at or after the line start
  // before q, 1-based (0 = none): the LF after q unless it lies before the rest.
  std::string_view RestAfter(std::size_t q, std::size_t keyLength, std::size_t lineEnd = npos) const {
    const std::size_t restAt = q - 1 + keyLength;
    std::size_t restEnd = lineEnd == npos ? npos : lineEnd == 0 ? text_.size() : lineEnd - 1;
    if (restEnd == npos || restEnd < restAt) restEnd = text_.find('\n', restAt);
    if (restEnd == npos) restEnd = text_.size();
    while (restEnd > restAt &&
           (text_[restEnd - 1] == ' ' || text_[restEnd - 1] == '\t' || text_[restEnd - 1] == '\r'))
      --restEnd;
    return text_.substr(restAt, restEnd - restAt);
  }

  // The rest after "<type> " when the text at `q` begins with it; a text
  // that cannot be a name (a LF) otherwise.
  std::string_view Rest(const std::string& type, std::size_t q, std::size_t lineEnd = npos) const {
    const std::string_view at = text_.substr(q - 1);
    if (at.size() <= type.size() || !at.starts_with(type) || at[type.size()] != ' ') return "\n";
    return RestAfter(q, type.size() + 1, lineEnd);
  }

  // A line's rest with its place, ordered by the rest's hash and then the
  // place: the lines of one name stand together in the order of the text.
  struct Entry {
    std::size_t hash;
    std::size_t pos;
    std::string_view rest;
    bool operator<(const Entry& other) const {
      return hash != other.hash ? hash < other.hash : pos < other.pos;
    }
  };

  // The lines of the block that begin with "<type> ", from the block's index
  // of lines (built for the same stretch of text).
  std::vector<Entry> Build(const std::string& type, const BlockLineIndex& lines) const {
    std::vector<Entry> entries;
    const std::string key = type + " ";
    for (const std::size_t q : lines.All(BlockLineIndex::kLine)) {
      if (q < from_ || q >= blockEnd_ || text_[q - 1] != key[0] || text_.compare(q - 1, key.size(), key) != 0)
        continue;
      const std::string_view rest = RestAfter(q, key.size());
      entries.push_back(Entry{std::hash<std::string_view>()(rest), q, rest});
    }
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  static constexpr std::size_t npos = std::string_view::npos;
  std::string_view text_;
  std::size_t from_ = 1;
  std::size_t blockEnd_ = 0;
  std::map<std::string, std::vector<Entry>> byType_;
};

struct Cancelled {};

void ResetActorTable() {
  gActors.assign(1, ActorRec{});
  gActors[0].Dials.assign(1, DialRec{});
}

// The rest of the first line of `part` that begins with `key` after a line
// end; nullopt when there is none.
std::optional<std::string_view> KeyLine(std::string_view part, std::string_view key) {
  const std::string look = "\n" + std::string(key);
  const std::size_t at = part.find(look);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t restAt = at + look.size();
  const std::size_t end = part.find('\n', restAt);
  return part.substr(restAt, end == std::string_view::npos ? std::string_view::npos : end - restAt);
}

// Whether `part` holds a line that is `key` alone, blanks and TABs at its end
// aside.
bool WholeLine(std::string_view part, std::string_view key) {
  const std::string look = "\n" + std::string(key);
  for (std::size_t at = part.find(look); at != std::string_view::npos; at = part.find(look, at + 1)) {
    std::size_t after = at + look.size();
    while (after < part.size() && (part[after] == ' ' || part[after] == '\t')) ++after;
    if (after == part.size() || part[after] == '\n') return true;
  }
  return false;
}

// A line's text without the blanks, TABs and CRs at its end.
std::string_view WithoutTrailingBlanks(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
    line.remove_suffix(1);
  return line;
}

double NumberOf(std::string_view rest) { return FiniteNumber(LeadingNumber(rest)); }

void ReadHeadProperties(std::string_view head, ActorRec& a) {
  if (WholeLine(head, "on")) {
    a.OnOff = 2;
    a.PropertyOn[kOnOffSwitch] = true;
  } else if (WholeLine(head, "off")) {
    a.OnOff = 1;
    a.PropertyOn[kOnOffSwitch] = true;
  } else {
    a.PropertyOn[kOnOffSwitch] = false;
  }
  if (auto rest = KeyLine(head, "hidden")) {
    // The value is the line's last character, blanks after it aside.
    const std::string_view line = WithoutTrailingBlanks(*rest);
    const std::string_view last = line.empty() ? std::string_view("n") : line.substr(line.size() - 1);
    a.Hidden = ToInteger(NumberOf(last) + 1);
    a.PropertyOn[kHiddenSwitch] = true;
  }
  const bool lc = IsLightOrCamera(a);
  if (lc) {
    if (auto rest = KeyLine(head, "storageOffset")) a.StorageOffset = Trim(*rest);
    if (auto rest = KeyLine(head, "geomResource")) a.GeomResource = ToInteger(NumberOf(*rest) + 1);
    if (auto rest = KeyLine(head, "lightType")) a.LightType = ToInteger(NumberOf(*rest) + 1);
  }
  if (auto rest = KeyLine(head, "name")) {
    a.ExtName = Trim(*rest);
    a.PropertyOn[kExtNameSwitch] = true;
  }
  if (lc) {
    if (auto rest = KeyLine(head, "objFileGeom")) a.ObjFileGeom = Trim(*rest);
  }
}

void ReadTailProperties(std::string_view tail, ActorRec& a) {
  const bool lc = IsLightOrCamera(a);
  if (auto rest = KeyLine(tail, "depthMapSize")) {
    const int value = ToInteger(NumberOf(*rest));
    a.DepthMapSize = value != 0 ? ToInteger(value + 1.0) : 0;
    a.PropertyOn[kDepthMapSizeSwitch] = value != 0;
  } else {
    a.PropertyOn[kDepthMapSizeSwitch] = false;
  }
  if (lc) {
    if (auto rest = KeyLine(tail, "depthCamera")) a.DepthCamera = Trim(*rest);
  }
  if (auto rest = KeyLine(tail, "doShadow")) {
    a.DoShadow = ToInteger(NumberOf(*rest) + 1);
    a.PropertyOn[kDoShadowSwitch] = true;
  }
  if (auto rest = KeyLine(tail, "lightOn")) {
    a.LightOn = ToInteger(NumberOf(*rest) + 1);
    a.PropertyOn[kLightOnSwitch] = true;
  }
  if (lc) {
    if (auto rest = KeyLine(tail, "port")) a.Port = Trim(*rest);
    if (auto rest = KeyLine(tail, "cameraModel")) a.CameraModel = Trim(*rest);
  }
  if (auto rest = KeyLine(tail, "locked")) {
    a.Locked = ToInteger(NumberOf(*rest) + 1);
    a.PropertyOn[kLockedSwitch] = true;
  }
}

// The text between two positions (from included, to excluded; empty when
// they are the wrong way round).
std::string_view Between(std::string_view text, std::size_t from, std::size_t to) {
  if (from == 0 || to <= from || from > text.size()) return {};
  return text.substr(from - 1, to - from);
}

class ChannelReader {
 public:
  ChannelReader(std::string_view text, bool insertOne, bool append, Host& host)
      : t_(text),
        n_(text.size()),
        insertOne_(insertOne),
        append_(append),
        host_(host),
        keywords_(text, {"thighLength ", "figure"}, [this] { Poll(); }),
        blockStart_(text, keywords_),
        blockEnd_(text, keywords_),
        blockTail_(text, keywords_),
        headerEnd_(text, "\n"),
        channelsAt_(text, "channels", Match::WholeLine),
        closeAt_(text, "}", Match::Brace),
        keysLf_(text, "keys", Match::WholeLine),
        keysBlank_(text, "keys ", Match::WholeLine),
        anchorBrace_(text, "{", Match::Brace),
        hiddenBlank_(text, "hidden ", Match::LineKey),
        nameBlank_(text, "name ", Match::LineKey),
        lastClose_(text, "}", Match::Brace),
        lastChannels_(text, "channels", Match::WholeLine),
        braceAfterM_(text, "{", Match::Brace),
        braceAfterChannels_(text, "{", Match::Brace),
        lineEnd_(text, "\n"),
        dialLineEnd_(text, "\n"),
        nameAt_(text, "name", Match::LineKey),
        hiddenAt_(text, "hidden", Match::LineKey),
        dialClose_(text, "}", Match::Brace),
        nameBlankAfter_(text, " "),
        nameLineEnd_(text, "\n"),
        hiddenBlankAfter_(text, " "),
        hiddenLineEnd_(text, "\n"),
        dialOpen_(text, "{", Match::Brace),
        tailClose_(text, "}", Match::Brace),
        tailOpen_(text, "{", Match::Brace),
        tailLastClose_(text, "}", Match::Brace) {}

  ChannelReadResult Run(long long startMs) {
    ChannelReadResult result;
    ReadThighLength(result);

    std::size_t limit;
    if (!insertOne_ && !append_) {
      ResetActorTable();
      const std::size_t figure = keywords_.FirstAfterLf(kFigure);
      limit = figure != 0 ? figure : n_;
      gActorList.clear();
    } else {
      limit = n_;
      if (gActorList.empty() || Trim(gActorList[0].Text).empty()) {
        ResetActorTable();
        gActorList.clear();
      }
    }
    host_.SetStage("Loading Morphs and Poses...");
    max_ = std::max<long long>(1, static_cast<long long>(RoundHalfEven(static_cast<double>(limit) / 100.0)));
    host_.SetRange(max_);
    host_.SetValue(0);
    Poll();
    const long long started = startMs > 0 ? startMs : TickCountMs();
    startTime_ = TickSeconds(started);

    ReadObjects(limit);

    AddActorMaterialGroups(t_, keywords_, [this] { Poll(); });
    if (gSettings.ReportTime) {
      // A whole second of the clock itself, not of the start rounded to seconds.
      if (TickCountMs() - started >= 1000)
        host_.Message(LoadingTookMessage(startTime_), "Loading finished", MsgButtons::OK, MsgIcon::None);
    }
    result.ActorsListed = !gActorList.empty();
    return result;
  }

 private:
  // The windows' cancel poll: a cancel ends the read.
  void Poll() {
    if (host_.CancelRequested()) throw Cancelled{};
  }

  void ReadThighLength(ChannelReadResult& result) {
    result.DisableThighLength = true;
    const std::size_t at = keywords_.FirstAfterLf(kThighLength);
    std::size_t restAt = 0;
    if (at != 0)
      restAt = at + 13;
    else if (t_.starts_with("thighLength "))
      restAt = 13;
    if (restAt == 0) return;
    const std::size_t lf = InStr(restAt, t_, "\n");
    gThighLength = FiniteSingle(NumberOf(Between(t_, restAt, lf == 0 ? n_ + 1 : lf)));
    std::string shown = Trim(FormatSingle(gThighLength));
    if (StartsWith(shown, ".")) shown = "0" + shown;
    result.ThighLengthText = shown;
    result.DisableThighLength = false;
  }

  // How many lines before `limit` begin (after their indentation) with an
  // object keyword: at most the number of blocks ahead.
  std::size_t HeadersBefore(std::size_t limit) const { return keywords_.CountWithin(std::min(limit, n_)); }

  // The block whose header comes next from `p` on, before `limit`: its
  // header and its end (the next header; 0 = none). `p` moves on past the
  // header. False when there is none.
  bool NextBlock(std::size_t& p, std::size_t limit, std::pair<std::size_t, std::size_t>& block) {
    if (p >= limit) return false;
    const auto [keyword, skipped] = blockStart_.Next(p, true);
    const int k = keyword < 0 ? 0 : keyword;
    if (keyword >= 0) p += skipped;
    if (!insertOne_) {
      p = keywords_.Next(static_cast<std::size_t>(k), p);
      if (p == 0 || p > limit) return false;
    }
    const auto [keyword2, unused] = blockEnd_.Next(p + 7, false);
    (void)unused;
    block = {p, keywords_.Next(static_cast<std::size_t>(keyword2 < 0 ? 0 : keyword2), p + 6)};
    p += 6;
    return true;
  }

  void ReadObjects(std::size_t limit) {
    // The tables are sized once for the blocks ahead, not grown by moving
    // every actor read so far (a file may hold hundreds of thousands).
    const std::size_t ahead = insertOne_ ? 1 : HeadersBefore(limit);
    // A file of very many blocks fills tables of many megabytes: their new
    // pages are made present ahead of the filling.
    std::optional<PagesAhead> actorPages, listPages;
    if (!insertOne_) {
      gActors.reserve(gActors.size() + ahead);
      gActorList.reserve(gActorList.size() + ahead);
      actorPages.emplace(gActors.data() + gActors.size(),
                         (gActors.capacity() - gActors.size()) * sizeof(ActorRec));
      listPages.emplace(gActorList.data() + gActorList.size(),
                        (gActorList.capacity() - gActorList.size()) * sizeof(ActorListItem));
    }
    // Blocks of the size another thread prepares are found first, their
    // headers and ends: they are then prepared ahead (line index, channels)
    // while they are read. Others are found as they are read.
    const bool listFirst = !insertOne_ && ahead >= 2 && limit / ahead >= BlocksAhead::kShortest &&
                           limit / ahead <= BlocksAhead::kLongest;
    std::vector<std::pair<std::size_t, std::size_t>> blocks;  // header, end (0 = none before the text's end)
    std::size_t p = 1;
    std::pair<std::size_t, std::size_t> block;
    if (listFirst) {
      blocks.reserve(ahead);
      while (NextBlock(p, limit, block)) {
        blocks.push_back(block);
        if (blocks.size() % 1024 == 0 && host_.CancelRequested()) throw Cancelled{};
      }
    }
    Poll();
    BlocksAhead prepared(t_, std::move(blocks));
    p = 1;
    for (std::size_t i = 0;; ++i) {
      if (listFirst ? i == prepared.size() : !NextBlock(p, limit, block)) break;
      const auto [at, end] = listFirst ? prepared.Stretch(i) : block;
      const std::size_t lf = headerEnd_.Next(at);
      const std::string header = CleanLine(Between(t_, at, lf == 0 ? n_ + 1 : lf));
      host_.SetItem(header + "...");
      const std::size_t blank = InStr(header, " ");
      // A keyword with nothing after it on its line names no object.
      if (blank != 0) {
        if (listFirst)
          prepared.Take(i, block_);
        else
          block_.Prepare(t_, at, end != 0 ? end : n_);
        ReadBlock(at, end, Mid(header, blank + 1), Left(header, blank - 1));
      }
      if (insertOne_) break;
      // Blocks without channels never reach the channel loop's check.
      if (host_.CancelRequested()) throw Cancelled{};
    }
  }

  // The block whose header is at `p`; `end` is the next block's header (0 = none).
  void ReadBlock(std::size_t p, std::size_t end, const std::string& name, const std::string& kind) {
    if (insertOne_)
      gActorList.insert(gActorList.begin(), ActorListItem{name, kind});
    else
      gActorList.push_back(ActorListItem{name, kind});
    if (!gActors[0].Name.empty()) {
      if (insertOne_)
        gActors.insert(gActors.begin(), ActorRec{});
      else
        gActors.emplace_back();
    }
    actorIndex_ = insertOne_ ? 0 : gActors.size() - 1;
    ActorRec& a = gActors[actorIndex_];
    a = ActorRec{};
    a.Dials.assign(1, DialRec{});
    a.Name = name;
    a.Kind = kind;

    const std::size_t blockEnd = end != 0 ? end : n_;

    const std::size_t channels = NextAt(BlockLineIndex::kChannels, channelsAt_, p);
    const std::size_t close = NextAt(BlockLineIndex::kClose, closeAt_, p);
    std::size_t headEnd = n_ + 1;
    if (channels != 0 && (close == 0 || channels < close))
      headEnd = channels;
    else if (close != 0)
      headEnd = close;
    // A block without "channels" or "}" of its own ends its head at the next
    // object: that object's name and switches are not this one's (and a file
    // of header lines alone is read in one pass, not once per header).
    if (end != 0 && end < headEnd) headEnd = end;
    std::string head;
    // Without its indentation, whether by TABs or by blanks, as the tail.
    bool lineStart = false;
    for (char c : Between(t_, p, headEnd)) {
      if (c == '\t' || (c == ' ' && lineStart)) continue;
      if (c == '\r') c = '\n';
      lineStart = c == '\n';
      head += c;
    }
    ReadHeadProperties(head, gActors[actorIndex_]);

    ReadChannels(p, channels, blockEnd);
    ReadTail(p);

    // The bar stands where the read stands in the text, never going back.
    value_ = std::max(value_, static_cast<long long>(RoundHalfEven(static_cast<double>(p) / 100.0)));
    if (value_ > max_) value_ = max_;
    host_.SetValue(value_);
  }

  void ReadChannels(std::size_t p, std::size_t firstChannels, std::size_t blockEnd) {
    std::size_t searchStart = p;
    std::size_t anchor = firstChannels;
    bool first = true;
    std::size_t dialPos = p;
    std::string type;
    lines_.Reset(t_, p, blockEnd);
    // The channels that hold nothing: each one is a channel of its own, so
    // the search for the next channel line stops at it too.
    const std::size_t channelsOpen =
        firstChannels == 0 ? 0 : NextAt(BlockLineIndex::kOpen, anchorBrace_, firstChannels);
    // Scanned ahead with the block when its channels block was found there.
    if (channelsOpen == 0 || block_.channelsOpen != channelsOpen)
      block_.inner = ScanBlock(t_, channelsOpen, blockEnd);
    const std::size_t innerClose = block_.inner.close;
    std::swap(empty_, block_.inner.empty);
    std::swap(children_, block_.inner.children);
    // Each block directly inside the channels block is a channel.
    gActors[actorIndex_].Dials.reserve(children_.size());
    // Channel lines are taken only from inside the channels block, never
    // from the materials or properties after it.
    const std::size_t channelsEnd = channelsOpen == 0 ? blockEnd : std::min(blockEnd, innerClose);
    // An empty channels block (as written for a block without channels)
    // holds no channel.
    if (channelsOpen != 0 && channelsOpen < blockEnd) {
      const std::size_t close = EmptyBlockClose(t_, channelsOpen);
      if (close != 0 && close < blockEnd) return;
    }
    // A pass that makes no channel must move the search forward; one that
    // does not would go round for ever on a damaged file.
    std::size_t lastSearchStart = 0;
    bool progressed = true;

    while (dialPos < blockEnd) {
      if (anchor == 0 && first) return;
      std::size_t keysPos = NextAt(BlockLineIndex::kKeys, keysLf_, searchStart);
      if (keysPos == 0) keysPos = NextAt(BlockLineIndex::kKeysBlank, keysBlank_, searchStart);
      std::size_t hidPos;
      std::size_t namePos;
      if (first) {
        hidPos = namePos = NextAt(BlockLineIndex::kOpen, anchorBrace_, anchor);
      } else {
        hidPos = NextAt(BlockLineIndex::kHiddenBlank, hiddenBlank_, searchStart);
        namePos = NextAt(BlockLineIndex::kNameBlank, nameBlank_, searchStart);
      }
      const bool wasFirst = first;
      first = false;
      const bool keysMissing = keysPos == 0;
      std::size_t m = keysPos;
      if ((hidPos > 0 && hidPos < m) || m == 0) m = hidPos;
      if ((namePos > 0 && namePos < m) || m == 0) m = namePos;
      if (!wasFirst) {
        const std::size_t emptyPos = EmptyOpenAtOrAfter(searchStart);
        if ((emptyPos > 0 && emptyPos < m) || m == 0) m = emptyPos;
      }
      if (m == 0 || m >= blockEnd || searchStart >= blockEnd) return;

      const std::size_t lastClose = PrevAt(BlockLineIndex::kClose, lastClose_, m, 1);
      const std::size_t lastChannels = PrevAt(BlockLineIndex::kChannels, lastChannels_, m, 8);
      if (lastClose > lastChannels)
        anchor = lastClose;
      else if (keysMissing) {
        anchor = NextAt(BlockLineIndex::kOpen, braceAfterM_, m);
        // A channel without keys followed by one that holds nothing: the
        // empty channel's line is read after the "}" that ends the channel
        // before it, so that the empty one is not passed over.
        if (anchor != 0 && EmptyOpenAtOrAfter(anchor) == anchor) {
          const std::size_t before = PrevAt(BlockLineIndex::kClose, lastClose_, anchor, 1);
          if (before > m) anchor = before;
        }
      } else
        anchor = NextAt(BlockLineIndex::kOpen, braceAfterChannels_, lastChannels);
      if (anchor == 0) return;

      std::string& line = line_;
      std::size_t lineStart = 0;
      std::size_t lineEnd = 0;  // the LF at or after anchor + 3 (0 = none)
      for (;;) {
        while (anchor + 3 <= n_ && t_[anchor + 2] == '\n') ++anchor;
        lineStart = anchor + 2;
        lineEnd = lineEnd_.Next(anchor + 3);
        CleanLineInto(Between(t_, anchor + 2, lineEnd == 0 ? n_ + 1 : lineEnd), line);
        searchStart = NextAt(BlockLineIndex::kKeys, keysLf_, anchor + 3) + 2;
        if (searchStart < 3) searchStart = NextAt(BlockLineIndex::kKeysBlank, keysBlank_, anchor + 3) + 2;
        const std::size_t blank = InStr(line, " ");
        if (line.empty() || blank == 0) break;
        const std::string_view lineType = std::string_view(line).substr(0, blank - 1);
        if (lineType != "//" && lineType != "'" && lineType != "#") break;
        // A comment line makes no channel and ends nothing: the line after
        // it is read next, after the block that belongs to it (a commented
        // channel's block, or an empty one).
        if (lineEnd == 0) return;
        anchor = lineEnd - 1;
        const std::size_t ownClose = ChannelCloseAfter(lineEnd);
        if (ownClose != 0) anchor = ownClose;
      }
      if (line.empty()) return;
      // The next channel is looked for from the end of this one on when no
      // keys line lies inside it: not from a later channel's keys (which
      // would pass over the channels between) nor, when no keys line follows
      // at all, from the start of the text.
      const std::size_t channelClose = ChannelCloseAfter(lineEnd);
      if (channelClose != 0 && (searchStart > channelClose || searchStart < 3)) searchStart = channelClose;
      // A channel line stands directly inside the channels block and opens a
      // block of its own: a line inside a channel (its name, its keys) is
      // never taken for one.
      const bool channelLine = channelClose != 0 || channelsOpen == 0;

      bool made = false;
      const std::size_t blank = InStr(line, " ");
      if (blank != 0) {
        // A line without a blank names no channel and is passed over.
        // The type and name as pieces of the line (the type's text is kept
        // for the dial), not new strings per channel.
        type.assign(line, 0, blank - 1);
        const std::string_view dialName = std::string_view(line).substr(blank);
        const std::size_t at = lines_.Find(type, dialName, dialPos, lineStart, lineEnd, index_);
        if (channelLine && at != 0 && at < channelsEnd) {
          dialPos = at + type.size() + 1;
          keysMissingForDial_ = keysMissing;
          // A place on the line just read has that line's LF next.
          const bool onLine = dialPos >= anchor + 3 && (lineEnd == 0 || dialPos <= lineEnd);
          MakeDial(dialPos, onLine ? lineEnd : dialLineEnd_.Next(dialPos), type, searchStart);
          made = true;
        }
      }
      if (!made) {
        if (!progressed && searchStart <= lastSearchStart) return;
        progressed = false;
      } else {
        progressed = true;
      }
      lastSearchStart = searchStart;
      if (host_.CancelRequested()) throw Cancelled{};
    }
  }

  // The channel whose name starts at `dialPos`; `lineEnd` is the LF after it.
  void MakeDial(std::size_t dialPos, std::size_t lineEnd, const std::string& type, std::size_t& searchStart) {
    lastLineEnd_ = lineEnd;
    ActorRec& a = gActors[actorIndex_];
    if (!a.Dials[0].Name.empty()) a.Dials.emplace_back();
    DialRec& d = a.Dials.back();
    d.Name = Between(t_, dialPos, lineEnd == 0 ? n_ + 1 : lineEnd);

    const std::size_t close = NextAt(BlockLineIndex::kClose, dialClose_, dialPos);
    const std::size_t nameAt = NextAt(BlockLineIndex::kName, nameAt_, dialPos);
    if (nameAt > 0 && nameAt < close) {
      // The display name is the rest of the key's own line after its blank.
      // The text at nameAt is "name": a blank right after it is the first.
      const std::size_t blank =
          nameAt + 3 < n_ && t_[nameAt + 3] == ' ' ? nameAt + 4 : nameBlankAfter_.Next(nameAt);
      const std::size_t lf = nameLineEnd_.Next(nameAt);
      if (blank != 0 && (lf == 0 || blank < lf)) d.ExtName = Between(t_, blank + 1, lf == 0 ? n_ + 1 : lf);
      d.ExtNameOn = true;
      searchStart = nameAt;
    } else {
      d.ExtNameOn = false;
    }
    const std::size_t hiddenAt = NextAt(BlockLineIndex::kHidden, hiddenAt_, dialPos);
    if (hiddenAt >= 1 && hiddenAt < close) {
      const std::size_t blank =
          hiddenAt + 5 < n_ && t_[hiddenAt + 5] == ' ' ? hiddenAt + 6 : hiddenBlankAfter_.Next(hiddenAt);
      const std::size_t lf = hiddenLineEnd_.Next(hiddenAt);
      if (blank != 0 && (lf == 0 || blank < lf)) {
        d.Hidden = ToInteger(NumberOf(Between(t_, blank + 1, lf == 0 ? n_ + 1 : lf)) + 1);
        searchStart = blank + 1;
      } else {
        d.Hidden = 1;
      }
      d.HiddenOn = true;
    } else {
      d.HiddenOn = false;
    }
    if (!keysMissingForDial_) {
      const std::size_t open = NextAt(BlockLineIndex::kOpen, dialOpen_, dialPos);
      // The channel's text from its "{" through the first "}".
      const std::string_view keys = close >= open && open != 0 ? Between(t_, open, close + 1) : std::string_view();
      // The first "k  " line of the keys (not "k  " inside a name).
      std::size_t k = 0;  // 1-based in `keys`
      if (!keys.empty() && index_.Covers(open + 1) && close < index_.End()) {
        const std::size_t at = index_.Next(BlockLineIndex::kKey, open + 1);
        if (at != 0 && at + 2 <= close) k = at - open + 1;
      } else {
        k = InStr(2, keys, "k  ");
        while (k != 0 && !CountsAt(t_, open - 1 + k, 3, Match::LineStart)) k = InStr(k + 1, keys, "k  ");
      }
      std::string_view v = k == 0 ? keys : keys.substr(k);
      const std::size_t lf = v.find('\n');
      if (lf != std::string_view::npos) v = v.substr(0, lf);
      // A value with blanks or TABs after it on its line is still its value.
      const std::string trimmed = Trim(WithoutTrailingBlanks(v));
      const std::size_t blank = InStr(trimmed, " ");
      const std::string number = Mid(trimmed, blank + 2);
      d.Value = NumberOf(number);
      d.ValueOn = number == "0" || d.Value != 0;
    }
    // The type is looked up in the table of names once for a run of
    // channels of one type.
    if (lastType_ != type) lastType_ = type;
    d.ChannelType = lastType_;
  }

  void ReadTail(std::size_t p) {
    std::size_t c;
    if (lastLineEnd_ > 0) {
      c = NextAt(BlockLineIndex::kClose, tailClose_, lastLineEnd_);
    } else {
      c = NextAt(BlockLineIndex::kOpen, tailOpen_, p) + 1;
    }
    lastLineEnd_ = 0;
    if (c == 0) return;
    const auto [keyword3, unused] = blockTail_.Next(c + 2, false);
    (void)unused;
    const std::size_t next = keywords_.Next(static_cast<std::size_t>(keyword3 < 0 ? 0 : keyword3), c + 1);
    const std::size_t nextStart = next != 0 ? next : n_;
    const std::size_t tailEnd = PrevAt(BlockLineIndex::kClose, tailLastClose_, nextStart, 1);
    std::string tail;
    for (char ch : Between(t_, c, tailEnd)) {
      if (ch == '}') continue;
      tail += ch == '\r' ? '\n' : ch;
    }
    ReadTailProperties(RemoveBlanksAfterLineEnds(tail), gActors[actorIndex_]);
  }

  // The first key of `kind` at or after `from`: from the block's index, or
  // from the finder when the block holds none.
  std::size_t NextAt(BlockLineIndex::Kind kind, ForwardFinder& finder, std::size_t from) {
    if (!index_.Covers(from)) return finder.Next(from);
    const std::size_t at = index_.Next(kind, from);
    return at != 0 ? at : finder.Next(index_.End());
  }

  // The last key of `kind` (`length` characters) lying within 1..limit.
  std::size_t PrevAt(BlockLineIndex::Kind kind, BackwardFinder& finder, std::size_t limit,
                     std::size_t length) {
    if (limit != 0 && limit <= n_ && index_.Covers(limit + 1 - std::min(limit, length))) {
      const std::size_t at = index_.Prev(kind, limit, length);
      if (at != 0) return at;
    }
    return finder.Prev(limit);
  }

  using EmptyBlocks = std::vector<std::pair<std::size_t, std::size_t>>;

  // The "{" of the first empty channel at or after `from`; 0 = none.
  std::size_t EmptyOpenAtOrAfter(std::size_t from) const {
    const auto e = std::lower_bound(empty_.begin(), empty_.end(), std::pair<std::size_t, std::size_t>(from, 0));
    return e == empty_.end() ? 0 : e->first;
  }

  // The "}" of the channel whose "{" is the first thing after the line end at
  // `lineEnd` and stands directly inside the channels block; 0 = none.
  std::size_t ChannelCloseAfter(std::size_t lineEnd) const {
    if (lineEnd == 0) return 0;
    std::size_t q = lineEnd + 1;
    while (q <= n_ && (t_[q - 1] == ' ' || t_[q - 1] == '\t' || t_[q - 1] == '\r' || t_[q - 1] == '\n')) ++q;
    const auto e = std::lower_bound(children_.begin(), children_.end(), std::pair<std::size_t, std::size_t>(q, 0));
    return e != children_.end() && e->first == q ? e->second : 0;
  }

  std::string_view t_;
  std::size_t n_;
  bool insertOne_;
  bool append_;
  Host& host_;
  long long startTime_ = 0;
  long long max_ = 1;
  long long value_ = 0;
  std::size_t actorIndex_ = 0;
  std::size_t lastLineEnd_ = 0;
  bool keysMissingForDial_ = false;

  // The object keywords, and the first "thighLength " and "figure" lines.
  static constexpr std::size_t kThighLength = 0, kFigure = 1;
  ObjectKeywords keywords_;
  ObjectBlockFinder blockStart_, blockEnd_, blockTail_;
  ForwardFinder headerEnd_, channelsAt_, closeAt_;
  ForwardFinder keysLf_, keysBlank_, anchorBrace_, hiddenBlank_, nameBlank_;
  BackwardFinder lastClose_, lastChannels_;
  ForwardFinder braceAfterM_, braceAfterChannels_, lineEnd_;
  ForwardFinder dialLineEnd_, nameAt_, hiddenAt_, dialClose_, nameBlankAfter_, nameLineEnd_, hiddenBlankAfter_,
      hiddenLineEnd_, dialOpen_;
  ForwardFinder tailClose_, tailOpen_;
  BackwardFinder tailLastClose_;
  ChannelLineIndex lines_;
  PreparedBlock block_;  // the block being read
  BlockLineIndex& index_ = block_.index;
  std::string line_;     // the channel line read last
  SharedName lastType_;  // the type of the channel made last
  EmptyBlocks empty_;
  EmptyBlocks children_;
};

}  // namespace

std::string LoadingTookMessage(long long startTime) {
  const long long t1 = TickCountMs();
  const long long t2 = TickCountMs();
  const long long m = ElapsedMinutes(t2, startTime);
  const long long s = ElapsedSeconds(t1, startTime);
  return "Loading of Morphs and Poses took\r\n" + FormatInt(m) + " minutes and " + FormatInt(s) + " seconds.";
}

std::string NextObjectBlock(std::string_view text, bool checkEmpty) {
  ObjectBlockFinder finder(text);
  const auto [keyword, skipped] = finder.Next(1, checkEmpty);
  if (keyword < 0) return "none";
  return std::string(kKeywords[static_cast<std::size_t>(keyword)]) + "\n" + FormatInt(static_cast<long long>(skipped));
}

ChannelReadResult LoadMorphsAndPoses(std::string_view text, Host& host, const ChannelLoadOptions& options) {
  ModelSnapshot before = ModelSnapshot::CopyTables();
  try {
    ChannelReader reader(text, options.InsertOne, options.Append, host);
    return reader.Run(options.StartMs);
  } catch (const Cancelled&) {
    before.PutBack();
    ChannelReadResult cancelled;
    cancelled.Cancelled = true;
    return cancelled;
  } catch (...) {
    before.PutBack();
    throw;
  }
}

ChannelReadResult ReadObjectPart(std::string_view objectText, Host& host) {
  ChannelReadResult result = LoadMorphsAndPoses(objectText, host);
  if (!result.Cancelled) DisableActorAndDialProperties();
  return result;
}

}  // namespace vandrel
