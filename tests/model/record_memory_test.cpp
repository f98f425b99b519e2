#include "model/record_memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/actors.h"

namespace vandrel {
namespace {

DialList Numbered(std::size_t n, double first) {
  DialList dials;
  dials.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    DialRec& d = dials.emplace_back();
    d.Value = first + static_cast<double>(i);
    d.Name = "Morph" + std::to_string(i);
  }
  return dials;
}

bool Holds(const DialList& dials, std::size_t n, double first) {
  if (dials.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (dials[i].Value != first + static_cast<double>(i) || dials[i].Name != "Morph" + std::to_string(i))
      return false;
  return true;
}

// Lists of a few kilobytes share pieces of memory: each keeps its records
// while others in the same piece are freed, copied or changed, and a piece
// freed too early is reported by the address checker as a late use.
TEST(RecordMemory, ListsInSharedPiecesStayApart) {
  // 3,000 lists of 100 records: several pieces.
  std::vector<DialList> lists, copies;
  for (std::size_t k = 0; k < 3000; ++k) lists.push_back(Numbered(100, 1000.0 * static_cast<double>(k)));
  copies = lists;
  for (std::size_t k = 0; k < copies.size(); ++k) copies[k][7].Value = -1;
  for (std::size_t k = 0; k < lists.size(); k += 2) lists[k].clear();
  for (std::size_t k = 1; k < copies.size(); k += 3) copies[k] = DialList();
  for (std::size_t k = 1; k < lists.size(); k += 2) {
    ASSERT_TRUE(Holds(lists[k], 100, 1000.0 * static_cast<double>(k))) << k;
    if (k % 3 != 1) {
      EXPECT_EQ(copies[k][7].Value, -1) << k;
    }
  }
  // The freed memory is taken again, and what lives stays as it was.
  for (std::size_t k = 0; k < lists.size(); k += 2) lists[k] = Numbered(150, -5.0);
  for (std::size_t k = 0; k < lists.size(); ++k)
    ASSERT_TRUE(k % 2 == 0 ? Holds(lists[k], 150, -5.0)
                           : Holds(lists[k], 100, 1000.0 * static_cast<double>(k)));
  lists.clear();
  copies.clear();

  // A list that grows one record at a time moves from the heap to the pieces
  // and back to the heap (past 256 KB) with every record kept.
  DialList growing;
  for (std::size_t i = 0; i < 7000; ++i) {
    growing.emplace_back().Value = static_cast<double>(i);
    growing.back().Name = "Morph" + std::to_string(i);
  }
  EXPECT_TRUE(Holds(growing, 7000, 0.0));
  growing.resize(30);
  DialList copy = growing;
  growing.clear();
  EXPECT_TRUE(Holds(copy, 30, 0.0));
}

#if defined(__SANITIZE_ADDRESS__)
// The address checker sees the bounds of every list taken from a piece.
TEST(RecordMemoryDeathTest, TheCheckerSeesEachListsBounds) {
  DialList dials = Numbered(100, 0.0);
  DialList after = Numbered(100, 0.0);
  volatile char* end = reinterpret_cast<volatile char*>(&dials[0] + dials.size());
  EXPECT_DEATH(*end = 1, "");
  volatile char* freed = reinterpret_cast<volatile char*>(&dials[0]);
  dials.clear();
  EXPECT_DEATH(*freed = 1, "");
  EXPECT_TRUE(Holds(after, 100, 0.0));
}
#endif

}  // namespace
}  // namespace vandrel
