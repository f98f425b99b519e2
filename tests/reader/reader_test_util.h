// Shared helpers of the reader tests: the three line-end variants of a test
// file, a host that records what the reader reports, and a clean model.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/host.h"
#include "model/model.h"
#include "support/temp_dir.h"

namespace vandrel::test {

enum class LineEnds { Lf, CrLf, Cr };

inline const char* LineEndsName(LineEnds e) {
  return e == LineEnds::Lf ? "LF" : e == LineEnds::CrLf ? "CRLF" : "CR";
}

// A file written with LF line ends, turned into the given variant.
inline std::string WithLineEnds(const std::string& lfText, LineEnds e) {
  if (e == LineEnds::Lf) return lfText;
  std::string out;
  out.reserve(lfText.size() * 2);
  for (char c : lfText) {
    if (c != '\n') {
      out += c;
    } else {
      if (e == LineEnds::CrLf)
        out += "\r\n";
      else
        out += '\r';
    }
  }
  return out;
}

inline std::string DataFile(const std::string& name) {
  return ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/reader/" + name);
}

struct RecordedMessage {
  std::string text, title;
  MsgButtons buttons;
  MsgIcon icon;
};

class RecordingHost : public Host {
 public:
  void SetStage(const std::string& text) override { stages.push_back(text); }
  void SetItem(const std::string& text) override { items.push_back(text); }
  MsgResult Message(const std::string& text, const std::string& title, MsgButtons buttons,
                    MsgIcon icon) override {
    messages.push_back({text, title, buttons, icon});
    return MsgResult::OK;
  }
  std::vector<std::string> stages, items;
  std::vector<RecordedMessage> messages;
};

// Every reader test starts from a fresh model.
class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetModel(); }
  void TearDown() override { ResetModel(); }
};

}  // namespace vandrel::test
