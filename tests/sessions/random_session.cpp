#include "sessions/random_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "brush/paint_param.h"
#include "brush/paint_param_kinds.h"
#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "canvas/pen_tools.h"
#include "core/blend_modes.h"
#include "core/planes.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"
#include "document/paper.h"
#include "document/undo_kinds.h"
#include "filters/filter_dialog_model.h"
#include "filters/filter_table.h"
#include "record/event_store.h"
#include "replay/replay_fixture.h"
#include "replay/replay_session.h"

namespace pg::test {

// ---- generator ----------------------------------------------------------------------------------

uint32_t CSessionRng::next() {
  uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

int32_t CSessionRng::range(int32_t lo, int32_t hi) {
  if (hi <= lo) return lo;
  const uint64_t span = uint64_t(int64_t{hi} - lo + 1);
  return static_cast<int32_t>(lo + int64_t(next() % span));
}

float CSessionRng::unit() { return float(next() >> 8) / float(1u << 24); }

const char* sessionOpName(SessionOp op) {
  static const char* const names[] = {"tablet stroke", "mouse stroke", "gradient tool", "selection tool",
                                      "fill tool",     "seed tool",    "layer move tool", "menu command",
                                      "layer command", "transform",    "filter",          "undo",
                                      "redo",          "selection switch", "edit command"};
  static_assert(std::size(names) == size_t(SessionOp::Count));
  return names[size_t(op)];
}

const std::vector<SKnownDivergence>& knownDivergences() {
  // Each row names what the session log calls the operation; the generator
  // leaves it out while `avoid` is on. Every operation replays alike now: a
  // row belongs here only while a divergence found is waiting for its fix.
  static const std::vector<SKnownDivergence> rows = {};
  return rows;
}

bool avoidedOperation(const char* what) {
  static const bool all = [] {
    const char* v = std::getenv("PIGMORA_REPLAY_ALL_OPS");
    return v != nullptr && std::strcmp(v, "1") == 0;
  }();
  if (all) return false;
  for (const SKnownDivergence& row : knownDivergences())
    if (row.avoid && std::strcmp(row.what, what) == 0) return true;
  return false;
}

// ---- fingerprints -------------------------------------------------------------------------------

std::string sessionFingerprint(TPaper& doc) {
  std::string s = picture(doc);
  if (doc.width() > 0 && doc.height() > 0 && doc.composite().IsAllocated()) {
    doc.composeRect(SRectXYWH{0, 0, doc.width(), doc.height()}, false);
    uint64_t h = 1469598103934665603ull;
    for (int32_t y = 0; y < doc.composite().Height; ++y)
      for (int32_t x = 0; x < doc.composite().Width; ++x) h = (h ^ doc.composite().getPixel(x, y)) * 1099511628211ull;
    s += "composite " + std::to_string(h) + "\n";
  }
  return s;
}

std::string firstDifference(const std::string& expected, const std::string& replayed) {
  std::istringstream a(expected), b(replayed);
  std::string la, lb;
  while (true) {
    const bool ga = static_cast<bool>(std::getline(a, la));
    const bool gb = static_cast<bool>(std::getline(b, lb));
    if (!ga && !gb) return {};
    if (!ga) la = "(nothing)";
    if (!gb) lb = "(nothing)";
    if (la != lb || !ga || !gb) return "expected: " + la + "\n  replayed: " + lb;
  }
}

// ---- the tool window's gradient ---------------------------------------------------------------

CSessionGradientLink::CSessionGradientLink()
    : gradient_(CGradObj::CreateTwoColor(0x000000FFu, "session", 0x00FF8000u)) {
  previous_ = setDocGradientLink(this);
}

CSessionGradientLink::~CSessionGradientLink() { (void)setDocGradientLink(previous_); }

void CSessionGradientLink::randomize(CSessionRng& rng) {
  std::unique_ptr<CGradObj> g = CGradObj::CreateTwoColor(rng.next() & 0xFFFFFFu, "session", rng.next() & 0xFFFFFFu);
  if (!g) return;
  SGradRepeat r;
  r.Shape = uint8_t(rng.range(0, 3));
  r.Mirror = uint8_t(rng.range(0, 1));
  r.Count = rng.range(1, 3);
  g->setRepeat(r);
  gradient_ = std::move(g);
}

// ---- the session ------------------------------------------------------------------------------

namespace {

constexpr SessionOp kAllOps[] = {
    SessionOp::TabletStroke, SessionOp::MouseStroke, SessionOp::Gradient,      SessionOp::SelectShape,
    SessionOp::FillShape,    SessionOp::SeedTool,    SessionOp::LayerMoveTool, SessionOp::MenuCommand,
    SessionOp::LayerCommand, SessionOp::Transform,   SessionOp::Filter,        SessionOp::Undo,
    SessionOp::Redo,         SessionOp::SelectionSwitch, SessionOp::EditCommand};
// How often each family is drawn, in the order above.
constexpr int32_t kWeights[] = {10, 3, 2, 5, 3, 3, 1, 6, 6, 2, 4, 4, 2, 1, 2};
static_assert(std::size(kWeights) == std::size(kAllOps));

// The brush modes of the tool window (mode 3, the magic eraser, is a seed tool).
constexpr ToolMode kBrushModes[] = {ToolMode::Pencil,   ToolMode::PencilV3,   ToolMode::Eraser,
                                    ToolMode::EraserV3, ToolMode::Watercolour, ToolMode::WatercolourV3,
                                    ToolMode::Airbrush, ToolMode::AirbrushV3, ToolMode::Blur,
                                    ToolMode::Finger,   ToolMode::Stretch,    ToolMode::BlurV3,
                                    ToolMode::FingerV3, ToolMode::Burn,       ToolMode::Dodge,
                                    ToolMode::BurnV3,   ToolMode::DodgeV3};

std::string keysName(uint32_t shift) {
  std::string s;
  if (shift & kShiftBit) s += "+shift";
  if (shift & kAltBit) s += "+alt";
  if (shift & kCtrlBit) s += "+ctrl";
  return s;
}

int32_t currentMask(TPaper& p) { return p.masks() ? p.masks()->current() : -1; }

}  // namespace

CRandomSession::CRandomSession(uint64_t seed, int32_t width, int32_t height)
    : seed_(seed), rng_(seed), penKinds_(seed ^ 0x9E4B1D5Eull) {
  shared_.useDocumentSeedFill();
  shared_.usePenRender(render_);
  window_ = std::make_unique<TDrawWindow>(shared_, &host_);
  window_->resize(SSize{360, 300});
  if (!window_->newDocument("session", width, height, 72)) std::abort();  // every session needs its document
  window_->activate();
  window_->paintPending();
  // A screen tone for the tone switch of strokes and fills.
  TChannel pattern;
  if (pattern.Resize(8, 8)) {
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 8; ++x) *pattern.pixelAt(x, y) = uint8_t((x * 3 + y) % 5 == 0 ? 255 : 30);
    if (shared_.toolTones().addTone(pattern, 100, false, 1, 2) == 0) (void)shared_.toolTones().setCurrentIndex(0);
  }
  SSessionStep first;
  first.what = "new document";
  first.applied = true;
  first.eventsAfter = eventsNow();
  first.pictureAfter = sessionFingerprint(doc());
  steps_.push_back(std::move(first));
}

CRandomSession::~CRandomSession() = default;

uint32_t CRandomSession::eventsNow() {
  const CEventMngr* store = documentEventStore(doc());
  return store ? store->committedCount() : 0;
}

int32_t CRandomSession::refused() const {
  return static_cast<int32_t>(std::count_if(steps_.begin(), steps_.end(), [](const SSessionStep& s) { return !s.applied; }));
}

void CRandomSession::run(int32_t n) {
  int32_t total = 0;
  for (int32_t w : kWeights) total += w;
  for (int32_t i = 0; i < n; ++i) {
    std::string what;
    bool applied = false;
    const uint32_t eventsBefore = eventsNow();
    const bool selectionBefore = doc().selectionEnabled();
    SessionOp op = SessionOp::Count;
    for (int guard = 0; guard < 50 && what.empty(); ++guard) {
      int32_t pick = rng_.range(0, total - 1);
      size_t k = 0;
      while (pick >= kWeights[k]) pick -= kWeights[k++];
      op = kAllOps[k];
      what = perform(op, applied);
    }
    if (what.empty()) continue;
    // The undo list as the session sees it: which recorded step turned the
    // selection on.
    if (op == SessionOp::Undo && applied && !undoMirror_.empty()) {
      redoMirror_.push_back(undoMirror_.back());
      undoMirror_.pop_back();
    } else if (op == SessionOp::Redo && applied && !redoMirror_.empty()) {
      undoMirror_.push_back(redoMirror_.back());
      redoMirror_.pop_back();
    } else if (op != SessionOp::Undo && op != SessionOp::Redo && eventsNow() > eventsBefore) {
      undoMirror_.push_back(!selectionBefore && doc().selectionEnabled());
      redoMirror_.clear();
    }
    SSessionStep step;
    step.what = what;
    step.applied = applied;
    step.eventsAfter = eventsNow();
    step.pictureAfter = sessionFingerprint(doc());
    steps_.push_back(std::move(step));
  }
}

std::string CRandomSession::perform(SessionOp op, bool& applied) {
  applied = false;
  switch (op) {
    case SessionOp::TabletStroke: return tabletStroke(applied);
    case SessionOp::MouseStroke: return mouseStroke(applied);
    case SessionOp::Gradient: return gradient(applied);
    case SessionOp::SelectShape: return selectShape(applied);
    case SessionOp::FillShape: return fillShape(applied);
    case SessionOp::SeedTool: return seedTool(applied);
    case SessionOp::LayerMoveTool: return layerMoveTool(applied);
    case SessionOp::MenuCommand: return menuCommand(applied);
    case SessionOp::LayerCommand: return layerCommand(applied);
    case SessionOp::Transform: return transform(applied);
    case SessionOp::Filter: return filter(applied);
    case SessionOp::Undo:
      if (!undoMirror_.empty() && undoMirror_.back() && avoidedOperation("undo of the first selection")) return {};
      applied = window_->undo();
      return "undo";
    case SessionOp::Redo: applied = window_->redo(); return "redo";
    case SessionOp::SelectionSwitch: return selectionSwitch(applied);
    case SessionOp::EditCommand: return editCommand(applied);
    case SessionOp::Count: break;
  }
  return {};
}

TPoint CRandomSession::windowPoint(float x, float y) const {
  const TPointF p = window_->imageToClient(TPointF{x, y});
  return TPoint{static_cast<int32_t>(p.X + (p.X < 0 ? -0.5f : 0.5f)), static_cast<int32_t>(p.Y + (p.Y < 0 ? -0.5f : 0.5f))};
}

TPoint CRandomSession::randomPoint() {
  const int32_t w = doc().width(), h = doc().height();
  return windowPoint(float(rng_.range(-w / 8, w + w / 8)) + rng_.unit(), float(rng_.range(-h / 8, h + h / 8)) + rng_.unit());
}

void CRandomSession::drag(const std::vector<TPoint>& path, uint32_t shift) {
  window_->mouseDown(PointerButton::Left, shift | kLeftBit, path.front(), false);
  for (size_t i = 1; i < path.size(); ++i) window_->mouseMove(shift | kLeftBit, path[i]);
  window_->mouseUp(PointerButton::Left, shift, path.back());
}

void CRandomSession::click(TPoint p, uint32_t shift, bool doubleClick) {
  window_->mouseDown(PointerButton::Left, shift | kLeftBit | (doubleClick ? kDoubleBit : 0u), p, doubleClick);
  window_->mouseUp(PointerButton::Left, shift, p);
}

std::string CRandomSession::randomNib(TPaintParam& param) {
  std::ostringstream o;
  param.setAspect(0.2f + penKinds_.unit() * 0.8f);
  param.setAngle(penKinds_.unit() * 360.0f);
  param.setHardEdge(penKinds_.chance(0.2f));
  if (penKinds_.chance(0.4f) && !avoidedOperation("image nib")) {
    TChannel image;
    if (!image.Resize(penKinds_.range(2, 16), penKinds_.range(2, 16))) return {};
    for (int32_t y = 0; y < image.Height; ++y)
      for (int32_t x = 0; x < image.Width; ++x) *image.pixelAt(x, y) = uint8_t(penKinds_.next());
    param.setNibImage(&image);
    param.setNibScale(0.05f + penKinds_.unit() * 3.0f);
    o << " image nib " << image.Width << "x" << image.Height;
  }
  return o.str();
}

std::string CRandomSession::randomBrush() {
  const ToolMode mode = kBrushModes[rng_.range(0, int32_t(std::size(kBrushModes)) - 1)];
  if (!shared_.selectMode(mode)) return {};
  TStroke& s = shared_.toolStroke();
  // The brush list's paint method of the mode's kind, as its editor sets
  // it; the tool window hands it to the stroke settings.
  uint8_t paintKind = 0;
  if (!paintKindOfStrokeKind(paintKind, s.kind)) return {};
  // At times a pen-method kind of the brush list instead, painted by the
  // document's pen engine.
  if (penKinds_.chance(0.3f) && !avoidedOperation("pen-method stroke"))
    paintKind = uint8_t(9 + penKinds_.range(0, 8));
  TPaintParam param(paintKind);
  param.setOpacity(0.1f + rng_.unit() * 0.9f);
  param.setSize(1.0f + rng_.unit() * 24.0f);
  param.setMinSize(rng_.unit());
  param.setGamma(0.2f + rng_.unit() * 3.0f);
  param.setEffect(rng_.unit() * 100.0f);
  param.setEnv(rng_.unit() * 100.0f);
  param.setSpeed(rng_.unit() * 100.0f);
  param.setSpacing(0.05f + rng_.unit());
  param.setFalloff(uint8_t(rng_.range(0, 4)));
  param.setPressureEdge(rng_.chance(0.3f));
  bool bySize = rng_.chance(0.5f);
  const bool fixedRatioKind = s.kind == skWatercolor || s.kind == skBlur || s.kind == skEraser || s.kind == skBlur2;
  if (bySize && fixedRatioKind && avoidedOperation("size by pressure of watercolour, blur, eraser, blur 2"))
    bySize = false;
  param.setPressureSize(bySize);
  param.setPressureOpacity(rng_.chance(0.5f));
  param.setUseTone(rng_.chance(0.15f));
  param.setUseGradation(rng_.chance(0.15f) && !avoidedOperation("gradation stroke"));
  std::string nib;
  if (paintKindFamily(paintKind) == 2) nib = randomNib(param);
  // The tool window hands the brush over and switches the engine by the
  // kind's family.
  CPenTools* tools = shared_.penTools();
  if (tools == nullptr) return {};
  shared_.penEngineLevel = paintKindFamily(paintKind) == 2 ? 2 : 1;
  if (!window_->selectPenEngine(shared_.penEngineLevel)) return {};
  tools->applyStrokeParams(param, s, doc().penEngine());
  // The tool panel: the colours and the keep-alpha switch.
  shared_.setMainColor(rng_.next() & 0xFFFFFFu);
  if (rng_.chance(0.3f)) shared_.setSecondColor(rng_.next() & 0xFFFFFFu);
  (void)s.setOpaqueMode(rng_.chance(0.2f), true);
  if (s.useGradation) gradients_.randomize(rng_);
  std::ostringstream o;
  o << "mode " << int(mode) << " paint kind " << int(paintKind) << nib << " kind " << int(s.kind) << " width " << s.WIDTH << (bySize ? " size-by-pressure" : "")
    << (s.ifTRANSPARENCY ? " opacity-by-pressure" : "") << (s.useTone ? " tone" : "")
    << (s.useGradation ? " gradation" : "") << (s.opaque ? " keep-alpha" : "");
  return o.str();
}

namespace {

// The current layer's rectangle in document coordinates.
TRect layerRect(TPaper& p) {
  const CLayerData* l = p.currentLayer();
  if (l == nullptr || !l->image) return TRect{};
  return TRect{-l->offsetX, -l->offsetY, l->image->width() - l->offsetX, l->image->height() - l->offsetY};
}

}  // namespace

std::string CRandomSession::tabletStroke(bool& applied) {
  const std::string brush = randomBrush();
  if (brush.empty()) return {};
  const int32_t n = rng_.range(2, 40);
  float x = float(rng_.range(0, doc().width() - 1)), y = float(rng_.range(0, doc().height() - 1));
  float pressure = 0.05f + rng_.unit() * 0.95f;
  std::vector<TPointF> pts;
  std::vector<float> pressures;
  for (int32_t i = 0; i < n; ++i) {
    pts.push_back(TPointF{x, y});
    pressures.push_back(pressure);
    x += float(rng_.range(-12, 12)) + rng_.unit();
    y += float(rng_.range(-12, 12)) + rng_.unit();
    pressure = std::clamp(pressure + (rng_.unit() - 0.5f) * 0.4f, 0.02f, 1.0f);
  }
  const TRect lr = layerRect(doc());
  float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
  for (const TPointF& p : pts) {
    minX = std::min(minX, p.X), minY = std::min(minY, p.Y), maxX = std::max(maxX, p.X), maxY = std::max(maxY, p.Y);
  }
  const float r = shared_.toolStroke().WIDTH;
  const bool outside = maxX + r < float(lr.Left) || minX - r >= float(lr.Right) || maxY + r < float(lr.Top) ||
                       minY - r >= float(lr.Bottom);
  if (outside && avoidedOperation("stroke outside the layer")) return {};
  // Tilt reaches the pen switch of the main window, never the stroke: the
  // document window takes position and pressure.
  const uint32_t before = eventsNow();
  for (int32_t i = 0; i < n; ++i) {
    const TPoint wp = windowPoint(pts[size_t(i)].X, pts[size_t(i)].Y);
    window_->tabletInput(i == 0 ? TDrawWindow::TabletPhase::Press : TDrawWindow::TabletPhase::Move, float(wp.X),
                         float(wp.Y), pressures[size_t(i)], false, 0);
  }
  const TPoint last = windowPoint(pts.back().X, pts.back().Y);
  window_->tabletInput(TDrawWindow::TabletPhase::Release, float(last.X), float(last.Y), 0.0f, false, 0);
  applied = eventsNow() != before;
  return "tablet stroke " + std::to_string(n) + " points, " + brush;
}

std::string CRandomSession::mouseStroke(bool& applied) {
  const std::string brush = randomBrush();
  if (brush.empty()) return {};
  std::vector<TPoint> path;
  const int32_t n = rng_.range(2, 12);
  TPoint p = windowPoint(float(rng_.range(0, doc().width() - 1)), float(rng_.range(0, doc().height() - 1)));
  for (int32_t i = 0; i < n; ++i) {
    path.push_back(p);
    p.X += rng_.range(-30, 30);
    p.Y += rng_.range(-30, 30);
  }
  const uint32_t before = eventsNow();
  drag(path, 0);
  applied = eventsNow() != before;
  return "mouse stroke " + std::to_string(n) + " points, " + brush;
}

std::string CRandomSession::gradient(bool& applied) {
  if (avoidedOperation("gradient tool")) return {};
  if (!shared_.selectMode(ToolMode::Gradation)) return {};
  gradients_.randomize(rng_);
  const uint32_t before = eventsNow();
  drag({randomPoint(), randomPoint(), randomPoint()}, 0);
  applied = eventsNow() != before;
  return "gradient tool";
}

std::string CRandomSession::selectShape(bool& applied) {
  static constexpr ToolMode modes[] = {ToolMode::SelectRectangle, ToolMode::SelectEllipse, ToolMode::SelectPolygon,
                                       ToolMode::SelectFreehand};
  const ToolMode mode = modes[rng_.range(0, 3)];
  if (!shared_.selectMode(mode)) return {};
  // The combine mode comes from the held keys: none replaces, Shift adds,
  // Alt subtracts, both intersect.
  static constexpr uint32_t keys[] = {0, kShiftBit, kAltBit, kShiftBit | kAltBit};
  const uint32_t shift = keys[rng_.range(0, 3)];
  const uint32_t before = eventsNow();
  if (mode == ToolMode::SelectPolygon) {
    const int32_t n = rng_.range(3, 6);
    for (int32_t i = 0; i + 1 < n; ++i) click(randomPoint(), shift);
    const TPoint last = randomPoint();
    click(last, shift);
    click(last, shift, true);
  } else {
    std::vector<TPoint> path;
    const int32_t n = mode == ToolMode::SelectFreehand ? rng_.range(3, 10) : 2;
    for (int32_t i = 0; i < n; ++i) path.push_back(randomPoint());
    drag(path, shift);
  }
  applied = eventsNow() != before;
  return "selection tool " + std::to_string(int(mode)) + keysName(shift);
}

std::string CRandomSession::fillShape(bool& applied) {
  static constexpr ToolMode modes[] = {ToolMode::FillRectangle, ToolMode::FillEllipse, ToolMode::FillPolygon,
                                       ToolMode::FillFreehand};
  const ToolMode mode = modes[rng_.range(0, 3)];
  if (!shared_.selectMode(mode)) return {};
  shared_.setMainColor(rng_.next() & 0xFFFFFFu);
  TStroke& s = shared_.toolStroke();
  s.setOpacity(0.2f + rng_.unit() * 0.8f);
  (void)s.setUseTone(rng_.chance(0.2f), true);
  (void)s.setOpaqueMode(rng_.chance(0.2f), true);
  const uint32_t before = eventsNow();
  if (mode == ToolMode::FillPolygon) {
    const int32_t n = rng_.range(3, 6);
    for (int32_t i = 0; i + 1 < n; ++i) click(randomPoint(), 0);
    const TPoint last = randomPoint();
    click(last, 0);
    click(last, 0, true);
  } else {
    std::vector<TPoint> path;
    const int32_t n = mode == ToolMode::FillFreehand ? rng_.range(3, 10) : 2;
    for (int32_t i = 0; i < n; ++i) path.push_back(randomPoint());
    drag(path, 0);
  }
  applied = eventsNow() != before;
  return "fill tool " + std::to_string(int(mode)) + (s.useTone ? " tone" : "") + (s.opaque ? " keep-alpha" : "");
}

std::string CRandomSession::seedTool(bool& applied) {
  static constexpr ToolMode modes[] = {ToolMode::BucketFill, ToolMode::MagicEraser, ToolMode::AutoSelect};
  const ToolMode mode = modes[rng_.range(0, 2)];
  if (mode == ToolMode::BucketFill && avoidedOperation("bucket fill")) return {};
  if (!shared_.selectMode(mode)) return {};
  SSeedSettings seed;
  seed.limit = rng_.range(0, 120);
  seed.visible = rng_.chance(0.3f);
  seed.antiAlias = rng_.chance(0.5f);
  (mode == ToolMode::AutoSelect ? shared_.prefs.wandSeed : shared_.prefs.fillSeed) = seed;
  shared_.setMainColor(rng_.next() & 0xFFFFFFu);
  static constexpr uint32_t keys[] = {0, kShiftBit, kAltBit, kShiftBit | kAltBit};
  const uint32_t shift = mode == ToolMode::AutoSelect ? keys[rng_.range(0, 3)] : 0;
  const uint32_t before = eventsNow();
  click(windowPoint(float(rng_.range(0, doc().width() - 1)), float(rng_.range(0, doc().height() - 1))), shift);
  applied = eventsNow() != before;
  return "seed tool " + std::to_string(int(mode)) + " limit " + std::to_string(seed.limit) +
         (seed.visible ? " visible" : "") + (seed.antiAlias ? " aa" : "") + keysName(shift);
}

std::string CRandomSession::layerMoveTool(bool& applied) {
  if (avoidedOperation("layer move tool")) return {};
  const ToolMode mode = rng_.chance(0.5f) ? ToolMode::LayerMove : ToolMode::LayerMoveWithSelection;
  if (!shared_.selectMode(mode)) return {};
  const uint32_t before = eventsNow();
  const TPoint a = randomPoint();
  drag({a, TPoint{a.X + rng_.range(-20, 20), a.Y + rng_.range(-20, 20)}}, 0);
  applied = eventsNow() != before;
  return "layer move tool " + std::to_string(int(mode));
}

std::string CRandomSession::menuCommand(bool& applied) {
  TPaper& p = doc();
  TFlowImage& f = window_->flow();
  const int32_t layer = p.currentLayerIndex();
  const int32_t mask = currentMask(p);
  struct SRow {
    const char* name;
    bool (*run)(TPaper&, TFlowImage&, int32_t layer, int32_t mask);
  };
  static constexpr SRow rows[] = {
      {"ActImgFlipH", [](TPaper& p, TFlowImage& f, int32_t, int32_t) { return p.transformAllInPlace(f, kUndoMirrorAll, true); }},
      {"ActImgFlipV", [](TPaper& p, TFlowImage& f, int32_t, int32_t) { return p.transformAllInPlace(f, kUndoFlipAll, true); }},
      {"ActImgInvert", [](TPaper& p, TFlowImage& f, int32_t, int32_t) { return p.transformAllInPlace(f, kUndoInvertAll, true); }},
      {"ActImgRot180", [](TPaper& p, TFlowImage& f, int32_t, int32_t) { return p.transformAllInPlace(f, kUndoRotate180All, true); }},
      {"ActImgRot90", [](TPaper& p, TFlowImage& f, int32_t, int32_t) { return p.rotateImage90(f, true, true); }},
      {"ActImgRot270", [](TPaper& p, TFlowImage& f, int32_t, int32_t) { return p.rotateImage90(f, false, true); }},
      {"actLyrFlipLR", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.mirrorLayer(f, l, true); }},
      {"actLyrFlipTB", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.flipLayer(f, l, true); }},
      {"actLyrRot180", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.halfTurnLayer(f, l, true); }},
      {"ActLyrRot90", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.rotateLayer90(f, l, true, true); }},
      {"ActLyrRot270", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.rotateLayer90(f, l, true, false); }},
      {"ActLyrTrimOut",
       [](TPaper& p, TFlowImage& f, int32_t l, int32_t) {
         const CLayerData* d = p.getLayer(l);
         return d != nullptr && d->exceedsImage() && p.cropLayer(&f, l, true);
       }},
      {"ActLyrDup", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.duplicateLayer(&f, l, true); }},
      {"ActLyrDel",
       [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.layerCount() > 1 && p.deleteLayerCmd(&f, l, true); }},
      {"ActLyrMergeD",
       [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.canMergeDown(l) && p.mergeDown(&f, l, true); }},
      {"ActSelAll", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.maskFillAll(f, l, true); }},
      {"ActSelCancel", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.maskFillNone(f, l, true); }},
      {"ActSelInvert", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.maskInvert(f, l, true); }},
      {"ActSelExp1", [](TPaper& p, TFlowImage&, int32_t l, int32_t m) { return p.inflateMask(l, true, m, true); }},
      {"ActSelCol1", [](TPaper& p, TFlowImage&, int32_t l, int32_t m) { return p.inflateMask(l, false, m, true); }},
      {"ActMaskNew", [](TPaper& p, TFlowImage& f, int32_t l, int32_t m) { return p.newMask(f, l, m, true); }},
      {"ActMaskDup", [](TPaper& p, TFlowImage& f, int32_t l, int32_t m) { return p.duplicateMask(f, l, m, true); }},
      {"ActMaskDel",
       [](TPaper& p, TFlowImage& f, int32_t l, int32_t m) {
         return p.masks() && p.masks()->count() > 1 && p.deleteMask(f, l, m, true);
       }},
      {"ActLyrClearA", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.fillLayerAlpha(f, l, 0, true); }},
      {"ActLyrFillA", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.fillLayerAlpha(f, l, 255, true); }},
      {"ActLyrInvertA", [](TPaper& p, TFlowImage& f, int32_t l, int32_t) { return p.invertLayerAlpha(f, l, true); }},
      {"ActLyrSel2A", [](TPaper& p, TFlowImage& f, int32_t l, int32_t m) { return p.layerAlphaFromMask(f, l, m, true); }},
      {"ActLyrMergeV",
       [](TPaper& p, TFlowImage& f, int32_t, int32_t) {
         return p.canMergeVisible(true, false) && p.mergeVisible(&f, true, false, true);
       }},
      {"ActLyrSelDup",
       [](TPaper& p, TFlowImage& f, int32_t l, int32_t m) {
         return p.canLayerFromSelection() && p.newLayerFromSelection(f, l, 0, true, m, true);
       }},
      {"ActLyrSelNew",
       [](TPaper& p, TFlowImage& f, int32_t l, int32_t m) {
         return p.canLayerFromSelection() && p.newLayerFromSelection(f, l, 0, false, m, true);
       }},
      {"ActMaskNewFromLyrD",
       [](TPaper& p, TFlowImage& f, int32_t l, int32_t m) { return p.newMaskFromLayer(f, l, 0, 0, m, true); }},
      {"ActMaskNewFromLyrA",
       [](TPaper& p, TFlowImage& f, int32_t l, int32_t m) { return p.newMaskFromLayer(f, l, 1, 0, m, true); }},
      {"ActMaskTrimOut",
       [](TPaper& p, TFlowImage& f, int32_t l, int32_t m) {
         return m >= 0 && p.masks()->exceedsCanvas(m) && p.cropMask(f, l, m, true);
       }},
      {"ActViewCurLyr", [](TPaper& p, TFlowImage&, int32_t l, int32_t) { return p.showOnlyLayer(l, true); }},
      {"ActViewAllLyr", [](TPaper& p, TFlowImage&, int32_t l, int32_t) { return p.showAllLayers(l, true, true); }},
      {"ActViewNoLyr", [](TPaper& p, TFlowImage&, int32_t l, int32_t) { return p.showAllLayers(l, false, true); }},
      {"ActViewFlipLyr", [](TPaper& p, TFlowImage&, int32_t l, int32_t) { return p.flipLayerVisibility(l, true); }},
      {"ActLyrProtectA", [](TPaper& p, TFlowImage&, int32_t l, int32_t) { return p.setProtectAlpha(l, -1, true); }},
  };
  const SRow& row = rows[rng_.range(0, int32_t(std::size(rows)) - 1)];
  if (!window_->canEdit(false, false, false)) return {};
  applied = row.run(p, f, layer, mask);
  if (applied) window_->documentLayoutChanged(true);
  return row.name;
}

std::string CRandomSession::layerCommand(bool& applied) {
  TPaper& p = doc();
  TFlowImage& f = window_->flow();
  const int32_t layer = p.currentLayerIndex();
  const int32_t count = p.layerCount();
  std::ostringstream o;
  switch (rng_.range(0, 9)) {
    case 0: {
      const int32_t kind = rng_.range(0, 3);
      applied = p.newLayerCmd(&f, kind, true);
      o << "new layer kind " << kind;
      break;
    }
    case 1: {
      // Layer > New with its dialog's values.
      const int32_t mode = rng_.range(0, int32_t(kLayerBlendModeCount) - 1);
      const int32_t opacity = rng_.range(0, 255);
      applied = p.newLayer(&f, layer + 1, true, p.layers()->nextLayerName(), rng_.next() & 0xFFFFFFu, opacity, mode,
                           p.height(), p.width(), true);
      o << "new layer mode " << mode << " opacity " << opacity;
      break;
    }
    case 2: {
      const int32_t opacity = rng_.range(0, 255);
      applied = p.setLayerOpacity(layer, opacity, true);
      o << "layer opacity " << opacity;
      break;
    }
    case 3: {
      // Every blend mode of the table.
      const int32_t mode = rng_.range(0, int32_t(kLayerBlendModeCount) - 1);
      applied = p.setLayerBlendMode(layer, mode, true);
      o << "layer blend mode " << mode;
      break;
    }
    case 4: {
      const bool visible = rng_.chance(0.7f);
      applied = p.setLayerVisible(layer, visible, true);
      o << "layer visible " << visible;
      break;
    }
    case 5: {
      const std::string name = "層" + std::to_string(rng_.range(0, 99));
      applied = p.setLayerName(layer, name, true);
      o << "layer name";
      break;
    }
    case 6: {
      if (avoidedOperation("dissolve")) return {};
      const uint8_t amount = uint8_t(rng_.range(0, 255));
      applied = p.setLayerEffect(layer, rng_.chance(0.7f), amount, true);
      o << "dissolve " << int(amount);
      break;
    }
    case 7: {
      // The layer list: a drag to another place.
      const int32_t to = rng_.range(0, count - 1);
      applied = to != layer && p.moveLayer(&f, layer, to, true);
      o << "move layer " << layer << " to " << to;
      break;
    }
    case 8: {
      // The layer list: a click on another layer.
      const int32_t to = rng_.range(0, count - 1);
      const uint32_t before = eventsNow();
      (void)p.setCurrentLayer(&f, to);
      applied = eventsNow() != before;
      o << "current layer " << to;
      break;
    }
    default: {
      // The mask list: a click on another mask.
      const int32_t masks = p.masks() ? p.masks()->count() : 0;
      if (masks < 1) return {};
      const int32_t to = rng_.range(0, masks - 1);
      applied = p.activateMask(f, layer, to, true);
      o << "current mask " << to;
      break;
    }
  }
  if (applied) window_->documentLayoutChanged(false);
  return o.str();
}

std::string CRandomSession::transform(bool& applied) {
  TPaper& p = doc();
  TFlowImage& f = window_->flow();
  const int32_t layer = p.currentLayerIndex();
  std::ostringstream o;
  const bool beyond = !avoidedOperation("layer beyond the image");
  switch (rng_.range(0, 4)) {
    case 0: {
      if (!beyond) return {};
      const float angle = float(rng_.range(-179, 179)) + rng_.unit();
      applied = p.rotateLayer(f, layer, true, angle);
      o << "rotate layer " << angle;
      break;
    }
    case 1: {
      const CLayerData* l = p.getLayer(layer);
      if (l == nullptr || !l->image) return {};
      int32_t w = std::max(1, l->imageWidth() * rng_.range(30, beyond ? 180 : 100) / 100);
      int32_t h = std::max(1, l->imageHeight() * rng_.range(30, beyond ? 180 : 100) / 100);
      applied = p.scaleLayer(f, layer, true, w, h);
      o << "scale layer " << w << "x" << h;
      break;
    }
    case 2: {
      const int32_t w = rng_.range(48, 120), h = rng_.range(40, 100);
      applied = p.scaleImage(f, w, h, 2, true);
      o << "image size " << w << "x" << h;
      break;
    }
    case 3: {
      const int32_t w = rng_.range(48, 120), h = rng_.range(40, 100), anchor = rng_.range(0, 8);
      applied = p.resizeCanvas(f, w, h, anchor, true);
      o << "canvas size " << w << "x" << h << " anchor " << anchor;
      break;
    }
    default: {
      const uint32_t colour = rng_.next() & 0xFFFFFFu;
      applied = p.setPaperColor(PaperColor::fromPixel(colour), true);
      o << "paper colour";
      break;
    }
  }
  if (applied) window_->documentLayoutChanged(true);
  return o.str();
}

namespace {

// The filters of the Filter menu whose dialog this session can fill: the
// table-driven dialogs and the filters without parameters.
std::vector<const SFilterEntry*> menuFilters() {
  std::vector<const SFilterEntry*> out;
  for (const SFilterEntry& e : filterTable()) {
    if (e.command == nullptr || e.action == nullptr || e.kernel == nullptr) continue;
    if (e.bytes != 0 && filterDialogFor(e.command) == nullptr) continue;
    out.push_back(&e);
  }
  return out;
}

}  // namespace

std::string CRandomSession::filter(bool& applied) {
  static const std::vector<const SFilterEntry*> filters = menuFilters();
  if (filters.empty()) return {};
  const SFilterEntry& e = *filters[size_t(rng_.range(0, int32_t(filters.size()) - 1))];
  if (!filterCanRunNow(e)) return {};
  TPaper& p = doc();
  const CLayerData* layer = p.currentLayer();
  std::string values;
  // The dialog: every control set at random within its range, then OK.
  const FilterDialog dialog = [&](const SFilterEntry& entry, CFlt4Core&, std::vector<uint8_t>& params) {
    const SFilterDialogDef* def = filterDialogFor(entry.command);
    if (def == nullptr) return true;
    SFilterOpenInfo info;
    info.width = info.areaWidth = p.width();
    info.height = info.areaHeight = p.height();
    CFilterDialogModel model(*def, layer != nullptr ? uint8_t(layer->protectAlpha) : 0, rng_.next(), info);
    for (size_t i = 0; i < model.valueCount(); ++i) {
      const SFilterValueDef& v = def->values[i];
      float x = v.minimum + rng_.unit() * (v.maximum - v.minimum);
      if (v.step >= 1.0f) x = float(int32_t(x));
      model.num(i).setValue(x);
      (void)model.controlChanged(kSenderValue + int32_t(i));
      values += " " + std::to_string(model.value(i));
    }
    for (size_t i = 0; i < def->checks.size(); ++i) {
      model.setCheck(i, rng_.chance(0.5f));
      (void)model.controlChanged(kSenderCheck + int32_t(i));
    }
    if (!def->choiceItems.empty()) {
      model.setChoice(rng_.range(0, int32_t(def->choiceItems.size()) - 1));
      (void)model.controlChanged(kSenderChoice);
    }
    for (size_t i = 0; i < model.colourCount(); ++i) model.setColour(i, 0xFF000000u | (rng_.next() & 0xFFFFFFu));
    params = model.record();
    return true;
  };
  const uint32_t before = eventsNow();
  const FilterResult r = filterCommand(p, window_->flow(), p.currentLayerIndex(), e, false, dialog);
  applied = r == FilterResult::Done && eventsNow() != before;
  if (applied) window_->documentLayoutChanged(false);
  return std::string("filter ") + e.command + values;
}

std::string CRandomSession::selectionSwitch(bool& applied) {
  if (avoidedOperation("selection switch")) return {};
  TPaper& p = doc();
  applied = p.enableMask(!p.selectionEnabled(), true);
  return std::string("selection switch ") + (p.selectionEnabled() ? "on" : "off");
}

std::string CRandomSession::editCommand(bool& applied) {
  TPaper& p = doc();
  TFlowImage& f = window_->flow();
  const int32_t layer = p.currentLayerIndex();
  if (rng_.chance(0.5f)) {
    // Edit > Fill (Insert) with the drawing colour within the selection.
    shared_.setMainColor(rng_.next() & 0xFFFFFFu);
    applied = p.fillLayerColor(f, layer, shared_.mainColor(), shared_.toolStroke(), true, true);
    return "edit fill";
  }
  // Edit > Delete: the selected area, or the whole layer without a selection.
  if (p.canDeleteSelection()) {
    applied = p.deleteSelection(f, layer, p.paperColor().pixel(), shared_.toolStroke(), true, true);
    return "edit delete selection";
  }
  applied = p.clearLayer(f, layer, true);
  return "edit clear layer";
}

}  // namespace pg::test
