#include "toolwin/qt/tool_options_panel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QSlider>
#include <QSpinBox>
#include <cmath>
#include <string>

#include "brush/paint_param.h"
#include "canvas/tool_numbering.h"
#include "platform/string_table.h"
#include "toolwin/nib_radius_mapping.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/tool_options.h"
#include "toolwin/tool_window_model.h"

namespace pg {

namespace {

constexpr int kSliderSteps = 1000;

int sliderOfSize(float size) {
  double v = (size - 0.1) / (200.0 - 0.1);
  return static_cast<int>(std::lround(nibRadiusInFilter(v) * kSliderSteps));
}

float sizeOfSlider(int position) {
  double v = nibRadiusOutFilter(static_cast<double>(position) / kSliderSteps);
  return static_cast<float>(0.1 + (200.0 - 0.1) * v);
}

QString res(uint32_t id) { return QString::fromStdString(resString(id)); }

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
    {kFieldAngle, 67411, false, 0, 359, 0, " °"},
    {kFieldFalloff, 67412, false, 0, 7, 0, ""},
    {kFieldFalloffA, 67413, false, 0, 100, 0, " %"},
    {kFieldFalloffB, 67414, false, 0, 100, 0, " %"},
    {kFieldNibScale, 67415, false, 1, 500, 0, " %"},
    {kFieldPressureEdge, 67416, true, 0, 1, 0, ""},
    {kFieldHardEdge, 67417, true, 0, 1, 0, ""},
};

}  // namespace

TToolOptionsPanel::TToolOptionsPanel(CToolWindowModel& model, CToolOptions& options, QWidget* parent)
    : QWidget(parent), model_(model), options_(options) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  toolName_ = new QLabel(this);
  outer->addWidget(toolName_);
  brushList_ = new TItemListView(options_.brushList(), this);
  brushList_->setMinimumHeight(60);
  brushList_->setToolTip(res(kResBrushListHint));
  outer->addWidget(brushList_);
  // The parameters scroll when the panel is lower than all of them.
  auto* scroll = new QScrollArea(this);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* body = new QWidget(scroll);
  auto* grid = new QGridLayout(body);
  grid->setContentsMargins(0, 0, 0, 0);

  sizeLabel_ = new QLabel(res(67419), body);
  grid->addWidget(sizeLabel_, 2, 0);
  sizeSlider_ = new QSlider(Qt::Horizontal, this);
  sizeSlider_->setRange(0, kSliderSteps);
  grid->addWidget(sizeSlider_, 2, 1);
  sizeEdit_ = new QDoubleSpinBox(this);
  sizeEdit_->setRange(kNibRadiusMin, kNibRadiusMax);
  sizeEdit_->setDecimals(1);
  sizeEdit_->setSuffix(QStringLiteral(" px"));
  grid->addWidget(sizeEdit_, 2, 2);

  minSizeLabel_ = new QLabel(res(67409), this);
  grid->addWidget(minSizeLabel_, 3, 0);
  minSizeEdit_ = new QSpinBox(this);
  minSizeEdit_->setRange(0, 100);
  minSizeEdit_->setSuffix(QStringLiteral(" %"));
  grid->addWidget(minSizeEdit_, 3, 2);
  buildRows(grid, 4);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(grid->rowCount(), 1);
  scroll->setWidget(body);
  outer->addWidget(scroll, 1);

  // The hint's short part is the caption, the long part the tooltip.
  const QString hint = res(67418);
  saveButton_ = new QPushButton(hint.section(QLatin1Char('|'), 0, 0), this);
  saveButton_->setToolTip(hint.section(QLatin1Char('|'), 1));
  outer->addWidget(saveButton_);

  connect(sizeSlider_, &QSlider::valueChanged, this, [this](int position) {
    if (!refreshing_) model_.setToolSize(sizeOfSlider(position));
  });
  connect(sizeEdit_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
    if (!refreshing_) model_.setToolSize(static_cast<float>(value));
  });
  connect(minSizeEdit_, &QSpinBox::valueChanged, this, [this](int value) {
    if (!refreshing_) model_.setMinSize(static_cast<float>(value));
  });
  connect(saveButton_, &QPushButton::clicked, this, [this] { (void)options_.optionSave(); });
  options_.OnChanged = [this] {
    if (!refreshing_) refresh();
  };
  refresh();
}

void TToolOptionsPanel::buildRows(QGridLayout* grid, int firstRow) {
  int row = firstRow;
  for (const SFieldRow& f : kFieldRows) {
    SRow r{f.field};
    r.label = new QLabel(f.label ? res(f.label) : QString(), this);
    grid->addWidget(r.label, row, 0);
    if (f.check) {
      auto* box = new QCheckBox(this);
      r.check = box;
      grid->addWidget(box, row, 2);
      connect(box, &QCheckBox::toggled, this, [this, field = f.field](bool on) {
        if (!refreshing_) (void)options_.paramChange(field, on ? 1.0 : 0.0);
      });
    } else {
      r.number = new QDoubleSpinBox(this);
      r.number->setRange(f.low, f.high);
      r.number->setDecimals(f.decimals);
      r.number->setSuffix(QString::fromUtf8(f.suffix));
      grid->addWidget(r.number, row, 2);
      connect(r.number, &QDoubleSpinBox::valueChanged, this, [this, field = f.field](double value) {
        if (!refreshing_) (void)options_.paramChange(field, value);
      });
      if (f.field == kFieldNibScale) {
        r.slider = new QSlider(Qt::Horizontal, this);
        r.slider->setRange(0, kSliderSteps);
        grid->addWidget(r.slider, row, 1);
        connect(r.slider, &QSlider::valueChanged, this, [this, number = r.number](int position) {
          if (refreshing_) return;
          const double low = number->minimum(), high = number->maximum();
          double v = nibScaleOutFilter(static_cast<double>(position) / kSliderSteps, low, high);
          (void)options_.paramChange(kFieldNibScale, std::round(low + (high - low) * v));
        });
      }
    }
    rows_.push_back(r);
    ++row;
  }
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

void TToolOptionsPanel::refresh() {
  refreshing_ = true;
  std::string name;
  if (modeDisplayName(model_.toolMode(), name)) toolName_->setText(QString::fromStdString(name));
  sizeSlider_->setValue(sliderOfSize(model_.toolSize()));
  sizeEdit_->setValue(model_.toolSize());
  minSizeEdit_->setValue(static_cast<int>(std::lround(model_.minSize())));
  // Only the fields the current brush lets the user set are shown.
  bool size = options_.shows(kFieldSize), minSize = options_.shows(kFieldMinSize);
  sizeLabel_->setHidden(!size);
  sizeSlider_->setHidden(!size);
  sizeEdit_->setHidden(!size);
  minSizeLabel_->setHidden(!minSize);
  minSizeEdit_->setHidden(!minSize);
  brushList_->setHidden(!options_.hasBrush());
  const TPaintParam& param = options_.paintParam();
  for (SRow& r : rows_) {
    bool shown = options_.shows(r.field);
    r.label->setHidden(!shown);
    QWidget* control = r.number ? static_cast<QWidget*>(r.number) : static_cast<QWidget*>(r.check);
    control->setHidden(!shown);
    if (r.slider) r.slider->setHidden(!shown);
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
    if (r.number)
      r.number->setValue(value);
    else
      r.check->setChecked(value != 0.0);
  }
  saveButton_->setHidden(!options_.hasBrush());
  saveButton_->setEnabled(!options_.autoSave());
  bool editable = !model_.replayDisplay();
  setEnabled(editable);
  brushList_->update();
  refreshing_ = false;
}

}  // namespace pg
