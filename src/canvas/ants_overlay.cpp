// The marching ants' frame of a document window.
#include "canvas/ants_overlay.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "document/mask_mngr.h"
#include "document/paper.h"

namespace pg {

namespace {
constexpr uint32_t kDashBlack = 0xFF000000u;
constexpr uint32_t kDashWhite = 0xFFFFFFFFu;
}  // namespace

bool CAntsOverlay::resize(SSize client) {
  due_ = true;
  drawn_ = {};
  if (client.W <= 0 || client.H <= 0) {
    plane_.FreeData();
    return true;
  }
  if (!plane_.Resize(client.W, client.H) || !plane_.IsAllocated()) {
    plane_.FreeData();
    return false;
  }
  std::memset(plane_.Bits, 0, static_cast<size_t>(plane_.ByteSize()));
  return true;
}

void CAntsOverlay::clearDrawn() {
  if (!hasDashes() || !plane_.IsAllocated()) {
    drawn_ = {};
    return;
  }
  TRect r = drawn_;
  if (clipRectToSize(r, SSize{plane_.Width, plane_.Height})) {
    const size_t bytes = static_cast<size_t>(r.Right - r.Left) * 4;
    for (int32_t y = r.Top; y < r.Bottom; ++y) std::memset(plane_.pixelAt(r.Left, y), 0, bytes);
  }
  drawn_ = {};
}

TRect CAntsOverlay::refresh(TPaper& doc) {
  CMaskMngr* masks = doc.masks();
  const uint32_t generation = masks != nullptr ? masks->ants().generation() : 0;
  const void* outline = masks != nullptr ? &masks->ants() : nullptr;
  const bool visible = doc.antsVisible() && plane_.IsAllocated();
  if (!due_ && generation == generation_ && outline == outline_ && (visible || !hasDashes())) return {};
  due_ = false;
  generation_ = generation;
  outline_ = outline;
  TRect changed = drawn_;
  clearDrawn();
  if (!visible) return changed;
  const int32_t w = plane_.Width;
  const int32_t h = plane_.Height;
  TRect bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  const bool drew = doc.drawAnts(SAntsClip{0, 0, w, h}, [&](int32_t x, int32_t y, bool black) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    *plane_.pixelAt(x, y) = black ? kDashBlack : kDashWhite;
    bounds.Left = std::min(bounds.Left, x);
    bounds.Top = std::min(bounds.Top, y);
    bounds.Right = std::max(bounds.Right, x + 1);
    bounds.Bottom = std::max(bounds.Bottom, y + 1);
  });
  if (drew && bounds.Right > bounds.Left) {
    drawn_ = bounds;
    if (changed.Right > changed.Left && changed.Bottom > changed.Top)
      unionRect(changed, bounds);
    else
      changed = bounds;
  }
  return changed;
}

}  // namespace pg
