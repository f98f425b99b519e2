// The Morph and Pose channels pane on large actor tables, lists included
// (offscreen): deleting every morph channel of 80 actors of 2,000 channels,
// clicking an actor of 10,000 channels and Select All of its dials. Each
// figure is the best of three runs, printed with its ratio to one plain pass
// over the same channel records (reading every type and name) in the same run.
#include <QApplication>
#include <QCheckBox>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench_support.h"
#include "mainwindow/channels_pane.h"
#include "mainwindow/frm_main.h"
#include "model/channel_edits.h"
#include "model/model.h"

using namespace vandrel;

namespace {

using vandrel::bench::Best;

using Clock = std::chrono::steady_clock;

// `actors` actors of `channels` channels each, morphs and rotations interleaved
// so that the morphs removed are scattered through every table.
void Fill(int actors, int channels) {
  ResetModel();
  gActors.clear();
  for (int a = 0; a < actors; ++a) {
    ActorRec actor;
    actor.Name = "actor" + std::to_string(a) + ":1";
    actor.Kind = "actor";
    actor.EditProps().OnOff = 2;
    actor.PropertyOn[1] = true;
    for (int c = 0; c < channels; ++c) {
      DialRec dial;
      dial.ChannelType = c % 2 == 0 ? "targetGeom" : "rotateX";
      dial.Name = "channel" + std::to_string(c);
      dial.Value = c * 0.5;
      dial.ValueOn = true;
      actor.Dials.push_back(dial);
    }
    gActors.push_back(std::move(actor));
    gActorList.push_back({gActors.back().Name.str(), "actor"});
  }
}

// One plain pass over the channel records: every type and name read once.
double PlainPass() {
  const Clock::time_point t0 = Clock::now();
  std::size_t sum = 0;
  for (const ActorRec& a : gActors)
    for (const DialRec& d : a.Dials)
      sum += d.ChannelType.size() + d.Name.size() + (d.ChannelType == "targetGeom");
  const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  if (sum == 0) std::printf("(empty tables)\n");
  return seconds;
}

void Report(const char* what, double seconds, double plain, double target) {
  std::printf("%-52s %9.4f s  plain pass %9.5f s  ratio %8.1f  target %.2f s %s\n", what, seconds, plain,
              seconds / plain, target, seconds <= target ? "ok" : "SLOW");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  FrmMain window;
  ChannelsPane& pane = *window.channelsPane;

  // Deleting every morph channel of all actors.
  double plain = 0;
  const double deletion = Best(
      [&] {
        Fill(80, 2000);
        plain = PlainPass();
        window.ShowChannelsRead();
        pane.cmdSelectAllActors_Click();
        if (!pane.chkDelChannels[3]->isChecked()) pane.chkDelChannels[3]->click();
      },
      [&] { pane.cmdDelChannels_Click(); });
  Report("delete morphs, 80 actors x 2,000 channels", deletion, plain, 0.3);

  // One actor of 10,000 channels: its click and Select All of its dials.
  const auto bigActor = [&] {
    Fill(2, 10000);
    plain = PlainPass() / 2;
    window.ShowChannelsRead();
    pane.lstActors_ItemClick(2);
  };
  const double click = Best(bigActor, [&] { pane.lstActors_ItemClick(1); });
  Report("actor click, 10,000 channels", click, plain, 0.05);
  const double selectAll = Best(bigActor, [&] { pane.cmdSelectAllDials_Click(); });
  Report("Select All dials, 10,000 channels", selectAll, plain, 0.15);
  std::printf("rows listed %d, selected %d\n", pane.lstDials->topLevelItemCount(),
              static_cast<int>(pane.lstDials->selectedItems().size()));
  return 0;
}
