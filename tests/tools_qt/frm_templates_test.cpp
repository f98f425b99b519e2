#include "tools/qt/frm_templates.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "app/qt_app.h"
#include "model/model.h"
#include "platform/files.h"
#include "platform/program_folder.h"
#include "platform/scripted_ui.h"
#include "support/temp_dir.h"

namespace vandrel {
namespace {

using test::ReadFileBytes;

ObjectRec Group(const std::string& name, std::vector<std::string> materials) {
  ObjectRec o;
  o.Name = name;
  for (std::string& m : materials) {
    o.Materials.Edit().emplace_back();
    o.Materials.Edit().back().Name = std::move(m);
  }
  return o;
}

// As the user chooses an item.
void Choose(QComboBox* list, int index) {
  list->setCurrentIndex(index);
  emit list->activated(index);
}

void Select(QListWidget* list, std::initializer_list<int> rows) {
  list->clearSelection();
  for (int r : rows) list->item(r)->setSelected(true);
}

std::vector<std::string> Rows(QListWidget* list) {
  std::vector<std::string> rows;
  for (int i = 0; i < list->count(); ++i) rows.push_back(list->item(i)->text().toStdString());
  return rows;
}

class FrmTemplatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    ResetModel();
    SetProgramFolder(program.path());
    gObjects = {Group("Figure", {"Face", "Body", "Arm}", "Lip \"gloss\""}), Group("Prop ball", {"Ball"})};
  }
  void TearDown() override {
    SetProgramFolder("");
    ResetModel();
  }
  void Message(const std::string& text) {
    const auto messages = ui->requestsOf(UiRequest::Message);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, text);
    ui->clear();
  }
  // The user answers the prompt of New group / Save as with `name`.
  void Create(FrmTemplates& window, const char* name) {
    ui->AnswerInput(name);
    window.cmdCreate->click();
  }
  void SaveAs(FrmTemplates& window, const char* name, const char* message) {
    ui->AnswerInput(name);
    window.mnuSaveAs->trigger();
    Message(message);
  }

  test::TempDir program;
  ScopedScriptedUi ui;
};

TEST_F(FrmTemplatesTest, BuildSaveReopenAndEditATemplate) {
  int closes = 0;
  auto* window = new FrmTemplates(nullptr, [&] { ++closes; });
  window->show();
  EXPECT_EQ(window->windowTitle(), "Selection template creator");
  ASSERT_EQ(window->Combo1->count(), 2);
  EXPECT_EQ(Rows(window->lstMaterials), (std::vector<std::string>{"Face", "Body", "Arm}", "Lip \"gloss\""}));
  EXPECT_TRUE(window->cmdCreate->isEnabled());
  for (QPushButton* b : {window->cmdDelete, window->cmdMove, window->cmdDeleteMaterials})
    EXPECT_FALSE(b->isEnabled());

  Create(*window, "Skin");
  Create(*window, "SKIN");
  Message("Group with that name already exists");
  ASSERT_EQ(window->cmbGroups->count(), 1);
  EXPECT_TRUE(window->cmdMove->isEnabled());
  EXPECT_TRUE(window->cmdDelete->isEnabled());

  Select(window->lstMaterials, {2, 0});
  window->cmdMove->click();
  Select(window->lstMaterials, {3});  // a double click selects its row first
  emit window->lstMaterials->itemDoubleClicked(window->lstMaterials->item(3));
  window->cmdMove->click();  // already members: nothing changes
  EXPECT_EQ(Rows(window->lstMatInGroup), (std::vector<std::string>{"Face", "Arm}", "Lip \"gloss\""}));
  EXPECT_TRUE(window->cmdDeleteMaterials->isEnabled());

  Choose(window->Combo1, 1);
  EXPECT_EQ(Rows(window->lstMaterials), std::vector<std::string>{"Ball"});
  Create(*window, "Props");
  Select(window->lstMaterials, {0});
  window->cmdMove->click();
  Create(*window, "Nothing yet");

  // Refused names; then a name typed with the extension.
  SaveAs(*window, "a:b", "The name cannot contain any of the following characters:\r\n\\/:*?\"<>|");
  SaveAs(*window, "Figure.CFG", "Template saved succesfully");
  const std::string expected =
      "Skin\r\n{\r\nFace\r\nArm}\r\nLip \"gloss\"\r\n}\r\nProps\r\n{\r\nBall\r\n}\r\nNothing "
      "yet\r\n{\r\n}\r\n";
  const std::string file = program.file("Templates/Figure.cfg");
  EXPECT_EQ(ReadFileBytes(file), expected);
  EXPECT_EQ(window->StatusBar1->text(), "Current template: Figure.cfg");

  // Saving under the name in another case asks, and replaces that file.
  ui->AnswerInput("figure");
  ui->AnswerMessage(MsgResult::No);
  window->cmdDelete->click();  // deletes "Nothing yet", the chosen group
  window->mnuSaveAs->trigger();
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).back().text,
            "A template with that name already exists. Overwrite?");
  EXPECT_EQ(ReadFileBytes(file), expected);
  ui->AnswerMessage(MsgResult::Yes);
  SaveAs(*window, "figure", "Template saved succesfully");
  EXPECT_EQ(ReadFileBytes(file),
            "Skin\r\n{\r\nFace\r\nArm}\r\nLip \"gloss\"\r\n}\r\nProps\r\n{\r\nBall\r\n}\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.file("Templates")), {}), 1);

  // Removing members; a damaged file keeps the groups; the saved file opens again.
  Choose(window->cmbGroups, 0);
  Select(window->lstMatInGroup, {0, 2});
  window->cmdDeleteMaterials->click();
  EXPECT_EQ(Rows(window->lstMatInGroup), std::vector<std::string>{"Arm}"});
  ui->AnswerOpen(program.write("Templates/bad.cfg", "Skin\r\nFace\r\n"));
  window->mnuOpen->trigger();
  EXPECT_EQ(ui->requestsOf(UiRequest::Open).at(0).dialog.title, "Open selection template");
  EXPECT_EQ(ui->requestsOf(UiRequest::Open).at(0).dialog.flags, 6148);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message).at(0).icon, MsgIcon::Exclamation);
  ui->clear();
  EXPECT_EQ(window->groups().Groups.at(0).Members, std::vector<std::string>{"Arm}"});
  ui->AnswerOpen(file);
  window->mnuOpen->trigger();
  ASSERT_EQ(window->cmbGroups->count(), 2);
  EXPECT_EQ(window->cmbGroups->currentIndex(), 1);
  EXPECT_EQ(window->groups().Groups.at(0).Members,
            (std::vector<std::string>{"Face", "Arm}", "Lip \"gloss\""}));

  // Deleting every group disables the group commands.
  window->cmdDelete->click();
  window->cmdDelete->click();
  for (QPushButton* b : {window->cmdDelete, window->cmdMove, window->cmdDeleteMaterials})
    EXPECT_FALSE(b->isEnabled());
  EXPECT_FALSE(window->mnuSaveAs->isEnabled());
  window->mnuExit->trigger();
  EXPECT_EQ(closes, 1);
  delete window;

  // Opened with a known template: read at once, the flag cleared.
  ui->clear();
  gState.FileGiven = true;
  gState.FileName = file;
  FrmTemplates again;
  EXPECT_FALSE(gState.FileGiven);
  EXPECT_EQ(again.cmbGroups->count(), 2);
  EXPECT_EQ(again.StatusBar1->text(), "Current template: Figure.cfg");
  EXPECT_TRUE(ui->requestsOf(UiRequest::Open).empty());

  // Typed names come in the Poser files' code page: the group keeps its
  // bytes, the file gets a UTF-8 name, and a file name is never markup.
  Create(again,
         "P\xEA"
         "che");
  SaveAs(again, "Mod\xE8le", "Template saved succesfully");
  EXPECT_NE(ReadFileBytes(program.file("Templates/Mod\xC3\xA8le.cfg"))
                .find("\r\nP\xEA"
                      "che\r\n{\r\n}\r\n"),
            std::string::npos);
  EXPECT_EQ(again.StatusBar1->text(), QString::fromUtf8("Current template: Mod\xC3\xA8le.cfg"));
  ui->AnswerOpen(program.write("Templates/<i>odd.cfg", "Skin\r\n{\r\n}\r\n"));
  again.mnuOpen->trigger();
  EXPECT_EQ(again.StatusBar1->text(), "Current template: <i>odd.cfg");
  EXPECT_EQ(again.StatusBar1->textFormat(), Qt::PlainText);
}

}  // namespace
}  // namespace vandrel
