#include "app/qt/image_size_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <functional>

#include "app/dialog_texts.h"
#include "app/qt/main_form.h"
#include "app/qt/value_dialog.h"
#include "core/units.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

QString fmt(uint32_t id, const std::vector<FormatArg>& args) { return QString::fromStdString(formatRes(id, args)); }

QComboBox* unitList(QWidget* parent) {
  auto* box = new QComboBox(parent);
  for (int32_t unit : kSizeDialogUnits) box->addItem(QString::fromUtf8(unitName(unit).data(), int(unitName(unit).size())), unit);
  return box;
}

QDoubleSpinBox* field(QWidget* parent, int decimals) {
  auto* f = new QDoubleSpinBox(parent);
  f->setDecimals(decimals);
  f->setKeyboardTracking(false);
  f->setMinimumWidth(90);
  f->setAlignment(Qt::AlignRight);
  return f;
}

void showField(QDoubleSpinBox* f, SFieldRange r, float value) {
  const QSignalBlocker block(f);
  f->setRange(r.min, r.max);
  f->setValue(value);
}

void showUnit(QComboBox* box, int32_t unit) {
  const QSignalBlocker block(box);
  box->setCurrentIndex(box->findData(unit));
}

// The rows of the two axes: label, pixel field, "px", unit field, unit list.
void addAxisRows(QGridLayout* grid, QWidget* parent, SSizeAxisFields axes[2]) {
  const uint32_t labels[2] = {kResSizeWidth, kResSizeHeight};
  for (int a = 0; a < 2; ++a) {
    axes[a].pixels = field(parent, 0);
    axes[a].value = field(parent, 3);
    axes[a].unit = unitList(parent);
    auto* label = new QLabel(resText(labels[a]), parent);
    label->setBuddy(axes[a].pixels);
    grid->addWidget(label, a, 0);
    grid->addWidget(axes[a].pixels, a, 1);
    grid->addWidget(new QLabel(QStringLiteral("px"), parent), a, 2);
    grid->addWidget(axes[a].value, a, 3);
    grid->addWidget(axes[a].unit, a, 4);
  }
}

// Both axes as the model holds them, and the new size in the group's caption.
template <typename Model>
void showAxes(SSizeAxisFields axes[2], const Model& model, QGroupBox* group) {
  for (int a = 0; a < 2; ++a) {
    showUnit(axes[a].unit, model.unit(a));
    showField(axes[a].pixels, model.pixelRange(a), model.pixelField(a));
    showField(axes[a].value, model.unitRange(a), model.unitField(a));
  }
  group->setTitle(fmt(kResPixelGroupCaption, {double(model.resultWidth()), double(model.resultHeight())}));
}

// The fields of both axes change the model, and the dialog shows it again.
template <typename Model>
void connectAxisFields(QDialog* dialog, SSizeAxisFields axes[2], Model& model, const bool& guard,
                       const std::function<void()>& refresh) {
  for (int a = 0; a < 2; ++a) {
    QObject::connect(axes[a].pixels, &QDoubleSpinBox::valueChanged, dialog, [&model, &guard, refresh, a](double v) {
      if (guard) return;
      model.setPixelField(a, static_cast<float>(v));
      refresh();
    });
    QObject::connect(axes[a].value, &QDoubleSpinBox::valueChanged, dialog, [&model, &guard, refresh, a](double v) {
      if (guard) return;
      model.setUnitField(a, static_cast<float>(v));
      refresh();
    });
    QComboBox* unit = axes[a].unit;
    QObject::connect(unit, &QComboBox::currentIndexChanged, dialog, [&model, &guard, refresh, unit, a](int) {
      if (guard) return;
      model.setUnit(a, unit->currentData().toInt());
      refresh();
    });
  }
}

QString presentSize(int32_t w, int32_t h) {
  return fmt(kResSizePresent, {w, resString(kResTimesSign), h});
}

}  // namespace

// ---- anchor

TSizePositionControl::TSizePositionControl(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("BoxPosition"));
  setFixedSize(64, 64);
  cells_.layout(64, 64);
}

void TSizePositionControl::setSelected(int32_t cell) {
  if (cell < 0 || cell > 8 || cell == selected_) return;
  selected_ = cell;
  update();
  emit selectionChanged(cell);
}

void TSizePositionControl::resizeEvent(QResizeEvent* e) {
  cells_.layout(width(), height());
  QWidget::resizeEvent(e);
}

void TSizePositionControl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  for (int i = 0; i < 9; ++i) {
    const TRect& c = cells_.cells[i];
    QRect r(c.Left, c.Top, c.Right - c.Left, c.Bottom - c.Top);
    bool on = i == selected_;
    p.fillRect(r.adjusted(1, 1, -1, -1), on ? palette().highlight() : palette().button());
    p.setPen(on ? palette().highlightedText().color() : palette().mid().color());
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
}

void TSizePositionControl::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  int32_t cell = cells_.hit(e->position().toPoint().x(), e->position().toPoint().y());
  if (cell >= 0) setSelected(cell);
}

// ---- canvas size

TFormImageSize::TFormImageSize(int32_t width, int32_t height, int32_t resolution, QWidget* parent)
    : QDialog(parent), model_(width, height, resolution) {
  setObjectName(QStringLiteral("FormImageSize"));
  setWindowTitle(resText(kResSizeCaption));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(presentSize(width, height), this));
  pixelGroup_ = new QGroupBox(this);
  auto* grid = new QGridLayout(pixelGroup_);
  addAxisRows(grid, pixelGroup_, axes_);
  layout->addWidget(pixelGroup_);
  auto* lower = new QHBoxLayout;
  relative_ = new QCheckBox(resText(kResSizeRelative), this);
  lower->addWidget(relative_);
  lower->addStretch(1);
  lower->addWidget(new QLabel(resText(kResSizeAnchor), this));
  anchor_ = new TSizePositionControl(this);
  lower->addWidget(anchor_);
  layout->addLayout(lower);
  layout->addWidget(makeOkCancelButtons(this));

  connectAxisFields(this, axes_, model_, guard_, [this] { refresh(); });
  connect(anchor_, &TSizePositionControl::selectionChanged, this, [this](int cell) { model_.setAnchor(cell); });
  connect(relative_, &QCheckBox::toggled, this, [this](bool on) {
    if (guard_) return;
    model_.setRelative(on);
    refresh();
  });
  refresh();
}

void TFormImageSize::refresh() {
  guard_ = true;
  showAxes(axes_, model_, pixelGroup_);
  guard_ = false;
}

// ---- resampling

TFormResolution::TFormResolution(int32_t width, int32_t height, int32_t resolution, bool scaling, QWidget* parent)
    : QDialog(parent), model_(width, height, resolution) {
  setObjectName(QStringLiteral("FormResolution"));
  setWindowTitle(scaling ? resText(kResScalingCaption) : resText(kResResoCaption));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(presentSize(width, height), this));
  pixelGroup_ = new QGroupBox(this);
  auto* grid = new QGridLayout(pixelGroup_);
  addAxisRows(grid, pixelGroup_, axes_);
  layout->addWidget(pixelGroup_);
  auto* resoRow = new QHBoxLayout;
  auto* resoLabel = new QLabel(resText(kResResoResolution), this);
  resolution_ = field(this, 0);
  resolution_->setRange(72, 600);
  resoLabel->setBuddy(resolution_);
  auto* resoUnit = new QLabel(resText(kResResoUnit), this);
  resoRow->addWidget(resoLabel);
  resoRow->addWidget(resolution_);
  resoRow->addWidget(resoUnit);
  resoRow->addStretch(1);
  layout->addLayout(resoRow);
  if (scaling) {
    // Scaling a layer keeps the document's resolution.
    resoLabel->hide();
    resolution_->hide();
    resoUnit->hide();
  }
  aspect_ = new QCheckBox(resText(kResResoKeepAspect), this);
  aspect_->setChecked(model_.keepAspect());
  layout->addWidget(aspect_);
  layout->addWidget(makeOkCancelButtons(this));

  connectAxisFields(this, axes_, model_, guard_, [this] { refresh(); });
  connect(resolution_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (guard_) return;
    model_.setResolution(static_cast<float>(v));
    refresh();
  });
  connect(aspect_, &QCheckBox::toggled, this, [this](bool on) {
    if (guard_) return;
    model_.setKeepAspect(on);
    refresh();
  });
  refresh();
}

void TFormResolution::refresh() {
  guard_ = true;
  showAxes(axes_, model_, pixelGroup_);
  showField(resolution_, {72, 600}, model_.resolution());
  guard_ = false;
}

bool execImageSizeDialog(TMainForm& form, SImageSizeRecord& record, int32_t resolution) {
  TFormImageSize dialog(record.width, record.height, resolution, &form);
  if (form.showModalDialog(dialog) != kMrOk || !dialog.model().changed()) return false;
  record.width = dialog.model().resultWidth();
  record.height = dialog.model().resultHeight();
  record.anchor = static_cast<uint8_t>(dialog.model().anchor());
  return true;
}

bool execResolutionDialog(TMainForm& form, SResolutionRecord& record, bool scaling) {
  TFormResolution dialog(record.width, record.height, record.resolution, scaling, &form);
  if (form.showModalDialog(dialog) != kMrOk || !dialog.model().changed()) return false;
  record.width = dialog.model().resultWidth();
  record.height = dialog.model().resultHeight();
  record.resolution = dialog.model().resultResolution();
  return true;
}

}  // namespace pg
