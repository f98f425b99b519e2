// Selection templates in the main window, driven as the user meets them:
// a load chooses the default template, a group selects its materials, Edit
// opens the editor and gives the document its name back, Delete removes it.
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "mainwindow/materials_pane.h"
#include "mainwindow/window_fixture.h"
#include "platform/files.h"
#include "tools/qt/frm_templates.h"

namespace vandrel::test {
namespace {

class Templates : public WindowTest {
 public:
  void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
  }
  std::vector<int> Selected() {
    std::vector<int> rows;
    for (int r = 0; r < pane()->lstMaterials->count(); ++r)
      if (pane()->lstMaterials->item(r)->isSelected()) rows.push_back(r);
    return rows;
  }
  MaterialsPane* pane() { return window->materials; }
  const std::string doll = VANDREL_TEST_DATA "/tools/doll.pz2";
};

TEST_F(Templates, ChooseEditAndDeleteTemplatesAroundALoadedFile) {
  const std::string skin = program.write(
      "Templates/Skin.cfg",
      "All skin\r\n{\r\nFace\r\nBody\r\nArm}\r\nface\r\nBod\r\n}\r\nLips only\r\n{\r\nLips\r\n}\r\n");
  const std::string other = program.write("Templates/other \xC3\xA9.CFG", "");  // a UTF-8 file name
  program.write("Templates/notes.txt", "");
  gSettings.DefaultTemplate = "SKIN";
  ui->AnswerOpen(doll);
  Trigger("mnuOpenPZ2");
  ASSERT_EQ(pane()->lstMaterials->count(), 5);
  EXPECT_TRUE(Menu("mnuFileInfo")->isEnabled());
  EXPECT_EQ(gFileInfo.TextureMaps, 3);

  ASSERT_EQ(pane()->Combo1->count(), 2);
  EXPECT_EQ(pane()->Combo1->itemText(1), "Skin");
  EXPECT_EQ(pane()->Combo1->currentIndex(), 1);
  ASSERT_EQ(pane()->Combo2->count(), 2);
  EXPECT_EQ(pane()->Combo2->currentIndex(), -1);
  EXPECT_TRUE(On(pane()->cmdEditTemplate));

  Choose(pane()->Combo2, 0);
  EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 3}));  // exact names only
  Choose(pane()->Combo2, 1);
  EXPECT_EQ(Selected(), std::vector<int>{2});

  // Edit opens the editor on the template; the document keeps its name.
  int opened = 0;
  window->SetOtherWindow(OtherWindow::Templates, [&] {
    ++opened;
    EXPECT_EQ(gState.FileName, skin);
    FrmTemplates editor(window.get(), [&] { pane()->FillTemplateList(); });
    editor.show();
    EXPECT_EQ(editor.cmbGroups->count(), 2);
    EXPECT_FALSE(gState.FileGiven);
    editor.mnuExit->trigger();
  });
  pane()->cmdEditTemplate->click();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(gState.FileName, doll);
  EXPECT_FALSE(gState.FileGiven);
  EXPECT_EQ(pane()->Combo1->currentIndex(), -1);
  EXPECT_FALSE(On(pane()->Combo2));

  // A template deleted behind the list's back: the message, nothing selected anew.
  Choose(pane()->Combo1, 1);
  std::filesystem::remove(skin);
  ui->clear();
  Choose(pane()->Combo2, 0);
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 1u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(Selected(), std::vector<int>{2});
  ui->clear();

  // Delete asks first; No keeps the file, Yes deletes it and empties the lists.
  Choose(pane()->Combo1, 0);
  ui->AnswerMessage(MsgResult::No);
  pane()->cmdDelTemplate->click();
  const UiRequest ask = ui->requestsOf(UiRequest::Message).at(0);
  EXPECT_EQ(ask.text, "Are you sure you want to delete template\r\nother \xC3\xA9?");  // the file's name
  EXPECT_EQ(ask.title, "Delete template?");
  EXPECT_TRUE(FileExists(other));
  ui->AnswerMessage(MsgResult::Yes);
  pane()->cmdDelTemplate->click();
  EXPECT_FALSE(FileExists(other));
  EXPECT_EQ(pane()->Combo1->count(), 0);  // the folder read again: both are gone
  EXPECT_EQ(pane()->Combo2->count(), 0);
  EXPECT_FALSE(On(pane()->cmdDelTemplate));

  // Deleting a template that went away meanwhile tells so.
  const std::string third = program.write("Templates/third.cfg", "");
  pane()->FillTemplateList();
  Choose(pane()->Combo1, 0);
  std::filesystem::remove(third);
  ui->clear();
  ui->AnswerMessage(MsgResult::Yes);
  pane()->cmdDelTemplate->click();
  ASSERT_EQ(ui->requestsOf(UiRequest::Message).size(), 2u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Message)[1].icon, MsgIcon::Exclamation);
  EXPECT_EQ(pane()->Combo1->count(), 0);
}

}  // namespace
}  // namespace vandrel::test
