// The text tool's rendering, preview and placement.
#include "canvas/text_tool.h"

#include <algorithm>

#include "brush/stroke_settings.h"
#include "brush/text_glyphs.h"
#include "core/plane_ops.h"
#include "canvas/draw_window.h"
#include "canvas/tool_handlers.h"
#include "document/doc_recorder.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "document/paper_ops.h"

namespace pg {

namespace {

// The defaults a setting of zero or an empty face takes.
constexpr int32_t kDefaultTextSize = 24;
constexpr const char* kDefaultFace = "IPAGothic";
// Spacings are recorded as 16-bit values.
constexpr int32_t kMaxSpacing = 1000;

}  // namespace

SFontSpec fontSpecOf(const STextToolSettings& s) {
  SFontSpec f;
  const std::string face = s.faceName.empty() ? std::string(kDefaultFace) : s.faceName;
  f.FaceName = s.vertical ? "@" + face : face;
  f.Size = s.size > 0 ? s.size : kDefaultTextSize;
  f.PixelsPerInch = 72;
  f.CharSet = s.charSet;
  f.Bold = s.bold;
  f.Italic = s.italic;
  return f;
}

CTextToolSession::CTextToolSession(TDrawWindow& window, TPoint docPoint, bool selectMode)
    : w_(window), point_(docPoint), selectMode_(selectMode) {}

CTextToolSession::~CTextToolSession() {
  if (!placed_) removePreview();
  if (w_.flow().coverage.IsAllocated()) fill(w_.flow().coverage, 0);
}

int32_t CTextToolSession::render(const STextToolSettings& s, SRectXYWH& docBounds) {
  docBounds = {};
  TPaper& doc = w_.paper();
  const CLayerData* layer = doc.currentLayer();
  if (layer == nullptr || !layer->image || s.text.empty()) return 0;
  // A flow that cannot load keeps its last picture; the commit reloads.
  (void)doc.loadFlowImage(w_.flow(), doc.currentLayerIndex(), false);
  TFlowImage& flow = w_.flow();
  if (!flow.coverage.IsAllocated()) return -1;
  STextJob job;
  job.Owner = &w_;
  job.Font = fontSpecOf(s);
  job.Text = s.text;
  job.Target = &flow.coverage;
  // The coverage is in the layer image's coordinates.
  job.X = static_cast<int32_t>(std::clamp<int64_t>(int64_t{point_.X} + layer->offsetX, INT32_MIN, INT32_MAX));
  job.Y = static_cast<int32_t>(std::clamp<int64_t>(int64_t{point_.Y} + layer->offsetY, INT32_MIN, INT32_MAX));
  job.CharSpacing = std::clamp(s.charSpacing, -kMaxSpacing, kMaxSpacing);
  job.LineSpacing = std::clamp(s.lineSpacing, -kMaxSpacing, kMaxSpacing);
  const int32_t glyphs = renderText(job);
  if (glyphs > 0) docBounds = {job.Bounds.X - layer->offsetX, job.Bounds.Y - layer->offsetY, job.Bounds.Width, job.Bounds.Height};
  return glyphs;
}

const STextPreview& CTextToolSession::preview() const { return w_.toolState().textPreview; }

void CTextToolSession::removePreview() {
  STextPreview& p = w_.toolState().textPreview;
  if (!p.shown()) return;
  p.pixels.clear();
  p.rect = {};
  w_.invalidateView();
}

void CTextToolSession::updatePreview(const STextToolSettings& s) {
  SRectXYWH bounds{};
  if (render(s, bounds) <= 0 || bounds.Width <= 0 || bounds.Height <= 0) {
    removePreview();
    return;
  }
  const CLayerData* layer = w_.paper().currentLayer();
  const TChannel& cov = w_.flow().coverage;
  const TStroke& stroke = w_.shared().toolStroke();
  const uint32_t opacity = stroke.getOpacity255();
  const uint32_t colour = stroke.color & 0x00FFFFFFu;
  STextPreview& p = w_.toolState().textPreview;
  p.rect = bounds;
  p.pixels.assign(static_cast<size_t>(bounds.Width) * static_cast<size_t>(bounds.Height), 0u);
  for (int32_t y = 0; y < bounds.Height; ++y) {
    const uint8_t* row = cov.pixelAt(0, bounds.Y + layer->offsetY + y);
    for (int32_t x = 0; x < bounds.Width; ++x) {
      const uint32_t a = row[bounds.X + layer->offsetX + x] * opacity / 255u;
      if (a == 0) continue;
      const auto pm = [&](uint32_t shift) { return (((colour >> shift) & 0xFFu) * a / 255u) << shift; };
      p.pixels[static_cast<size_t>(y) * static_cast<size_t>(bounds.Width) + static_cast<size_t>(x)] =
          (a << 24) | pm(16) | pm(8) | pm(0);
    }
  }
  fill(w_.flow().coverage, 0);
  w_.invalidateView();
}

bool CTextToolSession::commit(const STextToolSettings& s) {
  removePreview();
  TPaper& doc = w_.paper();
  if (!w_.canEdit(true, false, true)) return false;
  SRectXYWH bounds{};
  if (render(s, bounds) <= 0) return false;
  const int32_t index = doc.currentLayerIndex();
  TPaper::STextPlacement text;
  text.font = logFontOf(fontSpecOf(s));
  text.lineSpacing = static_cast<uint16_t>(std::clamp(s.lineSpacing, -kMaxSpacing, kMaxSpacing));
  text.charSpacing = static_cast<uint16_t>(std::clamp(s.charSpacing, -kMaxSpacing, kMaxSpacing));
  text.text = s.text;
  text.point = point_;
  bool ok = false;
  if (selectMode_) {
    // The text event carries the shape and how it combines with the
    // selection; the selection change itself records nothing.
    TFlowImage& flow = w_.flow();
    const CLayerData* layer = doc.currentLayer();
    const SRectXYWH layerBounds{bounds.X + layer->offsetX, bounds.Y + layer->offsetY, bounds.Width, bounds.Height};
    const SKeyState& k = w_.keyState();
    const int32_t mode = doc.selectModeFromKeys(SModifierKeys{k.shift, k.ctrl, k.alt}, w_.shared().prefs.shortcutMode);
    IDocRecorder* recorder = doc.events();
    const bool recorded = recorder == nullptr || writeDocEvent(*recorder, [&](IDocEventRecorder& e) {
                            return e.recordTextFill(index, 0, 17, text.font, text.lineSpacing, text.charSpacing,
                                                    text.text, text.point, flow.coverage, layerBounds,
                                                    static_cast<uint8_t>(mode));
                          });
    ok = recorded && doc.lassoSelect(flow, index, mode, true);
  } else {
    ok = doc.placeTextOnLayer(w_.flow(), index, text, w_.shared().toolStroke(), true);
  }
  if (ok) {
    placed_ = true;
    w_.setModified(true);
    w_.invalidateView();
  }
  return ok;
}

}  // namespace pg
