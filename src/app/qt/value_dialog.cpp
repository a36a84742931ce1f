#include "app/qt/value_dialog.h"
#include "ui/qt/res_text.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <cmath>

namespace pg {

namespace {
constexpr int kSliderSteps = 1000;
}

QDialogButtonBox* makeOkCancelButtons(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(resText(66507));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

TFormValue::TFormValue(QWidget* parent) : QDialog(parent) {
  setWindowTitle(resText(66508));
  auto* grid = new QGridLayout(this);
  label_ = new QLabel(resText(66509), this);
  number_ = new QDoubleSpinBox(this);
  number_->setDecimals(0);
  label_->setBuddy(number_);
  unit_ = new QLabel(QStringLiteral("%"), this);
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setRange(0, kSliderSteps);
  buttons_ = makeOkCancelButtons(this);
  grid->addWidget(label_, 0, 0);
  grid->addWidget(number_, 0, 1);
  grid->addWidget(unit_, 0, 2);
  grid->addWidget(slider_, 1, 0, 1, 3);
  grid->addWidget(buttons_, 2, 0, 1, 3);

  connect(number_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (refreshing_) return;
    model_.setValue(static_cast<float>(v));
    refresh();
  });
  connect(slider_, &QSlider::valueChanged, this, [this](int position) {
    if (refreshing_) return;
    model_.setRatio(static_cast<double>(position) / kSliderSteps);
    refresh();
  });
  refresh();
}

void TFormValue::setRange(float maximum, float minimum, float value) {
  model_.setRange(maximum, minimum, value);
  refresh();
}

void TFormValue::setValue(float value) {
  model_.setValue(value);
  refresh();
}

void TFormValue::setLabelText(const QString& text) { label_->setText(text); }
void TFormValue::setUnitText(const QString& text) { unit_->setText(text); }

void TFormValue::setDecimals(int decimals) {
  number_->setDecimals(decimals);
  refresh();
}

void TFormValue::refresh() {
  refreshing_ = true;
  number_->setRange(model_.minimum(), model_.maximum());
  number_->setValue(model_.value());
  slider_->setValue(static_cast<int>(std::lround(model_.ratio() * kSliderSteps)));
  refreshing_ = false;
}

}  // namespace pg
