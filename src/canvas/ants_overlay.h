#pragma once
// The marching ants of a document window as a frame of their own: a plane
// the size of the client area, transparent but for the dash pixels of the
// selection outline, that the host lays over the back buffer when it copies
// a rectangle to the screen. The frame is redrawn only when the outline, its
// phase or the view changed, so a stroke that repaints a small rectangle
// pays for the ants in that rectangle only.
#include <cstdint>

#include "core/planes.h"
#include "core/rect.h"

namespace pg {

class TPaper;

class CAntsOverlay {
 public:
  // The client size changed: the frame follows and is redrawn at the next
  // refresh. False when the plane cannot be had (the ants are then not shown).
  [[nodiscard]] bool resize(SSize client);
  // The view or the phase changed: redraw at the next refresh.
  void invalidate() { due_ = true; }

  // Redraws the frame when it is due or the document's outline changed
  // since the last frame. Answers the window rectangle whose pixels
  // changed (the old dashes and the new ones), empty when none.
  TRect refresh(TPaper& doc);

  // The frame: pixels 0 (nothing) or opaque black or white.
  const TMTC& plane() const { return plane_; }
  // The rectangle that holds the dashes of the last frame (empty: none).
  const TRect& drawnRect() const { return drawn_; }
  bool hasDashes() const { return drawn_.Right > drawn_.Left && drawn_.Bottom > drawn_.Top; }

 private:
  void clearDrawn();

  TMTC plane_;
  TRect drawn_{};
  bool due_ = true;
  uint32_t generation_ = 0;
  const void* outline_ = nullptr;
};

}  // namespace pg
