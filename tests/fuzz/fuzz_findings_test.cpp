// The inputs the fuzz targets once failed on, replayed through the same
// functions: tests/data/fuzz/<target>/ holds one file per finding.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/entries.h"
#include "model/model.h"
#include "support/temp_dir.h"

namespace vandrel::test {
namespace {

using Entry = std::string (*)(const std::uint8_t*, std::size_t);

TEST(FuzzFindings, StayMended) {
  const std::vector<std::pair<std::string, Entry>> targets = {{"poser_file", fuzz::PoserFile},
                                                              {"channels", fuzz::Channels},
                                                              {"material_block", fuzz::MaterialBlock},
                                                              {"round_trip", fuzz::RoundTrip},
                                                              {"encoding", fuzz::Encoding}};
  int replayed = 0;
  for (const auto& [name, entry] : targets) {
    const std::filesystem::path folder = std::filesystem::path(VANDREL_TEST_DATA) / "fuzz" / name;
    if (!std::filesystem::exists(folder)) continue;
    std::vector<std::filesystem::path> files;
    for (const auto& f : std::filesystem::directory_iterator(folder)) files.push_back(f.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
      const std::string bytes = ReadFileBytes(f.string());
      EXPECT_EQ(entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "") << f;
      ++replayed;
    }
  }
  EXPECT_GE(replayed, 3);
  ResetModel();
}

}  // namespace
}  // namespace vandrel::test
