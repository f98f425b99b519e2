// A file reads into the same tables whatever its line ends (LF, CR LF or a
// lone CR) and whether it is indented by TABs or blanks, and what Vandrel
// writes from it keeps every group, material, map, actor and dial value.
#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "writer/round_trip_harness.h"

namespace vandrel::test {
namespace {

struct LineEndCase {
  const char* stem;  // under tests/data/lineends/, then _lf, _crlf, _cr
  const char* ext;
  std::vector<std::string> mustHold;  // lines the essentials must show
};

TEST(LineEndRead, SameTablesForEveryLineEndAndTheWrittenPoseKeepsThem) {
  const std::vector<LineEndCase> cases = {
      {"lass",
       ".cr2",
       {"valueParm Blink = 0.25", "valueParm BlinkLeft = 0.5", "valueParm Frown = -0.125",
        "targetGeom Blink = 0.3", "targetGeom BlinkLeft = 0.7", "rotateY yrot = 15", "scale scale = 1.5",
        // the head's properties under indentation by blanks
        "actor head:1 ext=Head", "prop hat_1 ext=Hat"}},
      {"smile",
       ".pz2",
       {"valueParm Blink = 0.25", "valueParm BlinkLeft = 1", "targetGeom Smile = 0.4",
        "targetGeom SmileOpen = 0.6", "kdRed RED = 0.9", "focal focal = 38"}},
      // Indented object lines and no channels anywhere.
      {"unposed",
       ".pz2",
       {"group hip:1\n  material Belt", "group figure\n  material Skin", "entry prop ball_1",
        "entry actor head:1", "actor head:1"}},
  };
  const std::string folder = std::string(VANDREL_TEST_DATA) + "/lineends/";
  for (const LineEndCase& c : cases) {
    std::string first;
    for (const char* end : {"_lf", "_crlf", "_cr"}) {
      const std::string path = folder + c.stem + end + c.ext;
      const roundtrip::ReadOutcome read = roundtrip::ReadDocument(path);
      ASSERT_TRUE(read.ok) << path;
      const std::string essentials = roundtrip::Essentials(false) + roundtrip::Tables();
      if (first.empty()) first = essentials;
      EXPECT_EQ(essentials, first) << path;
      for (const std::string& line : c.mustHold)
        EXPECT_NE(essentials.find(line), std::string::npos) << path << ": " << line;
      TempDir dir;
      EXPECT_EQ(roundtrip::CheckEveryFormat(path, dir.path()), "") << path;
    }
  }
}

}  // namespace
}  // namespace vandrel::test
