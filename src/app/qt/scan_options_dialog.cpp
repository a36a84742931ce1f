#include "app/qt/scan_options_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "app/dialog_texts.h"
#include "app/qt/value_dialog.h"
#include "ui/qt/res_text.h"

namespace pg {

TFormScanOptions::TFormScanOptions(const SScanOptions& options, QWidget* parent) : QDialog(parent), options_(options) {
  setObjectName(QStringLiteral("FormScanOptions"));
  setWindowTitle(resText(kResScanOptions));
  auto* outer = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  if (!options.modes.empty()) {
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("CmbScanMode"));
    for (const std::string& m : options.modes) mode_->addItem(QString::fromStdString(m));
    mode_->setCurrentText(QString::fromStdString(options.mode));
    form->addRow(resText(kResScanMode), mode_);
  }
  if (options.resolution > 0) {
    if (!options.resolutions.empty()) {
      resolutionList_ = new QComboBox(this);
      resolutionList_->setObjectName(QStringLiteral("CmbScanResolution"));
      for (int32_t r : options.resolutions) resolutionList_->addItem(QString::number(r) + QStringLiteral(" dpi"), r);
      resolutionList_->setCurrentIndex(std::max(0, resolutionList_->findData(options.resolution)));
      form->addRow(resText(kResScanResolution), resolutionList_);
    } else {
      resolution_ = new QSpinBox(this);
      resolution_->setObjectName(QStringLiteral("NumScanResolution"));
      resolution_->setRange(std::max(1, options.resolutionMin),
                            options.resolutionMax > 0 ? options.resolutionMax : 65535);
      resolution_->setSuffix(QStringLiteral(" dpi"));
      resolution_->setValue(options.resolution);
      form->addRow(resText(kResScanResolution), resolution_);
    }
  }
  if (options.hasArea) {
    auto* row = new QWidget(this);
    auto* l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    const double values[4] = {options.left, options.top, options.right, options.bottom};
    const char* names[4] = {"NumScanLeft", "NumScanTop", "NumScanRight", "NumScanBottom"};
    for (int i = 0; i < 4; ++i) {
      area_[i] = new QDoubleSpinBox(row);
      area_[i]->setObjectName(QString::fromLatin1(names[i]));
      area_[i]->setDecimals(1);
      const bool x = i % 2 == 0;
      area_[i]->setRange(x ? options.areaMinX : options.areaMinY, x ? options.areaMaxX : options.areaMaxY);
      area_[i]->setValue(values[i]);
      l->addWidget(area_[i]);
      if (i == 1) l->addWidget(new QLabel(QStringLiteral("–"), row));
    }
    form->addRow(resText(kResScanArea), row);
  }
  outer->addLayout(form);
  outer->addWidget(makeOkCancelButtons(this));
}

SScanOptions TFormScanOptions::chosen() const {
  SScanOptions o = options_;
  if (mode_) o.mode = mode_->currentText().toStdString();
  if (resolutionList_) o.resolution = resolutionList_->currentData().toInt();
  if (resolution_) o.resolution = resolution_->value();
  if (options_.hasArea) {
    o.left = area_[0]->value();
    o.top = area_[1]->value();
    o.right = area_[2]->value();
    o.bottom = area_[3]->value();
  }
  return o;
}

}  // namespace pg
