// The Morph and Pose channels pane: building its controls, binding their
// handlers, the states the window's reset, a read and "Don't save morphs or
// poses" give them, and the thigh-length handlers.
#include "mainwindow/channels_pane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/numbers.h"
#include "common/text.h"
#include "mainwindow/frm_main.h"
#include "model/channel_edits.h"
#include "model/model.h"
#include "platform/qt/controls.h"
#include "platform/qt/qt_ui.h"
#include "tools/document_session.h"

namespace vandrel {

namespace {

using controls::newButton;
using controls::newLabel;

// A list view whose keyboard moves of the current item (arrows, Home, End,
// Page Up and Down) run the item handler as a click does, and whose Ctrl+A
// is its Select All button.
class ListView : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;
  std::function<void(int item)> onItem;
  std::function<void()> onSelectAll;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::SelectAll)) {
      if (onSelectAll) onSelectAll();
      event->accept();
      return;
    }
    const QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* after = currentItem();
    if (after && after != before && onItem) onItem(indexOfTopLevelItem(after) + 1);
  }
};

ListView* NewListView(QWidget* parent, const QString& name, const QString& tip) {
  auto* view = new ListView(parent);
  view->setObjectName(name);
  view->setToolTip(tip);
  view->setColumnCount(2);
  view->setHeaderLabels({"Name", "Type"});
  view->setRootIsDecorated(false);
  view->setUniformRowHeights(true);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setSortingEnabled(false);
  // Whole names: the Name column takes its longest name, Type the rest.
  view->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  view->header()->setStretchLastSection(true);
  QObject::connect(view, &QTreeWidget::itemClicked, view, [view](QTreeWidgetItem* item) {
    if (view->onItem) view->onItem(view->indexOfTopLevelItem(item) + 1);
  });
  return view;
}

QComboBox* FalseTrue(QWidget* parent, const QString& name, const QString& tip = {}) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->addItems({"False", "True"});
  box->setCurrentIndex(-1);
  if (!tip.isEmpty()) box->setToolTip(tip);
  return box;
}

constexpr const char* kSwitchTip = "If checked this property's value will be saved with the pose";

// Labels of the channel-type boxes 0..22.
constexpr const char* kChannelLabels[23] = {
    "Rotate",       "Translate",     "Scale",        "Morph",       "Null",      "Translate",
    "Offset",       "Twist",         "Joint",        "Taper",       "Focal",     "Hither",
    "CamAutoScale", "CamAutoCenter", "CamAutoFocal", "LiteFalloff", "LiteAtten", "DepthMapStrength",
    "DepthMapSize", "KdIntensity",   "KdRed",        "KdGreen",     "KdBlue"};

}  // namespace

ChannelsPane::ChannelsPane(FrmMain& owner) : owner_(owner) {
  QWidget* pane = this;
  auto* top = new QGridLayout(pane);

  // Actors and channels.
  fraActors = new QGroupBox("Actors", pane);
  fraActors->setObjectName("fraActors");
  lstActors = NewListView(fraActors, "lstActors", "Select actor(s)");
  cmdSelectAllActors = newButton(fraActors, "cmdSelectAllActors", "Select All", "Select all actors");
  cmdDeleteActors = newButton(fraActors, "cmdDeleteActors", "Delete", "Delete selected Actor(s)");
  {
    auto* l = new QGridLayout(fraActors);
    l->addWidget(lstActors, 0, 0, 1, 2);
    l->addWidget(cmdSelectAllActors, 1, 0);
    l->addWidget(cmdDeleteActors, 1, 1);
  }
  fraChannels = new QGroupBox("Channels", pane);
  fraChannels->setObjectName("fraChannels");
  lstDials = NewListView(fraChannels, "lstDials", "Select dial(s)");
  cmdSelectAllDials = newButton(fraChannels, "cmdSelectAllDials", "Select All", "Select all Dials");
  cmdDeleteDials = newButton(fraChannels, "cmdDeleteDials", "Delete", "Delete selected Dial(s)");
  {
    auto* l = new QGridLayout(fraChannels);
    l->addWidget(lstDials, 0, 0, 1, 2);
    l->addWidget(cmdSelectAllDials, 1, 0);
    l->addWidget(cmdDeleteDials, 1, 1);
  }
  top->addWidget(fraActors, 0, 0);
  top->addWidget(fraChannels, 0, 1);

  // Actor's properties: caption, value control, switch, "Enabled", Apply.
  fraActorProperties = new QGroupBox("Actor's properties", pane);
  fraActorProperties->setObjectName("fraActorProperties");
  {
    auto* l = new QGridLayout(fraActorProperties);
    const char* rows[7] = {"Ext. name", "On/Off", "Hidden", "Locked", "DoShadow", "DepthMapSize", "LightOn"};
    txtActorProperties[0] = new QLineEdit(fraActorProperties);
    txtActorProperties[0]->setObjectName("txtActorProperties(0)");
    txtActorProperties[0]->setToolTip("This is the actor's name that's visible in Poser");
    txtActorProperties[1] = new QLineEdit(fraActorProperties);
    txtActorProperties[1]->setObjectName("txtActorProperties(1)");
    cmbActorProperties[0] = new QComboBox(fraActorProperties);
    cmbActorProperties[0]->setObjectName("cmbActorProperties(0)");
    cmbActorProperties[0]->addItems({"Off (invisible)", "On (visible)"});
    cmbActorProperties[0]->setCurrentIndex(-1);
    cmbActorProperties[0]->setToolTip("Toggle visibility of the actor");
    cmbActorProperties[1] =
        FalseTrue(fraActorProperties, "cmbActorProperties(1)", "Toggle visibility of actor's dial controls");
    for (int i = 2; i < 5; ++i)
      cmbActorProperties[i] = FalseTrue(fraActorProperties, QString("cmbActorProperties(%1)").arg(i));
    QWidget* value[7] = {txtActorProperties[0], cmbActorProperties[0], cmbActorProperties[1],
                         cmbActorProperties[2], cmbActorProperties[3], txtActorProperties[1],
                         cmbActorProperties[4]};
    for (int i = 0; i < 7; ++i) {
      lblActorProperty[i] = newLabel(fraActorProperties, QString("lblActorProperty(%1)").arg(i), rows[i]);
      chkEnable[i] = new QCheckBox(fraActorProperties);
      chkEnable[i]->setObjectName(QString("chkEnable(%1)").arg(i));
      chkEnable[i]->setToolTip(kSwitchTip);
      lblDisable[i] = newLabel(fraActorProperties, QString("lblDisable(%1)").arg(i), "Enabled");
      controls::clickThroughCaption(lblDisable[i], chkEnable[i]);
      cmdApplyProperty[i] = newButton(fraActorProperties, QString("cmdApplyProperty(%1)").arg(i), "Apply");
      l->addWidget(lblActorProperty[i], i, 0);
      l->addWidget(value[i], i, 1);
      l->addWidget(chkEnable[i], i, 2);
      l->addWidget(lblDisable[i], i, 3);
      l->addWidget(cmdApplyProperty[i], i, 4);
    }
  }
  top->addWidget(fraActorProperties, 1, 0);

  // Channel's properties.
  fraDialValue = new QGroupBox("Channel's properties", pane);
  fraDialValue->setObjectName("fraDialValue");
  {
    auto* l = new QGridLayout(fraDialValue);
    const char* rows[3] = {"Dial value", "Ext. name", "Hidden"};
    txtDialProperties[0] = new QLineEdit(fraDialValue);
    txtDialProperties[0]->setObjectName("txtDialProperties(0)");
    txtDialProperties[0]->setToolTip("Type a value between -10000 and 10000");
    txtDialProperties[1] = new QLineEdit(fraDialValue);
    txtDialProperties[1]->setObjectName("txtDialProperties(1)");
    txtDialProperties[1]->setToolTip("This is the dial's name that's visible in Poser");
    cmbDialProperties =
        FalseTrue(fraDialValue, "cmbDialProperties", "Toggle visibility of channel's dial controls");
    QWidget* value[3] = {txtDialProperties[0], txtDialProperties[1], cmbDialProperties};
    for (int i = 0; i < 3; ++i) {
      lblDialProperty[i] = newLabel(fraDialValue, QString("lblDialProperty(%1)").arg(i), rows[i]);
      chkEnableDial[i] = new QCheckBox(fraDialValue);
      chkEnableDial[i]->setObjectName(QString("chkEnableDial(%1)").arg(i));
      chkEnableDial[i]->setToolTip(kSwitchTip);
      lblEnableDial[i] = newLabel(fraDialValue, QString("lblEnableDial(%1)").arg(i), "Enabled");
      controls::clickThroughCaption(lblEnableDial[i], chkEnableDial[i]);
      cmdApplyDial[i] = newButton(fraDialValue, QString("cmdApplyDial(%1)").arg(i), "Apply",
                                  "Apply value for selected Dial(s)");
      l->addWidget(lblDialProperty[i], i, 0);
      l->addWidget(value[i], i, 1);
      l->addWidget(chkEnableDial[i], i, 2);
      l->addWidget(lblEnableDial[i], i, 3);
      l->addWidget(cmdApplyDial[i], i, 4);
    }
    // The boxes take the frame's width (wide enough for a channel's name);
    // the rows stay together at its top.
    for (QLineEdit* box : txtDialProperties) box->setMinimumWidth(110);
    l->setColumnStretch(1, 1);
    l->setRowStretch(3, 1);
  }
  top->addWidget(fraDialValue, 1, 1);

  // Thigh length.
  fraThighLength = new QGroupBox("Figure's ThighLength", pane);
  fraThighLength->setObjectName("fraThighLength");
  {
    auto* l = new QHBoxLayout(fraThighLength);
    txtThighLength = new QLineEdit(fraThighLength);
    txtThighLength->setObjectName("txtThighLength");
    chkDisableThighLength = new QCheckBox(fraThighLength);
    chkDisableThighLength->setObjectName("chkDisableThighLength");
    chkDisableThighLength->setToolTip("Disable ThighLength property. Usually you can disable it.");
    lblDisableThighLength = newLabel(fraThighLength, "lblDisableThighLength", "Disable ThighLength");
    controls::clickThroughCaption(lblDisableThighLength, chkDisableThighLength);
    l->addWidget(txtThighLength);
    l->addWidget(chkDisableThighLength);
    l->addWidget(lblDisableThighLength);
    l->addStretch(1);
  }
  top->addWidget(fraThighLength, 2, 1);

  // Channel deletion: three groups of boxes, each with its "Check all".
  fraDeleteChannels = new QGroupBox("Delete channels from selected actors", pane);
  fraDeleteChannels->setObjectName("fraDeleteChannels");
  {
    auto* l = new QGridLayout(fraDeleteChannels);
    const char* groups[3] = {"Common channels:", "Camera channels:", "Light channels:"};
    const char* groupTips[3] = {"Check/uncheck all common channels", "Check/uncheck all camera channels",
                                "Check/uncheck all light channels"};
    // First and last box of each group, and where its second column starts.
    const int first[3] = {0, 10, 15}, last[3] = {9, 14, 22}, secondColumn[3] = {5, 13, 19};
    int column = 0;
    for (int g = 0; g < 3; ++g) {
      lblChannels[23 + g] = newLabel(fraDeleteChannels, QString("lblChannels(%1)").arg(23 + g), groups[g]);
      l->addWidget(lblChannels[23 + g], 0, column, 1, 4);
      for (int b = first[g]; b <= last[g]; ++b) {
        const bool second = b >= secondColumn[g];
        const int row = 1 + (second ? b - secondColumn[g] : b - first[g]);
        const int col = column + (second ? 2 : 0);
        chkDelChannels[b] = new QCheckBox(fraDeleteChannels);
        chkDelChannels[b]->setObjectName(QString("chkDelChannels(%1)").arg(b));
        lblChannels[b] = newLabel(fraDeleteChannels, QString("lblChannels(%1)").arg(b), kChannelLabels[b]);
        controls::clickThroughCaption(lblChannels[b], chkDelChannels[b]);
        l->addWidget(chkDelChannels[b], row, col);
        l->addWidget(lblChannels[b], row, col + 1);
      }
      cmdCheckAll[g] =
          newButton(fraDeleteChannels, QString("cmdCheckAll(%1)").arg(g), "Check all", groupTips[g]);
      l->addWidget(cmdCheckAll[g], 7, column, 1, 4);
      column += 4;
    }
    cmdDelChannels = newButton(fraDeleteChannels, "cmdDelChannels", "Delete",
                               "Delete checked channels from selected actors");
    l->addWidget(cmdDelChannels, 8, 0, 1, 2);
  }
  top->addWidget(fraDeleteChannels, 2, 0, 2, 1);
  top->setRowStretch(3, 1);
  // Room beyond the deletion frame's width goes to the channel side too.
  top->setColumnStretch(0, 1);
  top->setColumnStretch(1, 1);

  // Never in view.
  cmdCreateDial = newButton(pane, "cmdCreateDial", "Create new Morph channel...");
  cmdCreateDial->setHidden(true);
  cmdZerAll = newButton(pane, "cmdZerAll", "Zero everything", "Set every dial value of every actor to 0.");
  cmdZerAll->setHidden(true);

  BindHandlers();
}

void ChannelsPane::BindHandlers() {
  auto* actors = static_cast<ListView*>(lstActors);
  actors->onItem = [this](int item) { lstActors_ItemClick(item); };
  actors->onSelectAll = [this] { cmdSelectAllActors_Click(); };
  auto* dials = static_cast<ListView*>(lstDials);
  dials->onItem = [this](int item) { lstDials_ItemClick(item); };
  dials->onSelectAll = [this] { cmdSelectAllDials_Click(); };
  controls::bindButton(cmdSelectAllActors, [this] { cmdSelectAllActors_Click(); });
  controls::bindButton(cmdSelectAllDials, [this] { cmdSelectAllDials_Click(); });
  controls::bindButton(cmdDeleteActors, [this] { cmdDeleteActors_Click(); });
  controls::bindButton(cmdDeleteDials, [this] { cmdDeleteDials_Click(); });
  for (int i = 0; i < 7; ++i) {
    controls::bindCheckBox(chkEnable[i], [this, i] { chkEnable_Click(i); });
    controls::bindButton(cmdApplyProperty[i], [this, i] { cmdApplyProperty_Click(i); });
  }
  for (int i = 0; i < 3; ++i) {
    controls::bindCheckBox(chkEnableDial[i], [this, i] { chkEnableDial_Click(i); });
    controls::bindButton(cmdApplyDial[i], [this, i] { cmdApplyDial_Click(i); });
    controls::bindButton(cmdCheckAll[i], [this, i] { cmdCheckAll_Click(i); });
  }
  for (int i = 0; i < kChannelFamilyCount; ++i)
    controls::bindCheckBox(chkDelChannels[i], [this, i] { chkDelChannels_Click(i); });
  controls::bindButton(cmdDelChannels, [this] { cmdDelChannels_Click(); });
  controls::bindButton(cmdCreateDial, [this] { cmdCreateDial_Click(); });
  controls::bindButton(cmdZerAll, [this] { cmdZerAll_Click(); });
  controls::bindCheckBox(chkDisableThighLength, [this] { chkDisableThighLength_Click(); });
  controls::bindText(txtThighLength, [this] { txtThighLength_Change(); });
}

void ChannelsPane::EnablePropertyControls(bool enabled) {
  for (QComboBox* c : cmbActorProperties) c->setEnabled(enabled);
  for (QPushButton* c : cmdApplyProperty) c->setEnabled(enabled);
  for (QCheckBox* c : chkEnable) c->setEnabled(enabled);
  for (QPushButton* c : cmdApplyDial) c->setEnabled(enabled);
  for (QCheckBox* c : chkEnableDial) c->setEnabled(enabled);
  for (QCheckBox* c : chkDelChannels) c->setEnabled(enabled);
  cmdDelChannels->setEnabled(enabled);
  for (QPushButton* c : cmdCheckAll) c->setEnabled(enabled);
  for (QLineEdit* c : txtActorProperties) c->setEnabled(enabled);
  for (QLineEdit* c : txtDialProperties) c->setEnabled(enabled);
  cmbDialProperties->setEnabled(enabled);
}

bool ChannelsPane::AnyDelChannelChecked() const {
  for (const QCheckBox* box : chkDelChannels)
    if (box->isChecked()) return true;
  return false;
}

void ChannelsPane::ClearActorAndDialLists() {
  controls::clear(lstActors);
  controls::clear(lstDials);
  gCurrentActor = gCurrentDial = 0;
}

void ChannelsPane::ResetPane() {
  EnablePropertyControls(false);
  ClearActorAndDialLists();
  lstActors->setEnabled(false);
  lstDials->setEnabled(false);
  for (QWidget* w : std::initializer_list<QWidget*>{cmdApplyDial[0], cmdDeleteActors, cmdDelChannels,
                                                    cmdDeleteDials, cmdSelectAllActors, cmdSelectAllDials,
                                                    chkDisableThighLength, cmdZerAll, cmdCreateDial})
    w->setEnabled(false);
  txtDialProperties[0]->setEnabled(false);
  // The property boxes keep nothing of the actors and channels read before.
  for (QLineEdit* box :
       {txtActorProperties[0], txtActorProperties[1], txtDialProperties[0], txtDialProperties[1]})
    controls::setText(box, "");
  for (QComboBox* list : cmbActorProperties) controls::setListIndex(list, -1);
  controls::setListIndex(cmbDialProperties, -1);
  {
    controls::EventsOff off;
    for (QCheckBox* box : chkEnable) controls::setChecked(box, false);
    for (QCheckBox* box : chkEnableDial) controls::setChecked(box, false);
  }
  controls::setText(txtThighLength, "");
  txtThighLength->setEnabled(false);
}

void ChannelsPane::EnableChannelControls(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{lstActors, lstDials, cmdSelectAllActors,
                                                    cmdSelectAllDials, txtDialProperties[0], cmdApplyDial[0],
                                                    chkDisableThighLength, cmdZerAll, cmdCreateDial})
    w->setEnabled(on);
  EnablePropertyControls(on);
  txtThighLength->setEnabled(on && !chkDisableThighLength->isChecked());
  if (!on) {
    cmdDeleteDials->setEnabled(false);
    cmdDeleteActors->setEnabled(false);
    if (AnyDelChannelChecked()) cmdDelChannels->setEnabled(true);
  }
}

// ---- After a read ---------------------------------------------------------------------

void ChannelsPane::ShowThighLengthRead(const ChannelReadResult& result) {
  {
    controls::EventsOff off;
    controls::setChecked(chkDisableThighLength, result.DisableThighLength);
  }
  txtThighLength->setEnabled(!result.DisableThighLength);
  if (!result.DisableThighLength) {
    // The file's own thigh length is kept as read (1.25 stays 1.25): the
    // box's 0-to-1 rule is for what the user types.
    showingRead_ = true;
    controls::setText(txtThighLength, FromPoserText(OneLineText(result.ThighLengthText)));
    showingRead_ = false;
  }
}

bool ChannelsPane::ListActors() {
  std::vector<std::pair<QString, QString>> items;
  items.reserve(gActorList.size());
  for (const ActorListItem& actor : gActorList)
    items.emplace_back(FromPoserText(actor.Text()), FromPoserText(actor.Kind()));
  controls::setItems(lstActors, items);
  controls::clear(lstDials);
  gCurrentActor = gCurrentDial = 0;
  return lstActors->topLevelItemCount() > 0;
}

void ChannelsPane::EnableAfterRead() {
  lstActors->setEnabled(true);
  lstDials->setEnabled(true);
  controls::setSelected(lstActors, 0, true);
  controls::setSelected(lstActors, 0, false);
  cmdDelChannels->setEnabled(true);
  for (QWidget* w :
       std::initializer_list<QWidget*>{txtDialProperties[0], chkDisableThighLength, cmdZerAll, cmdCreateDial,
                                       cmdApplyDial[0], cmdSelectAllActors, cmdSelectAllDials})
    w->setEnabled(true);
  EnablePropertyControls(true);
}

// ---- Handlers ---------------------------------------------------------------------------

void ChannelsPane::chkDisableThighLength_Click() {
  gState.Dirty = true;
  txtThighLength->setEnabled(!chkDisableThighLength->isChecked());
}

void ChannelsPane::txtThighLength_Change() {
  if (showingRead_) return;
  std::string text = ToPoserText(txtThighLength->text());
  if (text.find(',') != std::string::npos) {
    controls::setText(txtThighLength, FromPoserText(Replace(text, ",", ".")));
    text = ToPoserText(txtThighLength->text());
  }
  if (StartsWith(text, ".")) {
    controls::setText(txtThighLength, FromPoserText("0" + text));
    text = ToPoserText(txtThighLength->text());
  }
  const double value = LeadingNumber(text);
  if (text.empty() || text[0] < '0' || text[0] > '9' || value < 0 || value > 1)
    controls::setText(txtThighLength, "0");
  gState.Dirty = true;
}

}  // namespace vandrel
