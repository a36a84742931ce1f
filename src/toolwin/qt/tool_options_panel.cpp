#include "toolwin/qt/tool_options_panel.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <cmath>
#include <string>

#include "brush/paint_param_kinds.h"
#include "canvas/tool_numbering.h"
#include "toolwin/nib_radius_mapping.h"
#include "toolwin/option_fields.h"
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

}  // namespace

TToolOptionsPanel::TToolOptionsPanel(CToolWindowModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 4, 4, 4);
  toolName_ = new QLabel(this);
  grid->addWidget(toolName_, 0, 0, 1, 3);

  // Labels are symbols rather than words until the panel's glyph labels exist.
  sizeLabel_ = new QLabel(QStringLiteral("⌀"), this);
  grid->addWidget(sizeLabel_, 1, 0);
  sizeSlider_ = new QSlider(Qt::Horizontal, this);
  sizeSlider_->setRange(0, kSliderSteps);
  grid->addWidget(sizeSlider_, 1, 1);
  sizeEdit_ = new QDoubleSpinBox(this);
  sizeEdit_->setRange(kNibRadiusMin, kNibRadiusMax);
  sizeEdit_->setDecimals(1);
  sizeEdit_->setSuffix(QStringLiteral(" px"));
  grid->addWidget(sizeEdit_, 1, 2);

  minSizeLabel_ = new QLabel(QStringLiteral("min"), this);
  grid->addWidget(minSizeLabel_, 2, 0);
  minSizeEdit_ = new QSpinBox(this);
  minSizeEdit_->setRange(0, 100);
  minSizeEdit_->setSuffix(QStringLiteral(" %"));
  grid->addWidget(minSizeEdit_, 2, 2);
  grid->setColumnStretch(1, 1);

  connect(sizeSlider_, &QSlider::valueChanged, this, [this](int position) {
    if (!refreshing_) model_.setToolSize(sizeOfSlider(position));
  });
  connect(sizeEdit_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
    if (!refreshing_) model_.setToolSize(static_cast<float>(value));
  });
  connect(minSizeEdit_, &QSpinBox::valueChanged, this, [this](int value) {
    if (!refreshing_) model_.setMinSize(static_cast<float>(value));
  });
  refresh();
}

void TToolOptionsPanel::refresh() {
  refreshing_ = true;
  std::string name;
  if (modeDisplayName(model_.toolMode(), name)) toolName_->setText(QString::fromStdString(name));
  sizeSlider_->setValue(sliderOfSize(model_.toolSize()));
  sizeEdit_->setValue(model_.toolSize());
  minSizeEdit_->setValue(static_cast<int>(std::lround(model_.minSize())));
  // Only the fields the current brush lets the user set are shown.
  PenSlot slot{};
  uint32_t mask = penSlotOfMode(model_.toolMode(), slot) ? paintKindParamMask(byteOf(slot)) : 0;
  bool size = (mask & (1u << kFieldSize)) != 0, minSize = (mask & (1u << kFieldMinSize)) != 0;
  sizeLabel_->setHidden(!size);
  sizeSlider_->setHidden(!size);
  sizeEdit_->setHidden(!size);
  minSizeLabel_->setHidden(!minSize);
  minSizeEdit_->setHidden(!minSize);
  bool editable = !model_.replayDisplay();
  sizeSlider_->setEnabled(editable);
  sizeEdit_->setEnabled(editable);
  minSizeEdit_->setEnabled(editable);
  refreshing_ = false;
}

}  // namespace pg
