// The Materials pane on a group of 10,000 materials, lists included
// (offscreen): Select all, Invert sel, deleting every other row, and showing
// one material. Each figure is the best of three runs, printed with its ratio
// to one plain pass over the same material records (reading every name and
// map path) in the same run.
#include <QApplication>
#include <QListWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench_support.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "model/model.h"
#include "platform/qt/controls.h"

using namespace vandrel;

namespace {

using vandrel::bench::Best;

using Clock = std::chrono::steady_clock;
constexpr int kMaterials = 10000;

void Fill() {
  ResetModel();
  ObjectRec group;
  group.Name = "figure";
  for (int i = 0; i < kMaterials; ++i) {
    MaterialRec m;
    m.Name = "material" + std::to_string(i);
    m.TextureMap = ":Runtime:textures:map" + std::to_string(i) + ".jpg";
    m.ObjectColorOn = m.TextureMapOn = i % 2 == 0;
    group.Materials.Edit().push_back(std::move(m));
  }
  gObjects.assign(1, std::move(group));
  gObjectList = {"figure"};
}

double PlainPass() {
  const Clock::time_point t0 = Clock::now();
  std::size_t sum = 0;
  for (const MaterialRec& m : gObjects[0].Materials)
    sum += m.Name.size() + m.TextureMap.size() + m.ObjectColorOn;
  const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  if (sum == 0) std::printf("(empty table)\n");
  return seconds;
}

void Report(const char* what, double seconds, double plain, double target) {
  std::printf("%-44s %9.4f s  plain pass %9.5f s  ratio %8.1f  target %.3f s %s\n", what, seconds, plain,
              seconds / plain, target, seconds <= target ? "ok" : "SLOW");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  FrmMain window;
  MaterialsPane& pane = *window.materials;
  double plain = 0;
  // The group listed, every other row selected.
  const auto listed = [&] {
    Fill();
    plain = PlainPass();
    window.ResetMainWindow();
    Fill();
    pane.MirrorObjectList();
    pane.EnableMaterialControls();
    controls::setListIndex(pane.cmbFigures, 0);
    pane.cmbFigures_Click();  // the list again, also when the object was chosen already
    std::vector<bool> rows(kMaterials);
    for (int i = 0; i < kMaterials; i += 2) rows[static_cast<std::size_t>(i)] = true;
    controls::setSelection(pane.lstMaterials, rows);
  };
  const double selectAll = Best(listed, [&] { pane.CMD_Click(0); });
  Report("Select all, 10,000 materials", selectAll, plain, 0.1);
  const double invert = Best(listed, [&] { pane.cmdInvertSel_Click(); });
  Report("Invert sel, 10,000 materials", invert, plain, 0.1);
  const double deletion = Best(listed, [&] { pane.cmdDeleteMaterials_Click(); });
  Report("delete every other of 10,000 materials", deletion, plain, 0.1);
  std::printf("materials left %d, listed %d\n", static_cast<int>(gObjects[0].Materials.size()),
              pane.lstMaterials->count());
  // Showing a material whose switches differ from the faces on view.
  int next = 0;
  const double show = Best(listed, [&] {
    controls::setListIndex(pane.lstMaterials, ++next % 2 == 0 ? 2 : 3);
    pane.ShowMaterial();
  });
  Report("show one material", show, plain, 0.005);
  return 0;
}
