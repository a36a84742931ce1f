#include "app/qt/new_layer_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include <cmath>

#include "app/qt/main_form.h"
#include "platform/message_service.h"
#include "ui/qt/res_text.h"

namespace pg {

TFormNewLayer::TFormNewLayer(const SNewLayerRecord& record, QWidget* parent) : QDialog(parent), model_(record) {
  setObjectName(QStringLiteral("FormNewLayer"));
  setWindowTitle(resText(66558));
  auto* form = new QFormLayout(this);
  name_ = new QLineEdit(QString::fromStdString(record.name), this);
  modes_ = new QComboBox(this);
  for (const std::string& n : CNewLayerModel::modeNames()) modes_->addItem(QString::fromStdString(n));
  colours_ = new QComboBox(this);
  opacity_ = new QSpinBox(this);
  opacity_->setRange(0, 100);
  opacity_->setValue(100);
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setRange(0, 100);
  slider_->setValue(100);
  transparent_ = new QCheckBox(resText(66559), this);
  auto* opacityRow = new QHBoxLayout;
  opacityRow->addWidget(opacity_);
  opacityRow->addWidget(slider_, 1);
  form->addRow(name_);
  form->addRow(modes_);
  form->addRow(opacityRow);
  form->addRow(colours_);
  form->addRow(transparent_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  modes_->setCurrentIndex(model_.modeIndex());
  showColours();
  connect(modes_, &QComboBox::currentIndexChanged, this, [this](int i) {
    model_.setModeIndex(i);
    showColours();
  });
  connect(colours_, &QComboBox::currentIndexChanged, this, [this](int i) { model_.setColourIndex(i); });
  connect(opacity_, &QSpinBox::valueChanged, this, [this](int v) {
    model_.setOpacityPercent(v);
    const QSignalBlocker block(slider_);
    slider_->setValue(v);
  });
  connect(slider_, &QSlider::valueChanged, this, [this](int v) { opacity_->setValue(v); });
  connect(transparent_, &QCheckBox::toggled, this, [this](bool on) { model_.setTransparent(on); });
  connect(name_, &QLineEdit::textChanged, this, [this](const QString& t) { model_.setName(t.toStdString()); });
}

void TFormNewLayer::showColours() {
  const QSignalBlocker block(colours_);
  colours_->clear();
  for (const std::string& n : model_.colourNames()) colours_->addItem(QString::fromStdString(n));
  colours_->setCurrentIndex(model_.colourIndex());
}

bool execNewLayerDialog(TMainForm& form, SNewLayerRecord& record) {
  TFormNewLayer dialog(record, &form);
  if (form.showModalDialog(dialog) != kMrOk) return false;
  record = dialog.model().result();
  return true;
}

}  // namespace pg
