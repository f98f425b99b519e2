// The Fix buttons cmd(25) to cmd(28) of the map rows and the map reference
// check after a load, which presses them for every object.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>

#include "common/encoding.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "maps/map_search.h"
#include "maps/qt/frm_choose_pic.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/qt/controls.h"
#include "platform/ui_services.h"

namespace vandrel {

namespace {

constexpr const char* kChecking = "Checking map references...";

CompactText MaterialRec::*const kMapFields[MaterialsPane::kMapRowCount] = {
    &MaterialRec::TextureMap, &MaterialRec::BumpMap, &MaterialRec::ReflectionMap,
    &MaterialRec::TransparencyMap};

// Messages go to the dialogs; the scan's item text and cancel poll to the
// progress window while one is up.
class FixHost : public Host {
 public:
  explicit FixHost(Host* const& wait) : wait_(wait) {}
  void SetItem(const std::string& text) override {
    if (wait_) wait_->SetItem(text);
  }
  bool CancelRequested() override { return wait_ && wait_->CancelRequested(); }
  MsgResult Message(const std::string& text, const std::string& title, MsgButtons buttons,
                    MsgIcon icon) override {
    return Ui().MessageBox(text, title, buttons, icon);
  }

 private:
  Host* const& wait_;
};

}  // namespace

bool MaterialsPane::FixMaps(int index, const std::vector<MaterialRec*>& selected) {
  const std::size_t row = static_cast<std::size_t>(index - FixMapButton(0));
  // The check works on copies of the paths, which go back into the
  // materials when it ends.
  std::vector<std::string> paths;
  paths.reserve(selected.size());
  for (const MaterialRec* m : selected) paths.push_back((m->*kMapFields[row]).str());
  std::vector<std::string*> fields;
  for (std::string& path : paths) fields.push_back(&path);

  std::unique_ptr<Host> scanHost;  // the wait window of a click of the user's
  Host* wait = passHost_;
  FixHost host(wait);
  MapSearchHooks hooks;
  hooks.fullPaths = chkTexture->isChecked();
  hooks.chooseMap = [this](const std::vector<std::string>& entries) {
    return ChooseMapFile(window(), entries);
  };
  hooks.browseForFolder = [](const std::string& start, const std::string& name) {
    return Ui().BrowseFolder("Look for " + PoserTextToUtf8(name) + " in:", start).value_or("");
  };
  hooks.beginScan = [&] {
    if (!passHost_) {
      scanHost = main_.ProgressHost();
      wait = scanHost.get();
    }
    wait->SetRange(0);
    wait->SetStage("Scanning folders...");
  };
  hooks.endScan = [&] {
    if (passHost_) {
      // The check goes on under its own progress.
      passHost_->SetStage(kChecking);
      passHost_->SetItem("");
      passHost_->SetRange(passMax_);
      passHost_->SetValue(passValue_);
    } else {
      wait = nullptr;
      scanHost.reset();
    }
  };
  // The picture is made on a worker thread: the box shows "Loading" until it
  // comes, and the check goes on meanwhile.
  hooks.loadThumbnail = [this, row](const std::string& file) {
    ShowLoadingPicture(imgThumb[row]);
    RequestThumbnail(file);
  };

  const FixOutcome outcome = FixMapReferences(fields, host, hooks);
  for (std::size_t i = 0; i < selected.size(); ++i) selected[i]->*kMapFields[row] = paths[i];
  // The rows changed before an early end are shown too.
  if (outcome.processed > 0) ShowMaterial();
  return outcome.changed;
}

void MaterialsPane::CheckMapReferences() {
  if (!gSettings.AutoCorrect || main_.chkNoMaterialData->isChecked()) return;
  const bool wasDirty = gState.Dirty;
  bool changed = false;
  std::unique_ptr<Host> progress = main_.ProgressHost();
  passMax_ = static_cast<long long>(gObjects.size()) * 4;
  passValue_ = 0;
  progress->SetStage(kChecking);
  progress->SetRange(passMax_);
  progress->SetValue(0);
  QCoreApplication::processEvents();

  ResetMapSearch();
  gAutoCorrecting = true;
  passHost_ = progress.get();
  for (std::size_t i = 0; i < gObjects.size(); ++i) {
    controls::setListIndex(cmbFigures, static_cast<int>(i));
    CMD_Click(kSelectAllButton);
    for (int j = 0; j < kMapRowCount; ++j) {
      changed = FixMaps(FixMapButton(j), SelectedMaterials()) || changed;
      progress->SetValue(++passValue_);
      QCoreApplication::processEvents();
    }
  }
  if (cmbFigures->currentIndex() == 0)
    cmbFigures_Click();
  else
    controls::setListIndex(cmbFigures, 0);
  passHost_ = nullptr;
  gAutoCorrecting = false;
  // Showing the objects flips panels, which is no change of the document.
  gState.Dirty = wasDirty || changed;
}

}  // namespace vandrel
