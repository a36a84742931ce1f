#include "toolwin/qt/tool_options_panel.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <cmath>
#include <string>

#include "toolwin/nib_radius_mapping.h"
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
  grid->addWidget(new QLabel(QStringLiteral("⌀"), this), 1, 0);
  sizeSlider_ = new QSlider(Qt::Horizontal, this);
  sizeSlider_->setRange(0, kSliderSteps);
  grid->addWidget(sizeSlider_, 1, 1);
  sizeEdit_ = new QDoubleSpinBox(this);
  sizeEdit_->setRange(kNibRadiusMin, kNibRadiusMax);
  sizeEdit_->setDecimals(1);
  sizeEdit_->setSuffix(QStringLiteral(" px"));
  grid->addWidget(sizeEdit_, 1, 2);

  grid->addWidget(new QLabel(QStringLiteral("min"), this), 2, 0);
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
  bool editable = !model_.replayDisplay();
  sizeSlider_->setEnabled(editable);
  sizeEdit_->setEnabled(editable);
  minSizeEdit_->setEnabled(editable);
  refreshing_ = false;
}

}  // namespace pg
