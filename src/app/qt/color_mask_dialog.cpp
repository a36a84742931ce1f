// The colour range dialog and command.
#include "app/qt/color_mask_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <functional>

#include "app/qt/value_dialog.h"
#include "canvas/draw_window.h"
#include "core/block_image.h"
#include "core/plane_ops.h"
#include "document/layer_data.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"
#include "ui/qt/res_text.h"

namespace pg {

// A preview picture that reports clicks in its own pixels.
class TColorPickView final : public QWidget {
 public:
  explicit TColorPickView(QWidget* parent) : QWidget(parent) {}
  void setImage(const QImage& image) {
    image_ = image;
    setFixedSize(image.size().expandedTo(QSize(1, 1)));
    update();
  }
  std::function<void(QPoint, Qt::KeyboardModifiers)> onClick;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, image_);
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && onClick) onClick(e->position().toPoint(), e->modifiers());
  }

 private:
  QImage image_;
};

namespace {

// The previews' largest side.
constexpr int32_t kPreviewSide = 256;

// The dialog's texts: its caption, the source choice besides the layer, the
// three display choices, the four modes, the word of a full colour table.
constexpr uint32_t kResCaption = 69350, kResVisibleImage = 69351, kResColourWord = 69359;
constexpr uint32_t kResDisplays[] = {69352, 69353, 69354};
constexpr std::array<uint32_t, 4> kResModes = {69355, 69356, 69357, 69358};

// The recompute waits this long after the last change of the range.
constexpr int kRangeWaitMs = 500;

// Remembered from one dialog to the next (OK only).
struct SRemembered {
  int32_t range = CColorMaskModel::kDefaultRange;
  int32_t view = 0;
  int32_t source = 0;
};
SRemembered& remembered() {
  static SRemembered r;
  return r;
}

QImage imageOf(const TMTC& plane) {
  if (!plane.IsAllocated()) return {};
  return QImage(plane.Bits, plane.Width, plane.Height, static_cast<qsizetype>(plane.Width) * 4, QImage::Format_ARGB32)
      .copy();
}

}  // namespace

TFormColorMask::TFormColorMask(TPaper& doc, int32_t layerIndex, uint32_t resetColour, QWidget* parent)
    : QDialog(parent), doc_(doc), layerIndex_(layerIndex), resetColour_(resetColour & 0xFFFFFFu) {
  setWindowTitle(resText(kResCaption));
  auto* root = new QVBoxLayout(this);
  auto* pictures = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  source_ = new QComboBox(this);
  const CLayerData* layer = doc.getLayer(layerIndex);
  source_->addItem(layer != nullptr ? QString::fromStdString(layer->name) : QString());
  source_->addItem(resText(kResVisibleImage));
  sourceView_ = new TColorPickView(this);
  left->addWidget(source_);
  left->addWidget(sourceView_);
  auto* right = new QVBoxLayout;
  display_ = new QComboBox(this);
  for (uint32_t id : kResDisplays) display_->addItem(resText(id));
  resultView_ = new TColorPickView(this);
  right->addWidget(display_);
  right->addWidget(resultView_);
  pictures->addLayout(left);
  pictures->addLayout(right);
  root->addLayout(pictures);

  auto* modeBox = new QGroupBox(this);
  auto* modeRow = new QHBoxLayout(modeBox);
  for (int i = 0; i < 4; ++i) {
    modes_[i] = new QRadioButton(resText(kResModes[size_t(i)]), modeBox);
    modeRow->addWidget(modes_[i]);
    connect(modes_[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (!on || syncing_) return;
      model_.setMode(static_cast<ColorMaskMode>(i));
      showMode(Qt::NoModifier);
    });
  }
  modeLabel_ = new QLabel(this);
  modeRow->addWidget(modeLabel_);
  root->addWidget(modeBox);

  auto* rangeRow = new QHBoxLayout;
  rangeSlider_ = new QSlider(Qt::Horizontal, this);
  rangeSlider_->setRange(0, 255);
  rangeField_ = new QSpinBox(this);
  rangeField_->setRange(0, 255);
  reset_ = new QPushButton(resText(66701), this);
  rangeRow->addWidget(rangeSlider_, 1);
  rangeRow->addWidget(rangeField_);
  rangeRow->addWidget(reset_);
  root->addLayout(rangeRow);
  root->addWidget(makeOkCancelButtons(this));

  timer_.setSingleShot(true);
  timer_.setInterval(kRangeWaitMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (!model_.timerDue()) return;
    model_.timerFired();
    recompute();
  });
  auto rangeChanged = [this](int v) {
    if (syncing_) return;
    model_.setRange(v);
    syncing_ = true;
    rangeSlider_->setValue(model_.range());
    rangeField_->setValue(model_.range());
    syncing_ = false;
    if (model_.timerDue()) timer_.start();
  };
  connect(rangeSlider_, &QSlider::valueChanged, this, rangeChanged);
  connect(rangeField_, &QSpinBox::valueChanged, this, rangeChanged);
  connect(reset_, &QPushButton::clicked, this, [this] { resetAll(); });
  connect(source_, &QComboBox::currentIndexChanged, this, [this](int) {
    if (syncing_) return;
    rebuildSource();
  });
  connect(display_, &QComboBox::currentIndexChanged, this, [this](int) { showResult(); });
  sourceView_->onClick = [this](QPoint p, Qt::KeyboardModifiers k) { pickAt(p, k); };
  resultView_->onClick = sourceView_->onClick;

  syncing_ = true;
  const SRemembered& r = remembered();
  source_->setCurrentIndex(std::clamp(r.source, 0, 1));
  display_->setCurrentIndex(std::clamp(r.view, 0, 2));
  syncing_ = false;
  model_.reset(resetColour_, r.range);
  rebuildSource();
  resetAll();
  model_.reset(resetColour_, r.range);
  syncing_ = true;
  rangeSlider_->setValue(model_.range());
  rangeField_->setValue(model_.range());
  syncing_ = false;
  recompute();
}

TFormColorMask::~TFormColorMask() = default;

SColorRangeSettings TFormColorMask::settings() const { return model_.settings(source_->currentIndex() == 1); }

void TFormColorMask::resetAll() {
  timer_.stop();
  model_.reset(resetColour_);
  syncing_ = true;
  modes_[0]->setChecked(true);
  rangeSlider_->setValue(model_.range());
  rangeField_->setValue(model_.range());
  syncing_ = false;
  showMode(Qt::NoModifier);
  recompute();
}

void TFormColorMask::rebuildSource() {
  const int32_t w = doc_.width(), h = doc_.height();
  const CLayerData* layer = doc_.getLayer(layerIndex_);
  const bool composed = source_->currentIndex() == 1;
  // The whole picture fits the preview with its shape kept.
  const int32_t pw = std::max(1, w >= h ? kPreviewSide : static_cast<int32_t>(int64_t{kPreviewSide} * w / std::max(h, 1)));
  const int32_t ph = std::max(1, h >= w ? kPreviewSide : static_cast<int32_t>(int64_t{kPreviewSide} * h / std::max(w, 1)));
  if (!work_.Resize(pw, ph) || !coverage_.Resize(pw, ph) || !result_.Resize(pw, ph)) return;
  const CMaskData* mask = doc_.masks() != nullptr ? doc_.masks()->currentMask() : nullptr;
  limit_.reset();
  if (CMaskData::hasImage(mask)) {
    limit_ = std::make_unique<CBlockVCH>(pw, ph);
    if (!limit_->isValid()) limit_.reset();
  }
  for (int32_t y = 0; y < ph; ++y)
    for (int32_t x = 0; x < pw; ++x) {
      const int32_t dx = static_cast<int32_t>(int64_t{x} * w / pw);
      const int32_t dy = static_cast<int32_t>(int64_t{y} * h / ph);
      uint32_t v = 0;
      if (composed) {
        if (doc_.composite().IsAllocated() && dx < doc_.composite().Width && dy < doc_.composite().Height)
          v = doc_.composite().getPixel(dx, dy) | 0xFF000000u;
      } else if (layer != nullptr && layer->image) {
        v = layer->image->getPixelOrBackground(dx + layer->offsetX, dy + layer->offsetY);
      }
      *work_.pixelAt(x, y) = v;
      if (limit_) {
        const int32_t m = mask->valueAtPaper(dx, dy);
        if (m > 0 && !limit_->setPixel(x, y, static_cast<uint8_t>(m))) limit_.reset();
      }
    }
  sourceImage_ = imageOf(work_);
  sourceView_->setImage(sourceImage_);
  model_.requestFullRecompute();
  recompute();
}

void TFormColorMask::recompute() {
  if (!work_.IsAllocated()) return;
  CBlockVMTC block(work_.Width, work_.Height);
  if (!block.isValid() || !block.copyFromPlane(work_, 0, 0, 255)) return;
  CColorMask cm;
  if (!cm.init(settings(), block, TPoint{}, limit_.get(), coverage_)) return;
  const std::vector<SColorRangeEntry>& e = model_.entries();
  if (model_.fullRecomputeDue() || e.empty()) {
    fill(coverage_, 0);
    cm.compute(e.data(), static_cast<uint32_t>(e.size()));
  } else {
    if (model_.clearBeforeNewest()) fill(coverage_, 0);
    cm.compute(&e.back(), 1);
  }
  model_.recomputed();
  showResult();
}

void TFormColorMask::showResult() {
  if (!work_.IsAllocated()) return;
  const auto view = static_cast<ColorRangeView>(std::clamp(display_->currentIndex(), 0, 2));
  if (!renderColorRangePreview(work_, coverage_, view, result_)) return;
  resultImage_ = imageOf(result_);
  resultView_->setImage(resultImage_);
}

void TFormColorMask::pickAt(QPoint p, Qt::KeyboardModifiers keys) {
  if (!work_.IsAllocated() || p.x() < 0 || p.y() < 0 || p.x() >= work_.Width || p.y() >= work_.Height) return;
  const ColorMaskMode mode =
      model_.effectiveMode((keys & Qt::ShiftModifier) != 0, (keys & Qt::ControlModifier) != 0);
  const ColorPick result = model_.pick(work_.getPixel(p.x(), p.y()), mode);
  if (result == ColorPick::TableFull) {
    showWarning(formatRes(kResCannotAddMore, {resString(kResColourWord)}));
    return;
  }
  if (result != ColorPick::Ignored) recompute();
}

void TFormColorMask::showMode(Qt::KeyboardModifiers keys) {
  const ColorMaskMode mode =
      model_.effectiveMode((keys & Qt::ShiftModifier) != 0, (keys & Qt::ControlModifier) != 0);
  static constexpr uint32_t kWords[] = {kResColorRangeNew, kResColorRangeAdd, kResColorRangeRemove};
  const int m = static_cast<int>(mode);
  modeLabel_->setText(m < 3 ? resText(kWords[m]) : QString());
  // One pointer shape per mode over the previews.
  static constexpr Qt::CursorShape kShapes[] = {Qt::CrossCursor, Qt::PointingHandCursor, Qt::ForbiddenCursor,
                                                Qt::OpenHandCursor};
  sourceView_->setCursor(kShapes[m]);
  resultView_->setCursor(kShapes[m]);
}

void TFormColorMask::keyPressEvent(QKeyEvent* event) {
  showMode(event->modifiers());
  QDialog::keyPressEvent(event);
}

void TFormColorMask::keyReleaseEvent(QKeyEvent* event) {
  showMode(event->modifiers());
  QDialog::keyReleaseEvent(event);
}

void TFormColorMask::accept() {
  SRemembered& r = remembered();
  r.range = model_.range();
  r.view = display_->currentIndex();
  r.source = source_->currentIndex();
  QDialog::accept();
}

bool colorRangeSelectCmd(TDrawWindow& w, QWidget* parent, int32_t layerIndex) {
  if (!w.canEdit(false, false, false)) return false;
  TPaper& p = w.paper();
  const CLayerData* layer = p.getLayer(layerIndex);
  if (layer == nullptr || !layer->image) return false;
  const CMaskData* mask = p.masks() != nullptr ? p.masks()->currentMask() : nullptr;
  if (CMaskData::hasImage(mask)) {
    TRect sel{}, lr = layer->imageRect();
    if (!mask->getBounds(sel) || !intersectRect(lr, sel)) {
      showWarning(resString(kResNoValidSelection));
      return false;
    }
  }
  TFormColorMask dialog(p, layerIndex, w.shared().mainColor(), parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  const std::vector<SColorRangeEntry>& entries = dialog.entries();
  if (!p.applyColorRangeSelection(w.flow(), layerIndex, true, entries.data(), dialog.settings(), -1)) return false;
  w.setModified(true);
  w.invalidateView();
  return true;
}

}  // namespace pg
