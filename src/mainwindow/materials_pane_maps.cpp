// The four map rows of the Materials pane: "No Map", "Open", "..." (browse),
// the typed path with its "Apply", and files dropped on a path box.
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "common/text.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/materials_pane.h"
#include "maps/map_search.h"
#include "maps/poser_paths.h"
#include "maps/qt/thumbnails.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/path_case.h"
#include "platform/qt/controls.h"
#include "platform/qt/file_drops.h"
#include "platform/qt/qt_ui.h"

namespace vandrel {

namespace {

// The map row of a No Map, Open, "..." or Apply button cmd(index), or -1.
int MapRowOf(int index) {
  using Pane = MaterialsPane;
  for (int j = 0; j < Pane::kMapRowCount; ++j)
    for (int button :
         {Pane::NoMapButton(j), Pane::OpenMapButton(j), Pane::BrowseMapButton(j), Pane::ApplyMapButton(j)})
      if (button == index) return j;
  return -1;
}

const char* const kMapWords[MaterialsPane::kMapRowCount] = {"Texture", "Bump", "Reflection", "Transparency"};

CompactText MaterialRec::*const kMapFields[MaterialsPane::kMapRowCount] = {
    &MaterialRec::TextureMap, &MaterialRec::BumpMap, &MaterialRec::ReflectionMap,
    &MaterialRec::TransparencyMap};

// A map path is one quoted line of the written pose: a line break would
// split it, a double quote end it. Judged on the path as it would be stored.
bool RefusedPath(const std::string& stored) {
  const std::string refusal = MapPathRefusal(stored);
  if (refusal.empty()) return false;
  Ui().MessageBox(refusal, "", MsgButtons::OK, MsgIcon::Exclamation);
  return true;
}

// Takes the file drops of a path box (only local files) away from the line
// edit, which would insert the dropped text itself.
class PathBoxDrops : public QObject {
 public:
  PathBoxDrops(QLineEdit* box, std::function<void(const std::vector<std::string>&)> dropped)
      : QObject(box), dropped_(std::move(dropped)) {
    box->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      // Taken as a copy: the map stays where it is.
      if (LocalFiles(drag->mimeData()).empty()) {
        drag->ignore();
      } else {
        AcceptFilesAsCopy(drag);
      }
      return true;
    }
    if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      const std::vector<std::string> files = LocalFiles(drop->mimeData());
      if (!files.empty() && AcceptFilesAsCopy(drop)) dropped_(files);
      return true;
    }
    return false;
  }

 private:
  static std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
      if (url.isLocalFile() && !url.toLocalFile().isEmpty()) files.push_back(ToUtf8(url.toLocalFile()));
    return files;
  }
  std::function<void(const std::vector<std::string>&)> dropped_;
};

}  // namespace

bool MaterialsPane::IsMapRowButton(int index) { return MapRowOf(index) >= 0; }

void MaterialsPane::ConnectMapRows() {
  for (int index = 0; index < static_cast<int>(cmd.size()); ++index)
    if (IsMapRowButton(index)) controls::bindButton(cmd[index], [this, index] { MapRowButton_Click(index); });
  for (int j = 0; j < kMapRowCount; ++j) {
    const int box = PathBox(j);
    new PathBoxDrops(TXT[box],
                     [this, box](const std::vector<std::string>& files) { TXT_OLEDragDrop(box, files); });
  }
}

void MaterialsPane::MapRowButton_Click(int index) {
  const int j = MapRowOf(index);
  if (j < 0) return;
  QLineEdit* box = TXT[PathBox(j)];
  CompactText MaterialRec::*const field = kMapFields[j];
  const auto boxText = [box] { return ToPoserText(box->text()); };

  if (index == NoMapButton(j)) {
    const std::vector<MaterialRec*> selected = SelectedMaterials();
    for (MaterialRec* m : selected) {
      m->*field = kNoMap;
      if (box->text() != kNoMap) controls::setText(box, kNoMap);
      gState.Dirty = true;
    }
    if (!selected.empty()) ShowMaterial();
    return;
  }

  if (index == OpenMapButton(j)) {  // no material changes
    UiHost shown;
    ShellOpenPoserPath(boxText(), shown, [](const std::string& file) { return Ui().ShellOpen(file); });
    return;
  }

  if (index == BrowseMapButton(j)) {  // "..."
    if (gState.LastMapFolder.empty() && !gSettings.Map.empty() && !EqualsNoCase(gSettings.Map, "none"))
      gState.LastMapFolder = gSettings.Map;
    FileDialogRequest request;
    request.title = std::string("Load ") + kMapWords[j] + " Map";
    request.defaultExt = j == 1 ? "bum" : "jpg";
    request.filter =
        "All image files|*.jpg;*.tif;*.bmp;*.psd;*.bum|JPG Image|*.jpg|TIF Image|*.tif|BMP Image|*.bmp|"
        "PSD Image|*.psd|BUM Image|*.bum|All files|*.*";
    request.initDir = gState.LastMapFolder;
    if (!main_.ChooseOpenFile(request, gSettings.MapThumb)) return;
    std::string chosen = main_.SharedDialog().FileName;
    if (const std::string stored = TrueCasePath(chosen); !stored.empty()) chosen = stored;
    if (RefusedPath(FilePathToPoserPath(chosen, chkTexture->isChecked()))) return;
    QLabel* thumb = imgThumb[static_cast<std::size_t>(j)];
    if (gSettings.MainThumb) {
      ShowLoadingPicture(thumb);
      if (LoadThumbNail(chosen, 0)) {
        ShowMapThumbnail(j, chosen);
      } else {
        thumb->clear();
      }
    }
    gState.LastMapFolder = FolderOf(chosen);
    chosen = FilePathToPoserPath(chosen, chkTexture->isChecked());
    gState.Dirty = true;
    for (MaterialRec* m : SelectedMaterials()) {
      if (boxText() != chosen) controls::setText(box, FromPoserText(chosen));
      m->*field = chosen;
      gState.Dirty = true;
    }
    ShowMaterial();
    return;
  }

  // "Apply": the typed path in the form the program stores.
  if (box->text().isEmpty() || RefusedPath(FilePathToPoserPath(boxText(), chkTexture->isChecked()))) return;
  bool applied = false;
  for (MaterialRec* m : SelectedMaterials()) {
    controls::setText(box, FromPoserText(FilePathToPoserPath(boxText(), chkTexture->isChecked())));
    m->*field = boxText();
    gState.Dirty = true;
    applied = true;
  }
  if (!applied) return;
  if (gSettings.MainThumb) {
    ShowLoadingPicture(imgThumb[static_cast<std::size_t>(j)]);
    const std::string file = PoserPathToFilePath(boxText());
    if (!file.empty()) LoadThumbNail(file, 0);
  }
  ShowMaterial();
}

void MaterialsPane::TXT_OLEDragDrop(int index, const std::vector<std::string>& files) {
  if (index < PathBox(0) || index > PathBox(kMapRowCount - 1) || files.empty()) return;
  if (RefusedPath(FilePathToPoserPath(files.front(), chkTexture->isChecked()))) return;
  // The file's name as the disk has it; "Apply" makes it Poser text.
  controls::setText(TXT[static_cast<std::size_t>(index)], FromUtf8(files.front()));
  CMD_Click(ApplyMapButton(index - PathBox(0)));
}

}  // namespace vandrel
