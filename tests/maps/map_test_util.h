// A host for the map search tests: records messages and item texts, and can
// ask to cancel at a given poll.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/host.h"
#include "model/model.h"
#include "platform/program_folder.h"
#include "support/temp_dir.h"

namespace vandrel::test {

class MapHost : public Host {
 public:
  void SetItem(const std::string& text) override { items.push_back(text); }
  bool CancelRequested() override { return ++polls == cancelAtPoll; }
  MsgResult Message(const std::string& text, const std::string&, MsgButtons, MsgIcon) override {
    messages.push_back(text);
    return MsgResult::OK;
  }
  int polls = 0;
  int cancelAtPoll = -1;
  std::vector<std::string> items, messages;
};

// Cache file text: each name followed by "*" and its folder, CR LF line ends.
inline std::string CacheEntries(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string out;
  for (const auto& [name, folder] : entries) out += name + "\r\n*" + folder + "\r\n";
  return out;
}

// A fresh model and a program folder of its own (for Cache/) per test.
class MapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModel();
    SetProgramFolder(program.path());
  }
  void TearDown() override {
    SetProgramFolder("");
    ResetModel();
  }
  std::string Cache(const std::string& file) const { return ReadFileBytes(program.file("Cache/" + file)); }
  TempDir program;
  TempDir tree;
  MapHost host;
};

}  // namespace vandrel::test
