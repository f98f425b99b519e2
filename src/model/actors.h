// The actor table: every actor, prop, light and camera block of the open
// document with its channels (dials).
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/compact_text.h"
#include "model/record_memory.h"

namespace vandrel {

// A large pose holds a million of these: kept to 48 bytes.
struct DialRec {
  CompactText Name;        // rest of the channel line after its type and one blank
  CompactText ExtName;     // the channel's "name" line
  double Value = 0.0;      // frame 0 key
  int Hidden = 0;          // value + 1; 0 = absent
  SharedName ChannelType;  // "targetGeom", "valueParm", "rotateX", ...
  bool ExtNameOn : 1 = false;
  bool HiddenOn : 1 = false;
  bool ValueOn : 1 = false;
};
static_assert(sizeof(DialRec) <= 48);

// The channels of an actor, used as a std::vector<DialRec>. An actor without
// channels holds one blank record (the tables show it so), and a file may
// hold a million such actors: that record, and the empty list, are shared
// and take no memory until the list is changed. Reading gives the shared
// records; anything that may write (a non-const [], back(), begin()) gives
// the list records of its own first.
class DialList {
  // Large lists are taken from the pieces of record memory.
  using Records = std::vector<DialRec, RecordAllocator<DialRec>>;

 public:
  using value_type = DialRec;
  using size_type = std::size_t;
  using iterator = Records::iterator;
  using const_iterator = Records::const_iterator;

  DialList() noexcept : p_(&kNone) {}
  DialList(std::initializer_list<DialRec> dials) : p_(new Records(dials)) {}
  DialList(std::vector<DialRec> dials)
      : p_(new Records(std::make_move_iterator(dials.begin()), std::make_move_iterator(dials.end()))) {}
  DialList(const DialList& other) : p_(other.Owned() ? new Records(*other.p_) : other.p_) {}
  DialList(DialList&& other) noexcept : p_(std::exchange(other.p_, &kNone)) {}
  ~DialList() { Free(); }
  DialList& operator=(const DialList& other) {
    if (this != &other) *this = DialList(other);
    return *this;
  }
  DialList& operator=(DialList&& other) noexcept {
    if (this != &other) {
      Free();
      p_ = std::exchange(other.p_, &kNone);
    }
    return *this;
  }

  // The one blank record of an actor without channels.
  void SetBlank() noexcept {
    Free();
    p_ = &kBlank;
  }
  // Whether the list holds records of its own: the shared blank record and
  // the empty list hold nothing a loop over every dial needs to change.
  bool Owned() const noexcept { return p_ != &kNone && p_ != &kBlank; }

  std::size_t size() const noexcept { return p_->size(); }
  bool empty() const noexcept { return p_->empty(); }
  const DialRec& operator[](std::size_t i) const noexcept { return (*p_)[i]; }
  DialRec& operator[](std::size_t i) { return Own()[i]; }
  const DialRec& back() const noexcept { return p_->back(); }
  DialRec& back() { return Own().back(); }
  const_iterator begin() const noexcept { return p_->begin(); }
  const_iterator end() const noexcept { return p_->end(); }
  iterator begin() { return Own().begin(); }
  iterator end() { return Own().end(); }

  void push_back(const DialRec& d) { Own().push_back(d); }
  void push_back(DialRec&& d) { Own().push_back(std::move(d)); }
  template <typename... Args>
  DialRec& emplace_back(Args&&... args) {
    return Own().emplace_back(std::forward<Args>(args)...);
  }
  void assign(std::size_t n, const DialRec& d) { Own().assign(n, d); }
  void reserve(std::size_t n) {
    if (n > size()) Own().reserve(n);
  }
  void resize(std::size_t n) {
    if (n != size()) Own().resize(n);
  }
  void clear() noexcept {
    Free();
    p_ = &kNone;
  }

 private:
  static const Records kNone;   // no record
  static const Records kBlank;  // one blank record

  // The list's own records, made from the shared ones first.
  Records& Own() {
    if (!Owned()) p_ = new Records(*p_);
    return *const_cast<Records*>(p_);
  }
  void Free() noexcept {
    if (Owned()) delete p_;
  }

  const Records* p_;  // kNone, kBlank or a list of its own
};

// The switches of an actor's properties, in ActorRec::PropertyOn (and the
// channels pane's property rows) in this order: true when the file holds the
// property and the pose is to write it.
enum ActorSwitch : std::size_t {
  kExtNameSwitch,
  kOnOffSwitch,
  kHiddenSwitch,
  kLockedSwitch,
  kDoShadowSwitch,
  kDepthMapSizeSwitch,
  kLightOnSwitch,
  kActorSwitchCount
};

// The switches of an actor's properties, one bit each, used as a
// std::array<bool, kActorSwitchCount> indexed by ActorSwitch.
class ActorSwitches {
 public:
  class reference {
   public:
    reference(unsigned char& bits, unsigned char bit) noexcept : bits_(bits), bit_(bit) {}
    reference(const reference&) noexcept = default;
    operator bool() const noexcept { return (bits_ & bit_) != 0; }
    reference& operator=(bool on) noexcept {
      bits_ = static_cast<unsigned char>(on ? bits_ | bit_ : bits_ & ~bit_);
      return *this;
    }
    reference& operator=(const reference& other) noexcept { return *this = static_cast<bool>(other); }

   private:
    unsigned char& bits_;
    unsigned char bit_;
  };
  class const_iterator {
   public:
    using value_type = bool;
    using difference_type = std::ptrdiff_t;
    const_iterator() noexcept = default;
    const_iterator(unsigned char bits, std::size_t i) noexcept : bits_(bits), i_(i) {}
    bool operator*() const noexcept { return ((bits_ >> i_) & 1u) != 0; }
    const_iterator& operator++() noexcept {
      ++i_;
      return *this;
    }
    const_iterator operator++(int) noexcept { return {bits_, i_++}; }
    bool operator==(const const_iterator& other) const noexcept { return i_ == other.i_; }

   private:
    unsigned char bits_ = 0;
    std::size_t i_ = 0;
  };
  using value_type = bool;
  using iterator = const_iterator;

  bool operator[](std::size_t i) const noexcept { return ((bits_ >> i) & 1u) != 0; }
  reference operator[](std::size_t i) noexcept { return {bits_, static_cast<unsigned char>(1u << i)}; }
  void fill(bool on) noexcept { bits_ = on ? kAll : 0; }
  static constexpr std::size_t size() noexcept { return kActorSwitchCount; }
  const_iterator begin() const noexcept { return {bits_, 0}; }
  const_iterator end() const noexcept { return {bits_, kActorSwitchCount}; }

  friend bool operator==(const ActorSwitches&, const ActorSwitches&) = default;
  friend bool operator==(const ActorSwitches& a, const std::array<bool, kActorSwitchCount>& b) noexcept {
    for (std::size_t i = 0; i < kActorSwitchCount; ++i)
      if (a[i] != b[i]) return false;
    return true;
  }

 private:
  static constexpr unsigned char kAll = (1u << kActorSwitchCount) - 1;
  unsigned char bits_ = 0;
};

// The properties of an actor block besides its name, kind, switches and
// channels. Numeric properties are stored as the file's value + 1, 0 meaning
// absent.
struct ActorProperties {
  CompactText ExtName;  // the "name" line, trimmed
  int OnOff = 0;        // 0 none, 1 off, 2 on
  int Hidden = 0;
  int Locked = 0;
  int GeomResource = 0;
  int DepthMapSize = 0;
  int DoShadow = 0;
  int LightOn = 0;
  int LightType = 0;
  SparseText StorageOffset;
  SparseText DepthCamera;
  SparseText Port;
  SparseText CameraModel;
  SparseText ObjFileGeom;
};

// A file may hold a million empty blocks: an actor holds its properties
// apart, and nothing while it has none. Reading them (Props()) gives an
// empty record then; changing them (EditProps()) makes the actor's own.
struct ActorRec {
  CompactText Name;  // text after the header line's first blank ("BODY:1")
  DialList Dials;
  SharedName Kind;  // "actor", "prop", "light" or "camera"
  ActorSwitches PropertyOn;

  ActorRec() noexcept = default;
  ActorRec(const ActorRec& other)
      : Name(other.Name),
        Dials(other.Dials),
        Kind(other.Kind),
        PropertyOn(other.PropertyOn),
        props_(other.props_ ? std::make_unique<ActorProperties>(*other.props_) : nullptr) {}
  ActorRec(ActorRec&&) noexcept = default;
  ActorRec& operator=(const ActorRec& other) {
    if (this != &other) *this = ActorRec(other);
    return *this;
  }
  ActorRec& operator=(ActorRec&&) noexcept = default;

  const ActorProperties& Props() const noexcept { return props_ ? *props_ : kNoProperties; }
  ActorProperties& EditProps() {
    if (!props_) props_ = std::make_unique<ActorProperties>();
    return *props_;
  }

 private:
  static const ActorProperties kNoProperties;
  std::unique_ptr<ActorProperties> props_;  // null while the block has none
};
static_assert(sizeof(ActorRec) <= 40);

// Lights and cameras carry the properties other actors lack (storageOffset,
// depthCamera, port, ...).
inline bool IsLightOrCamera(const ActorRec& a) { return a.Kind == "light" || a.Kind == "camera"; }

}  // namespace vandrel
