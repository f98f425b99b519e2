// The group split done on its index of lines against the split done entry by
// entry (find the entry's line from the text's start, cut, remove every copy),
// on texts shaped to tell them apart.
#include "reader/group_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.h"

namespace vandrel::test {
namespace {

void LiteralSplit(std::string& whole, std::vector<std::string>& parts,
                  const std::vector<std::string>& entries, bool figureFirst) {
  for (std::size_t i = figureFirst ? 1 : 0; i < parts.size(); ++i) {
    const std::string entry = i < entries.size() ? entries[i] : std::string();
    const std::size_t from = FindGroupLine(whole, entry);
    if (from == 0) {
      parts[i] = whole;
    } else {
      std::size_t to = whole.size() + 1;
      if (figureFirst) {
        const std::size_t figure = FindGroupLine(whole, "figure");
        if (figure > from) to = figure;
      }
      parts[i] = whole.substr(from - 1, to - from);
    }
    whole = Replace(whole, parts[i], "");
  }
  if (figureFirst) {
    const std::size_t figure = FindGroupLine(whole, "figure");
    parts[0] = figure == 0 ? whole : whole.substr(figure - 1);
  }
  whole = parts[0];
}

TEST(GroupSplit, GivesWhatTheSplitEntryByEntryGivesOrLeavesItToIt) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> entries;
    bool figureFirst;
    bool indexed;  // the index must take it
    std::size_t extraParts = 0;
  };
  const std::string head = "{\nversion\n{\nnumber 4.01\n}\n";
  std::string many = head;
  std::vector<std::string> manyEntries = {"figure"};
  for (int g = 0; g < 3000; ++g)
    many += "prop p" + std::to_string(g) + "\n{\nmaterial m" + std::to_string(g) + "\n}\n";
  for (int g = 3000; g-- > 0;) manyEntries.push_back("prop p" + std::to_string(g));
  const Case cases[] = {
      {"figure last",
       head + "prop a\n{\nmaterial m\n{\n}\n}\nprop b {\nmaterial n\n}\nfigure\n{\nmaterial s\n}\n",
       {"figure", "prop b", "prop a"},
       true,
       true},
      {"figure first",
       head + "figure\n{\nmaterial s\n}\nprop a\t\n{\nmaterial m\n}\nprop b\n{\n}\n",
       {"figure", "prop b", "prop a"},
       true,
       true},
      {"no figure",
       head + "prop a\n{\nmaterial m\n}\nprop ab\n{\nmaterial n\n}\n",
       {"prop ab", "prop a"},
       false,
       true},
      {"a name inside a longer line",
       head + "prop a\n{\nmaterial m\n}\nxprop a\n{\n}\nprop a\n{\n}\nfigure\n{\n}\n",
       {"figure", "prop a"},
       true,
       false},
      {"a group whose text repeats",
       head + "prop a\n{\nmaterial m\n}\nfigure\n{\n}\nprop a\n{\nmaterial m\n}\n",
       {"figure", "prop a"},
       true,
       false},
      {"an entry not found",
       head + "prop a\n{\n}\nfigure\n{\n}\n",
       {"figure", "prop gone", "prop a"},
       true,
       false},
      {"an entry past the list", head + "prop a\n{\n}\nfigure\n{\n}\n", {"figure"}, true, false, 1},
      {"the last line without its LF", head + "figure\n{\n}\nprop a", {"figure", "prop a"}, true, false},
      {"no figure line", head + "prop a\n{\n}\nprop b\n{\n}\n", {"figure", "prop b", "prop a"}, true, true},
      {"many groups, figure last", many + "figure\n{\nmaterial skin\n}\n", manyEntries, true, true},
  };
  // The index serves many groups: each case comes after 64 groups of its own.
  std::string padding;
  std::vector<std::string> padded;
  for (int g = 0; g < 64; ++g) padding += "prop q" + std::to_string(g) + "\n{\nmaterial x\n}\n";
  for (int g = 64; g-- > 0;) padded.push_back("prop q" + std::to_string(g));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string text = head + padding + c.text.substr(head.size());
    std::vector<std::string> entries = c.entries;
    entries.insert(entries.end(), padded.begin(), padded.end());
    const std::size_t n = entries.size() + c.extraParts;
    std::string literalWhole = text, indexedWhole = text;
    std::vector<std::string> literalParts(n), indexedParts(n);
    LiteralSplit(literalWhole, literalParts, entries, c.figureFirst);
    const bool indexed = SplitGroupTexts(indexedWhole, indexedParts, c.figureFirst ? 1 : 0,
                                         ObjectList(entries.begin(), entries.end()), c.figureFirst, {});
    EXPECT_EQ(indexed, c.indexed);
    if (!indexed) {
      EXPECT_EQ(indexedWhole, text);
      continue;
    }
    EXPECT_EQ(indexedParts, literalParts);
    EXPECT_EQ(indexedWhole, literalWhole);
  }
}

}  // namespace
}  // namespace vandrel::test
