#include "toolwin/qt/tool_options_panel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <string>

#include "brush/gradient_mngr.h"
#include "brush/paint_param.h"
#include "brush/pen_shape_obj.h"
#include "brush/shape_values.h"
#include "canvas/draw_window.h"
#include "document/paper.h"
#include "ui/appearance_manager.h"
#include "canvas/tool_numbering.h"
#include "platform/string_table.h"
#include "ui/glyph_types.h"
#include "ui/qt/air_map_controls.h"
#include "ui/qt/item_pickers.h"
#include "ui/qt/nib_editor_widget.h"
#include "ui/qt/panel_controls.h"
#include "ui/qt/glyph_label.h"
#include "ui/qt/preset_previews.h"
#include "toolwin/nib_radius_mapping.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/preset_popup_form.h"
#include "toolwin/preset_lists.h"
#include "toolwin/tool_window_model.h"

namespace pg {

namespace {

constexpr int kSliderSteps = 1000;
// The compact lists: a strip of cells, and the current gradient alone.
constexpr int kCompactListHeight = 40;
constexpr int kGradientDropWidth = 64;

int sliderOfSize(float size) {
  double v = (size - 0.1) / (200.0 - 0.1);
  return static_cast<int>(std::lround(nibRadiusInFilter(v) * kSliderSteps));
}

float sizeOfSlider(int position) {
  double v = nibRadiusOutFilter(static_cast<double>(position) / kSliderSteps);
  return static_cast<float>(0.1 + (200.0 - 0.1) * v);
}

QString res(uint32_t id) { return QString::fromStdString(resString(id)); }

// A "short|long" hint: the short part is the tooltip, the long one the
// status tip.
void setHint(QWidget* w, uint32_t id) {
  const QString hint = res(id);
  w->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
  w->setStatusTip(hint.section(QLatin1Char('|'), 1));
}

// The parameter controls besides the size: one row each, in panel order.
// A label id of 0 takes the brush kind's caption of the effect.
struct SFieldRow {
  EParamField field;
  uint32_t label;
  bool check;
  double low, high;
  int decimals;
  const char* suffix;
};

// The fields with a value label, its glyph and the value a double click
// gives back.
struct SLabelOfField {
  EParamField field;
  uint8_t glyph;
  float defaultValue;
};
constexpr SLabelOfField kLabelsOfFields[] = {
    {kFieldOpacity, tgDensity, 100.0f},  {kFieldSpacing, tgBrushSpace, 100.0f}, {kFieldEffect1, tgFlat, 50.0f},
    {kFieldEffect2, tgAdd, 50.0f},       {kFieldEffect3, tgExtend, 50.0f},      {kFieldNibScale, tgNibRadius, 100.0f},
};
const SLabelOfField* labelOfField(EParamField field) {
  for (const SLabelOfField& l : kLabelsOfFields)
    if (l.field == field) return &l;
  return nullptr;
}

constexpr SFieldRow kFieldRows[] = {
    {kFieldOpacity, 67404, false, 1, 100, 0, " %"},
    {kFieldSpacing, 67405, false, 1, 200, 0, " %"},
    {kFieldEffect1, 0, false, 0, 100, 0, ""},
    {kFieldEffect2, 0, false, 0, 100, 0, ""},
    {kFieldEffect3, 0, false, 0, 100, 0, ""},
    {kFieldGamma, 67406, false, 0.01, 6, 2, ""},
    {kFieldPressureOpacity, 67407, true, 0, 1, 0, ""},
    {kFieldPressureSize, 67408, true, 0, 1, 0, ""},
    {kFieldAspect, 67410, false, 0, 99, 0, " %"},
    {kFieldAngle, 67411, false, -360, 360, 0, " °"},
    {kFieldNibScale, 67415, false, 1, 500, 0, " %"},
    {kFieldHardEdge, 67417, true, 0, 1, 0, ""},
};

// The modes whose painting takes the tool opacity without a brush: the
// shape fills, the bucket fill, the gradient and the text.
bool showsToolOpacity(ToolMode m) {
  switch (m) {
    case ToolMode::FillRectangle:
    case ToolMode::FillEllipse:
    case ToolMode::FillPolygon:
    case ToolMode::FillFreehand:
    case ToolMode::BucketFill:
    case ToolMode::Gradation:
    case ToolMode::TextDraw: return true;
    default: return false;
  }
}

// The tools that move the layer or the selection, whose cursor-key move
// mode the panel's button ends.
bool movesWithKeys(ToolMode m) {
  switch (m) {
    case ToolMode::SelectRectangle:
    case ToolMode::SelectEllipse:
    case ToolMode::SelectPolygon:
    case ToolMode::SelectFreehand:
    case ToolMode::LayerMove:
    case ToolMode::LayerMoveWithSelection: return true;
    default: return false;
  }
}

constexpr uint32_t kResSubPaintHint = 67600;
constexpr uint32_t kResKeyMoveEnd = 67601;
constexpr uint32_t kResFalloff = 67412;
constexpr uint32_t kResPressureEdge = 67416;

}  // namespace

TToolOptionsPanel::TToolOptionsPanel(CToolWindowModel& model, CToolOptions& options, QWidget* parent)
    : QWidget(parent), model_(model), options_(options) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  toolName_ = new QLabel(this);
  outer->addWidget(toolName_);
  // The move tools: ends the cursor-key move of the document window as
  // Enter would.
  moveOK_ = new QPushButton(res(kResKeyMoveEnd), this);
  outer->addWidget(moveOK_);
  connect(moveOK_, &QPushButton::clicked, this, [this] {
    if (TDrawWindow* w = model_.docWindow() ? model_.docWindow()->drawWindow() : nullptr) w->endKeyMoveMode();
    refreshKeyMove();
  });
  // The brush's or the gradient's name, taken when the edit is left.
  nameEdit_ = new QLineEdit(this);
  nameEdit_->setPlaceholderText(res(68219));
  outer->addWidget(nameEdit_);
  connect(nameEdit_, &QLineEdit::editingFinished, this, [this] {
    if (!refreshing_) (void)options_.nameChange(nameEdit_->text().toStdString());  // false: the name stays as it was
  });

  opacityRow_ = new QWidget(this);
  auto* opacityLayout = new QHBoxLayout(opacityRow_);
  opacityLayout->setContentsMargins(0, 0, 0, 0);
  opacityLayout->addWidget(new QLabel(res(68200), opacityRow_));
  toolOpacity_ = new QSpinBox(opacityRow_);
  toolOpacity_->setRange(1, 100);
  toolOpacity_->setSuffix(QStringLiteral(" %"));
  opacityLayout->addWidget(toolOpacity_, 1);
  opacityLayout->addWidget(addValueLabel(toolOpacity_, tgDensity, 100.0f));
  outer->addWidget(opacityRow_);
  connect(toolOpacity_, &QSpinBox::valueChanged, this, [this](int value) {
    if (!refreshing_) model_.setToolOpacity(static_cast<float>(value));
  });

  // The brushes of the tool side by side; the arrow drops them all down.
  options_.brushList().setDisplayStyle(kListStrip);
  brushList_ = new TItemListView(options_.brushList(), this);
  brushList_->setFixedHeight(kCompactListHeight);
  brushList_->setToolTip(res(kResBrushListHint));
  outer->addWidget(brushList_);
  // The parameters scroll when the panel is lower than all of them.
  auto* scroll = new QScrollArea(this);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* body = new QWidget(scroll);
  auto* bodyLayout = new QVBoxLayout(body);
  bodyLayout->setContentsMargins(0, 0, 0, 0);

  brushBox_ = new QWidget(body);
  auto* grid = new QGridLayout(brushBox_);
  grid->setContentsMargins(0, 0, 0, 0);
  // The nib shape: size, minimum size, aspect and angle by handles.
  aspectEditor_ = new TAspectRotation(brushBox_);
  aspectEditor_->setFixedSize(aspectEditor_->size());
  aspectEditor_->setToolTip(res(68213));
  grid->addWidget(aspectEditor_, 0, 0, 1, 3, Qt::AlignHCenter);
  aspectEditor_->OnChange = [this] {
    if (refreshing_) return;
    // False: nothing changed.
    (void)options_.aspectChange(CToolOptions::editedAspect(options_.aspectValues(), shownAspect_, editorValues()));
  };
  aspectEditor_->OnPreview = [this] { drawNibPreview(); };
  aspectEditor_->OnNibList = [this](QPoint screen) { openNibPopup(screen); };
  grid->addWidget(buildPickers(brushBox_), 1, 0, 1, 3);

  sizeLabel_ = new QLabel(res(67419), brushBox_);
  grid->addWidget(sizeLabel_, 2, 0);
  sizeSlider_ = new QSlider(Qt::Horizontal, brushBox_);
  sizeSlider_->setRange(0, kSliderSteps);
  grid->addWidget(sizeSlider_, 2, 1);
  sizeEdit_ = new QDoubleSpinBox(brushBox_);
  sizeEdit_->setRange(kNibRadiusMin, kNibRadiusMax);
  sizeEdit_->setDecimals(1);
  sizeEdit_->setSuffix(QStringLiteral(" px"));
  grid->addWidget(sizeEdit_, 2, 2);
  grid->addWidget(addValueLabel(sizeEdit_, tgNibRadius, 10.0f, true), 2, 3);

  minSizeLabel_ = new QLabel(res(67409), brushBox_);
  grid->addWidget(minSizeLabel_, 3, 0);
  minSizeEdit_ = new QSpinBox(brushBox_);
  minSizeEdit_->setRange(0, 100);
  minSizeEdit_->setSuffix(QStringLiteral(" %"));
  grid->addWidget(minSizeEdit_, 3, 2);
  grid->addWidget(addValueLabel(minSizeEdit_, tgNibMinRadius, 0.0f), 3, 3);
  buildRows(grid, 4);
  grid->setColumnStretch(1, 1);
  bodyLayout->addWidget(brushBox_);
  gradientBox_ = buildGradientBox(body);
  bodyLayout->addWidget(gradientBox_);
  seedBox_ = buildSeedBox(body);
  bodyLayout->addWidget(seedBox_);
  bodyLayout->addStretch(1);
  scroll->setWidget(body);
  outer->addWidget(scroll, 1);

  // The hint's short part is the caption, the long part the tooltip.
  auto* itemButtons = new QHBoxLayout();
  itemButtons->setContentsMargins(0, 0, 0, 0);
  const QString hint = res(67418);
  saveButton_ = new QPushButton(hint.section(QLatin1Char('|'), 0, 0), this);
  saveButton_->setToolTip(hint.section(QLatin1Char('|'), 1));
  itemButtons->addWidget(saveButton_, 1);
  auto itemButton = [&](const char* text, uint32_t hintId) {
    auto* b = new QToolButton(this);
    b->setText(QString::fromUtf8(text));
    b->setAutoRaise(true);
    setHint(b, hintId);
    itemButtons->addWidget(b);
    return b;
  };
  newItem_ = itemButton("+", 68217);
  deleteItem_ = itemButton("\u2212", 68218);
  outer->addLayout(itemButtons);
  // False: the list refused; nothing changed.
  connect(newItem_, &QToolButton::clicked, this, [this] { (void)options_.newItem(); });
  connect(deleteItem_, &QToolButton::clicked, this, [this] {
    // False: refused or not confirmed; nothing changed.
    (void)options_.deleteItem(QGuiApplication::keyboardModifiers() & Qt::AltModifier);
  });

  connect(sizeSlider_, &QSlider::valueChanged, this, [this](int position) {
    if (!refreshing_) model_.setToolSize(sizeOfSlider(position));
  });
  connect(sizeEdit_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
    if (!refreshing_) model_.setToolSize(static_cast<float>(value));
  });
  connect(minSizeEdit_, &QSpinBox::valueChanged, this, [this](int value) {
    if (!refreshing_) model_.setMinSize(static_cast<float>(value));
  });
  // False without a selected brush: nothing to keep.
  connect(saveButton_, &QPushButton::clicked, this, [this] { (void)options_.optionSave(); });
  options_.OnChanged = [this] {
    // Another brush or value: the nib chosen last no longer stands for it.
    if (!nibPopup_) nibIndex_ = -1;
    if (!refreshing_) refresh();
  };
  wireListPopups();
  refresh();
}

TToolOptionsPanel::~TToolOptionsPanel() {
  options_.OnChanged = nullptr;
  // The children outlive this body: an edit that loses the focus while it is
  // destroyed still signals its end, which must not reach a half-destroyed panel.
  for (QObject* child : findChildren<QObject*>()) QObject::disconnect(child, nullptr, this, nullptr);
  // The pop-up is a child: it must not call back into a panel going away.
  if (nibPopup_) {
    nibPopup_->OnPopupClose = nullptr;
    nibPopup_->list().OnChange = nullptr;
    nibPopup_->closePopup();
  }
}

TPgGlyphLabel* TToolOptionsPanel::addValueLabel(QAbstractSpinBox* field, uint8_t glyph, float defaultValue,
                                                bool nibRadius) {
  auto* label = new TPgGlyphLabel(field->parentWidget());
  label->setGlyphType(glyph);
  label->setFixedSize(18, 18);
  labelSlots_.push_back({label, field, defaultValue, nibRadius});
  return label;
}

void TToolOptionsPanel::buildRows(QGridLayout* grid, int firstRow) {
  int row = firstRow;
  QWidget* box = grid->parentWidget();
  for (const SFieldRow& f : kFieldRows) {
    SRow r{f.field};
    r.label = new QLabel(f.label ? res(f.label) : QString(), box);
    grid->addWidget(r.label, row, 0);
    if (f.check) {
      auto* check = new QCheckBox(box);
      r.check = check;
      grid->addWidget(check, row, 2);
      connect(check, &QCheckBox::toggled, this, [this, field = f.field](bool on) {
        if (!refreshing_) (void)options_.paramChange(field, on ? 1.0 : 0.0);  // false: nothing changed
      });
    } else {
      r.number = new QDoubleSpinBox(box);
      r.number->setRange(f.low, f.high);
      r.number->setDecimals(f.decimals);
      r.number->setSuffix(QString::fromUtf8(f.suffix));
      grid->addWidget(r.number, row, 2);
      if (const SLabelOfField* l = labelOfField(f.field))
        grid->addWidget(addValueLabel(r.number, l->glyph, l->defaultValue), row, 3);
      connect(r.number, &QDoubleSpinBox::valueChanged, this, [this, field = f.field](double value) {
        if (!refreshing_) (void)options_.paramChange(field, value);  // false: nothing changed
      });
      if (f.field == kFieldNibScale) {
        r.slider = new QSlider(Qt::Horizontal, box);
        r.slider->setRange(0, kSliderSteps);
        grid->addWidget(r.slider, row, 1);
        connect(r.slider, &QSlider::valueChanged, this, [this, number = r.number](int position) {
          if (refreshing_) return;
          const double low = number->minimum(), high = number->maximum();
          double v = nibScaleOutFilter(static_cast<double>(position) / kSliderSteps, low, high);
          (void)options_.paramChange(kFieldNibScale, std::round(low + (high - low) * v));  // false: nothing changed
        });
      }
      if (f.field == kFieldGamma) {
        // The curve is dragged; its number beside it takes typed values.
        pressureCurve_ = new TPressureGamma(box);
        pressureCurve_->setFixedSize(48, 48);
        setHint(pressureCurve_, 68212);
        grid->addWidget(pressureCurve_, row, 1, Qt::AlignLeft);
        pressureCurve_->OnChange = [this] {
          if (!refreshing_) (void)options_.paramChange(kFieldGamma, pressureCurve_->gamma());  // false: nothing changed
        };
      }
    }
    rows_.push_back(r);
    ++row;
  }
}

QWidget* TToolOptionsPanel::buildPickers(QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  subPaint_ = new TSubPaintDropDown(box);
  subPaint_->setFixedSize(38, 30);
  setHint(subPaint_, kResSubPaintHint);
  row->addWidget(subPaint_);
  subPaint_->OnChange = [this] {
    if (!refreshing_) model_.setSubPaintShape(static_cast<int32_t>(subPaint_->kind()));
  };
  falloff_ = new TAirMapDropDown(box);
  falloff_->setFixedSize(46, 30);
  row->addWidget(falloff_);
  falloff_->OnChange = [this] {
    // False: nothing changed.
    if (!refreshing_) (void)options_.falloffChange(falloff_->kind(), falloff_->valueA(), falloff_->valueB());
  };
  row->addStretch(1);
  return box;
}

QWidget* TToolOptionsPanel::buildGradientBox(QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  // The current gradient with its drop-down, and the set as a strip.
  auto* lists = new QHBoxLayout();
  lists->setSpacing(2);
  options_.gradientDropList().setDisplayStyle(kListCompact);
  gradientDropList_ = new TItemListView(options_.gradientDropList(), box);
  gradientDropList_->setFixedSize(kGradientDropWidth, kCompactListHeight);
  lists->addWidget(gradientDropList_);
  options_.gradientList().setDisplayStyle(kListStrip);
  gradientList_ = new TItemListView(options_.gradientList(), box);
  gradientList_->setFixedHeight(kCompactListHeight);
  lists->addWidget(gradientList_, 1);
  layout->addLayout(lists);
  gradientPreview_ = new TGradientPreview(box);
  gradientPreview_->setFixedHeight(24);
  layout->addWidget(gradientPreview_);

  auto* buttons = new QHBoxLayout();
  buttons->setSpacing(2);
  auto makeButton = [&](const SGradAttrButton& b) {
    auto* button = new TPgGlyphButton(box);
    button->setFixedSize(26, 24);
    button->setGlyphType(b.glyph);
    button->setGroupIndex(b.group);
    if (b.group != 1) button->setAllowAllUp(true);
    setHint(button, b.hint);
    button->OnClick = [this] {
      if (!refreshing_) gradientControlsChanged();
    };
    buttons->addWidget(button);
    return button;
  };
  for (size_t i = 0; i < shapeButtons_.size(); ++i) shapeButtons_[i] = makeButton(kGradAttrButtons[i]);
  buttons->addSpacing(6);
  roundTrip_ = makeButton(kGradAttrButtons[kGradButtonRoundTrip]);
  endless_ = makeButton(kGradAttrButtons[kGradButtonEndless]);
  buttons->addSpacing(6);
  ownSettings_ = makeButton(kGradAttrButtons[kGradButtonOwn]);
  buttons->addStretch(1);
  layout->addLayout(buttons);

  auto* count = new QHBoxLayout();
  count->addWidget(new QLabel(res(kResGradRepeatLabel), box));
  repeatCount_ = new QSpinBox(box);
  repeatCount_->setRange(1, kMaxGradRepeatCount);
  count->addWidget(repeatCount_, 1);
  count->addWidget(addValueLabel(repeatCount_, tgGradRepeat, 1.0f));
  count->addWidget(new QLabel(res(68208), box));
  layout->addLayout(count);
  connect(repeatCount_, &QSpinBox::valueChanged, this, [this] {
    if (!refreshing_) gradientControlsChanged();
  });
  return box;
}

QWidget* TToolOptionsPanel::buildSeedBox(QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(new QLabel(res(68209), box), 0, 0);
  seedRange_ = new QSpinBox(box);
  seedRange_->setRange(0, 255);
  grid->addWidget(seedRange_, 0, 1);
  seedVisible_ = new QCheckBox(res(68210), box);
  grid->addWidget(seedVisible_, 1, 0, 1, 2);
  seedAntiAlias_ = new QCheckBox(res(68211), box);
  grid->addWidget(seedAntiAlias_, 2, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  connect(seedRange_, &QSpinBox::valueChanged, this, [this] { seedControlsChanged(); });
  connect(seedVisible_, &QCheckBox::toggled, this, [this] { seedControlsChanged(); });
  connect(seedAntiAlias_, &QCheckBox::toggled, this, [this] { seedControlsChanged(); });
  return box;
}

void TToolOptionsPanel::gradientControlsChanged() {
  SGradAttrControls c;
  c.own = ownSettings_->isDown();
  c.shape = 3;
  for (size_t i = 0; i < shapeButtons_.size(); ++i)
    if (shapeButtons_[i]->isDown()) c.shape = static_cast<int32_t>(i);
  c.roundTrip = roundTrip_->isDown();
  c.endless = endless_->isDown();
  c.count = repeatCount_->value();
  if (!options_.gradAttrChange(c)) refreshGradient();
}

void TToolOptionsPanel::seedControlsChanged() {
  if (refreshing_) return;
  // False: nothing changed.
  (void)options_.seedParamChange(seedRange_->value(), seedVisible_->isChecked(), seedAntiAlias_->isChecked());
}

void TToolOptionsPanel::setNibSet(CPenShapeMngr* nibs) {
  if (nibPopup_) nibPopup_->closePopup();
  nibs_ = nibs;
  nibIndex_ = -1;
  refresh();
}

TPresetPopupForm* TToolOptionsPanel::nibPopup() const { return nibPopup_.data(); }

void TToolOptionsPanel::setPopupSetup(std::function<SPresetPopupSetup(PresetPopupKind)> setup) {
  popupSetup_ = std::move(setup);
  wireListPopups();
}

void TToolOptionsPanel::wireListPopups() {
  // Each list's arrow column drops down the pop-up of its kind below it.
  for (TItemListView* view : {brushList_, gradientList_, gradientDropList_}) {
    view->OnOpenPopup = [this, view]() -> TItemListView::SListPopup {
      if (model_.replayDisplay()) return {};
      TPresetPopupForm* form = openListPopup(view, view->list(), popupSetup_);
      return {form, form ? &form->list() : nullptr};
    };
  }
}

void TToolOptionsPanel::openNibPopup(QPoint screen) {
  if (!nibs_ || nibPopup_ || !options_.hasBrush()) return;
  SPresetPopupSetup setup = popupSetup_ ? popupSetup_(PresetPopupKind::PenNib) : SPresetPopupSetup{};
  TPresetPopupForm* form = openPenNibPopup(this, *nibs_, nibIndex_, std::move(setup.commands), setup.prefs);
  if (!form) return;
  nibPopup_ = form;
  auto* list = static_cast<CPenNibList*>(&form->list());
  // A pick gives the working brush that nib at once.
  list->OnChange = [this, list] {
    if (const CPenShapeObj* nib = list->shapeAt(list->getActiveIndex())) options_.brushList().setNib(nib);
  };
  form->OnPopupClose = [this, list](TPopupBaseForm* f) {
    nibIndex_ = list->getActiveIndex();
    nibPopup_ = nullptr;
    model_.pushStrokeParams();
    f->deleteLater();
  };
  const QRect anchor(aspectEditor_->mapToGlobal(QPoint(0, 0)), aspectEditor_->size());
  form->popup(anchor.right() + 1, screen.y(), &anchor);
}

QSize TToolOptionsPanel::sizeHint() const {
  constexpr int kOpeningHeight = 300;
  return {QWidget::sizeHint().width(), kOpeningHeight};
}

QSlider* TToolOptionsPanel::nibScaleSlider() const {
  for (const SRow& r : rows_)
    if (r.slider) return r.slider;
  return nullptr;
}

QWidget* TToolOptionsPanel::fieldControl(EParamField field) const {
  for (const SRow& r : rows_)
    if (r.field == field) return r.number ? static_cast<QWidget*>(r.number) : static_cast<QWidget*>(r.check);
  return nullptr;
}

void TToolOptionsPanel::drawNibPreview() {
  // The working brush's dab as the document shows it at its zoom.
  TMemoryGraphic& g = aspectEditor_->preview();
  if (!g.isValid() || !options_.hasBrush()) return;
  TMTC plane(g.width(), g.height());
  if (!plane.IsAllocated()) return;
  previewValues_ = shapeValuesOf(options_.paintParam());
  previewValuesZoom_ = previewZoom();
  pg::drawNibPreview(plane, previewValues_, previewValuesZoom_, uiSysColors().windowText & 0x00FFFFFFu);
  (void)copyPlaneToGraphic(plane, g);  // the plane was made the graphic's size
  g.fillRect({0, 0, g.width(), g.height()}, 0xFF000000u, keepChannel, copyChannel);
}

float TToolOptionsPanel::previewZoom() const {
  TDrawWindow* w = model_.docWindow() ? model_.docWindow()->drawWindow() : nullptr;
  return w ? w->paper().zoomValue() : 1.0f;
}

CToolOptions::SAspectValues TToolOptionsPanel::editorValues() const {
  const TNibEditorState& s = aspectEditor_->state();
  CToolOptions::SAspectValues v;
  v.antiAlias = s.flagA();
  v.falloffB = s.valueB();
  v.falloffA = s.valueA();
  v.angle = s.rotation();
  v.flattening = s.flattening();
  v.minSize = s.minRadius();
  v.size = s.maxRadius();
  v.nibScale = s.imageScale();
  return v;
}

void TToolOptionsPanel::refresh() {
  refreshing_ = true;
  std::string name;
  if (modeDisplayName(model_.toolMode(), name)) toolName_->setText(QString::fromStdString(name));
  const ToolMode mode = model_.toolMode();
  opacityRow_->setHidden(!showsToolOpacity(mode));
  toolOpacity_->setValue(static_cast<int>(std::lround(model_.toolOpacity())));
  refreshBrush();
  refreshPickers();
  refreshGradient();
  refreshSeeds();
  refreshKeyMove();
  const bool named = options_.hasBrush() || options_.isGradientTool();
  nameEdit_->setHidden(!named);
  if (named && !nameEdit_->hasFocus()) nameEdit_->setText(QString::fromStdString(options_.itemName()));
  nameEdit_->setReadOnly(!options_.canRename());
  // New and delete work on the gradients or the collection's brushes.
  const bool items = options_.itemList() != nullptr;
  newItem_->setHidden(!items);
  deleteItem_->setHidden(!items);
  newItem_->setEnabled(options_.canNewItem());
  deleteItem_->setEnabled(options_.canDeleteItem());
  setEnabled(!model_.replayDisplay());
  refreshing_ = false;
}

void TToolOptionsPanel::refreshBrush() {
  const bool brush = options_.hasBrush();
  brushList_->setHidden(!brush);
  brushBox_->setHidden(!brush);
  saveButton_->setHidden(!brush);
  saveButton_->setEnabled(!options_.autoSave());
  brushList_->update();
  // A replay shows the replayed brush's size, else the tool window's.
  const bool replayed = options_.showsReplayBrush();
  const float sizeShown = replayed ? options_.paintParam().size : model_.toolSize();
  const float minShown = replayed ? options_.paintParam().minSize * 100.0f : model_.minSize();
  sizeSlider_->setValue(sliderOfSize(sizeShown));
  sizeEdit_->setValue(sizeShown);
  minSizeEdit_->setValue(static_cast<int>(std::lround(minShown)));
  // Only the fields the current brush lets the user set are shown.
  bool size = options_.shows(kFieldSize), minSize = options_.shows(kFieldMinSize);
  sizeLabel_->setHidden(!size);
  sizeSlider_->setHidden(!size);
  sizeEdit_->setHidden(!size);
  minSizeLabel_->setHidden(!minSize);
  minSizeEdit_->setHidden(!minSize);
  refreshAspectEditor();
  const TPaintParam& param = options_.paintParam();
  for (SRow& r : rows_) {
    bool shown = options_.shows(r.field);
    r.label->setHidden(!shown);
    QWidget* control = r.number ? static_cast<QWidget*>(r.number) : static_cast<QWidget*>(r.check);
    control->setHidden(!shown);
    if (r.slider) r.slider->setHidden(!shown);
    if (r.field == kFieldGamma) pressureCurve_->setHidden(!shown);
    if (!shown) continue;
    if (r.field >= kFieldEffect1 && r.field <= kFieldEffect3)
      r.label->setText(QString::fromStdString(param.effectCaption(uint32_t(r.field - kFieldEffect1))));
    double value = options_.controlValue(r.field);
    if (r.slider) {
      // The nib's own scale range.
      const double low = std::round(param.minNibScale() * 100.0), high = std::round(param.maxNibScale() * 100.0);
      r.number->setRange(low, high);
      const double v = high > low ? (value - low) / (high - low) : 0.0;
      r.slider->setValue(static_cast<int>(std::lround(nibScaleInFilter(v, low, high) * kSliderSteps)));
    }
    if (r.field == kFieldGamma) pressureCurve_->setGamma(static_cast<float>(value));
    if (r.number)
      r.number->setValue(value);
    else
      r.check->setChecked(value != 0.0);
  }
}

void TToolOptionsPanel::refreshAspectEditor() {
  // The editor stands for the size (or the nib image's scale), the minimum
  // size, the aspect and the angle; it shows when the brush has a size.
  const TPaintParam& p = options_.paintParam();
  const bool shown = options_.hasBrush() && (p.paramMask & (1u << kFieldSize)) != 0;
  aspectEditor_->setHidden(!shown);
  if (!shown) return;
  // The shape handle turns and flattens only where the brush lets it.
  aspectEditor_->setOption1(paramFieldEditable(p, kFieldAspect) || paramFieldEditable(p, kFieldAngle));
  // The nib list button, for brushes that take a nib image.
  aspectEditor_->setOption2(nibs_ != nullptr && (p.paramMask & (1u << kFieldNibScale)) != 0);
  const CToolOptions::SAspectValues v = options_.aspectValues();
  aspectEditor_->setSample(p.hasNib != 0, p.nibWidth, p.nibHeight, v.nibScale);
  aspectEditor_->setValues(v.antiAlias, v.falloffB, v.falloffA, v.angle, v.flattening, v.minSize, v.size);
  shownAspect_ = editorValues();
  // The falloff profile, the hard edge and the nib image are not the
  // editor's values: their change alone would leave the old dab shown.
  if (previewValuesZoom_ != previewZoom() || previewValues_ != shapeValuesOf(p)) aspectEditor_->redrawPreview();
}

void TToolOptionsPanel::refreshPickers() {
  if (!options_.hasBrush()) return;
  subPaint_->setKind(static_cast<uint32_t>(model_.subPaintShape()));
  const SFalloffPick pick = falloffPickOf(options_.paintParam());
  falloff_->setActive(pick.mode);
  falloff_->setKind(pick.kind);
  falloff_->setValueA(pick.valueA);
  falloff_->setValueB(pick.valueB);
  falloff_->setEnabled(pick.enabled);
  setHint(falloff_, pick.mode == 0 ? kResPressureEdge : kResFalloff);
}

void TToolOptionsPanel::refreshKeyMove() {
  const bool shown = movesWithKeys(model_.toolMode());
  moveOK_->setHidden(!shown);
  if (!shown) return;
  TDrawWindow* w = model_.docWindow() ? model_.docWindow()->drawWindow() : nullptr;
  moveOK_->setEnabled(w != nullptr && w->inKeyMoveMode());
}

void TToolOptionsPanel::refreshGradient() {
  const bool gradient = options_.isGradientTool();
  gradientBox_->setHidden(!gradient);
  if (!gradient) return;
  const bool was = refreshing_;
  refreshing_ = true;
  const SGradAttrView view = options_.gradAttrs();
  for (size_t i = 0; i < shapeButtons_.size(); ++i) {
    shapeButtons_[i]->setEnabled(view.hasGradient);
    shapeButtons_[i]->setDown(static_cast<size_t>(view.repeat.Shape) == i);
  }
  roundTrip_->setEnabled(view.hasGradient);
  roundTrip_->setDown(view.repeat.Mirror != 0);
  endless_->setEnabled(view.hasGradient);
  endless_->setDown(view.repeat.Wrap != 0);
  ownSettings_->setEnabled(view.ownEnabled);
  ownSettings_->setDown(view.ownDown);
  repeatCount_->setEnabled(view.hasGradient);
  repeatCount_->setValue(view.repeat.Count);
  // The preview draws a copy: the set may drop its gradients (a set file
  // loaded, an item deleted) before the panel hears of it.
  const CGradMngr* set = options_.gradientList().manager();
  const CGradObj* current = set ? set->currentItem() : nullptr;
  previewGradient_ = current ? CGradObj::CreateCopy(*current) : nullptr;
  gradientPreview_->setGradient(previewGradient_.get(), view.repeat);
  gradientList_->update();
  refreshing_ = was;
}

void TToolOptionsPanel::refreshSeeds() {
  const SSeedSettings* s = options_.seedSettings();
  seedBox_->setHidden(s == nullptr);
  if (s == nullptr) return;
  const bool was = refreshing_;
  refreshing_ = true;
  seedRange_->setValue(s->limit);
  seedVisible_->setChecked(s->visible);
  seedAntiAlias_->setChecked(s->antiAlias);
  refreshing_ = was;
}

}  // namespace pg
