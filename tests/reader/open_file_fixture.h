// The fixture of the file-opening tests: a test file written in one
// line-end variant and read through ReadPoserFile with a recording host.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/model.h"
#include "reader/poser_file_reader.h"
#include "reader_test_util.h"

namespace vandrel::test {

inline constexpr LineEnds kAllLineEnds[] = {LineEnds::Lf, LineEnds::CrLf, LineEnds::Cr};

class OpenFileTest : public ReaderTest {
 protected:
  // Writes a test file in the given line-end variant and reads it.
  OpenFileResult Open(const std::string& name, int type, LineEnds ends, bool poser5 = false,
                      ObjectPartReader reader = {}) {
    return OpenText(name, WithLineEnds(DataFile(name), ends), type, poser5, std::move(reader));
  }
  OpenFileResult OpenText(const std::string& name, const std::string& bytes, int type, bool poser5 = false,
                          ObjectPartReader reader = {}) {
    OpenFileOptions options;
    options.fileType = type;
    options.path = dir.write(name, bytes);
    options.poser5Format = poser5;
    options.objectPartReader = std::move(reader);
    return ReadPoserFile(options, host);
  }
  static std::vector<std::string> MaterialNames(std::size_t group) {
    std::vector<std::string> names;
    for (const MaterialRec& m : gObjects.at(group).Materials) names.push_back(m.Name.str());
    return names;
  }
  static std::vector<std::string> GroupNames() {
    std::vector<std::string> names;
    for (const ObjectRec& o : gObjects) names.push_back(o.Name);
    return names;
  }

  TempDir dir;
  RecordingHost host;
};

}  // namespace vandrel::test
