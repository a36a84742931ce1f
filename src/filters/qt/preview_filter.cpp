// The filter dialogs' preview frame.
#include "filters/qt/preview_filter.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include "filters/filter_run.h"
#include "ui/qt/trackbar.h"

namespace pg {

namespace {

// A palette colour as a pixel (blue low).
uint32_t pixelOf(const QColor& c) { return 0xFF000000u | uint32_t(c.red()) << 16 | uint32_t(c.green()) << 8 | uint32_t(c.blue()); }

}  // namespace

TPreviewFilter::TPreviewFilter(QWidget* parent) : QWidget(parent) {
  setFixedSize(208, 230);
  track_ = new TGraphicTrackbar(this);
  track_->setCenterLine(true);
  zoomLabel_ = new QLabel(this);
  zoomLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  dragTimer_.setInterval(100);
  connect(&dragTimer_, &QTimer::timeout, this, [this] { drawView(); });
  track_->OnChange = [this] {
    if (inChange_) return;
    inChange_ = true;
    model_.setTrackPosition(track_->rawPosition());
    zoomChanged();
    inChange_ = false;
  };
  track_->installEventFilter(this);
  resizeEvent(nullptr);
  showZoom();
}

bool TPreviewFilter::eventFilter(QObject* watched, QEvent* e) {
  // Releasing the zoom bar filters the picture once.
  if (watched == track_ && e->type() == QEvent::MouseButtonRelease)
    QTimer::singleShot(0, this, [this] { drawView(); });
  return QWidget::eventFilter(watched, e);
}

bool TPreviewFilter::bindCore(CFlt4Core* core, std::function<std::vector<uint8_t>()> record) {
  core_ = core != nullptr && core->isValid() ? core : nullptr;
  record_ = std::move(record);
  if (core_ == nullptr) return false;
  const SSize size = core_->imageSize();
  model_.bind(size.W, size.H, core_->bounds());
  inChange_ = true;
  track_->setPosition(model_.trackPosition());
  track_->setCenterLine(model_.zoom() == 100.0f);
  inChange_ = false;
  showZoom();
  drawView();
  return true;
}

void TPreviewFilter::showZoom() { zoomLabel_->setText(QString::asprintf("%1.1f %%", double(model_.zoom()))); }

void TPreviewFilter::zoomChanged() {
  showZoom();
  drawView();
}

void TPreviewFilter::drawView() {
  const TMTC* shown = nullptr;
  if (core_ != nullptr) {
    const TRect r = model_.visibleRect();
    if (model_.dragging() || track_->dragging()) {
      if (core_->sourceRegion(r, visible_)) shown = &visible_;
      filtered_ = false;
    } else {
      setCursor(Qt::WaitCursor);
      const std::vector<uint8_t> rec = record_ ? record_() : std::vector<uint8_t>();
      filtered_ = renderer_ ? renderer_(rec, r, visible_)
                            : core_->renderRegion(rec.data(), int32_t(rec.size()), r, visible_);
      unsetCursor();
      // A refusal leaves the previous picture.
      if (!filtered_) return;
      shown = &visible_;
    }
  }
  const QPalette& p = palette();
  if (!drawPreviewPicture(model_, shown, pixelOf(p.color(QPalette::Window)), pixelOf(p.color(QPalette::WindowText)),
                          paint_))
    return;
  image_ = QImage(paint_.Width, paint_.Height, QImage::Format_ARGB32);
  for (int32_t y = 0; y < paint_.Height; ++y) {
    auto* line = reinterpret_cast<uint32_t*>(image_.scanLine(y));
    for (int32_t x = 0; x < paint_.Width; ++x) line[x] = paint_.getPixel(x, y);
  }
  update(0, 0, paint_.Width, paint_.Height);
}

void TPreviewFilter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!image_.isNull()) painter.drawImage(0, 0, image_);
}

void TPreviewFilter::resizeEvent(QResizeEvent*) {
  const int32_t row = CPreviewFrameModel::kZoomRowHeight;
  model_.setPaintBox(width(), height() - row);
  track_->setGeometry(0, height() - row + 2, width() - 64, 18);
  zoomLabel_->setGeometry(width() - 62, height() - row, 60, row);
  drawView();
}

void TPreviewFilter::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  model_.beginDrag(int32_t(e->position().x()), int32_t(e->position().y()));
  dragTimer_.start();
}

void TPreviewFilter::mouseMoveEvent(QMouseEvent* e) {
  if (!(e->buttons() & Qt::LeftButton)) return;
  (void)model_.dragTo(int32_t(e->position().x()), int32_t(e->position().y()));  // false: the view did not move
}

void TPreviewFilter::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  model_.endDrag();
  dragTimer_.stop();
  drawView();
}

}  // namespace pg
