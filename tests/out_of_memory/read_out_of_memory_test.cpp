// Memory running out in a read, as the user meets it through the windows:
// the read ends with its report, the open document stays as it was, and the
// program goes on.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "mainwindow/frm_figure.h"
#include "mainwindow/frm_import.h"
#include "mainwindow/materials_pane.h"
#include "mainwindow/tool_windows.h"
#include "mainwindow/window_fixture.h"
#include "out_of_memory/allocation_seam.h"
#include "platform/files.h"
#include "platform/qt/controls.h"
#include "reader/morph_pose_file.h"
#include "reader/poser_file_reader.h"
#include "tools/figure_file.h"

namespace vandrel::test {
namespace {

std::string Data(const std::string& name) { return std::string(VANDREL_TEST_DATA) + "/" + name; }

void Write(const std::string& path, const std::string& bytes) {
  ASSERT_EQ(WriteFileAtomic(path, bytes, false), "");
}

class ReadOutOfMemory : public WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    ConnectToolWindows(*window);
    ui->AnswerOpen(Data("channels/figure_pose.pz2"));
    window->mnuOpenPZ2_Click();
    ASSERT_FALSE(gState.ReadError);
    before = Document();
  }
  // What the user has open: caption, object list, groups, actors and dials.
  std::string Document() const {
    std::string d = window->windowTitle().toStdString() + "\n";
    for (const CompactText& e : gObjectList) d += e + "|";
    for (const ObjectRec& g : gObjects) {
      d += "\n" + g.Name + ":";
      for (const MaterialRec& m : g.Materials) d += " " + m.Name;
    }
    for (const ActorRec& a : gActors) {
      d += "\n" + a.Name.str() + ":";
      for (const DialRec& dial : a.Dials) d += " " + dial.Name.str();
    }
    return d;
  }
  // The morph import of a pose file.
  void ImportMorphs(const std::string& path) {
    ui->AnswerOpen(path);
    WhenShown<FrmImport>([](FrmImport& w) {
      w.optDataType[1]->click();
      w.optFileType[0]->click();
      w.cmdImport->click();
    });
    Trigger("mnuImport");
  }
  std::string before;
};

TEST_F(ReadOutOfMemory, EveryReadEndsWithTheReportAndTheProgramGoesOn) {
  // Two figures, the first with a few megabytes of geometry.
  std::string figures = ReadFileBytes(Data("tools/two_figures.cr2"));
  std::string geometry;
  for (int v = 0; v < 200000; ++v) geometry += "\tv 0.125 0.25 0.5\n";
  figures.insert(figures.find("\tgeomHandlerGeom 13 BODY\n"), geometry);
  const std::string cr2 = program.file("figures.cr2");
  Write(cr2, figures);
  const std::string pz2 = program.file("pose.pz2");
  Write(pz2, "{\nversion\n\t{\n\tnumber 4.01\n\t}\nactor BODY:1\n\t{\n" + geometry + "\t}\n}\n");

  {
    const AllocationLimit limit(std::size_t{1} << 20);
    ui->AnswerOpen(cr2);
    Trigger("mnuMultiFigure");
    ImportMorphs(pz2);
  }
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 2u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[0].text, kOutOfMemoryReport);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[1].text, kMorphDataNotFound);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[1].title, "Out of memory");
  EXPECT_EQ(Document(), before);
  EXPECT_GE(FailedAllocations(), 2u);

  // With the memory it needs, the chooser reads the same file.
  ui->clear();
  ui->AnswerOpen(cr2);
  ui->AnswerMessage(MsgResult::No);
  WhenShown<FrmFigure>([](FrmFigure& f) { f.cmdOK->click(); });
  Trigger("mnuMultiFigure");
  ASSERT_FALSE(gState.ReadError);
  EXPECT_EQ(gObjects.at(0).Materials.at(0).Name, "Skin");

  // An open that runs out ends with the reader's own report, as "-s" gives it.
  ui->clear();
  {
    const AllocationLimit limit(std::size_t{1} << 20);
    ui->AnswerOpen(pz2);
    Trigger("mnuOpenPZ2");
  }
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[0].text.rfind(
                "Error in the OpenFile function\r\nOut of memory, error number 7\r\nCode line number ", 0),
            0u)
      << ui->requestsOf(UiRequest::Message)[0].text;
  EXPECT_TRUE(gState.ReadError);
}

TEST_F(ReadOutOfMemory, ACutOffFileOrAnOpenThatRunsOutLeavesTheEditedDocumentInView) {
  MaterialsPane& m = *window->materials;
  // What the document writes, looked at without saving it.
  const auto write = [&](const std::string& name) {
    const std::string path = program.file(name);
    const bool dirty = gState.Dirty;
    window->CommonDialog1.fileName = path;
    EXPECT_EQ(window->WritePoseFile(), "");
    window->CommonDialog1.fileName = gState.FileName;
    gState.Dirty = dirty;
    return ReadFileBytes(path);
  };
  const std::string unedited = write("unedited.pz2");
  // The user edits the open pose: another object, a material value typed
  // and applied, the Poser 5 format.
  const int group = m.cmbFigures->findText("actor lHand:1");
  ASSERT_GE(group, 0);
  m.cmbFigures->setCurrentIndex(group);
  emit m.cmbFigures->activated(group);
  m.lstMaterials->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
  controls::setText(m.TXT[1], "42");
  m.cmd[14]->click();
  controls::setOption(window->optPoserFormat[1]);
  ASSERT_TRUE(gState.Dirty);
  // What the user sees of the document.
  const auto view = [&] {
    std::string v =
        Document() + (gState.Dirty ? " dirty " : " ") + std::to_string(m.cmbFigures->currentIndex());
    for (int r = 0; r < m.lstMaterials->count(); ++r)
      v += " " + m.lstMaterials->item(r)->text().toStdString() +
           (m.lstMaterials->item(r)->isSelected() ? "*" : "");
    for (QLineEdit* box : m.TXT) v += "|" + box->text().toStdString();
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             window->chkChannels, window->chkNoMaterialData, window->optPoserFormat[1]})
      v += std::to_string(b->isChecked()) + std::to_string(On(b));
    return v + std::to_string(window->mnuSave->isEnabled()) + std::to_string(window->mnuSaveAs->isEnabled());
  };
  const std::string shown = view();
  const std::string expected = write("expected.pz2");
  ASSERT_NE(expected, unedited);

  // A copy cut off inside a material, and one too large for the memory left.
  std::string pose = ReadFileBytes(Data("channels/figure_pose.pz2"));
  Write(program.file("cut.pz2"), pose.substr(0, pose.find("\t\tKdColor 0 0 1 1")));
  Write(program.file("large.pz2"),
        pose.insert(pose.find("\tdoShadow 1"), std::string(std::size_t{3} << 20, ' ')));
  for (const auto& [name, report] : {std::pair{"cut.pz2", "The file ends inside a block, error number 62"},
                                     std::pair{"large.pz2", "Out of memory, error number 7"}}) {
    ui->clear();
    ui->AnswerMessage(MsgResult::No);  // the changes are not saved first
    ui->AnswerOpen(program.file(name));
    {
      const AllocationLimit limit(std::size_t{1} << 20);
      Trigger("mnuOpenPZ2");
    }
    const auto messages = ui->requestsOf(UiRequest::Message);
    ASSERT_EQ(messages.size(), 2u) << name;
    EXPECT_EQ(messages[1].text.rfind("Error in the OpenFile function\r\n" + std::string(report) + "\r\n", 0),
              0u)
        << messages[1].text;
    EXPECT_TRUE(gState.ReadError);
    EXPECT_EQ(view(), shown) << name;
  }
  // Saved as before the failed opens.
  const std::string saved = program.file("saved.pz2");
  ui->AnswerSave(saved);
  Trigger("mnuSaveAs");
  EXPECT_EQ(ReadFileBytes(saved), expected);
}

}  // namespace
}  // namespace vandrel::test
