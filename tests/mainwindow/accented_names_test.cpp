// Accented names as a user meets them: a map in a folder "Café" below a
// Poser folder "Pöser" (UTF-8 on disk) picked with "...", typed and dropped,
// a name only UTF-8 can hold, the folder question of Fix, the pose saved as
// "Über Pose €.pz2" and opened again, its notes and its HTML report.
#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <filesystem>

#include "common/encoding.h"
#include "mainwindow/materials_pane.h"
#include "mainwindow/window_fixture.h"
#include "platform/files.h"
#include "tools/qt/frm_file_info.h"

namespace vandrel {
namespace {

// "Café:Pêche.jpg" as Poser writes it, and as the screen shows it.
const std::string kPeach =
    ":Runtime:Textures:Caf\xE9:P\xEA"
    "che.jpg";
const QString kPeachShown = QString::fromUtf8(
    ":Runtime:Textures:Caf\xC3\xA9:P\xC3\xAA"
    "che.jpg");
// "Вишня.jpg" has no Windows-1252 form: the whole path stays UTF-8.
const std::string kCherry = ":Runtime:Textures:Caf\xC3\xA9:\xD0\x92\xD0\xB8\xD1\x88\xD0\xBD\xD1\x8F.jpg";

class AccentedNames : public test::WindowTest {
 public:
  void SetUp() override {
    WindowTest::SetUp();
    gSettings.Poser = program.mkdir("P\xC3\xB6ser");
    gSettings.MainThumb = false;
    cafe = program.mkdir("P\xC3\xB6ser/Runtime/Textures/Caf\xC3\xA9");
    peach = cafe +
            "/P\xC3\xAA"
            "che.jpg";
    cherry = cafe + "/\xD0\x92\xD0\xB8\xD1\x88\xD0\xBD\xD1\x8F.jpg";
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkYellow);
    for (const std::string& file : {peach, cherry})
      ASSERT_TRUE(picture.save(QString::fromUtf8(file.c_str()), "JPEG"));
    Open(std::string(VANDREL_TEST_DATA) + "/maps/three_skins.pz2");
  }
  void Open(const std::string& file) {
    ui->AnswerOpen(file);
    Trigger("mnuOpenPZ2");
    ASSERT_FALSE(gState.ReadError);
  }
  MaterialsPane& Pane() { return *window->materials; }
  void Select(int row) {
    Pane().lstMaterials->clearSelection();
    Pane().lstMaterials->item(row)->setSelected(true);
  }
  void Press(int index) { Control<QPushButton>(QString("cmd(%1)").arg(index).toUtf8().constData())->click(); }
  QLineEdit* Box(int index) { return Pane().TXT[static_cast<std::size_t>(index)]; }
  void Drop(QLineEdit* box, const std::string& file) { test::DropFile(box, file); }
  bool Red(QLineEdit* box) { return box->palette().color(QPalette::Text) == QColor(255, 0, 0); }
  static std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }

  std::string cafe, peach, cherry;
};

TEST_F(AccentedNames, PickedTypedAndDroppedMapsAreOneTextAndTheSavedPoseReadsBackAlike) {
  // "..." for Skin, the path typed and applied for Lips, dropped for Nails.
  Select(0);
  ui->AnswerOpen(peach);
  Press(10);
  Select(1);
  Box(8)->setText(QString::fromUtf8(peach.c_str()));
  Press(18);
  Select(2);
  Drop(Box(8), peach);
  for (const MaterialRec& m : gObjects[0].Materials) EXPECT_EQ(m.TextureMap, kPeach) << m.Name;
  EXPECT_EQ(Box(8)->text(), kPeachShown);
  EXPECT_FALSE(Red(Box(8)));
  // A name without a Windows-1252 form keeps UTF-8, and is found as well.
  Drop(Box(9), cherry);
  EXPECT_EQ(gObjects[0].Materials[2].BumpMap, kCherry);
  EXPECT_FALSE(Red(Box(9)));

  // A map outside the Poser folder, written by Poser: Fix asks for its folder by its name.
  Box(10)->setText(
      QString::fromUtf8("/elsewhere/P\xC3\xAA"
                        "che.jpg"));
  Press(20);
  EXPECT_EQ(gObjects[0].Materials[2].ReflectionMap,
            "/elsewhere/P\xEA"
            "che.jpg");
  EXPECT_TRUE(Red(Box(10)));
  ui->AnswerFolder(cafe);
  Press(27);
  ASSERT_EQ(ui->requestsOf(UiRequest::Folder).size(), 1u);
  EXPECT_EQ(ui->requestsOf(UiRequest::Folder)[0].title,
            "Look for P\xC3\xAA"
            "che.jpg in:");
  EXPECT_EQ(gObjects[0].Materials[2].ReflectionMap, kPeach);

  // Saved under an accented name: the caption shows it, the pose holds one text.
  const std::string saved = program.file(
      "\xC3\x9C"
      "ber Pose \xE2\x82\xAC.pz2");
  ui->AnswerSave(saved);
  ASSERT_TRUE(window->mnuSaveAs_Click());
  const QString caption = QString::fromUtf8(
      "Vandrel - [\xC3\x9C"
      "ber Pose \xE2\x82\xAC.pz2]");
  EXPECT_EQ(window->windowTitle(), caption);
  const std::string bytes = ReadWholeFile(saved).value_or("");
  EXPECT_EQ(Count(bytes, "textureMap \"" + kPeach + "\"\r\n"), 3u);
  EXPECT_EQ(Count(bytes, "reflectionMap \"" + kPeach + "\"\r\n"), 1u);
  EXPECT_EQ(Count(bytes, "bumpMap \"" + kCherry + "\"\r\n"), 1u);

  // Opened again: the same caption, the names shown as typed, none red.
  window = std::make_unique<FrmMain>();
  Open(saved);
  EXPECT_EQ(window->windowTitle(), caption);
  Select(2);
  EXPECT_EQ(Box(8)->text(), kPeachShown);
  EXPECT_EQ(Box(9)->text(), QString::fromUtf8(kCherry.c_str()));
  for (int box : {8, 9, 10}) EXPECT_FALSE(Red(Box(box))) << box;

  // Notes typed in the file information window are Poser text; its report is UTF-8.
  const QString notes = QString::fromUtf8(
      "Gr\xC3\xB6\xC3\x9F"
      "e 5 \xE2\x82\xAC");
  window->SetOtherWindow(OtherWindow::FileInfo, [&] {
    FrmFileInfo info(window.get());
    info.txtNotes->setPlainText(notes);
    info.cmdOK->click();
  });
  Trigger("mnuFileInfo");
  Trigger("mnuSave");
  EXPECT_NE(ReadWholeFile(saved).value_or("").find("# Gr\xF6\xDF"
                                                   "e 5 \x80\r\n"),
            std::string::npos);
  window = std::make_unique<FrmMain>();
  Open(saved);
  window->SetOtherWindow(OtherWindow::FileInfo, [&] {
    FrmFileInfo info(window.get());
    EXPECT_EQ(info.txtNotes->toPlainText(), notes);
    EXPECT_EQ(info.lblFileName->text(), QString::fromUtf8("\xC3\x9C"
                                                          "ber Pose \xE2\x82\xAC.pz2"));
    ui->AnswerSave(program.file("Bericht.htm"));
    info.cmdCreateHTML->click();
  });
  Trigger("mnuFileInfo");
  const std::string page = ReadWholeFile(program.file("Bericht.htm")).value_or("");
  EXPECT_TRUE(IsMultiByteUtf8(page));
  EXPECT_NE(page.find("charset=utf-8"), std::string::npos);
  EXPECT_NE(page.find("<title>\xC3\x9C"
                      "ber Pose \xE2\x82\xAC.pz2</title>"),
            std::string::npos);
  EXPECT_NE(page.find(kPeachShown.toStdString() + "<br>"), std::string::npos);
  EXPECT_NE(page.find(PoserTextToUtf8(kCherry) + "<br>"), std::string::npos);
}

}  // namespace
}  // namespace vandrel
