#include "app/qt/layer_option_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

#include "app/dialog_texts.h"
#include "app/new_layer_model.h"
#include "app/qt/main_form.h"
#include "app/qt/print_dialog.h"
#include "app/qt/value_dialog.h"
#include "core/area_scale.h"
#include "core/block_image.h"
#include "core/planes.h"
#include "document/layer_data.h"
#include "document/mask_data.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

constexpr int kPreviewSide = 132;
constexpr uint32_t kResMaskWord = 65323;         // "マスク"

QDoubleSpinBox* percentField(QWidget* parent) {
  auto* f = new QDoubleSpinBox(parent);
  f->setRange(0, 100);
  f->setDecimals(1);
  f->setSuffix(QStringLiteral(" %"));
  f->setAlignment(Qt::AlignRight);
  return f;
}

// A field and its slider follow each other (field = slider position / 10).
QSlider* pairedSlider(QDoubleSpinBox* field, QWidget* parent, double& target) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setRange(0, 1000);
  QObject::connect(field, &QDoubleSpinBox::valueChanged, s, [s, &target](double v) {
    target = v;
    const QSignalBlocker block(s);
    s->setValue(static_cast<int>(std::lround(v * 10)));
  });
  QObject::connect(s, &QSlider::valueChanged, field, [field](int p) { field->setValue(p / 10.0); });
  return s;
}

QRectF fitted(double w, double h, double side) {
  double k = std::min(side / std::max(w, 1.0), side / std::max(h, 1.0));
  double fw = std::max(1.0, w * k), fh = std::max(1.0, h * k);
  return QRectF((side - fw) / 2 + 2, (side - fh) / 2 + 2, fw, fh);
}

}  // namespace

TFormLayerOption::TFormLayerOption(const TLayerOptionValue& record, const TMTC* layerPixels, const CMaskData* mask,
                                   bool maskVariant, int32_t layerW, int32_t layerH, int32_t docW, int32_t docH,
                                   QWidget* parent)
    : QDialog(parent), model_(record, layerW, layerH, docW, docH) {
  setObjectName(maskVariant ? QStringLiteral("FormMaskOption") : QStringLiteral("FormLayerOption"));
  setWindowTitle(maskVariant ? QString::fromStdString(formatRes(kResOptCaptionOf, {resString(kResMaskWord)}))
                             : resText(kResLayerOptCaption));
  auto* outer = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  auto* general = new QGroupBox(resText(kResOptGeneral), this);
  auto* form = new QFormLayout(general);
  name_ = new QLineEdit(QString::fromStdString(record.name), general);
  form->addRow(resText(kResOptName), name_);
  modes_ = new QComboBox(general);
  for (const std::string& n : CNewLayerModel::modeNames()) modes_->addItem(QString::fromStdString(n));
  modes_->setCurrentIndex(model_.modeIndex);
  opacity_ = percentField(general);
  opacitySlider_ = pairedSlider(opacity_, general, model_.opacityPercent);
  dither_ = new QCheckBox(resText(kResOptDither), general);
  ditherField_ = percentField(general);
  ditherSlider_ = pairedSlider(ditherField_, general, model_.ditherPercent);
  if (!maskVariant) {
    // The rows belong to the form once added; a mask has none of them.
    auto* opacityRow = new QHBoxLayout;
    opacityRow->addWidget(opacity_);
    opacityRow->addWidget(opacitySlider_, 1);
    auto* ditherRow = new QHBoxLayout;
    ditherRow->addWidget(ditherField_);
    ditherRow->addWidget(ditherSlider_, 1);
    form->addRow(resText(kResOptMode), modes_);
    auto* opacityLabel = new QLabel(resText(kResOptOpacity), general);
    opacityLabel->setBuddy(opacity_);
    form->addRow(opacityLabel, opacityRow);
    form->addRow(dither_, ditherRow);
  } else {
    for (QWidget* w : std::initializer_list<QWidget*>{modes_, opacity_, opacitySlider_, dither_, ditherField_, ditherSlider_})
      w->hide();
  }
  left->addWidget(general);

  const bool hasGeometry = !maskVariant || mask != nullptr;
  auto* position = new QGroupBox(resText(kResOptPosition), this);
  auto* grid = new QGridLayout(position);
  x_ = new QDoubleSpinBox(position);
  y_ = new QDoubleSpinBox(position);
  x_->setDecimals(0);
  y_->setDecimals(0);
  x_->setRange(model_.xMin, model_.xMax);
  y_->setRange(model_.yMin, model_.yMax);
  crop_ = new QCheckBox(resText(kResOptCrop), position);
  grid->addWidget(new QLabel(QStringLiteral("X"), position), 0, 0);
  grid->addWidget(x_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Y"), position), 1, 0);
  grid->addWidget(y_, 1, 1);
  grid->addWidget(new QLabel(QString::fromStdString(formatRes(kResOptSize, {layerW, layerH})), position), 2, 0, 1, 2);
  grid->addWidget(crop_, 3, 0, 1, 2);
  left->addWidget(position);
  position->setVisible(hasGeometry);
  outer->addLayout(left, 1);

  auto* right = new QVBoxLayout;
  auto* previewLabel = new QLabel(this);
  previewLabel->setObjectName(QStringLiteral("BoxPreview"));
  right->addWidget(previewLabel);
  right->addStretch(1);
  right->addWidget(makeOkCancelButtons(this));
  outer->addLayout(right);

  // The fields as the record gives them.
  opacity_->setValue(model_.opacityPercent);
  dither_->setChecked(model_.dither);
  ditherField_->setValue(model_.ditherPercent);
  x_->setValue(model_.x);
  y_->setValue(model_.y);
  crop_->setChecked(model_.crop);
  auto ditherEnabled = [this](bool on) {
    ditherField_->setEnabled(on);
    ditherSlider_->setEnabled(on);
  };
  ditherEnabled(model_.dither);
  connect(dither_, &QCheckBox::toggled, this, [this, ditherEnabled](bool on) {
    model_.dither = on;
    ditherEnabled(on);
  });
  connect(name_, &QLineEdit::textChanged, this, [this](const QString& t) { model_.name = t.toStdString(); });
  connect(modes_, &QComboBox::currentIndexChanged, this, [this](int i) { model_.modeIndex = i; });
  connect(x_, &QDoubleSpinBox::valueChanged, this, [this](double v) { model_.x = v; });
  connect(y_, &QDoubleSpinBox::valueChanged, this, [this](double v) { model_.y = v; });
  connect(crop_, &QCheckBox::toggled, this, [this](bool on) { model_.crop = on; });

  if (!maskVariant || mask != nullptr)
    makePreview(layerPixels, mask, layerW, layerH, docW, docH, record.x, record.y);
  else {
    preview_ = QImage(kPreviewSide + 4, kPreviewSide + 4, QImage::Format_ARGB32);
    preview_.fill(palette().window().color());
  }
  previewLabel->setPixmap(QPixmap::fromImage(preview_));
}

void TFormLayerOption::makePreview(const TMTC* pixels, const CMaskData* mask, int32_t layerW, int32_t layerH,
                                   int32_t docW, int32_t docH, int32_t posX, int32_t posY) {
  if (layerW <= 0 || layerH <= 0) return;
  const int side = kPreviewSide;
  QRectF area = fitted(layerW, layerH, side);
  QSize size(std::max(1, int(area.width())), std::max(1, int(area.height())));
  TMTC scaled(size.width(), size.height());
  if (!isPlaneReady(&scaled)) return;
  bool ok = false;
  if (pixels != nullptr) {
    ok = scaleToFitTMTC(scaled, *pixels, false, 0);
  } else if (mask != nullptr && mask->image) {
    TChannel channel(layerW, layerH);
    ok = isPlaneReady(&channel) && mask->image->copyToChannel(channel, 0, 0, false) &&
         scaleToFitTTC(scaled, channel, false, 0);
  }
  if (!ok) return;
  QImage image(side + 4, side + 4, QImage::Format_ARGB32);
  image.fill(palette().window().color());
  QPainter p(&image);
  if (pixels != nullptr) {
    // Transparent parts over a checkerboard of 4-pixel squares.
    for (int y = 0; y < size.height(); y += 4)
      for (int x = 0; x < size.width(); x += 4)
        p.fillRect(QRectF(area.x() + x, area.y() + y, 4, 4).intersected(area),
                   ((x / 4 + y / 4) & 1) ? QColor(0xCC, 0xCC, 0xCC) : QColor(Qt::white));
  }
  const QImage face = planeImage(scaled);
  p.drawImage(area.topLeft(), face);
  p.setPen(palette().dark().color());
  p.drawRect(area.adjusted(-1, -1, 0, 0));
  p.setPen(palette().light().color());
  p.drawRect(area.adjusted(-2, -2, 1, 1));
  // The document's rectangle where it lies against the layer.
  double k = area.width() / layerW;
  p.setClipRect(QRect(0, 0, side + 4, side + 4));
  p.setPen(palette().highlight().color());
  p.drawRect(QRectF(area.x() - posX * k, area.y() - posY * k, docW * k, docH * k));
  p.end();
  preview_ = image;
}

bool execRotationDialog(TMainForm& form, float& angle) {
  TFormValue dialog(&form);
  dialog.setObjectName(QStringLiteral("FormRotation"));
  dialog.setWindowTitle(resText(kResRotCaption));
  dialog.setLabelText(resText(kResRotAngle));
  dialog.setUnitText(resText(65285));
  dialog.setDecimals(1);
  dialog.setRange(999, -999, 0);
  // A typed angle is shown wrapped into a half turn either way.
  QObject::connect(dialog.numberField(), &QDoubleSpinBox::editingFinished, &dialog, [&dialog] {
    float wrapped = wrapRotationAngle(dialog.value().value());
    if (wrapped != dialog.value().value()) dialog.setValue(wrapped);
  });
  if (form.showModalDialog(dialog) != kMrOk) return false;
  angle = wrapRotationAngle(dialog.value().value());
  return true;
}

bool execLayerOptionDialog(TMainForm& form, TLayerOptionValue& record, const CLayerData& layer, int32_t docW,
                           int32_t docH) {
  const int32_t w = layer.imageWidth(), h = layer.imageHeight();
  if (w <= 0 || h <= 0 || !layer.image) return false;
  TMTC pixels(w, h);
  if (!isPlaneReady(&pixels) || !layer.image->copyToPlane(pixels, 0, 0, false, 255)) {
    // Say so rather than look as if the command were ignored.
    showWarning(resString(kResNoMemory));
    return false;
  }
  TFormLayerOption dialog(record, &pixels, nullptr, false, w, h, docW, docH, &form);
  if (!dialog.previewReady()) {
    showWarning(resString(kResNoMemory));
    return false;
  }
  if (form.showModalDialog(dialog) != kMrOk) return false;
  record = dialog.result();
  return true;
}

bool execMaskOptionDialog(TMainForm& form, TLayerOptionValue& record, const CMaskData* mask, int32_t docW,
                          int32_t docH) {
  const bool withImage = mask != nullptr && mask->image != nullptr;
  const int32_t w = withImage ? mask->imageWidth() : 0, h = withImage ? mask->imageHeight() : 0;
  TFormLayerOption dialog(record, nullptr, withImage ? mask : nullptr, true, w, h, docW, docH, &form);
  if (withImage && !dialog.previewReady()) {
    showWarning(resString(kResNoMemory));
    return false;
  }
  if (form.showModalDialog(dialog) != kMrOk) return false;
  TLayerOptionValue r = dialog.result();
  record.name = r.name;
  record.crop = r.crop;
  if (withImage) {
    record.x = r.x;
    record.y = r.y;
  }
  return true;
}

}  // namespace pg
