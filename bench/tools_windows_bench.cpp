// The tools in the main window, offscreen: choosing a template group of
// 2,500 members in a material list of 5,000 rows (the file read, one
// selection, one display), and the HTML report of 500 maps whose thumbnails
// list 0 already holds (the page, 500 JPEG pictures). Each figure is the best
// of three runs, printed with its ratio to one plain pass over the same bytes
// (read and count line ends) in the same run.
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "tools/file_report.h"
#include "tools/file_statistics.h"
#include "tools/qt/report_pictures.h"
#include "tools/selection_templates.h"

using namespace vandrel;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

template <typename F>
double Best(F f) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    const Clock::time_point t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

// Reads the files and counts their line ends.
double PlainPass(const std::vector<std::string>& files) {
  return Best([&] {
    std::size_t lines = 0;
    for (const std::string& f : files) {
      const std::optional<std::string> bytes = ReadWholeFile(f);
      if (bytes) lines += static_cast<std::size_t>(std::count(bytes->begin(), bytes->end(), '\n'));
    }
    if (lines == 0) std::printf(" ");
  });
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const fs::path folder = fs::temp_directory_path() / "vandrel_tools_windows_bench";
  fs::remove_all(folder);
  fs::create_directories(folder);
  SetProgramFolder(folder.string());
  ResetModel();
  FrmMain window;
  MaterialsPane& pane = *window.materials;

  // A group naming every second of 5,000 materials.
  ObjectRec group;
  group.Name = "figure";
  SelectionTemplate tpl;
  tpl.Groups.push_back(SelectionGroup{"half", {}});
  for (int i = 0; i < 5000; ++i) {
    MaterialRec m;
    m.Name = "material number " + std::to_string(i);
    if (i % 2 == 0) tpl.Groups[0].Members.push_back(m.Name.str());
    group.Materials.Edit().push_back(std::move(m));
  }
  gObjects = {group};
  gObjectList = {"figure"};
  const std::string templateFile = TemplateFile("big");
  if (!WriteTemplateFile(templateFile, tpl).empty()) return 1;
  pane.MirrorObjectList();
  pane.cmbFigures->setCurrentIndex(0);
  pane.FillMaterialList();
  pane.FillTemplateList();
  pane.Combo1->setCurrentIndex(0);
  pane.Combo1_Click();
  pane.Combo2->setCurrentIndex(0);
  const double choose = Best([&] {
    pane.lstMaterials->clearSelection();
    pane.Combo2_Click();
  });
  const double plainTemplate = PlainPass({templateFile});
  std::printf(
      "group of %zu members in %d rows: %.4f s (target 0.1 s), plain pass %.6f s, ratio %.0f, %d selected\n",
      tpl.Groups[0].Members.size(), pane.lstMaterials->count(), choose, plainTemplate, choose / plainTemplate,
      static_cast<int>(pane.lstMaterials->selectedItems().size()));

  // 500 maps on disk, their thumbnails loaded as a load with thumbnails on does.
  ResetModel();
  const fs::path maps = folder / "maps";
  fs::create_directories(maps);
  ObjectRec figure;
  figure.Name = "figure";
  QImage picture(256, 256, QImage::Format_RGB32);
  picture.fill(Qt::darkRed);
  for (int i = 0; i < 500; ++i) {
    const std::string path = (maps / ("map" + std::to_string(i) + ".png")).string();
    picture.save(QString::fromStdString(path), "PNG");
    MaterialRec m;
    m.Name = "m" + std::to_string(i);
    m.TextureMap = path;
    figure.Materials.Edit().push_back(std::move(m));
    LoadThumbNail(path, 0);
  }
  gObjects = {figure};
  gObjectList = {"figure"};
  gState.FileName = (folder / "Figure.cr2").string();
  WriteFileAtomic(gState.FileName, "{\r\n}\r\n");
  CollectFileInfo();
  QtReportPictures pictures;
  ReportRequest request;
  request.reportPath = (folder / "Figure.htm").string();
  request.fileName = gState.FileName;
  request.labels = FileInfoLabelsOf(gFileInfo, DiskFileFacts(), UserDisplayLocale());
  std::string error;
  const double report =
      Best([&] { error = WriteFileReport(request, DiskFileFacts(), UserDisplayLocale(), pictures); });
  std::vector<std::string> written{request.reportPath};
  for (const auto& entry : fs::directory_iterator(folder / "Figure_Images"))
    written.push_back(entry.path().string());
  const double plainReport = PlainPass(written);
  std::printf(
      "report of 500 maps (%zu files written): %.3f s (target 2 s), plain pass %.5f s, ratio %.0f%s\n",
      written.size(), report, plainReport, report / plainReport, error.empty() ? "" : " FAILED");
  fs::remove_all(folder);
  return error.empty() ? 0 : 1;
}
