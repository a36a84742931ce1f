#include "app/qt/jpeg_option_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>

#include <cmath>

#include "app/app_profile.h"
#include "app/qt/main_form.h"
#include "platform/message_service.h"
#include "ui/qt/res_text.h"

namespace pg {
namespace {

constexpr int kSliderSteps = 1000;

}  // namespace

TFormJpegOption::TFormJpegOption(const CJpegOptionModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("FormJpegOption"));
  setWindowTitle(resText(66551));
  auto* grid = new QGridLayout(this);
  presets_ = new QComboBox(this);
  presets_->addItems({resText(66552), resText(66553), resText(66554), resText(66555)});
  quality_ = new QSpinBox(this);
  quality_->setRange(kJpegQualityMin, kJpegQualityMax);
  qualitySlider_ = new QSlider(Qt::Horizontal, this);
  qualitySlider_->setRange(0, kSliderSteps);
  smoothing_ = new QSpinBox(this);
  smoothing_->setRange(0, 100);
  smoothingSlider_ = new QSlider(Qt::Horizontal, this);
  smoothingSlider_->setRange(0, 100);
  progressive_ = new QCheckBox(resText(66556), this);
  greyscale_ = new QCheckBox(resText(66557), this);
  grid->addWidget(presets_, 0, 0, 1, 3);
  grid->addWidget(quality_, 1, 0);
  grid->addWidget(qualitySlider_, 1, 1, 1, 2);
  grid->addWidget(smoothing_, 2, 0);
  grid->addWidget(smoothingSlider_, 2, 1, 1, 2);
  grid->addWidget(progressive_, 3, 0, 1, 3);
  grid->addWidget(greyscale_, 4, 0, 1, 3);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  grid->addWidget(buttons, 5, 0, 1, 3);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto changed = [this](auto apply) {
    return [this, apply](auto value) {
      if (guard_) return;
      apply(value);
      showModel();
    };
  };
  connect(presets_, &QComboBox::currentIndexChanged, this, changed([this](int i) { model_.choosePreset(i); }));
  connect(quality_, &QSpinBox::valueChanged, this, changed([this](int v) { model_.setQuality(v); }));
  connect(qualitySlider_, &QSlider::valueChanged, this,
          changed([this](int v) { model_.setSliderPosition(double(v) / kSliderSteps); }));
  connect(smoothing_, &QSpinBox::valueChanged, this, changed([this](int v) { model_.setSmoothing(v); }));
  connect(smoothingSlider_, &QSlider::valueChanged, this, changed([this](int v) { model_.setSmoothing(v); }));
  connect(progressive_, &QCheckBox::toggled, this, changed([this](bool on) { model_.setProgressive(on); }));
  connect(greyscale_, &QCheckBox::toggled, this, changed([this](bool on) { model_.setGreyscale(on); }));
  showModel();
}

void TFormJpegOption::showModel() {
  guard_ = true;
  const SJpegOptionRecord r = model_.record();
  presets_->setCurrentIndex(model_.presetIndex());
  quality_->setValue(r.quality);
  qualitySlider_->setValue(static_cast<int>(std::lround(model_.sliderPosition() * kSliderSteps)));
  smoothing_->setValue(r.smoothing);
  smoothingSlider_->setValue(r.smoothing);
  progressive_->setChecked(r.progressive);
  greyscale_->setChecked(r.greyscale);
  guard_ = false;
}

bool execJpegOptionDialog(TMainForm& form, SJpegSaveOptions& options) {
  TFormJpegOption dialog(CJpegOptionModel(appProfile()), &form);
  if (form.showModalDialog(dialog) != kMrOk) return false;
  dialog.model().store(appProfile());
  options = dialog.model().record().saveOptions();
  return true;
}

}  // namespace pg
