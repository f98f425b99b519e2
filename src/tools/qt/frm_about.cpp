#include "tools/qt/frm_about.h"

#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/program_icon.h"

namespace vandrel {

namespace {

constexpr const char* kTitle = "Vandrel";

QFrame* Line(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setObjectName("Line1");
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text = {}) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

QString VersionLine() { return QStringLiteral("Version ") + QStringLiteral(VANDREL_VERSION); }

FrmAbout::FrmAbout(QWidget* owner) : QDialog(owner) {
  setObjectName("frmAbout");
  setModal(true);
  picIcon = NamedLabel(this, "picIcon");
  lblTitle = NamedLabel(this, "lblTitle");
  QFont big = lblTitle->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  lblTitle->setFont(big);
  lblVersion = NamedLabel(this, "lblVersion");
  lblDescription =
      NamedLabel(this, "lblDescription",
                 "Edits the materials, morphs and poses of Poser files and writes material poses.");
  lblDescription->setWordWrap(true);
  Label1 = NamedLabel(this, "Label1", "Beta-testers:");
  Label2 = NamedLabel(this, "Label2");
  Label3 = NamedLabel(this, "Label3");
  Label4 = NamedLabel(this, "Label4", "Third party components:");
  Label5 = NamedLabel(this, "Label5");
  cmdOK = new QPushButton("OK", this);
  cmdOK->setObjectName("cmdOK");
  cmdOK->setDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

  auto* head = new QGridLayout;
  head->addWidget(picIcon, 0, 0, 2, 1, Qt::AlignTop);
  head->addWidget(lblTitle, 0, 1);
  head->addWidget(lblVersion, 1, 1);
  head->setColumnStretch(1, 1);
  auto* thanks = new QHBoxLayout;
  thanks->addWidget(Label2, 1, Qt::AlignTop);
  thanks->addWidget(Label3, 1, Qt::AlignTop);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(head);
  layout->addWidget(lblDescription);
  layout->addWidget(Line(this));
  layout->addWidget(Label1);
  layout->addLayout(thanks);
  layout->addWidget(Line(this));
  layout->addWidget(Label4);
  layout->addWidget(Label5);
  layout->addLayout(buttons);
  setMinimumWidth(420);
  Form_Load();
}

void FrmAbout::Form_Load() {
  setWindowTitle(QStringLiteral("About ") + kTitle);
  picIcon->setPixmap(QPixmap::fromImage(DrawProgramIcon(48)));
  lblTitle->setText(kTitle);
  lblVersion->setText(VersionLine());
  // No one has tested a version before its release yet: the list of thanks
  // stays out of view until it has names.
  Label2->clear();
  Label3->clear();
  for (QLabel* label : {Label1, Label2, Label3}) label->setVisible(false);
  // So does the separator under it (the second one), or two would stand together.
  const QList<QFrame*> lines = findChildren<QFrame*>("Line1", Qt::FindDirectChildrenOnly);
  if (lines.size() == 2) lines[1]->setVisible(false);
  // The libraries the program is built with and ships on.
  Label5->setText(QStringLiteral("Qt %1 (The Qt Project): windows, picture decoding and JPEG writing\n"
                                 "stb_image (Sean Barrett): TGA and PSD pictures that Qt cannot read")
                      .arg(QString::fromLatin1(qVersion())));
}

void FrmAbout::cmdOK_Click() { accept(); }

void ShowAbout(QWidget* owner) {
  FrmAbout about(owner);
  about.exec();
}

}  // namespace vandrel
