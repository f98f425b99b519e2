#include "reader/channel_reader.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/numbers.h"
#include "common/text.h"
#include "model/model.h"
#include "platform/files.h"
#include "reader/actor_switches.h"
#include "reader/block_properties.h"
#include "reader/channel_index.h"
#include "reader/channel_scan.h"
#include "reader/dial_values.h"
#include "reader/model_snapshot.h"
#include "reader/read_fault.h"

namespace vandrel {
namespace {

constexpr const auto& kKeywords = ObjectKeywords::kWords;

struct Cancelled {};

void ResetActorTable() {
  gActors.assign(1, ActorRec{});
  gActors[0].Dials.SetBlank();
}

double NumberOf(std::string_view rest) { return FiniteNumber(LeadingNumber(rest)); }

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
        index_(text) {}

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
      if (gActorList.empty() || Trim(gActorList[0].Text()).empty()) {
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
    // memory is backed by large pages.
    if (!insertOne_) {
      gActors.reserve(gActors.size() + ahead);
      gActorList.reserve(gActorList.size() + ahead);
      AdviseLargePages(gActors.data() + gActors.size(),
                       (gActors.capacity() - gActors.size()) * sizeof(ActorRec));
      AdviseLargePages(gActorList.data() + gActorList.size(),
                       (gActorList.capacity() - gActorList.size()) * sizeof(ActorListItem));
    }
    std::size_t p = 1;
    std::pair<std::size_t, std::size_t> block;
    Poll();
    while (NextBlock(p, limit, block)) {
      const auto [at, end] = block;
      const std::size_t lf = index_.Next(ChannelIndex::kLineEnd, at);
      const std::string header = CleanLine(Between(t_, at, lf == 0 ? n_ + 1 : lf));
      host_.SetItem(header + "...");
      const std::size_t blank = InStr(header, " ");
      // A keyword with nothing after it on its line names no object.
      if (blank != 0) {
        index_.Prepare(at, end != 0 ? end : n_, [this] { Poll(); });
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
    a.Dials.SetBlank();
    a.Name = name;
    a.Kind = kind;

    const std::size_t blockEnd = end != 0 ? end : n_;

    const std::size_t channels = index_.Next(ChannelIndex::kChannels, p);
    const std::size_t close = index_.Next(ChannelIndex::kClose, p);
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

  // Where the channel loop of one block stands.
  struct ChannelWalk {
    std::size_t searchStart;  // where the next channel's keys are looked for
    std::size_t anchor;       // the "{" or "}" before the next channel line
    bool first = true;
    std::size_t dialPos;  // after the type of the channel made last
    std::size_t blockEnd;
    std::size_t channelsEnd;  // channel lines are taken only before it
    bool inChannels;          // the block has a channels block
    bool keysMissing = false;
    std::size_t lineStart = 0, lineEnd = 0;  // the channel line read last; its LF (0 = none)
  };

  void ReadChannels(std::size_t p, std::size_t firstChannels, std::size_t blockEnd) {
    // The channels that hold nothing: each one is a channel of its own, so
    // the search for the next channel line stops at it too.
    const std::size_t channelsOpen = firstChannels == 0 ? 0 : index_.Next(ChannelIndex::kOpen, firstChannels);
    const std::size_t innerClose = index_.OpenChannels(channelsOpen, blockEnd);
    // Each block directly inside the channels block is a channel.
    gActors[actorIndex_].Dials.reserve(index_.ChannelCount());
    // Channel lines are taken only from inside the channels block, never
    // from the materials or properties after it.
    ChannelWalk w{p,
                  firstChannels,
                  true,
                  p,
                  blockEnd,
                  channelsOpen == 0 ? blockEnd : std::min(blockEnd, innerClose),
                  channelsOpen != 0};
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
    while (w.dialPos < blockEnd) {
      if (w.anchor == 0 && w.first) return;
      const std::size_t m = NextChannelKey(w);
      if (m == 0 || m >= blockEnd || w.searchStart >= blockEnd) return;
      w.anchor = AnchorBefore(m, w.keysMissing);
      if (w.anchor == 0 || !ReadChannelLine(w)) return;
      const bool made = MakeChannelOfLine(w);
      if (!made && !progressed && w.searchStart <= lastSearchStart) return;
      progressed = made;
      lastSearchStart = w.searchStart;
      if (host_.CancelRequested()) throw Cancelled{};
    }
  }

  // The nearest of the next keys line, hidden or name line and channel that
  // holds nothing (the "{" after the channels line for the first channel).
  std::size_t NextChannelKey(ChannelWalk& w) {
    std::size_t keysPos = index_.Next(ChannelIndex::kKeys, w.searchStart);
    if (keysPos == 0) keysPos = index_.Next(ChannelIndex::kKeysBlank, w.searchStart);
    std::size_t hidPos;
    std::size_t namePos;
    if (w.first) {
      hidPos = namePos = index_.Next(ChannelIndex::kOpen, w.anchor);
    } else {
      hidPos = index_.Next(ChannelIndex::kHiddenBlank, w.searchStart);
      namePos = index_.Next(ChannelIndex::kNameBlank, w.searchStart);
    }
    w.keysMissing = keysPos == 0;
    std::size_t m = keysPos;
    if ((hidPos > 0 && hidPos < m) || m == 0) m = hidPos;
    if ((namePos > 0 && namePos < m) || m == 0) m = namePos;
    if (!w.first) {
      const std::size_t emptyPos = index_.EmptyChannelAtOrAfter(w.searchStart);
      if ((emptyPos > 0 && emptyPos < m) || m == 0) m = emptyPos;
    }
    w.first = false;
    return m;
  }

  // The "}" or "{" after which the channel line before `m` stands.
  std::size_t AnchorBefore(std::size_t m, bool keysMissing) {
    const std::size_t lastClose = index_.Prev(ChannelIndex::kClose, m);
    const std::size_t lastChannels = index_.Prev(ChannelIndex::kChannels, m);
    if (lastClose > lastChannels) return lastClose;
    if (!keysMissing) return index_.Next(ChannelIndex::kOpen, lastChannels);
    std::size_t anchor = index_.Next(ChannelIndex::kOpen, m);
    // A channel without keys followed by one that holds nothing: the empty
    // channel's line is read after the "}" that ends the channel before it,
    // so that the empty one is not passed over.
    if (anchor != 0 && index_.EmptyChannelAtOrAfter(anchor) == anchor) {
      const std::size_t before = index_.Prev(ChannelIndex::kClose, anchor);
      if (before > m) anchor = before;
    }
    return anchor;
  }

  // The line after the anchor into line_, comment lines passed over; false
  // when there is none.
  bool ReadChannelLine(ChannelWalk& w) {
    std::string& line = line_;
    for (;;) {
      std::size_t& anchor = w.anchor;
      while (anchor + 3 <= n_ && t_[anchor + 2] == '\n') ++anchor;
      w.lineStart = anchor + 2;
      w.lineEnd = index_.Next(ChannelIndex::kLineEnd, anchor + 3);
      CleanLineInto(Between(t_, anchor + 2, w.lineEnd == 0 ? n_ + 1 : w.lineEnd), line);
      w.searchStart = index_.Next(ChannelIndex::kKeys, anchor + 3) + 2;
      if (w.searchStart < 3) w.searchStart = index_.Next(ChannelIndex::kKeysBlank, anchor + 3) + 2;
      const std::size_t blank = InStr(line, " ");
      if (line.empty() || blank == 0) break;
      const std::string_view lineType = std::string_view(line).substr(0, blank - 1);
      if (lineType != "//" && lineType != "'" && lineType != "#") break;
      // A comment line makes no channel and ends nothing: the line after
      // it is read next, after the block that belongs to it (a commented
      // channel's block, or an empty one).
      if (w.lineEnd == 0) return false;
      anchor = w.lineEnd - 1;
      const std::size_t ownClose = index_.ChannelCloseAfter(w.lineEnd);
      if (ownClose != 0) anchor = ownClose;
    }
    return !line.empty();
  }

  // The channel that the line just read names, when it is a channel line;
  // false when it makes none.
  bool MakeChannelOfLine(ChannelWalk& w) {
    const std::string& line = line_;
    // The next channel is looked for from the end of this one on when no
    // keys line lies inside it: not from a later channel's keys (which
    // would pass over the channels between) nor, when no keys line follows
    // at all, from the start of the text.
    const std::size_t channelClose = index_.ChannelCloseAfter(w.lineEnd);
    if (channelClose != 0 && (w.searchStart > channelClose || w.searchStart < 3))
      w.searchStart = channelClose;
    // A channel line stands directly inside the channels block and opens a
    // block of its own: a line inside a channel (its name, its keys) is
    // never taken for one.
    const bool channelLine = channelClose != 0 || !w.inChannels;
    const std::size_t blank = InStr(line, " ");
    // A line without a blank names no channel and is passed over.
    if (blank == 0) return false;
    // The type and name as pieces of the line (the type's text is kept for
    // the dial), not new strings per channel.
    type_.assign(line, 0, blank - 1);
    const std::string_view dialName = std::string_view(line).substr(blank);
    const std::size_t at = index_.ChannelLine(type_, dialName, w.dialPos, w.lineStart, w.lineEnd);
    if (!channelLine || at == 0 || at >= w.channelsEnd) return false;
    w.dialPos = at + type_.size() + 1;
    keysMissingForDial_ = w.keysMissing;
    // A place on the line just read has that line's LF next.
    const bool onLine = w.dialPos >= w.anchor + 3 && (w.lineEnd == 0 || w.dialPos <= w.lineEnd);
    MakeDial(w.dialPos, onLine ? w.lineEnd : index_.Next(ChannelIndex::kLineEnd, w.dialPos), type_,
             w.searchStart);
    return true;
  }

  // The channel whose name starts at `dialPos`; `lineEnd` is the LF after it.
  void MakeDial(std::size_t dialPos, std::size_t lineEnd, const std::string& type, std::size_t& searchStart) {
    lastLineEnd_ = lineEnd;
    ActorRec& a = gActors[actorIndex_];
    if (!a.Dials[0].Name.empty()) a.Dials.emplace_back();
    DialRec& d = a.Dials.back();
    d.Name = Between(t_, dialPos, lineEnd == 0 ? n_ + 1 : lineEnd);
    ReadDialValues(t_, index_, dialPos, !keysMissingForDial_, d, searchStart);
    // The type is looked up in the table of names once for a run of
    // channels of one type.
    if (lastType_ != type) lastType_ = type;
    d.ChannelType = lastType_;
  }

  void ReadTail(std::size_t p) {
    std::size_t c;
    if (lastLineEnd_ > 0) {
      c = index_.Next(ChannelIndex::kClose, lastLineEnd_);
    } else {
      c = index_.Next(ChannelIndex::kOpen, p) + 1;
    }
    lastLineEnd_ = 0;
    if (c == 0) return;
    const auto [keyword3, unused] = blockTail_.Next(c + 2, false);
    (void)unused;
    const std::size_t next = keywords_.Next(static_cast<std::size_t>(keyword3 < 0 ? 0 : keyword3), c + 1);
    const std::size_t nextStart = next != 0 ? next : n_;
    const std::size_t tailEnd = index_.Prev(ChannelIndex::kClose, nextStart);
    ReadTailProperties(Between(t_, c, tailEnd), gActors[actorIndex_], [this] { Poll(); });
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
  ChannelIndex index_;
  std::string line_;     // the channel line read last
  std::string type_;     // its type
  SharedName lastType_;  // the type of the channel made last
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
  return std::string(kKeywords[static_cast<std::size_t>(keyword)]) + "\n" +
         FormatInt(static_cast<long long>(skipped));
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
