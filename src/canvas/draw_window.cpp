// The document window: ownership, life, the edit gate, undo and redo, and the
// view (layout, zoom, scrolling, rotation and the back buffer).
#include "canvas/draw_window.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "brush/plot_callbacks.h"
#include "brush/plot_state.h"
#include "brush/stroke_settings.h"
#include "canvas/flow_compose.h"
#include "canvas/pen_tools.h"
#include "canvas/tool_handlers.h"
#include "core/plane_ops.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_mngr.h"
#include "document/layer_thumbnail.h"
#include "document/paper.h"
#include "platform/debug_output.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"
#include "record/legacy_event_packet.h"
#include "replay/replay_session.h"

namespace pg {

TDrawWindow::TDrawWindow(CCanvasShared& shared, IDrawWindowHost* host, DocServices services)
    : shared_(shared), host_(host), services_(std::move(services)), handlers_(&nullToolHandlers()) {
  if (services_.prefs == nullptr) services_.prefs = shared_.docPrefs;
  // A document records from the moment it is made.
  if (!services_.makeRecorder) {
    services_.makeRecorder =
        eventStoreRecorderFactory(SRecorderTools{&shared_.toolStroke(), &shared_.toolTones(), shared_.penTools()});
  }
  marginX_ = marginY_ = std::max(0, shared_.prefs.viewMargin);
  paper_ = std::make_unique<TPaper>(this, services_);
  flow_ = std::make_unique<TFlowImage>(paper_.get());
  stroke_ = std::make_unique<TStroke>();
  attachDocument();
  makePenEngine();
  shared_.addWindow(this);
  selectToolHandlers(true);
}

TDrawWindow::~TDrawWindow() {
  // Whatever is still open ends before anything goes: a stroke is recorded
  // once and merged into its layer.
  finishOpenStroke();
  // A replay reads the document: it goes before it.
  replay_.reset();
  shared_.removeWindow(this);
  detachDocument();
  // The flow image reads its document: it goes first.
  flow_.reset();
  paper_.reset();
}

void TDrawWindow::attachDocument() {
  paper_->setOwner(this);
  paper_->setViewSurface(this);
  paper_->setFlowImage(flow_.get());
  paper_->setToolTools(&shared_.toolTones(), nullptr);
  flow_->owner = paper_.get();
}

void TDrawWindow::detachDocument() {
  if (!paper_) return;
  paper_->setViewSurface(nullptr);
  paper_->setOwner(nullptr);
}

// ---- set-up ----------------------------------------------------------------------------

bool TDrawWindow::newDocument(const std::string& name, int32_t width, int32_t height, int32_t dpi, bool transparent) {
  finishOpenStroke();
  if (!paper_->newDocument(name, flow_.get(), transparent, false, dpi, height, width)) return false;
  logMarkSet_ = false;  // a new recording: the event log starts again
  makePenEngine();
  imageReady_ = true;
  modified_ = false;
  documentLayoutChanged(true);
  return true;
}

bool TDrawWindow::adoptDocument(std::unique_ptr<TPaper> doc, std::unique_ptr<TPaper>* previous) {
  if (!doc) return false;
  cancelPointer();
  finishOpenStroke();
  // A replay belongs to the document it replays into.
  replay_.reset();
  legacy_.reset();
  replaying_ = false;
  endPending_ = false;
  logMarkSet_ = false;  // the event log starts again with this document
  detachDocument();
  flow_.reset();
  std::unique_ptr<TPaper> old = std::exchange(paper_, std::move(doc));
  if (old) old->setFlowImage(nullptr);
  if (previous != nullptr) *previous = std::move(old);
  flow_ = std::make_unique<TFlowImage>(paper_.get());
  attachDocument();
  makePenEngine();
  flow_->fitDocument(false);
  if (paper_->currentLayerIndex() >= 0) paper_->loadFlowImage(*flow_, paper_->currentLayerIndex(), true);
  if (paper_->composite().size() != SSize{paper_->width(), paper_->height()} &&
      !paper_->composite().Resize(paper_->width(), paper_->height()))
    debugOutput("document window: the composite could not take the document size");
  paper_->composeRect(SRectXYWH{0, 0, paper_->width(), paper_->height()}, true);
  imageReady_ = true;
  modified_ = false;
  documentLayoutChanged(true);
  return true;
}

// ---- life ------------------------------------------------------------------------------------

void TDrawWindow::activate() {
  selectToolHandlers(true);
  updatePlotCallbacks(paper_->plotState(), shared_.toolStroke(), paper_.get());
  (void)selectPenEngine(shared_.penEngineLevel);  // refused while a stroke or replay runs
  // The recorder hears of it, and the pen engine takes the current settings.
  paper_->activate(true);
  updateTitle();
  updateCursor(toolState_.pointerPos);
}

void TDrawWindow::deactivate() {
  cancelPointer();
  finishOpenStroke();
  paper_->activate(false);
}

void TDrawWindow::focusLost() {
  deactivate();
  keys_ = SKeyState{};
}

bool TDrawWindow::closeQuery() {
  if (!isIdle() || (toolState_.inputState & input::kTemporaryTool) != 0) return false;
  if (modified_ && !shared_.renderMode && host_ != nullptr) {
    const int32_t answer = host_->askSaveChanges(paper_->windowCaption());
    if (answer != kAnswerYes && answer != kAnswerNo) return false;
  }
  finishOpenStroke();
  return true;
}

// ---- gates -------------------------------------------------------------------------------------

void TDrawWindow::makePenEngine() {
  CPenTools* tools = shared_.penTools();
  if (tools == nullptr || !paper_) return;
  // A document that cannot have the engine keeps painting with the walker.
  if (!paper_->createPenEngine(shared_.toolStroke(), tools->render())) return;
  (void)selectPenEngine(shared_.penEngineLevel);  // refused during replay
}

bool TDrawWindow::selectPenEngine(int32_t level) {
  if (!paper_ || isStrokeOpen() || isReplaying() || !paper_->isStandardMode()) return false;
  return paper_->selectPenEngine(level);
}

bool TDrawWindow::isStrokeOpen() const {
  if (paper_->strokeState().isOpen()) return true;
  const IDocRecorder* rec = paper_->events();
  return rec != nullptr && rec->isStrokeOpen();
}

// The document has no background mode to exempt: every caller's answer is
// the same, so the first flag is read by nothing.
bool TDrawWindow::canEdit(bool /*ignoreBackgroundMode*/, bool allowDuringReplay, bool onlyWhenPaused) {
  if (shared_.renderMode) return false;
  if (!paper_->isStandardMode()) return false;
  if (isStrokeOpen()) return false;
  if (isBusy()) return false;
  if (shared_.modalRunning) return false;
  if (isReplaying() && (!allowDuringReplay || (onlyWhenPaused && !isReplayPaused()))) return false;
  commitPending();
  return true;
}

void TDrawWindow::endKeyMoveMode() {
  (void)endKeyMove(*this);  // false when no key move was running: nothing to end
  updateCursor(toolState_.pointerPos);
}

void TDrawWindow::commitPending() {
  // Every command completes before it returns: there is nothing pending to commit.
}

bool TDrawWindow::canUndo() {
  return canEdit(true, false, true) && paper_->canUndo(paper_->currentLayerIndex());
}

bool TDrawWindow::canRedo() {
  return canEdit(true, false, true) && paper_->canRedo(paper_->currentLayerIndex());
}

bool TDrawWindow::undo() {
  if (!canUndo()) return false;
  int32_t index = paper_->currentLayerIndex();
  TRect rect{};
  const bool ok = paper_->undo(*flow_, index, rect);
  if (ok) modified_ = true;
  return ok;
}

bool TDrawWindow::redo() {
  if (!canRedo()) return false;
  int32_t index = paper_->currentLayerIndex();
  TRect rect{};
  const bool ok = paper_->redo(*flow_, index, rect);
  if (ok) modified_ = true;
  return ok;
}

bool TDrawWindow::clearUndo() {
  if (isStrokeOpen() || isReplaying()) return false;
  if (host_ != nullptr && host_->askYesNo(resString(kResAskClearUndo)) == kAnswerYes) paper_->clearUndo();
  return true;
}

bool TDrawWindow::exchangeModified(bool modified) {
  const bool old = modified_;
  modified_ = modified;
  return old;
}

// ---- view ------------------------------------------------------------------------------------------

bool TDrawWindow::isRotated() const { return paper_->view().angleRad() != 0.0f; }

TPointF TDrawWindow::clientToImage(TPointF p) const {
  float x = clampWindowCoordinate(p.X), y = clampWindowCoordinate(p.Y);
  paper_->windowToPaperF(client_.W, client_.H, x, y);
  return {x, y};
}

TPoint TDrawWindow::clientToImageRounded(TPoint p) const {
  const TPointF f = clientToImage(pointToFloat(p));
  return {saturateToInt32(std::round(static_cast<double>(f.X))), saturateToInt32(std::round(static_cast<double>(f.Y)))};
}

TPointF TDrawWindow::imageToClient(TPointF p) const {
  paper_->paperToWindowF(p);
  return p;
}

void TDrawWindow::resize(SSize client) {
  client.W = std::max(client.W, 0);
  client.H = std::max(client.H, 0);
  if (client == client_ && backBuffer_.IsAllocated()) return;
  // The image point at the centre stays there.
  const TPointF centre = clientToImage({static_cast<float>(client_.W / 2), static_cast<float>(client_.H / 2)});
  const bool hadClient = client_.W > 0 && client_.H > 0;
  client_ = client;
  if (client.W > 0 && client.H > 0) {
    if (!backBuffer_.Resize(client.W, client.H)) debugOutput("document window: no back buffer for the new size");
  } else {
    backBuffer_.FreeData();
  }
  if (!ants_.resize(client_)) debugOutput("document window: no frame for the selection outline");
  if (hadClient && imageReady_) {
    showPointAt(centre, {static_cast<float>(client_.W / 2), static_cast<float>(client_.H / 2)});
  } else {
    updateScrollLayout();
  }
  invalidateView();
}

void TDrawWindow::invalidateView() {
  fullPaintDue_ = true;
  if (host_ != nullptr) host_->updateAll();
}

bool TDrawWindow::paintPending() {
  if (!fullPaintDue_) return false;
  paintAll();
  return true;
}

void TDrawWindow::paintAll() {
  fullPaintDue_ = false;
  // The view may have moved under the outline.
  ants_.invalidate();
  if (!backBuffer_.IsAllocated()) return;
  const uint32_t workspace = 0xFF000000u | kWorkspaceColor;
  if (!imageReady_ || !paper_->composite().IsAllocated()) {
    fillPlane(backBuffer_, workspace);
    return;
  }
  paper_->buildViewBuffer();
  paper_->paintWindow(backBuffer_);
  fillMargins(TRect{0, 0, client_.W, client_.H});
}

bool TDrawWindow::antsTick() {
  const bool seen = imageReady_ && paper_->stepAnts();
  if (seen) ants_.invalidate();
  const TRect changed = imageReady_ ? ants_.refresh(*paper_) : TRect{};
  if (host_ != nullptr && changed.Right > changed.Left && changed.Bottom > changed.Top) host_->updateRect(changed);
  return seen;
}

const CAntsOverlay& TDrawWindow::antsFrame() {
  if (imageReady_) {
    const TRect changed = ants_.refresh(*paper_);
    // Dashes outside the rectangle being drawn are shown by a paint of their own.
    if (host_ != nullptr && changed.Right > changed.Left && changed.Bottom > changed.Top) host_->updateRect(changed);
  }
  return ants_;
}

void TDrawWindow::fillMargins(const TRect& area) {
  // A turned view is the document's own to the edges.
  if (isRotated() || !backBuffer_.IsAllocated()) return;
  const uint32_t workspace = 0xFF000000u | kWorkspaceColor;
  TRect a = area;
  if (!intersectRect(a, TRect{0, 0, client_.W, client_.H})) return;
  TRect image = imageWindowRect(*paper_);
  if (!intersectRect(image, a)) {
    fillRect(backBuffer_, rectToXYWH(a), workspace);
    return;
  }
  fillRect(backBuffer_, SRectXYWH{a.Left, a.Top, a.Right - a.Left, image.Top - a.Top}, workspace);
  fillRect(backBuffer_, SRectXYWH{a.Left, image.Bottom, a.Right - a.Left, a.Bottom - image.Bottom}, workspace);
  fillRect(backBuffer_, SRectXYWH{a.Left, image.Top, image.Left - a.Left, image.Bottom - image.Top}, workspace);
  fillRect(backBuffer_, SRectXYWH{image.Right, image.Top, a.Right - image.Right, image.Bottom - image.Top}, workspace);
}

void TDrawWindow::presentRect(const TRect& rect) {
  fillMargins(rect);
  if (host_ != nullptr) host_->updateRect(rect);
}

void TDrawWindow::repaintImageRect(const TRect& docRect) {
  if (!imageReady_) return;
  if (paper_->strokeState().isOpen()) composeWithFlow(*paper_, *flow_, docRect);
  // A full paint is due anyway: it shows the rectangle too.
  if (fullPaintDue_) return;
  (void)paper_->paintWindowRect(this, docRect);
}

void TDrawWindow::documentLayoutChanged(bool relayout) {
  if (relayout && imageReady_) {
    relayoutAt({paper_->width() / 2.0f, paper_->height() / 2.0f});
  } else {
    updateScrollLayout();
    invalidateView();
  }
  updateTitle();
}

void TDrawWindow::setWaitCursor(bool on) {
  if (host_ != nullptr) host_->setWaitCursor(on);
}

void TDrawWindow::updateTitle() {
  const std::string caption = paper_->windowCaption();
  // Other windows on documents of the same caption are numbered from 2 in
  // window order; this one then becomes number 1.
  int32_t number = 2;
  for (TDrawWindow* other : shared_.windows()) {
    if (other == this || !other->imageReady_ || other->paper_->windowCaption() != caption) continue;
    if (other->host_ != nullptr) other->host_->setCaption(caption + " (" + std::to_string(number) + ")");
    ++number;
  }
  if (host_ == nullptr) return;
  host_->setCaption(number > 2 ? caption + " (1)" : caption);
  host_->showZoomAndAngle(paper_->zoomValue() * 100.0f, paper_->view().angleDeg());
}

void TDrawWindow::updateScrollLayout() {
  const float z = paper_->zoomValue();
  const SScrollAxis oldH = bars_.h, oldV = bars_.v;
  bars_.h = scrollAxisLayout(paper_->width(), z, marginX_, client_.W);
  bars_.v = scrollAxisLayout(paper_->height(), z, marginY_, client_.H);
  bars_.h.position = oldH.position;
  bars_.v.position = oldV.position;
  bars_.visible = shared_.prefs.showScrollBar && !isRotated();
  if (isRotated()) {
    if (host_ != nullptr) host_->applyScrollBars(bars_);
    afterViewChange();
    return;
  }
  applyScrollPosition(bars_.h.position, bars_.v.position);
}

void TDrawWindow::applyScrollPosition(int64_t x, int64_t y) {
  if (isRotated()) return;
  const float z = paper_->zoomValue();
  bars_.h.position = clampScrollPosition(bars_.h, x);
  bars_.v.position = clampScrollPosition(bars_.v, y);
  const SAxisPlacement px = axisPlacement(bars_.h.position, marginX_, z);
  const SAxisPlacement py = axisPlacement(bars_.v.position, marginY_, z);
  paper_->setScrollOrigin(px.origin, py.origin);
  paper_->setScrollOffset(px.offset, py.offset);
  paper_->setViewAngle(0.0f);
  const TPointF centre = clientToImage({static_cast<float>(client_.W / 2), static_cast<float>(client_.H / 2)});
  paper_->setViewCenter(centre.X, centre.Y);
  if (host_ != nullptr) host_->applyScrollBars(bars_);
  afterViewChange();
}

void TDrawWindow::afterViewChange() {
  visibleRect_ = visibleImageRect(*paper_, client_);
  invalidateView();
}

void TDrawWindow::showPointAt(TPointF imagePoint, TPointF windowPoint) {
  const float z = paper_->zoomValue();
  if (isRotated()) {
    const float dx = (windowPoint.X - static_cast<float>(client_.W / 2)) / z;
    const float dy = (windowPoint.Y - static_cast<float>(client_.H / 2)) / z;
    paper_->setViewCenter(imagePoint.X - (paper_->view().cosA() * dx - paper_->view().sinA() * dy),
                          imagePoint.Y - (paper_->view().sinA() * dx + paper_->view().cosA() * dy));
    updateScrollLayout();
    return;
  }
  bars_.h = scrollAxisLayout(paper_->width(), z, marginX_, client_.W);
  bars_.v = scrollAxisLayout(paper_->height(), z, marginY_, client_.H);
  bars_.visible = shared_.prefs.showScrollBar;
  // The inverse of the window-to-image mapping, with pixel centres. Past
  // the margin the view moves by whole image pixels: at zooms above 1 the
  // nearest whole offset is taken, and the position that gives exactly it.
  const auto position = [z](float p, float w, int32_t margin) -> int64_t {
    const double exact = (static_cast<double>(p) + 0.5) * z - w - 0.5;
    if (!std::isfinite(exact)) return margin;
    const double clamped = std::clamp(exact, -4.0e9, 4.0e9);
    if (clamped < 0.0 || z <= 1.0f) return static_cast<int64_t>(std::floor(clamped + 0.5)) + margin;
    const double offset = std::floor(clamped / z + 0.5);
    return static_cast<int64_t>(std::ceil(offset * z - 1e-6)) + margin;
  };
  applyScrollPosition(position(imagePoint.X, windowPoint.X, marginX_), position(imagePoint.Y, windowPoint.Y, marginY_));
}

void TDrawWindow::relayoutAt(TPointF imagePoint) {
  imagePoint.X = std::clamp(imagePoint.X, 0.0f, static_cast<float>(paper_->width()));
  imagePoint.Y = std::clamp(imagePoint.Y, 0.0f, static_cast<float>(paper_->height()));
  showPointAt(imagePoint, {static_cast<float>(client_.W / 2), static_cast<float>(client_.H / 2)});
  updateTitle();
}

void TDrawWindow::zoomAt(TPoint windowPoint, bool in) {
  // A zoom tool in use (also as a temporary tool) may zoom; a running end
  // handler or the cursor-key move may not.
  if ((toolState_.inputState & (input::kKeyMoveMode | input::kEndRunning)) != 0) return;
  const TPointF w{clampWindowCoordinate(static_cast<float>(windowPoint.X)),
                  clampWindowCoordinate(static_cast<float>(windowPoint.Y))};
  const TPointF at = clientToImage(w);
  if (in) {
    if (!paper_->canZoomIn()) return;
    paper_->zoomIn();
  } else {
    if (!paper_->canZoomOut()) return;
    paper_->zoomOut();
  }
  showPointAt(at, w);
  updateTitle();
}

void TDrawWindow::zoomAtClientCentre(bool in) { zoomAt(TPoint{client_.W / 2, client_.H / 2}, in); }

bool TDrawWindow::autoFitEnabled() const {
  const int32_t a = shared_.prefs.autoSizeAdjust;
  return (a & 1) != 0 && ((a & 2) == 0 || replaying_);
}

bool TDrawWindow::autoFitMayEnlarge() const { return (shared_.prefs.autoSizeAdjust & 4) == 0; }

bool TDrawWindow::autoFitAfterResize() {
  if (!autoFitEnabled()) return false;
  zoomToFit(autoFitMayEnlarge());
  return true;
}

void TDrawWindow::zoomToFit(bool allowEnlarge) {
  const SRatio r = fitRatio(SSize{paper_->width(), paper_->height()}, client_, paper_->view().sinA(), paper_->view().cosA(), allowEnlarge);
  setZoomCentred(r.Num, r.Den);
}

float TDrawWindow::setZoomRatio(int32_t num, int32_t den, TPointF imagePoint) {
  const float z = paper_->setZoom(num, den);
  relayoutAt(imagePoint);
  return z;
}

float TDrawWindow::setZoomCentred(int32_t num, int32_t den) {
  return setZoomRatio(num, den, {paper_->width() / 2.0f, paper_->height() / 2.0f});
}

void TDrawWindow::scrollBy(int32_t dx, int32_t dy) {
  if (isRotated()) {
    const float z = paper_->zoomValue();
    paper_->panView(static_cast<float>(dx) / z, static_cast<float>(dy) / z);
    afterViewChange();
  } else {
    applyScrollPosition(int64_t{bars_.h.position} - dx, int64_t{bars_.v.position} - dy);
  }
  toolState_.inputState |= input::kMoved;
}

void TDrawWindow::setScrollPositions(int32_t x, int32_t y) {
  if (x == bars_.h.position && y == bars_.v.position) return;
  applyScrollPosition(x, y);
}

void TDrawWindow::setViewRotation(bool firstMove, float degrees) {
  const SViewAngle a = normalizeViewAngle(degrees);
  if (a.degrees == 0.0f) {
    resetViewRotation();
    return;
  }
  if (firstMove && !isRotated()) {
    const TPointF centre = clientToImage({static_cast<float>(client_.W / 2), static_cast<float>(client_.H / 2)});
    paper_->setViewCenter(centre.X, centre.Y);
  }
  paper_->setViewAngle(a.degrees);
  updateScrollLayout();
  updateTitle();
}

void TDrawWindow::resetViewRotation() {
  const TPointF centre = paper_->view().center();
  paper_->setViewAngle(0.0f);
  showPointAt(centre, {static_cast<float>(client_.W / 2), static_cast<float>(client_.H / 2)});
  updateTitle();
}

}  // namespace pg
