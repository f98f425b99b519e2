#include "common/compact_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace vandrel {
namespace {

// Random assignments, copies, moves and self-assignments of texts around the
// 15 bytes kept in place, checked against std::string after every step.
template <typename Text>
void BehavesAsAString() {
  std::mt19937 random(7);
  std::vector<Text> texts(6);
  std::vector<std::string> expected(6);
  auto text = [&](std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>(random() % 256);  // NULs and high bytes too
    return s;
  };
  const std::size_t lengths[] = {0, 1, 14, 15, 16, 40};
  for (int step = 0; step < 20000; ++step) {
    const std::size_t a = random() % texts.size(), b = random() % texts.size();
    switch (random() % 6) {
      case 0:
        expected[a] = text(lengths[random() % std::size(lengths)]);
        if (expected[a].empty())
          texts[a] = std::string_view();  // no pointer at all
        else
          texts[a] = expected[a];
        break;
      case 1:
        texts[a] = texts[b];
        expected[a] = expected[b];
        break;
      case 2:
        if (a != b) {
          texts[a] = std::move(texts[b]);
          expected[a] = std::move(expected[b]);
          expected[b].clear();
        }
        break;
      case 3: {
        // A piece of itself.
        const std::size_t from = expected[a].empty() ? 0 : random() % expected[a].size();
        texts[a] = texts[a].view().substr(from);
        expected[a] = expected[a].substr(from);
        break;
      }
      case 4: {
        Text copy(texts[a]);
        Text moved(std::move(copy));
        EXPECT_TRUE(copy.empty());
        texts[b] = moved;
        expected[b] = expected[a];
        break;
      }
      default:
        EXPECT_EQ(texts[a] == texts[b], expected[a] == expected[b]);
        EXPECT_EQ(texts[a] + "|", expected[a] + "|");
        EXPECT_EQ("|" + texts[a] + texts[b], "|" + expected[a] + expected[b]);
        EXPECT_EQ(expected[b] + texts[a], expected[b] + expected[a]);
    }
    ASSERT_EQ(texts[a].view(), expected[a]) << step;
    ASSERT_EQ(texts[b].view(), expected[b]) << step;
    ASSERT_EQ(texts[a].size(), expected[a].size());
    ASSERT_EQ(texts[a].empty(), expected[a].empty());
  }
}

TEST(CompactTextTest, BehavesAsAString) { BehavesAsAString<CompactText>(); }
// The texts most records leave empty: the same, in a pointer.
TEST(CompactTextTest, SparseTextBehavesAsAString) { BehavesAsAString<SparseText>(); }

// Names are kept once while any copy holds them and let go after; a number
// let go serves the next new name.
TEST(CompactTextTest, SharedNamesAreHeldWhileUsed) {
  const std::size_t before = SharedName::HeldCount();
  {
    std::vector<SharedName> names;
    for (int i = 0; i < 1000; ++i) names.emplace_back(i % 2 ? "targetGeom" : "rotateX");
    EXPECT_EQ(SharedName::HeldCount(), before + 2);
    EXPECT_EQ(names[0], names[2]);
    EXPECT_FALSE(names[0] == names[1]);
    EXPECT_EQ(names[1].str(), "targetGeom");
    SharedName copy = names[1];
    names.clear();
    EXPECT_EQ(SharedName::HeldCount(), before + 1);
    EXPECT_EQ(copy, "targetGeom");
    const SharedName& same = copy;
    copy = same;  // assigning a name to itself keeps it
    EXPECT_EQ(copy, "targetGeom");
    copy = "";
    EXPECT_TRUE(copy.empty());
    EXPECT_EQ(SharedName::HeldCount(), before);
    // Many different names come and go without the table growing for good.
    for (int round = 0; round < 3; ++round) {
      std::vector<SharedName> many;
      for (int i = 0; i < 5000; ++i) many.emplace_back("type" + std::to_string(i));
      EXPECT_EQ(many[4321].str(), "type4321");
    }
  }
  EXPECT_EQ(SharedName::HeldCount(), before);
}

}  // namespace
}  // namespace vandrel
