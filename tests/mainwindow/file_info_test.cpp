// The file information window on a loaded file whose maps partly exist:
// its labels, the notes saved with the next Save, and the HTML report
// compared with the page written by hand, every picture it names decoding.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <regex>

#include "mainwindow/window_fixture.h"
#include "platform/files.h"
#include "tools/qt/frm_file_info.h"

namespace vandrel::test {
namespace {

// The files on disk, with fixed sizes and dates.
class FixedDates : public FileFactsSource {
 public:
  std::string document;
  std::optional<FileFacts> Facts(const std::string& path) const override {
    if (!DiskFileFacts().Facts(path)) return std::nullopt;
    if (path == document) return FileFacts{1234, {2024, 3, 5, 14, 7, 9}};
    return FileFacts{1234567, {2024, 1, 2, 0, 0, 0}};
  }
};

void Picture(const std::string& path, int w, int h, const char* format) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  ASSERT_TRUE(image.save(QString::fromStdString(path), format));
}

class FileInfo : public WindowTest {};

TEST_F(FileInfo, WindowNotesAndReportOfALoadedFile) {
  const std::string textures = program.file("Poser/Runtime/Textures/Doll");
  Picture(textures + "/skin.jpg", 64, 32, "JPEG");
  Picture(textures + "/lips.png", 16, 48, "PNG");
  program.write("Poser/Runtime/Textures/Doll/skin_bump.jpg", "not a picture");
  gSettings.Poser = program.file("Poser");
  gSettings.MainThumb = false;  // the report decodes the maps itself
  const std::string doll = program.write("docs/Doll.pz2", ReadFileBytes(VANDREL_TEST_DATA "/tools/doll.pz2"));
  Picture(program.file("docs/Doll.png"), 40, 40, "PNG");

  ui->AnswerOpen(doll);
  Trigger("mnuOpenPZ2");
  ASSERT_EQ(gFileInfo.FileName, doll);
  FixedDates dates;
  dates.document = doll;
  const DisplayLocale comma{",", "%d.%m.%Y", "%H:%M:%S"};

  int shown = 0;
  window->SetOtherWindow(OtherWindow::FileInfo, [&] {
    ++shown;
    FrmFileInfo info(window.get(), dates, comma);
    EXPECT_EQ(info.windowTitle(), "File Information");
    const std::pair<QLabel*, const char*> shown[] = {{info.lblFileName, "Doll.pz2"},
                                                     {info.lblFileType, "Pose (PZ2)"},
                                                     {info.lblSize, "1,2 KB"},
                                                     {info.lblFigures, "1"},
                                                     {info.lblMaterials, "5"},
                                                     {info.lblSdMats, "N/A"},
                                                     {info.lblActors, "N/A"},
                                                     {info.lblChannels, "N/A"},
                                                     {info.lblPose, "N/A"},
                                                     {info.lblTexture, "3"},
                                                     {info.lblBump, "1"},
                                                     {info.lblReflection, "0"},
                                                     {info.lblTransparency, "1"},
                                                     {info.lblMaterialsF, "5"},
                                                     {info.lblNullA, "N/A"}};
    for (const auto& [label, text] : shown) EXPECT_EQ(label->text().toStdString(), text) << text;
    EXPECT_FALSE(info.cmbActors->isEnabledTo(&info));

    ui->AnswerSave(program.file("out/Doll report.htm"));
    std::filesystem::create_directories(program.file("out"));
    info.cmdCreateHTML->click();
    EXPECT_TRUE(ui->requestsOf(UiRequest::Message).empty());
    const FileDialogRequest save = ui->requestsOf(UiRequest::Save).at(0).dialog;
    EXPECT_EQ(save.title, "Save HTML file");
    EXPECT_EQ(save.filter, "HTML|*.htm|All files|*.*");
    EXPECT_EQ(save.flags, 2054);

    info.txtNotes->setPlainText("  First note\nsecond one  ");
    info.cmdOK->click();
  });
  Trigger("mnuFileInfo");
  ASSERT_EQ(shown, 1);

  const std::string page = ReadFileBytes(program.file("out/Doll report.htm"));
  EXPECT_EQ(page, ReadFileBytes(VANDREL_TEST_DATA "/tools/doll_report.htm"));
  const std::regex img("<img src=\"([^\"]+)\">");
  int pictures = 0;
  for (auto it = std::sregex_iterator(page.begin(), page.end(), img); it != std::sregex_iterator(); ++it) {
    const QImage picture(QString::fromStdString(program.file("out/" + (*it)[1].str())));
    EXPECT_FALSE(picture.isNull()) << (*it)[1];
    ++pictures;
  }
  EXPECT_EQ(pictures, 5);

  // The notes are the document's: changed, and written by the next Save.
  EXPECT_EQ(gState.FileNotes, "First note\r\nsecond one");
  EXPECT_TRUE(gState.Dirty);
  Trigger("mnuSave");
  const std::string saved = ReadFileBytes(doll);
  EXPECT_NE(saved.find("{\r\n# First note\r\n# second one\r\n"), std::string::npos) << saved.substr(0, 80);

  // Long names and names that look like markup: shown as they are, in a
  // window that still fits a 1366 x 768 screen.
  const std::string name = "<b>Doll<i> " + std::string(200, 'x') + " and a long tail of words.cr2";
  gFileInfo.FileName = "/docs/" + name;
  gFileInfo.Figures = {{std::string(200, 'F'), 3, 0}};
  FrmFileInfo info(window.get(), dates, comma);
  EXPECT_EQ(info.lblFileName->text().toStdString(), name);
  for (QLabel* label : info.findChildren<QLabel*>()) {
    if (label->objectName().startsWith("lbl")) {
      EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    }
  }
  EXPECT_LT(info.sizeHint().width(), 1366);
  EXPECT_LT(info.sizeHint().height(), 768);
}

}  // namespace
}  // namespace vandrel::test
