// Texts for tables of a million rows: a channel's name in 16 bytes and its
// type in 3, where a std::string takes 32 of the record and more of the
// memory touched when a large file is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>

namespace vandrel {

std::string JoinedText(std::string_view a, std::string_view b);
std::ostream& WriteText(std::ostream& out, std::string_view text);

// Compared with, joined to and written out as any text, as a std::string is,
// for a class `T` that gives its text by view(). Adds nothing to its size.
template <typename T>
struct TextOperators {
  friend bool operator==(const T& a, const T& b) noexcept { return a.view() == b.view(); }
  friend bool operator==(const T& a, std::string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const T& a, const char* b) noexcept { return a.view() == b; }
  friend bool operator==(const T& a, const std::string& b) noexcept { return a.view() == b; }
  friend std::string operator+(const T& a, const T& b) { return JoinedText(a.view(), b.view()); }
  friend std::string operator+(const T& a, const char* b) { return JoinedText(a.view(), b); }
  friend std::string operator+(const char* a, const T& b) { return JoinedText(a, b.view()); }
  friend std::string operator+(const T& a, const std::string& b) { return JoinedText(a.view(), b); }
  friend std::string operator+(const std::string& a, const T& b) { return JoinedText(a, b.view()); }
  friend std::string operator+(const T& a, std::string_view b) { return JoinedText(a.view(), b); }
  friend std::string operator+(std::string_view a, const T& b) { return JoinedText(a, b.view()); }
  friend std::ostream& operator<<(std::ostream& out, const T& text) { return WriteText(out, text.view()); }
};

// A text of bytes kept in place when it has at most 15 of them (as most
// channel names have), on the heap otherwise.
class CompactText : public TextOperators<CompactText> {
 public:
  CompactText() noexcept { SetEmpty(); }
  CompactText(std::string_view s) { Init(s); }
  CompactText(const std::string& s) : CompactText(std::string_view(s)) {}
  CompactText(const char* s) : CompactText(std::string_view(s)) {}
  CompactText(const CompactText& other) { Init(other.view()); }
  CompactText(CompactText&& other) noexcept {
    std::memcpy(b_, other.b_, sizeof b_);
    other.SetEmpty();
  }
  ~CompactText() { Free(); }

  CompactText& operator=(const CompactText& other) { return *this = other.view(); }
  CompactText& operator=(CompactText&& other) noexcept {
    if (this != &other) {
      Free();
      std::memcpy(b_, other.b_, sizeof b_);
      other.SetEmpty();
    }
    return *this;
  }
  // `s` may be a piece of this text itself.
  CompactText& operator=(std::string_view s) {
    CompactText copy(s);
    Free();
    std::memcpy(b_, copy.b_, sizeof b_);
    copy.SetEmpty();
    return *this;
  }
  CompactText& operator=(const std::string& s) { return *this = std::string_view(s); }
  CompactText& operator=(const char* s) { return *this = std::string_view(s); }

  std::string_view view() const noexcept {
    if (IsHeap()) return {HeapData(), HeapSize()};
    return {b_, kInline - static_cast<unsigned char>(b_[kInline])};
  }
  operator std::string_view() const noexcept { return view(); }
  std::string str() const { return std::string(view()); }
  const char* data() const noexcept { return IsHeap() ? HeapData() : b_; }
  std::size_t size() const noexcept { return view().size(); }
  bool empty() const noexcept { return size() == 0; }

 private:
  static constexpr std::size_t kInline = 15;
  // The last byte: 15 minus the length of a text kept in place (so a text of
  // 15 bytes ends in a NUL), or this mark for one on the heap.
  static constexpr unsigned char kHeap = 0xFF;

  void Init(std::string_view s);
  void Free() noexcept {
    if (IsHeap()) delete[] HeapData();
  }
  void SetEmpty() noexcept {
    b_[0] = '\0';
    b_[kInline] = static_cast<char>(kInline);
  }
  bool IsHeap() const noexcept { return static_cast<unsigned char>(b_[kInline]) == kHeap; }
  char* HeapData() const noexcept {
    char* p;
    std::memcpy(&p, b_, sizeof p);
    return p;
  }
  std::uint32_t HeapSize() const noexcept {
    std::uint32_t n;
    std::memcpy(&n, b_ + sizeof(char*), sizeof n);
    return n;
  }

  alignas(8) char b_[16];
};

// A text that most records leave empty (a light's depth camera, a camera's
// model): one pointer, and nothing on the heap while it is empty.
class SparseText : public TextOperators<SparseText> {
 public:
  SparseText() noexcept = default;
  SparseText(std::string_view s) { Init(s); }
  SparseText(const std::string& s) : SparseText(std::string_view(s)) {}
  SparseText(const char* s) : SparseText(std::string_view(s)) {}
  SparseText(const SparseText& other) { Init(other.view()); }
  SparseText(SparseText&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ~SparseText() { delete p_; }

  SparseText& operator=(const SparseText& other) { return *this = other.view(); }
  SparseText& operator=(SparseText&& other) noexcept {
    if (this != &other) {
      delete p_;
      p_ = other.p_;
      other.p_ = nullptr;
    }
    return *this;
  }
  // `s` may be a piece of this text itself.
  SparseText& operator=(std::string_view s) {
    SparseText copy(s);
    std::swap(p_, copy.p_);
    return *this;
  }
  SparseText& operator=(const std::string& s) { return *this = std::string_view(s); }
  SparseText& operator=(const char* s) { return *this = std::string_view(s); }

  std::string_view view() const noexcept {
    return p_ != nullptr ? std::string_view(*p_) : std::string_view();
  }
  operator std::string_view() const noexcept { return view(); }
  std::string str() const { return std::string(view()); }
  const char* data() const noexcept { return p_ != nullptr ? p_->c_str() : ""; }
  std::size_t size() const noexcept { return view().size(); }
  bool empty() const noexcept { return p_ == nullptr; }

 private:
  void Init(std::string_view s) {
    if (!s.empty()) p_ = new std::string(s);
  }

  std::string* p_ = nullptr;  // null while empty
};

// A short text kept once for all its copies, as the few dozen channel types
// of a file ("targetGeom", "rotateX") are; a text no copy holds any more is
// let go. Not for use from more than one thread.
class SharedName : public TextOperators<SharedName> {
 public:
  SharedName() noexcept = default;
  SharedName(std::string_view s) { SetId(Acquire(s)); }
  SharedName(const std::string& s) : SharedName(std::string_view(s)) {}
  SharedName(const char* s) : SharedName(std::string_view(s)) {}
  SharedName(const SharedName& other) noexcept : id_{other.id_[0], other.id_[1], other.id_[2]} {
    AddUse(Id());
  }
  ~SharedName() { Release(Id()); }
  SharedName& operator=(const SharedName& other) noexcept {
    AddUse(other.Id());
    Release(Id());
    SetId(other.Id());
    return *this;
  }
  SharedName& operator=(std::string_view s) { return *this = SharedName(s); }
  SharedName& operator=(const std::string& s) { return *this = std::string_view(s); }
  SharedName& operator=(const char* s) { return *this = std::string_view(s); }

  const std::string& str() const noexcept;
  operator const std::string&() const noexcept { return str(); }
  std::string_view view() const noexcept { return str(); }
  std::size_t size() const noexcept { return str().size(); }
  bool empty() const noexcept { return Id() == 0; }

  // How many different texts are held (for tests).
  static std::size_t HeldCount() noexcept;

 private:
  std::uint32_t Id() const noexcept {
    return id_[0] | (id_[1] << 8) | (static_cast<std::uint32_t>(id_[2]) << 16);
  }
  void SetId(std::uint32_t id) noexcept {
    id_[0] = static_cast<unsigned char>(id);
    id_[1] = static_cast<unsigned char>(id >> 8);
    id_[2] = static_cast<unsigned char>(id >> 16);
  }
  static std::uint32_t Acquire(std::string_view s);
  static void AddUse(std::uint32_t id) noexcept;
  static void Release(std::uint32_t id) noexcept;

  unsigned char id_[3] = {0, 0, 0};  // 0 = the empty text
};

}  // namespace vandrel
