// Helpers of the channel tests: a host that records progress and can cancel
// after a number of polls, the test files, and a comparison of the tables.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/host.h"
#include "model/model.h"
#include "support/temp_dir.h"

namespace vandrel::test {

class ChannelHost : public Host {
 public:
  void SetStage(const std::string& text) override { stages.push_back(text); }
  void SetItem(const std::string& text) override { items.push_back(text); }
  void SetRange(long long max) override { ranges.push_back(max); }
  void SetValue(long long value) override { values.push_back(value); }
  bool CancelRequested() override {
    ++polls;
    return cancelAt != 0 && polls >= cancelAt;
  }
  MsgResult Message(const std::string& text, const std::string& title, MsgButtons, MsgIcon icon) override {
    messages.push_back(text);
    titles.push_back(title);
    icons.push_back(icon);
    return MsgResult::OK;
  }
  long long cancelAt = 0;  // 0 = never
  long long polls = 0;
  std::vector<std::string> stages, items, messages, titles;
  std::vector<long long> ranges, values;
  std::vector<MsgIcon> icons;
};

inline std::string ChannelFile(const std::string& name) {
  return ReadFileBytes(std::string(VANDREL_TEST_DATA) + "/channels/" + name);
}
inline std::string ChannelPath(const std::string& name) {
  return std::string(VANDREL_TEST_DATA) + "/channels/" + name;
}

inline std::string Lf(std::string text) {
  for (char& c : text)
    if (c == '\r') c = '\n';
  return text;
}

// A readable dump of the actor table, the lists and the material groups, so
// that two reads can be compared whole.
inline std::string DumpModel() {
  std::string out;
  for (const ActorRec& a : gActors) {
    out += "A[" + a.Name + "|" + a.Props().ExtName + "|" + a.Kind + "|" + std::to_string(a.Props().OnOff) +
           "," + std::to_string(a.Props().Hidden) + "," + std::to_string(a.Props().Locked) + "," +
           a.Props().StorageOffset + "," + std::to_string(a.Props().GeomResource) + "," +
           std::to_string(a.Props().DepthMapSize) + "," + a.Props().DepthCamera + "," +
           std::to_string(a.Props().DoShadow) + "," + std::to_string(a.Props().LightOn) + "," +
           a.Props().Port + "," + a.Props().CameraModel + "," + std::to_string(a.Props().LightType) + "," +
           a.Props().ObjFileGeom + ",";
    for (bool on : a.PropertyOn) out += on ? '1' : '0';
    out += "]\n";
    for (const DialRec& d : a.Dials)
      out += "  D[" + d.Name + "|" + d.ExtName + "|" + d.ChannelType + "|" + std::to_string(d.Value) + "|" +
             std::to_string(d.Hidden) + "|" + (d.ExtNameOn ? "1" : "0") + (d.HiddenOn ? "1" : "0") +
             (d.ValueOn ? "1" : "0") + "]\n";
  }
  for (const ActorListItem& item : gActorList) out += "L[" + item.Text() + "|" + item.Kind() + "]\n";
  for (const ObjectRec& g : gObjects) {
    out += "G[" + g.Name + "]";
    for (const MaterialRec& m : g.Materials) out += " M[" + m.Name + "]";
    out += "\n";
  }
  for (const CompactText& e : gObjectList) out += "O[" + e + "]\n";
  out += "T[" + std::to_string(gThighLength) + "] F[" + (gActorMaterialsFound ? "1" : "0") + "]\n";
  return out;
}

class ChannelTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetModel(); }
  void TearDown() override { ResetModel(); }
};

}  // namespace vandrel::test
