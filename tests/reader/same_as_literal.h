// The fast channel reader against the literal transcription of the
// documented procedure: the same model, results and failures for one text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "model/model.h"
#include "reader/channel_literal.h"
#include "reader/channel_reader.h"
#include "reader/channel_test_util.h"
#include "reader/read_fault.h"

namespace vandrel::test {

inline void ExpectSameAsLiteral(const std::string& text, bool insertOne, bool append,
                                const std::string& prior) {
  auto prepare = [&] {
    ResetModel();
    if (!prior.empty()) {
      ChannelHost h;
      LoadMorphsAndPoses(prior, h);
    }
  };
  prepare();
  ChannelHost host;
  bool fastThrew = false;
  ChannelReadResult fast;
  try {
    fast = LoadMorphsAndPoses(text, host, {.InsertOne = insertOne, .Append = append});
  } catch (const ReadFault&) {
    fastThrew = true;
  }
  const std::string fastDump = DumpModel();
  prepare();
  bool slowThrew = false;
  ChannelReadResult slow;
  try {
    slow = literal::LoadMorphsAndPoses(text, insertOne, append);
  } catch (const ReadFault&) {
    slowThrew = true;
  }
  ASSERT_EQ(fastThrew, slowThrew) << text;
  if (fastThrew) return;
  EXPECT_EQ(fastDump, DumpModel()) << text;
  EXPECT_EQ(fast.ThighLengthText, slow.ThighLengthText);
  EXPECT_EQ(fast.ActorsListed, slow.ActorsListed);
}

}  // namespace vandrel::test
