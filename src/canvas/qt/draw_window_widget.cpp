// The document window's Qt host.
#include "canvas/qt/draw_window_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QPointingDevice>
#include <QScrollBar>
#include <QTabletEvent>
#include <QWheelEvent>
#include <algorithm>

#include "brush/stroke_settings.h"
#include "canvas/ants_overlay.h"
#include "canvas/canvas_shared.h"
#include "canvas/qt/qt_tablet.h"
#include "canvas/qt/text_tool_window.h"
#include "canvas/tablet_input.h"
#include "document/paper.h"
#include "platform/message_service.h"
#include "platform/res_ids.h"

namespace pg {

namespace {

// The auto-scroll timer's interval.
constexpr int kAutoScrollMs = 100;
// The marching ants' step, the main window's tick.
constexpr int kAntsTickMs = 50;

PointerButton buttonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return PointerButton::Left;
    case Qt::RightButton: return PointerButton::Right;
    case Qt::MiddleButton: return PointerButton::Middle;
    default: return PointerButton::Other;
  }
}

uint32_t shiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
  uint32_t s = 0;
  if (m & Qt::ShiftModifier) s |= kShiftBit;
  if (m & Qt::AltModifier) s |= kAltBit;
  if (m & Qt::ControlModifier) s |= kCtrlBit;
  if (b & Qt::LeftButton) s |= kLeftBit;
  if (b & Qt::RightButton) s |= kRightBit;
  if (b & Qt::MiddleButton) s |= kMiddleBit;
  return s;
}

TPoint pointOf(const QPointF& p) {
  const auto clampTo = [](double v) { return static_cast<int32_t>(std::clamp(v, -1.0e6, 1.0e6)); };
  return {clampTo(p.x()), clampTo(p.y())};
}

// Stand-ins for the program's own cursors.
QCursor defaultCursor(const SCursorChoice& c) {
  switch (c.kind) {
    case CursorKind::Hidden: return QCursor(Qt::BlankCursor);
    case CursorKind::PenSlot: return QCursor(Qt::CrossCursor);
    case CursorKind::Custom: return QCursor(Qt::ArrowCursor);
    case CursorKind::Tool:
      switch (static_cast<ToolId>(c.number)) {
        case ToolId::HandScroll: return QCursor(Qt::OpenHandCursor);
        case ToolId::ViewRotation:
        case ToolId::BrushSizeDrag: return QCursor(Qt::SizeAllCursor);
        case ToolId::Eyedropper:
        case ToolId::ZoomIn:
        case ToolId::ZoomOut: return QCursor(Qt::PointingHandCursor);
        default: return QCursor(Qt::CrossCursor);
      }
  }
  return QCursor(Qt::ArrowCursor);
}

}  // namespace

int32_t windowKeyOf(int qtKey) {
  struct SKeyRow {
    int qt;
    int32_t key;
  };
  static constexpr SKeyRow kKeys[] = {
      {Qt::Key_Backspace, keys::kBackspace}, {Qt::Key_Return, keys::kEnter}, {Qt::Key_Enter, keys::kEnter},
      {Qt::Key_Escape, keys::kEscape},       {Qt::Key_Space, keys::kSpace},  {Qt::Key_Left, keys::kLeft},
      {Qt::Key_Up, keys::kUp},               {Qt::Key_Right, keys::kRight},  {Qt::Key_Down, keys::kDown},
      {Qt::Key_Insert, keys::kInsert},       {Qt::Key_Delete, keys::kDelete}, {Qt::Key_F5, keys::kF5},
      {Qt::Key_F6, keys::kF6},               {Qt::Key_Plus, keys::kPlus},    {Qt::Key_Equal, keys::kPlus},
      {Qt::Key_Minus, keys::kMinus},
  };
  for (const SKeyRow& row : kKeys)
    if (row.qt == qtKey) return row.key;
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
  return 0;
}

TDrawWindowWidget::TDrawWindowWidget(CCanvasShared& shared, QWidget* parent) : QAbstractScrollArea(parent) {
  window_ = std::make_unique<TDrawWindow>(shared, static_cast<IDrawWindowHost*>(this));
  // The text tools open their window over a document window.
  if (!shared.runTextTool) installTextToolWindow(shared);
  setAttribute(Qt::WA_DeleteOnClose, false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAttribute(Qt::WA_NoSystemBackground);
  viewport()->setAttribute(Qt::WA_TabletTracking);
  viewport()->setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  autoScroll_.setInterval(kAutoScrollMs);
  connect(&autoScroll_, &QTimer::timeout, this, [this] { window_->autoScrollTick(); });
  antsTimer_.setInterval(kAntsTickMs);
  connect(&antsTimer_, &QTimer::timeout, this, [this] { antsTick(); });
  antsTimer_.start();
  syncClientSize();
}

TDrawWindowWidget::~TDrawWindowWidget() {
  autoScroll_.stop();
  antsTimer_.stop();
  // The logic ends its stroke while its host still exists.
  window_.reset();
}

TDrawWindowWidget* TDrawWindowWidget::createNew(CCanvasShared& shared, const QString& name, int width, int height,
                                                int dpi, bool transparent, QWidget* parent) {
  auto* w = new TDrawWindowWidget(shared, parent);
  if (!w->window_->newDocument(name.toStdString(), width, height, dpi, transparent)) {
    delete w;
    return nullptr;
  }
  return w;
}

QMdiSubWindow* TDrawWindowWidget::addToArea(QMdiArea& area) {
  QMdiSubWindow* sub = area.addSubWindow(this);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowTitle(windowTitle());
  connect(sub, &QMdiSubWindow::aboutToActivate, this, [this] { window_->activate(); });
  connect(&area, &QMdiArea::subWindowActivated, this, [this, sub](QMdiSubWindow* active) {
    if (active != sub) window_->deactivate();
  });
  show();
  return sub;
}

// ---- painting ---------------------------------------------------------------------------------

void TDrawWindowWidget::syncClientSize() {
  const QSize s = viewport()->size();
  window_->resize(SSize{s.width(), s.height()});
  const TMTC& plane = window_->backBufferPlane();
  if (plane.IsAllocated()) {
    // The frame shares the back buffer's bytes: no copy per paint.
    frame_ = QImage(plane.Bits, plane.Width, plane.Height, static_cast<qsizetype>(plane.Width) * 4,
                    QImage::Format_RGB32);
  } else {
    frame_ = QImage();
  }
}

void TDrawWindowWidget::paintEvent(QPaintEvent* event) {
  window_->paintPending();
  QPainter painter(viewport());
  if (frame_.isNull()) {
    painter.fillRect(event->rect(), QColor(0xCC, 0xCC, 0xCC));
    return;
  }
  painter.drawImage(event->rect(), frame_, event->rect());
  paintAnts(painter, event->rect());
  paintTextPreview(painter);
  paintRubberBand(painter);
}

void TDrawWindowWidget::paintAnts(QPainter& painter, const QRect& area) {
  const CAntsOverlay& ants = window_->antsFrame();
  if (!ants.hasDashes()) return;
  const TRect& d = ants.drawnRect();
  const QRect r = area & QRect(d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top);
  if (r.isEmpty()) return;
  const TMTC& plane = ants.plane();
  // Every pixel is either empty or opaque, so the frame is its own
  // premultiplied form.
  const QImage image(plane.Bits, plane.Width, plane.Height, static_cast<qsizetype>(plane.Width) * 4,
                     QImage::Format_ARGB32_Premultiplied);
  painter.drawImage(r, image, r);
}

void TDrawWindowWidget::paintTextPreview(QPainter& painter) const {
  const STextPreview& p = window_->toolState().textPreview;
  if (!p.shown() || p.rect.Width <= 0 || p.rect.Height <= 0) return;
  const QImage image(reinterpret_cast<const uchar*>(p.pixels.data()), p.rect.Width, p.rect.Height,
                     p.rect.Width * 4, QImage::Format_ARGB32_Premultiplied);
  const TPointF a = window_->imageToClient({static_cast<float>(p.rect.X), static_cast<float>(p.rect.Y)});
  const TPointF b = window_->imageToClient(
      {static_cast<float>(p.rect.X + p.rect.Width), static_cast<float>(p.rect.Y + p.rect.Height)});
  // A turned view shows the preview on the text's unturned box.
  painter.drawImage(QRectF(QPointF(std::min(a.X, b.X), std::min(a.Y, b.Y)), QPointF(std::max(a.X, b.X), std::max(a.Y, b.Y))),
                    image);
}

void TDrawWindowWidget::paintRubberBand(QPainter& painter) const {
  if (!window_->overlayShown()) return;
  const SToolScratch& band = window_->toolState().tool;
  QPolygon polygon;
  const size_t n = std::min(band.points.size(), static_cast<size_t>(band.count) + 1);
  for (size_t i = 0; i < n; ++i) polygon << QPoint(band.points[i].X, band.points[i].Y);
  if (polygon.size() < 2) return;
  // Dotted black over white, so that it shows on any picture.
  painter.setPen(QPen(Qt::white, 1));
  painter.setBrush(Qt::NoBrush);
  if (band.closed) painter.drawPolygon(polygon); else painter.drawPolyline(polygon);
  painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
  if (band.closed) painter.drawPolygon(polygon); else painter.drawPolyline(polygon);
}

void TDrawWindowWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  syncClientSize();
}

void TDrawWindowWidget::updateRect(const TRect& r) {
  viewport()->update(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
}

void TDrawWindowWidget::updateAll() { viewport()->update(); }

void TDrawWindowWidget::applyScrollBars(const SScrollBars& bars) {
  applyingBars_ = true;
  const Qt::ScrollBarPolicy policy = bars.visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  const auto apply = [](QScrollBar* bar, const SScrollAxis& a) {
    bar->setRange(0, a.maxPosition());
    bar->setPageStep(std::max(1, a.page));
    bar->setSingleStep(a.smallChange);
    bar->setValue(a.position);
  };
  apply(horizontalScrollBar(), bars.h);
  apply(verticalScrollBar(), bars.v);
  applyingBars_ = false;
  // Showing or hiding the bars resizes the viewport: done last, outside the
  // guard, so that the layout follows the new client size.
  if (horizontalScrollBarPolicy() != policy) setHorizontalScrollBarPolicy(policy);
  if (verticalScrollBarPolicy() != policy) setVerticalScrollBarPolicy(policy);
}

void TDrawWindowWidget::scrollContentsBy(int, int) {
  if (applyingBars_) return;
  window_->setScrollPositions(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

// ---- host services --------------------------------------------------------------------------

void TDrawWindowWidget::beep() { QApplication::beep(); }

namespace {
TDrawWindowWidget::TCursorFactory& cursorFactory() {
  static TDrawWindowWidget::TCursorFactory factory;
  return factory;
}
}  // namespace

void TDrawWindowWidget::setCursorFactory(TCursorFactory factory) { cursorFactory() = std::move(factory); }

float TDrawWindowWidget::brushRadiusOnScreen() const {
  return window_->shared().toolStroke().WIDTH * window_->paper().zoomValue();
}

void TDrawWindowWidget::refreshCursor() { window_->updateCursor(window_->pointerPosition()); }

void TDrawWindowWidget::setCursor(const SCursorChoice& c) {
  if (cursorProvider)
    viewport()->setCursor(cursorProvider(c));
  else if (cursorFactory())
    viewport()->setCursor(cursorFactory()(c, brushRadiusOnScreen()));
  else
    viewport()->setCursor(defaultCursor(c));
}

void TDrawWindowWidget::setAutoScrollTimer(bool on) {
  if (on && !autoScroll_.isActive()) autoScroll_.start();
  if (!on) autoScroll_.stop();
}

void TDrawWindowWidget::setCaption(const std::string& caption) {
  const QString title = QString::fromStdString(caption);
  setWindowTitle(title);
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->setWindowTitle(title);
}

void TDrawWindowWidget::screenToClient(float& x, float& y) const {
  const QPointF local = viewport()->mapFromGlobal(QPointF(x, y));
  x = static_cast<float>(local.x());
  y = static_cast<float>(local.y());
}

int32_t TDrawWindowWidget::askSaveChanges(const std::string& caption) {
  const int32_t answer =
      saveQuestion ? saveQuestion(caption) : askYesNoCancel(formatRes(kResAskSaveChanged, {caption}));
  if (answer != kAnswerYes) return answer;
  // Yes closes only once the document is saved.
  return saveDocument && saveDocument(*this) ? kAnswerYes : kAnswerCancel;
}

int32_t TDrawWindowWidget::askYesNo(const std::string& text) { return askConfirm(text, MessageButtons::YesNo); }

void TDrawWindowWidget::showReplayMessage(const std::string& text) { showWarning(text); }

void TDrawWindowWidget::replayEnded(const SReplaySummary& summary) {
  if (onReplayEnded) onReplayEnded(*this, summary);
}

int32_t TDrawWindowWidget::askOkCancel(const std::string& text) {
  return askConfirm(text, MessageButtons::OkCancel) == kAnswerOk ? kAnswerOk : kAnswerCancel;
}

std::string TDrawWindowWidget::askEventFileName(const std::string& proposed) {
  return eventFileDialog ? eventFileDialog(*this, proposed) : std::string();
}

void TDrawWindowWidget::showZoomAndAngle(float zoomPercent, float degrees) {
  if (onZoomAndAngle) onZoomAndAngle(zoomPercent, degrees);
  // The brush outline follows the zoom.
  refreshCursor();
}

void TDrawWindowWidget::activateNextWindow(bool previous) {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  QMdiArea* area = sub != nullptr ? sub->mdiArea() : nullptr;
  if (area == nullptr) return;
  if (previous) {
    area->activatePreviousSubWindow();
  } else {
    area->activateNextSubWindow();
  }
}

void TDrawWindowWidget::setWaitCursor(bool on) {
  if (on) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QGuiApplication::restoreOverrideCursor();
  }
}

// ---- input ------------------------------------------------------------------------------------------

bool TDrawWindowWidget::fromTablet(const QMouseEvent& event) {
  if (event.source() == Qt::MouseEventSynthesizedByQt) return true;
  const QPointingDevice* device = event.pointingDevice();
  if (device == nullptr) return false;
  const auto type = device->type();
  return type == QInputDevice::DeviceType::Stylus || type == QInputDevice::DeviceType::Airbrush ||
         type == QInputDevice::DeviceType::Puck;
}

void TDrawWindowWidget::keysFrom(Qt::KeyboardModifiers m) {
  SKeyState k;
  k.shift = (m & Qt::ShiftModifier) != 0;
  k.alt = (m & Qt::AltModifier) != 0;
  k.ctrl = (m & Qt::ControlModifier) != 0;
  k.space = spaceHeld_;
  const SKeyState& old = window_->keyState();
  if (k.shift != old.shift || k.alt != old.alt || k.ctrl != old.ctrl || k.space != old.space) window_->setKeyState(k);
}

void TDrawWindowWidget::mousePressEvent(QMouseEvent* event) {
  if (fromTablet(*event)) return;
  keysFrom(event->modifiers());
  window_->mouseDown(buttonOf(event->button()), shiftOf(event->modifiers(), event->buttons()),
                     pointOf(event->position()), false);
}

void TDrawWindowWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (fromTablet(*event)) return;
  keysFrom(event->modifiers());
  window_->mouseDown(buttonOf(event->button()), shiftOf(event->modifiers(), event->buttons()),
                     pointOf(event->position()), true);
}

void TDrawWindowWidget::mouseMoveEvent(QMouseEvent* event) {
  if (fromTablet(*event)) return;
  keysFrom(event->modifiers());
  window_->mouseMove(shiftOf(event->modifiers(), event->buttons()), pointOf(event->position()));
}

void TDrawWindowWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (fromTablet(*event)) return;
  keysFrom(event->modifiers());
  window_->mouseUp(buttonOf(event->button()), shiftOf(event->modifiers(), event->buttons()),
                   pointOf(event->position()));
}

bool TDrawWindowWidget::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
      tabletEvent(static_cast<QTabletEvent*>(event));
      return true;
    default:
      return QAbstractScrollArea::viewportEvent(event);
  }
}

void TDrawWindowWidget::tabletEvent(QTabletEvent* event) {
  // Taken: Qt then makes up no mouse event for the pen.
  event->accept();
  keysFrom(event->modifiers());
  TDrawWindow::TabletPhase phase = TDrawWindow::TabletPhase::Move;
  if (event->type() == QEvent::TabletPress) {
    if (event->button() != Qt::LeftButton) return;  // the barrel buttons are no tip
    phase = TDrawWindow::TabletPhase::Press;
  } else if (event->type() == QEvent::TabletRelease) {
    if (event->button() != Qt::LeftButton) return;
    phase = TDrawWindow::TabletPhase::Release;
  }
  const uint32_t shift = shiftOf(event->modifiers(), event->buttons());
  TWinTab32* tablet = window_->shared().tablet;
  bool isPacket = false;
  if (tablet != nullptr && tablet->isOpen() && feedTabletEvent(*tablet, *event, isPacket) && isPacket) {
    // The wrapper holds the pen in screen coordinates with its pressure.
    const float pressure = phase == TDrawWindow::TabletPhase::Release ? 0.0f : tablet->pressureFraction();
    window_->tabletInput(phase, tablet->x(), tablet->y(), pressure, true, shift);
    return;
  }
  const QPointF at = event->position();
  const float pressure = phase == TDrawWindow::TabletPhase::Release ? 0.0f : static_cast<float>(event->pressure());
  window_->tabletInput(phase, static_cast<float>(at.x()), static_cast<float>(at.y()), pressure, false, shift);
}

void TDrawWindowWidget::wheelEvent(QWheelEvent* event) {
  event->accept();
  const QPoint d = event->angleDelta();
  const int delta = d.y() != 0 ? d.y() : d.x();
  window_->wheel(delta, pointOf(event->position()));
}

void TDrawWindowWidget::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) spaceHeld_ = true;
  keysFrom(event->modifiers());
  const int32_t key = windowKeyOf(event->key());
  if (key == 0 || key == keys::kSpace || !window_->keyDown(key, event->isAutoRepeat(), false)) {
    if (key != keys::kSpace) QAbstractScrollArea::keyPressEvent(event);
  }
}

void TDrawWindowWidget::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) spaceHeld_ = false;
  keysFrom(event->modifiers());
}

void TDrawWindowWidget::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  keysFrom(QGuiApplication::queryKeyboardModifiers());
}

void TDrawWindowWidget::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  // Keys released elsewhere never reach this window: forget them, and end
  // what a held button or the pen left open.
  spaceHeld_ = false;
  autoScroll_.stop();
  window_->focusLost();
}

void TDrawWindowWidget::closeEvent(QCloseEvent* event) {
  if (!window_->closeQuery()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace pg
