#include "tools/qt/frm_file_info.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/text.h"
#include "model/model.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "platform/ui_services.h"
#include "tools/qt/report_pictures.h"

namespace vandrel {

namespace {

QString Number(int n) { return QString::number(n); }

// A caption label and its value label on one row of a grid.
QLabel* Row(QGridLayout* grid, int row, const char* caption, const char* name) {
  auto* value = controls::newLabel(grid->parentWidget(), name, "");
  value->setTextFormat(Qt::PlainText);  // a file name such as "<b>.cr2" is no markup
  value->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(new QLabel(caption, grid->parentWidget()), row, 0);
  grid->addWidget(value, row, 1);
  return value;
}

// A combo box as wide as its layout gives, not as its longest name.
void KeepNarrow(QComboBox* list) {
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list->setMinimumContentsLength(16);
}

}  // namespace

FrmFileInfo::FrmFileInfo(QWidget* parent, const FileFactsSource& files, DisplayLocale locale,
                         ReportPictures* pictures)
    : QDialog(parent), files_(files), locale_(std::move(locale)), pictures_(pictures) {
  if (pictures_ == nullptr) {
    ownPictures_ = std::make_unique<QtReportPictures>();
    pictures_ = ownPictures_.get();
  }
  setObjectName("frmFileInfo");
  setWindowTitle("File Information");
  setModal(true);
  Build();
  Form_Load();
}

FrmFileInfo::~FrmFileInfo() = default;

void FrmFileInfo::Build() {
  auto* layout = new QVBoxLayout(this);
  TabStrip1 = new QTabWidget(this);
  TabStrip1->setObjectName("TabStrip1");
  layout->addWidget(TabStrip1);

  auto* general = new QWidget;
  general->setObjectName("picOption(0)");
  auto* g = new QGridLayout(general);
  lblFileName = Row(g, 0, "File Name:", "lblFileName");
  // A long name makes the window taller, never wider than the screen.
  lblFileName->setWordWrap(true);
  lblFileName->setMaximumWidth(640);
  lblFileType = Row(g, 1, "File Type:", "lblFileType");
  lblSize = Row(g, 2, "File Size:", "lblSize");
  lblFigures = Row(g, 3, "Objects:", "lblFigures");
  lblMaterials = Row(g, 4, "Materials:", "lblMaterials");
  lblSdMats = Row(g, 5, "Sub-divided materials:", "lblSdMats");
  lblActors = Row(g, 6, "Actors (body parts):", "lblActors");
  lblChannels = Row(g, 7, "Actor and prop channels:", "lblChannels");
  lblPose = Row(g, 8, "Pose channels:", "lblPose");
  lblMorph = Row(g, 9, "Morph channels:", "lblMorph");
  lblNull = Row(g, 10, "Null channels:", "lblNull");
  lblTexture = Row(g, 11, "Texture maps:", "lblTexture");
  lblBump = Row(g, 12, "Bump maps:", "lblBump");
  lblReflection = Row(g, 13, "Reflection maps:", "lblReflection");
  lblTransparency = Row(g, 14, "Transparency maps:", "lblTransparency");
  g->setColumnStretch(1, 1);
  TabStrip1->addTab(general, "General");
  TabStrip1->setTabToolTip(0, "Information about the file");

  auto* figures = new QWidget;
  figures->setObjectName("picOption(1)");
  auto* f = new QVBoxLayout(figures);
  auto* fraFigures = new QGroupBox("Figure information", figures);
  fraFigures->setObjectName("fraFigures");
  auto* fg = new QGridLayout(fraFigures);
  fg->addWidget(new QLabel("Figure:", fraFigures), 0, 0);
  cmbFigures = new QComboBox(fraFigures);
  cmbFigures->setObjectName("cmbFigures");
  KeepNarrow(cmbFigures);
  fg->addWidget(cmbFigures, 0, 1);
  lblMaterialsF = Row(fg, 1, "Materials:", "lblMaterialsF");
  fg->setColumnStretch(1, 1);
  f->addWidget(fraFigures);
  auto* fraActors = new QGroupBox("Actor and prop information", figures);
  fraActors->setObjectName("fraActors");
  auto* ag = new QGridLayout(fraActors);
  ag->addWidget(new QLabel("Actor:", fraActors), 0, 0);
  cmbActors = new QComboBox(fraActors);
  cmbActors->setObjectName("cmbActors");
  KeepNarrow(cmbActors);
  ag->addWidget(cmbActors, 0, 1);
  lblMaterialsA = Row(ag, 1, "Materials:", "lblMaterialsA");
  lblChannelsA = Row(ag, 2, "Channels:", "lblChannelsA");
  lblPoseA = Row(ag, 3, "Pose channels:", "lblPoseA");
  lblMorphA = Row(ag, 4, "Morph channels:", "lblMorphA");
  lblNullA = Row(ag, 5, "Null channels:", "lblNullA");
  ag->setColumnStretch(1, 1);
  f->addWidget(fraActors);
  f->addStretch(1);
  TabStrip1->addTab(figures, "Figures and actors");
  TabStrip1->setTabToolTip(1, "Information about each figure and actor");

  auto* notes = new QWidget;
  notes->setObjectName("picOption(2)");
  auto* n = new QVBoxLayout(notes);
  n->addWidget(new QLabel("Here you can write notes concerning this file", notes));
  txtNotes = new QPlainTextEdit(notes);
  txtNotes->setObjectName("txtNotes");
  n->addWidget(txtNotes);
  TabStrip1->addTab(notes, "Notes");

  auto* buttons = new QHBoxLayout;
  cmdCreateHTML = controls::newButton(this, "cmdCreateHTML", "Save info as HTML");
  cmdOK = controls::newButton(this, "cmdOK", "OK");
  cmdOK->setDefault(true);
  buttons->addWidget(cmdCreateHTML);
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  layout->addLayout(buttons);

  controls::bindClick(cmbFigures, [this] { cmbFigures_Click(); });
  controls::bindClick(cmbActors, [this] { cmbActors_Click(); });
  controls::bindButton(cmdOK, [this] { cmdOK_Click(); });
  controls::bindButton(cmdCreateHTML, [this] { cmdCreateHTML_Click(); });
}

void FrmFileInfo::Form_Load() {
  const FileInfoRec& info = gFileInfo;
  labels_ = FileInfoLabelsOf(info, files_, locale_);
  const std::vector<std::pair<QLabel*, const std::string*>> values{{lblFileName, &labels_.FileName},
                                                                   {lblFileType, &labels_.FileType},
                                                                   {lblSize, &labels_.Size},
                                                                   {lblFigures, &labels_.Figures},
                                                                   {lblMaterials, &labels_.Materials},
                                                                   {lblSdMats, &labels_.SdMats},
                                                                   {lblActors, &labels_.Actors},
                                                                   {lblChannels, &labels_.Channels},
                                                                   {lblPose, &labels_.Pose},
                                                                   {lblMorph, &labels_.Morph},
                                                                   {lblNull, &labels_.Null},
                                                                   {lblTexture, &labels_.Texture},
                                                                   {lblBump, &labels_.Bump},
                                                                   {lblReflection, &labels_.Reflection},
                                                                   {lblTransparency, &labels_.Transparency}};
  for (const auto& [label, text] : values)
    label->setText(label == lblFileName ? FromUtf8(*text) : FromPoserText(*text));
  lblFileName->setToolTip(lblFileName->text());  // the whole of a name too long for its place

  if (info.Actors.empty() || info.Actors[0].Name.empty()) {
    for (QLabel* l : {lblMaterialsA, lblChannelsA, lblPoseA, lblMorphA, lblNullA}) l->setText("N/A");
    cmbActors->setEnabled(false);
  } else {
    for (const ActorInfoRec& a : info.Actors) controls::addItem(cmbActors, FromPoserText(a.Name));
    controls::setListIndex(cmbActors, 0);
  }
  for (const NameIndexRec& fig : info.Figures) controls::addItem(cmbFigures, FromPoserText(fig.Name));
  if (info.Figures.empty()) controls::addItem(cmbFigures, "");
  controls::setListIndex(cmbFigures, 0);
  txtNotes->setPlainText(FromPoserText(Replace(gState.FileNotes, "\r\n", "\n")));
}

void FrmFileInfo::cmbFigures_Click() {
  const int i = cmbFigures->currentIndex();
  const auto& figures = gFileInfo.Figures;
  lblMaterialsF->setText(i >= 0 && i < static_cast<int>(figures.size())
                             ? Number(figures[static_cast<std::size_t>(i)].Index)
                             : "0");
}

void FrmFileInfo::cmbActors_Click() {
  const int i = cmbActors->currentIndex();
  if (i < 0 || i >= static_cast<int>(gFileInfo.Actors.size())) return;
  const ActorInfoRec& a = gFileInfo.Actors[static_cast<std::size_t>(i)];
  lblMaterialsA->setText(Number(a.Materials));
  lblChannelsA->setText(Number(a.Channels));
  lblPoseA->setText(Number(a.PoseChannels));
  lblMorphA->setText(Number(a.MorphChannels));
  lblNullA->setText(Number(a.NullChannels));
}

void FrmFileInfo::cmdOK_Click() {
  // The notes are saved with the pose: a change is a change of the document.
  const std::string notes = Trim(Replace(ToPoserText(txtNotes->toPlainText()), "\n", "\r\n"));
  if (notes != gState.FileNotes) {
    gState.FileNotes = notes;
    gState.Dirty = true;
  }
  accept();
}

void FrmFileInfo::cmdCreateHTML_Click() {
  FileDialogRequest request;
  request.title = "Save HTML file";
  request.defaultExt = "htm";
  request.filter = "HTML|*.htm|All files|*.*";
  request.initDir = gSettings.Poser == "none" ? "" : gSettings.Poser;
  request.flags = kOfnSaveDefault;
  const FileDialogResult chosen = Ui().ShowSave(request);
  if (chosen.cancelled) return;
  ReportRequest report;
  report.reportPath = chosen.path;
  report.fileName = gFileInfo.FileName;
  report.readVersion = gState.ReadVersion;
  report.labels = labels_;
  const std::string error = WriteFileReport(report, files_, locale_, *pictures_);
  if (!error.empty()) Ui().MessageBox(error, "Error", MsgButtons::OK, MsgIcon::Exclamation);
}

}  // namespace vandrel
