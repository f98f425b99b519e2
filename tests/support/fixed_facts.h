// A file-facts layer that knows only the files it is given, with fixed sizes
// and dates.
#pragma once

#include <map>
#include <string>

#include "platform/file_facts.h"

namespace vandrel::test {

class FixedFacts : public FileFactsSource {
 public:
  std::map<std::string, FileFacts> files;
  std::optional<FileFacts> Facts(const std::string& path) const override {
    const auto it = files.find(path);
    return it == files.end() ? std::nullopt : std::optional<FileFacts>(it->second);
  }
};

}  // namespace vandrel::test
