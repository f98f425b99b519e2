#include "common/compact_text.h"

#include <deque>
#include <limits>
#include <new>
#include <ostream>
#include <unordered_map>
#include <vector>

namespace vandrel {

void CompactText::Init(std::string_view s) {
  if (s.size() <= kInline) {
    if (!s.empty()) std::memcpy(b_, s.data(), s.size());  // an empty view may hold no pointer
    if (s.size() < kInline) b_[s.size()] = '\0';
    b_[kInline] = static_cast<char>(kInline - s.size());
    return;
  }
  // Beyond what the record can hold: out of memory, as the readers report it.
  if (s.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  char* p = new char[s.size() + 1];
  std::memcpy(p, s.data(), s.size());
  p[s.size()] = '\0';
  const auto n = static_cast<std::uint32_t>(s.size());
  std::memcpy(b_, &p, sizeof p);
  std::memcpy(b_ + sizeof p, &n, sizeof n);
  b_[kInline] = static_cast<char>(kHeap);
}

namespace {

// The texts of SharedName by number, with how many copies hold each. Entries
// keep their place (a deque), so the lookup's keys can be views of them.
struct NameTable {
  struct Entry {
    std::string text;
    std::size_t uses = 0;
  };
  std::deque<Entry> entries{Entry{}};  // number 0: the empty text, never counted
  std::unordered_map<std::string_view, std::uint32_t> numbers;
  std::vector<std::uint32_t> unused;
};

// Made once and never destroyed: records in tables that live to the end of
// the program let go of their names after any table of ours would be gone.
NameTable& Names() {
  static NameTable* table = new NameTable;
  return *table;
}

constexpr std::uint32_t kMaxNames = (1u << 24) - 1;

}  // namespace

std::uint32_t SharedName::Acquire(std::string_view s) {
  if (s.empty()) return 0;
  NameTable& t = Names();
  if (const auto it = t.numbers.find(s); it != t.numbers.end()) {
    ++t.entries[it->second].uses;
    return it->second;
  }
  std::uint32_t id;
  if (!t.unused.empty()) {
    id = t.unused.back();
    t.unused.pop_back();
  } else {
    if (t.entries.size() > kMaxNames) throw std::bad_alloc();  // as the readers report a full memory
    id = static_cast<std::uint32_t>(t.entries.size());
    t.entries.emplace_back();
  }
  NameTable::Entry& e = t.entries[id];
  e.text.assign(s);
  e.uses = 1;
  t.numbers.emplace(e.text, id);
  return id;
}

void SharedName::AddUse(std::uint32_t id) noexcept {
  if (id != 0) ++Names().entries[id].uses;
}

void SharedName::Release(std::uint32_t id) noexcept {
  if (id == 0) return;
  NameTable& t = Names();
  NameTable::Entry& e = t.entries[id];
  if (--e.uses != 0) return;
  t.numbers.erase(e.text);
  std::string().swap(e.text);
  t.unused.push_back(id);
}

const std::string& SharedName::str() const noexcept { return Names().entries[Id()].text; }

std::size_t SharedName::HeldCount() noexcept { return Names().numbers.size(); }

std::string JoinedText(std::string_view a, std::string_view b) {
  std::string s;
  s.reserve(a.size() + b.size());
  s.append(a).append(b);
  return s;
}

std::ostream& WriteText(std::ostream& out, std::string_view text) { return out << text; }

}  // namespace vandrel
