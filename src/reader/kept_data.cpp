#include "reader/kept_data.h"

#include <array>
#include <charconv>
#include <cstring>

#include "common/byte_scan.h"
#include "common/numbers.h"
#include "common/text.h"

namespace vandrel {

namespace {

enum class Block : unsigned char {
  Root,
  Version,
  Object,
  Channels,
  Channel,
  Keys,
  Material,
  Figure,
  Skipped
};

struct Frame {
  Block block = Block::Root;
  bool lightOrCamera = false;
  bool tail = false;                // an object's lines after its channels
  bool keyRead = false;             // a keys block's first "k" line was met
  unsigned short materialKeys = 0;  // the number keys a material block has named
};

[[gnu::always_inline]] inline std::string_view Trimmed(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

[[gnu::always_inline]] inline std::string_view FirstWord(std::string_view line) {
  std::size_t e = 0;
  while (e < line.size() && line[e] != ' ' && line[e] != '\t') ++e;
  return line.substr(0, e);
}

std::string_view RestOf(std::string_view line, std::string_view word) {
  return Trimmed(line.substr(word.size()));
}

// A material block's header, in any case.
bool IsMaterial(std::string_view word) { return word.size() == 8 && LCase(word) == "material"; }

[[gnu::always_inline]] inline bool OnlyBraces(std::string_view line) {
  for (char c : line)
    if (c != '{' && c != '}' && c != ' ' && c != '\t') return false;
  return true;
}

template <std::size_t N>
bool OneOf(std::string_view word, const std::array<std::string_view, N>& words) {
  for (std::string_view w : words)
    if (word == w) return true;
  return false;
}

constexpr std::array<std::string_view, 4> kHeadProperties = {"on", "off", "hidden", "name"};
constexpr std::array<std::string_view, 4> kLightHead = {"storageOffset", "geomResource", "lightType",
                                                        "objFileGeom"};
constexpr std::array<std::string_view, 3> kTailProperties = {"locked", "doShadow", "lightOn"};
constexpr std::array<std::string_view, 3> kLightTail = {"depthCamera", "port", "cameraModel"};
constexpr std::array<std::string_view, 3> kLimits = {"min", "max", "forceLimits"};
constexpr std::array<std::string_view, 2> kDeltas = {"numbDeltas", "indexes"};
// How keys join: of no weight for a pose's one key at frame 0.
constexpr std::array<std::string_view, 7> kKeyForms = {"static", "sl", "spl", "lin", "con", "sm", "br"};

// The number keys of a material block and how the material reader scales
// them; a result outside -1000..1000 does not survive the read.
enum class Scale : unsigned char { Hundred, LastNumber, Exponent, Unscaled };
struct NumberKey {
  std::string_view key;
  Scale scale;
};
constexpr std::array<NumberKey, 10> kNumberKeys = {{{"TextureColor", Scale::LastNumber},
                                                    {"bumpStrength", Scale::Hundred},
                                                    {"reflectionStrength", Scale::Hundred},
                                                    {"NsExponent", Scale::Exponent},
                                                    {"tMin", Scale::Hundred},
                                                    {"tMax", Scale::Hundred},
                                                    {"tExpo", Scale::Hundred},
                                                    {"ksIgnoreTexture", Scale::Unscaled},
                                                    {"reflectThruLights", Scale::Unscaled},
                                                    {"reflectThruKd", Scale::Unscaled}}};

class Checker {
 public:
  explicit Checker(const KeptDataOptions& options) : options_(options) { stack_.reserve(16); }

  void Line(std::string_view raw) {
    std::size_t b = 0;
    while (b < raw.size() && (raw[b] == ' ' || raw[b] == '\t')) ++b;
    if (b == raw.size()) return;
    const char c = raw[b];
    const char next = b + 1 < raw.size() ? raw[b + 1] : ' ';
    if (c == '#' || (c == '/' && next == '/') || (c == '\'' && (next == ' ' || next == '\t')))
      return;  // comments
    if (c == '{' || c == '}') {
      const std::string_view line = Trimmed(raw.substr(b));
      if (OnlyBraces(line)) {
        for (char brace : line) {
          if (brace == '{') Open();
          if (brace == '}') Close();
        }
        return;
      }
    }
    // Most lines of a large file stand in blocks whose lines are taken one
    // by one, or not at all: they need no look at the line after them.
    if (!stack_.empty()) {
      Frame& frame = stack_.back();
      switch (frame.block) {
        case Block::Skipped:
        case Block::Version:
          return;
        case Block::Material:
          if (c == 'T' || c == 'b' || c == 'r' || c == 'N' || c == 't' || c == 'k') {
            const std::string_view line = Trimmed(raw.substr(b));
            MaterialLine(frame, line, FirstWord(line));
          }
          return;
        case Block::Keys: {
          // The usual lines: "static  0" and the one key of frame 0.
          if (c == 's' && raw.compare(b, 7, "static ") == 0) return;
          if (c == 'k' && !frame.keyRead && raw.compare(b, 5, "k  0 ") == 0) {
            frame.keyRead = true;
            return;
          }
          const std::string_view line = Trimmed(raw.substr(b));
          KeyLine(frame, line, FirstWord(line));
          return;
        }
        default:
          break;
      }
    }
    FlushPending();
    pending_ = Trimmed(raw.substr(b));
    hasPending_ = true;
  }

  KeptDataReport Finish() {
    FlushPending();
    report_.blocksClosed = rootSeen_ && stack_.size() <= 1;
    return std::move(report_);
  }

 private:
  void Add(std::string_view kind) {
    if (report_.kinds.size() >= kKeptDataKinds) return;
    if (kind.size() > 40) kind = kind.substr(0, 40);
    for (const std::string& k : report_.kinds)
      if (k == kind) return;
    std::string text(kind);
    for (char& c : text)
      if (static_cast<unsigned char>(c) >= 0x80 || static_cast<unsigned char>(c) < 0x20) c = '?';
    report_.kinds.push_back(std::move(text));
  }

  void FlushPending() {
    if (!hasPending_) return;
    hasPending_ = false;
    Plain(pending_);
  }

  void Push(Block block, bool lightOrCamera = false) {
    Frame f;
    f.block = block;
    f.lightOrCamera = lightOrCamera;
    stack_.push_back(f);
  }

  // A block that is not written again: its header names it, its lines are
  // not looked at.
  void Dropped(std::string_view word) {
    Add(word.empty() ? std::string_view("block") : word);
    Push(Block::Skipped);
  }

  void Open() {
    const std::string_view header = hasPending_ ? pending_ : std::string_view();
    hasPending_ = false;
    const std::string_view word = FirstWord(header);
    if (stack_.empty()) {
      rootSeen_ = true;
      Push(Block::Root);
      return;
    }
    switch (stack_.back().block) {
      case Block::Root:
        // The object part of the file ends at its first line that begins
        // with "figure"; blocks after it give material groups only.
        if (word.starts_with("figure")) figureSeen_ = true;
        if (word == "version") {
          Push(Block::Version);
        } else if (word == "actor" || word == "prop" || word == "light" || word == "camera") {
          if (options_.objectsRead && !figureSeen_)
            Push(Block::Object, word == "light" || word == "camera");
          else
            Push(Block::Figure);
        } else if (word == "figure") {
          Push(Block::Figure);
        } else if (IsMaterial(word)) {
          Push(Block::Material);
        } else {
          Dropped(word);
        }
        break;
      case Block::Object:
        if (word == "channels")
          Push(Block::Channels);
        else if (IsMaterial(word))
          Push(Block::Material);
        else
          Dropped(word);
        break;
      case Block::Channels:
        if (word == "groups")
          Dropped(word);
        else
          Push(Block::Channel);
        break;
      case Block::Channel:
        if (word == "keys")
          Push(Block::Keys);
        else
          Dropped(word == "deltas" ? std::string_view("morph deltas") : word);
        break;
      case Block::Figure:
        if (IsMaterial(word))
          Push(Block::Material);
        else
          Dropped(word);
        break;
      case Block::Keys:  // its header was taken as a line of the keys
      case Block::Version:
      case Block::Material:
      case Block::Skipped:
        Push(Block::Skipped);
        break;
    }
  }

  void Close() {
    FlushPending();
    if (stack_.empty()) return;  // a "}" after the file's own block
    const Block closed = stack_.back().block;
    stack_.pop_back();
    if (closed == Block::Channels && !stack_.empty() && stack_.back().block == Block::Object)
      stack_.back().tail = true;
  }

  void Plain(std::string_view line) {
    if (stack_.empty()) return;
    Frame& frame = stack_.back();
    const std::string_view word = FirstWord(line);
    switch (frame.block) {
      case Block::Root:
        if (word.starts_with("figure")) figureSeen_ = true;
        if (word != "thighLength") Add(word);
        break;
      case Block::Object:
        ObjectLine(frame, line, word);
        break;
      case Block::Channel:
        if (word == "name" || word == "hidden") {
          // kept with their switches
        } else if (OneOf(word, kLimits)) {
          Add("channel limits");
        } else if (OneOf(word, kDeltas)) {
          Add("morph deltas");
        } else {
          Add(word);
        }
        break;
      case Block::Keys:
        KeyLine(frame, line, word);
        break;
      case Block::Material:
        MaterialLine(frame, line, word);
        break;
      case Block::Channels:
      case Block::Figure:
        Add(word);
        break;
      case Block::Version:
      case Block::Skipped:
        break;
    }
  }

  void ObjectLine(const Frame& frame, std::string_view line, std::string_view word) {
    if (word == "customMaterial") return;
    const bool tailKey = OneOf(word, kTailProperties) || word == "depthMapSize";
    // Without a channels block the whole block is read for both kinds of
    // property; after it only the tail's.
    if (!frame.tail && OneOf(word, kHeadProperties)) return;
    if (!frame.tail && frame.lightOrCamera && OneOf(word, kLightHead)) return;
    if (tailKey) {
      // A depth map size of 0 is read as absent.
      if (word == "depthMapSize" && RoundHalfEven(Val(RestOf(line, word))) == 0) Add(word);
      return;
    }
    if (frame.lightOrCamera && OneOf(word, kLightTail)) return;
    Add(word);
  }

  void KeyLine(Frame& frame, std::string_view line, std::string_view word) {
    if (OneOf(word, kKeyForms)) return;
    if (word != "k") {
      Add(word);
      return;
    }
    // The first key line is the dial's value when it is of frame 0 and
    // written with the two blanks the reader looks for.
    const std::string_view frameText = FirstWord(RestOf(line, word));
    bool frameZero = frameText == "0";
    if (!frameZero) {
      double frameNumber = 0;
      const auto [end, error] =
          std::from_chars(frameText.data(), frameText.data() + frameText.size(), frameNumber);
      frameZero = error == std::errc() && end == frameText.data() + frameText.size() && frameNumber == 0;
    }
    if (frame.keyRead || !frameZero || !line.starts_with("k  ")) Add("animation keys");
    frame.keyRead = true;
  }

  void MaterialLine(Frame& frame, std::string_view line, std::string_view word) {
    for (std::size_t i = 0; i < kNumberKeys.size(); ++i) {
      const NumberKey& key = kNumberKeys[i];
      if (word != key.key) continue;
      // The reader takes each key's first line, "key" and a blank.
      const auto bit = static_cast<unsigned short>(1u << i);
      if ((frame.materialKeys & bit) != 0 || line.size() <= word.size() || line[word.size()] != ' ') return;
      frame.materialKeys |= bit;
      const std::string value = CleanLine(line.substr(word.size() + 1));
      double result = 0;
      switch (key.scale) {
        case Scale::LastNumber: {
          const std::size_t blank = value.rfind(' ');
          result = RoundHalfEven(Val(blank == std::string::npos ? value : value.substr(blank + 1)) * 100.0);
          break;
        }
        case Scale::Exponent:
          result = RoundHalfEven(101.0 - Val(value));
          break;
        case Scale::Unscaled:
          result = Val(value);
          break;
        case Scale::Hundred:
          result = RoundHalfEven(Val(value) * 100.0);
          break;
      }
      if (!(result >= -1000.0 && result <= 1000.0)) Add(word);
      return;
    }
  }

  KeptDataOptions options_;
  KeptDataReport report_;
  std::vector<Frame> stack_;
  std::string_view pending_;
  bool hasPending_ = false;
  bool rootSeen_ = false;
  bool figureSeen_ = false;
};

}  // namespace

KeptDataReport CheckKeptData(std::string_view text, const KeptDataOptions& options,
                             const std::function<void()>& tick) {
  Checker checker(options);
  // Every CR and every LF ends a line (a CR LF gives an empty line between),
  // found sixteen characters at a time.
  const char* const base = text.data();
  const std::size_t size = text.size();
  std::size_t start = 0;
  std::size_t lines = 0;
  bytes::ForEachLineEnd(text, 0, [&](std::size_t at) {
    checker.Line(std::string_view(base + start, at - start));
    start = at + 1;
    if (++lines % kKeptDataLinesPerTick == 0 && tick) tick();
  });
  if (start < size) checker.Line(std::string_view(base + start, size - start));
  return checker.Finish();
}

}  // namespace vandrel
