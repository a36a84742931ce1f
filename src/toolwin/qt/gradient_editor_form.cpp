#include "toolwin/qt/gradient_editor_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

#include "toolwin/qt/editor_texts.h"
#include "ui/qt/res_text.h"
#include "brush/gradient_mngr.h"
#include "io/gradient_file.h"
#include "platform/debug_output.h"
#include "toolwin/preset_lists.h"
#include "toolwin/gradient_editor_rules.h"
#include "toolwin/preset_editor_rules.h"
#include "toolwin/qt/count_dialog.h"
#include "toolwin/qt/editor_num_row.h"
#include "toolwin/qt/item_list_view.h"
#include "ui/qt/colour_pickers.h"
#include "ui/qt/gradient_edit.h"
#include "ui/qt/preset_previews.h"
#include "ui/qt/trackbar.h"

namespace pg {

namespace {

void initModel(TNumMngr& m, float lo, float hi, float value) {
  m.setValueMax(hi);
  m.setValueMin(lo);
  m.setValueDefault(value);
  m.setValue(value);
}

QLabel* colourSwatch(QWidget* parent, uint32_t pixel) {
  auto* box = new QLabel(parent);
  box->setFixedSize(14, 14);
  box->setFrameStyle(QFrame::Box | QFrame::Plain);
  box->setStyleSheet(QStringLiteral("background-color: #%1;").arg(pixel & 0xFFFFFFu, 6, 16, QLatin1Char('0')));
  return box;
}

// A drop-down button with a menu of stop commands.
QToolButton* dropButton(QWidget* parent, QMenu* menu) {
  auto* b = new QToolButton(parent);
  b->setArrowType(Qt::DownArrow);
  b->setPopupMode(QToolButton::InstantPopup);
  b->setMenu(menu);
  return b;
}

// One side of a stop: the three colour choices, the colour cell beside the
// first and the tool window's colours beside the others, and the opacity row.
QButtonGroup* addColourSide(QWidget* box, QGridLayout* grid, int row0, const std::array<QString, 3>& kinds,
                            const QString& cellName, const QString& opacityCaption, TNumMngr& opacity,
                            const SGradEditorColours& colours, QRadioButton* (&radios)[3], TPickerColorCell*& cell,
                            std::unique_ptr<TEditorNumRow>& opacityRow) {
  auto* group = new QButtonGroup(box);
  for (int k = 0; k < 3; ++k) {
    radios[k] = new QRadioButton(kinds[size_t(k)], box);
    group->addButton(radios[k], k);
    grid->addWidget(radios[k], row0 + k, 0);
  }
  cell = new TPickerColorCell(box);
  cell->setObjectName(cellName);
  cell->setFixedSize(40, 20);
  grid->addWidget(cell, row0, 1);
  grid->addWidget(colourSwatch(box, colours.fore), row0 + 1, 1, Qt::AlignLeft);
  grid->addWidget(colourSwatch(box, colours.back), row0 + 2, 1, Qt::AlignLeft);
  auto* rows = new QGridLayout;
  opacityRow = std::make_unique<TEditorNumRow>(box, rows, 0, opacityCaption, opacity, QStringLiteral("%1.0f"),
                                               QStringLiteral("%"));
  grid->addLayout(rows, row0 + 3, 0, 1, 4);
  return group;
}

}  // namespace

TFormGradEditor::TFormGradEditor(CGradMngr& set, const SPresetEditorContext& context, const SGradEditorColours& colours)
    : TFormPresetEditor(context.parent), set_(set), context_(context) {
  setObjectName(QStringLiteral("FormGradEditor"));
  setWindowTitle(resText(kResGradEditorCaption));
  initModel(NumRepeat, 1.0f, 500.0f, 1.0f);
  initModel(NumPosition, 0.0f, 100.0f, 0.0f);
  initModel(NumLOpaque, 0.0f, 100.0f, 100.0f);
  initModel(NumROpaque, 0.0f, 100.0f, 100.0f);

  auto* area = new QVBoxLayout(editArea());
  area->setContentsMargins(0, 0, 0, 0);

  // General settings.
  auto* general = new QGroupBox(resText(kResPenGeneral), editArea());
  auto* g = new QGridLayout(general);
  auto* nameLabel = new QLabel(resText(kResPenName), general);
  EdtName = new QLineEdit(general);
  EdtName->setObjectName(QStringLiteral("EdtName"));
  EdtName->setMaxLength(100);
  nameLabel->setBuddy(EdtName);
  g->addWidget(nameLabel, 0, 0);
  g->addWidget(EdtName, 0, 1, 1, 4);
  auto* typeLabel = new QLabel(resText(kResGradShape), general);
  CmbType = new QComboBox(general);
  CmbType->addItems({resText(kResGradLinear), resText(kResGradRadial), resText(kResGradCircular)});
  typeLabel->setBuddy(CmbType);
  g->addWidget(typeLabel, 1, 0);
  g->addWidget(CmbType, 1, 1);
  ChkAround = new QCheckBox(resText(kResGradRoundTrip), general);
  g->addWidget(ChkAround, 1, 2);
  auto* repeatGrid = new QGridLayout;
  repeat_ = std::make_unique<TEditorNumRow>(general, repeatGrid, 0, resText(kResGradRepeat), NumRepeat,
                                            QStringLiteral("%1.4g"), resText(kResGradTimes));
  repeat_->slider()->hide();
  g->addLayout(repeatGrid, 2, 0, 1, 2);
  ChkInfinity = new QCheckBox(resText(kResGradEndless), general);
  ChkUnique = new QCheckBox(resText(kResGradOwn), general);
  g->addWidget(ChkInfinity, 2, 2);
  g->addWidget(ChkUnique, 2, 3);
  area->addWidget(general);

  // The stop editor and its commands.
  edit_ = new TGradientEdit(editArea());
  edit_->setObjectName(QStringLiteral("BoxGradEdit"));
  edit_->setFixedHeight(36);
  edit_->stops().ColorA = rgbaToColorRec(colours.fore);
  edit_->stops().ColorB = rgbaToColorRec(colours.back);
  area->addWidget(edit_);
  auto* commands = new QHBoxLayout;
  BtnFlip = new QPushButton(resText(kResGradFlip), editArea());
  BtnSplit = new QPushButton(resText(kResGradSplitRight), editArea());
  auto* popSplit = new QMenu(BtnSplit);
  popSplit->setObjectName(QStringLiteral("PopSplit"));
  QList<QAction*> splitActions;
  for (int n = 2; n <= 10; ++n) {
    QAction* a = popSplit->addAction(n < 10 ? QStringLiteral("&%1").arg(n) : QStringLiteral("1&0"),
                                     this, [this, n] { split(n); });
    a->setData(n);
    splitActions.push_back(a);
  }
  popSplit->addSeparator();
  QAction* custom = popSplit->addAction(resText(kResGradSplitCustom), this, [this] { splitCustom(); });
  custom->setData(2);
  splitActions.push_back(custom);
  connect(popSplit, &QMenu::aboutToShow, this, [this, splitActions] {
    const int32_t i = gradStopControls(edit_->stops()).index;
    for (QAction* a : splitActions) a->setEnabled(edit_->stops().canDivide(i, a->data().toInt()));
  });
  BtnSplit->setMenu(popSplit);
  commands->addWidget(BtnFlip);
  commands->addStretch(1);
  commands->addWidget(BtnSplit);
  area->addLayout(commands);

  // The stop (left half of a joined stop).
  auto* stopBox = new QGroupBox(resText(kResGradStop), editArea());
  auto* s = new QGridLayout(stopBox);
  auto* posGrid = new QGridLayout;
  position_ = std::make_unique<TEditorNumRow>(stopBox, posGrid, 0, resText(kResGradPosition), NumPosition,
                                              QStringLiteral("%1.4g"), QStringLiteral("%"));
  position_->slider()->hide();
  BtnCenter = new QPushButton(resText(kResGradCentre), stopBox);
  posGrid->addWidget(BtnCenter, 0, 3);
  s->addLayout(posGrid, 0, 0, 1, 4);
  auto* kindsL = addColourSide(stopBox, s, 1, {resText(kResGradLFixed), resText(kResGradLFore),
                                              resText(kResGradLBack)},
                               QStringLiteral("BoxLColor"), resText(kResGradLOpacity), NumLOpaque, colours, RadL, CellL,
                               lOpaque_);
  BtnUnionL = new QPushButton(resText(kResGradUnionL), stopBox);
  BtnUnionR = new QPushButton(resText(kResGradUnionR), stopBox);
  auto* popPosition = new QMenu(stopBox);
  popPosition->setObjectName(QStringLiteral("PopPosition"));
  auto* popColor = new QMenu(this);
  popColor->setObjectName(QStringLiteral("PopColor"));
  // Each menu: copy from the left, from the right, a line, exchange with the
  // left, with the right; a caption id of 0 is the line.
  struct Item {
    QMenu* menu;
    uint32_t captionId;
    GradStopCopy command;
  };
  constexpr uint32_t kCopyL = 69380, kCopyR = 69381, kExchangeL = 69382, kExchangeR = 69383;
  const Item items[] = {
      {popPosition, kCopyL, GradStopCopy::CopyL1},         {popPosition, kCopyR, GradStopCopy::CopyR1},
      {popPosition, 0, GradStopCopy::CopyL1},              {popPosition, kExchangeL, GradStopCopy::ExchangeL1},
      {popPosition, kExchangeR, GradStopCopy::ExchangeR1}, {popColor, kCopyL, GradStopCopy::CopyL2},
      {popColor, kCopyR, GradStopCopy::CopyR2},            {popColor, 0, GradStopCopy::CopyL2},
      {popColor, kExchangeL, GradStopCopy::ExchangeL2},    {popColor, kExchangeR, GradStopCopy::ExchangeR2},
  };
  for (const Item& it : items) {
    if (it.captionId == 0) {
      it.menu->addSeparator();
      continue;
    }
    const GradStopCopy command = it.command;
    QAction* a = it.menu->addAction(resText(it.captionId), this, [this, command] { copyColour(command); });
    a->setData(int(command));
  }
  for (QMenu* menu : {popPosition, popColor})
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
      for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        int32_t dst = 0, src = 0;
        a->setEnabled(gradStopCopyPair(edit_->stops(), GradStopCopy(a->data().toInt()), dst, src));
      }
    });
  auto* unionRow = new QHBoxLayout;
  unionRow->addWidget(BtnUnionL);
  unionRow->addWidget(BtnUnionR);
  unionRow->addStretch(1);
  unionRow->addWidget(dropButton(stopBox, popPosition));
  s->addLayout(unionRow, 6, 0, 1, 4);
  area->addWidget(stopBox);

  // The right half of a joined stop.
  auto* rightBox = new QGroupBox(resText(kResGradJoined), editArea());
  GrpRColor = rightBox;
  auto* r = new QGridLayout(rightBox);
  auto* kindsR = addColourSide(rightBox, r, 0, {resText(kResGradRFixed), resText(kResGradRFore),
                                               resText(kResGradRBack)},
                                QStringLiteral("BoxRColor"), resText(kResGradROpacity), NumROpaque, colours, RadR, CellR,
                                rOpaque_);
  BtnDisunion = new QPushButton(resText(kResGradDisunion), rightBox);
  auto* disRow = new QHBoxLayout;
  disRow->addWidget(BtnDisunion);
  disRow->addStretch(1);
  disRow->addWidget(dropButton(rightBox, popColor));
  r->addLayout(disRow, 5, 0, 1, 4);
  area->addWidget(rightBox);
  area->addStretch(1);

  // The list and the preview.
  list_ = editorGradientList(set_);
  list_->setDisplayStyle(kListSmallRows);
  list_->OnChange = [this] { onGradientSelect(); };
  view_ = new TItemListView(*list_);
  setListView(view_);
  preview_ = new TGradientPreview(this);
  setPreview(preview_);

  // Wiring: every control goes through valueChange.
  edit_->OnChange = [this] { valueChange(Sender::Stops); };
  position_->OnUserChange = [this] { valueChange(Sender::Position); };
  lOpaque_->OnUserChange = [this] { valueChange(Sender::LeftOpacity); };
  rOpaque_->OnUserChange = [this] { valueChange(Sender::RightOpacity); };
  repeat_->OnUserChange = [this] { valueChange(Sender::Repeat); };
  CellL->OnChange = [this] { valueChange(Sender::LeftCell); };
  CellR->OnChange = [this] { valueChange(Sender::RightCell); };
  connect(kindsL, &QButtonGroup::idClicked, this, [this](int k) { valueChange(Sender::LeftKind, k); });
  connect(kindsR, &QButtonGroup::idClicked, this, [this](int k) { valueChange(Sender::RightKind, k); });
  connect(EdtName, &QLineEdit::textEdited, this, [this] { valueChange(Sender::Stops); });
  connect(CmbType, &QComboBox::activated, this, [this] { valueChange(Sender::Repeat); });
  connect(ChkAround, &QCheckBox::clicked, this, [this] { valueChange(Sender::Repeat); });
  connect(ChkInfinity, &QCheckBox::clicked, this, [this] { valueChange(Sender::Repeat); });
  connect(ChkUnique, &QCheckBox::clicked, this, [this] { valueChange(Sender::Unique); });
  connect(BtnFlip, &QPushButton::clicked, this, [this] { flip(); });
  connect(BtnCenter, &QPushButton::clicked, this, [this] { centre(); });
  connect(BtnUnionL, &QPushButton::clicked, this, [this] { unionLeft(); });
  connect(BtnUnionR, &QPushButton::clicked, this, [this] { unionRight(); });
  connect(BtnDisunion, &QPushButton::clicked, this, [this] { disunion(); });

  list_->selectItem(list_->getActiveIndex(), true);
  updatePathLabel();
}

TFormGradEditor::~TFormGradEditor() {
  updating_ = true;
  edit_->OnChange = nullptr;
  CellL->OnChange = nullptr;
  CellR->OnChange = nullptr;
  preview_->setGradient(nullptr, SGradRepeat{});
  setListView(nullptr);
}

SGradRepeat TFormGradEditor::repeatOfControls() const {
  return gradRepeatOf(ChkUnique->isChecked(), CmbType->currentIndex(), ChkAround->isChecked(), ChkInfinity->isChecked(),
                      NumRepeat.value());
}

void TFormGradEditor::loadRepeat(const SGradRepeat& r) {
  ChkUnique->setChecked(r.OwnSettings != 0);
  CmbType->setCurrentIndex(std::min<int>(r.Shape, 2));
  ChkAround->setChecked(r.Mirror != 0);
  ChkInfinity->setChecked(r.Wrap != 0);
  NumRepeat.setValue(float(r.Count));
}

void TFormGradEditor::onGradientSelect() {
  CGradObj* grad = list_->editedGradient();
  BtnFlip->setEnabled(grad != nullptr);
  EdtName->setEnabled(grad != nullptr);
  if (grad == nullptr) {
    preview_->setGradient(nullptr, SGradRepeat{});
    return;
  }
  preview_->setGradient(grad, grad->Repeat);
  updating_ = true;
  TEditorNumRow::setLoading(true);
  std::unique_ptr<CColorSlotGroup> compact = grad->Stops.compact();
  if (compact) {
    EdtName->setText(QString::fromStdString(compact->name()));
    edit_->setColorSlotGroup(*compact);
  }
  loadRepeat(grad->Repeat);
  refreshStops();
  TEditorNumRow::setLoading(false);
  updating_ = false;
  setApplyEnabled(false);
  updatePathLabel();
}

void TFormGradEditor::refreshStops() {
  TEditorNumRow::setLoading(true);
  const SGradStopControls c = gradStopControls(edit_->stops());
  position_->setEnabled(c.movable);
  BtnCenter->setEnabled(c.movable);
  for (QRadioButton* b : RadL) b->setEnabled(c.valid);
  lOpaque_->setEnabled(c.valid);
  BtnUnionL->setEnabled(c.unionLeft);
  BtnUnionR->setEnabled(c.unionRight);
  (void)NumPosition.setRange(c.position, c.positionMin, c.positionMax);  // the stop's limits come in order
  NumLOpaque.setValue(c.opacity * 100.0f);
  lOpaque_->syncSlider();
  if (c.valid) RadL[std::min<int>(c.kind, 2)]->setChecked(true);
  CellL->setEnabled(c.valid && c.kind == 0);
  if (c.valid) CellL->setColorRec(c.color);
  GrpRColor->setEnabled(c.joined);
  if (c.joined) {
    NumROpaque.setValue(c.rightOpacity * 100.0f);
    rOpaque_->syncSlider();
    RadR[std::min<int>(c.rightKind, 2)]->setChecked(true);
    CellR->setColorRec(c.rightColor);
  }
  CellR->setEnabled(c.joined && c.rightKind == 0);
  TEditorNumRow::setLoading(false);
}

void TFormGradEditor::valueChange(Sender sender, int kind) {
  if (updating_) return;
  CGradObj* grad = list_->editedGradient();
  if (grad == nullptr) return;
  updating_ = true;
  TGradientStops& stops = edit_->stops();
  const int32_t i = gradStopControls(stops).index;
  bool enableApply = true;
  switch (sender) {
    case Sender::Stops: break;
    case Sender::Position: stops.moveStop(i, NumPosition.value() / 100.0f); break;
    case Sender::LeftCell: stops.setColor(CellL->getColorRec(), i); break;
    case Sender::LeftKind:
      stops.setKind(uint8_t(kind), i);
      if (kind == 0) stops.setColor(CellL->getColorRec(), i);
      break;
    case Sender::LeftOpacity: stops.setOpacity(i, NumLOpaque.value() / 100.0f); break;
    case Sender::RightCell: stops.setColor(CellR->getColorRec(), i + 1); break;
    case Sender::RightKind:
      stops.setKind(uint8_t(kind), i + 1);
      if (kind == 0) stops.setColor(CellR->getColorRec(), i + 1);
      break;
    case Sender::RightOpacity: stops.setOpacity(i + 1, NumROpaque.value() / 100.0f); break;
    case Sender::Repeat:
    case Sender::Unique: {
      const SGradRepeat r = repeatOfControls();
      grad->setRepeat(r);
      // The shared setting reaches every gradient without own settings at once.
      if (r.OwnSettings == 0) set_.setRange(r);
      enableApply = sender == Sender::Unique || r.OwnSettings != 0;
      break;
    }
  }
  refreshStops();
  if (enableApply) setApplyEnabled(true);
  if (stops.writeColorSlotGroup(grad->Stops)) grad->Stops.setName(EdtName->text().toStdString());
  edit_->update();
  preview_->setGradient(grad, grad->Repeat);
  if (sender == Sender::Repeat || sender == Sender::Unique) view_->update();
  updating_ = false;
}

void TFormGradEditor::stopsChanged() { edit_->changed(); }

void TFormGradEditor::split(int parts) {
  TGradientStops& stops = edit_->stops();
  const int32_t i = gradStopControls(stops).index;
  if (!stops.canDivide(i, parts)) return;
  stops.divide(i, parts);
  stopsChanged();
}

void TFormGradEditor::splitCustom() {
  const TGradientStops& stops = edit_->stops();
  if (!stops.canDivide(gradStopControls(stops).index, 2)) return;
  int n = 2;
  const SCountRequest request{resText(kResSplitCaption), resText(kResSplitCount), resText(kResSplitUnit), 2,
                              gradCustomSplitMax(stops), 2};
  if (askCount(this, request, n)) split(n);
}

void TFormGradEditor::unionLeft() {
  TGradientStops& stops = edit_->stops();
  const int32_t i = gradStopControls(stops).index;
  if (!stops.canUnionLeft(i)) return;
  stops.unionLeft(i);
  stopsChanged();
}

void TFormGradEditor::unionRight() {
  TGradientStops& stops = edit_->stops();
  const int32_t i = gradStopControls(stops).index;
  if (!stops.canUnion(i)) return;
  stops.unionRight(i);
  stopsChanged();
}

void TFormGradEditor::disunion() {
  TGradientStops& stops = edit_->stops();
  const int32_t i = stops.selectIndex();
  if (stops.splitState(i) == 0 || stops.splitState(i) == 255) return;
  stops.separate(i);
  stops.setSelectIndex(std::min(i + 1, stops.count() - 1));
  stopsChanged();
}

void TFormGradEditor::centre() {
  TGradientStops& stops = edit_->stops();
  stops.centreStop(gradStopControls(stops).index);
  stopsChanged();
}

void TFormGradEditor::flip() {
  if (edit_->stops().count() < 2) return;
  edit_->stops().reverse();
  stopsChanged();
}

void TFormGradEditor::copyColour(GradStopCopy command) {
  if (gradStopCopy(edit_->stops(), command)) stopsChanged();
}

void TFormGradEditor::beforeShow() {
  if (context_.listStyle != nullptr) applyStoredListStyle(*list_, *context_.listStyle);
}

void TFormGradEditor::afterShow() {
  if (context_.listStyle != nullptr) *context_.listStyle = list_->displayStyle();
}

CItemList* TFormGradEditor::activeList() { return list_.get(); }

void TFormGradEditor::updatePathLabel() { showPath(getSetPath(), setModified()); }

QString TFormGradEditor::getSetPath() const { return QString::fromStdString(set_.fileName()); }

bool TFormGradEditor::setModified() const { return set_.modified(); }

void TFormGradEditor::applyEdits() {
  if (!list_->storeEdited()) debugOutput("gradient editor: the edited gradient could not be stored");
  view_->update();
  updatePathLabel();
}

void TFormGradEditor::setLoad(bool revert, bool append) {
  if (revert)
    // A failed load shows its code; the list redraws either way.
    (void)gradMngrLoadFromFile(set_, set_.fileName(), false);
  else
    // A cancel changes nothing; a failed load shows its code.
    (void)gradMngrOpenDialog(set_, append, context_.fileDialog);
  if (!append)
    list_->selectItem(0, true);
  else
    list_->redraw();
}

// A cancel changes nothing; a failed save shows the path.
void TFormGradEditor::setSave() { (void)gradMngrSaveAsDialog(set_, context_.fileDialog); }

bool editGradient(CGradMngr& set, int32_t index, const SPresetEditorContext& context, const SGradEditorColours& colours) {
  if (!set.validIndex(index)) return false;
  set.select(index);
  TFormGradEditor editor(set, context, colours);
  (void)editor.showModalEditor();  // closing never stores; applied() says whether Apply did
  return editor.applied();
}

bool newGradient(CGradMngr& set, const SPresetEditorContext& context, const SGradEditorColours& colours) {
  std::unique_ptr<CGradientList> list = editorGradientList(set);
  if (!list->copyItem(list->getCount(), list->getActiveIndex(), false)) return false;
  (void)editGradient(set, set.currentIndex(), context, colours);  // the copy stays, edited or not
  return true;
}

}  // namespace pg
