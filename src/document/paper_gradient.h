#pragma once
// The document gradient: the two points and the repeat settings that the
// document keeps for gradient fills and the gradation plot, and the link to
// the gradient engine of the brush side, which holds the colour stops and
// evaluates colours.
//
// GRADIENT HOOK: until the brush side's gradient object is available to the
// document, the colour stops and the evaluation are reached through
// CDocGradientLink. The application installs a link that forwards to the
// tool window's gradient set (and, during replay, the recorder's gradient);
// without one the gradient has no stops and evaluates to 0.
#include <cstdint>

#include "core/rect.h"

namespace pg {

class TPaper;

struct SDocGradientOptions {
  int32_t type = 0;        // shape: 0 linear, 1 angular, 2 radial
  int32_t repeatMode = 0;  // 0 none, else mirror or wrap
  int32_t count = 1;       // repeats, at least 1
  bool reverse = false;
};

struct SDocGradient {
  // Start and end point, 16.16 fixed point.
  TPoint p0{0, 0};
  TPoint p1{100 << 16, 0};
  SDocGradientOptions options;
};

class CDocGradientLink {
 public:
  virtual ~CDocGradientLink() = default;
  // The repeat settings of the tool window's gradient set; false when there
  // is none (the document keeps its own).
  virtual bool toolOptions(SDocGradientOptions& /*out*/) const { return false; }
  // Gives the document's gradient the colour stops of the gradient in use:
  // the recorder's while replaying, else the tool window's current one.
  virtual void takeCurrentStops(TPaper& /*doc*/, bool /*replaying*/) {}
  // The colour of the document's gradient at a pixel (red in the low byte,
  // the opacity in the high byte).
  virtual uint32_t colorAt(const TPaper& /*doc*/, const SDocGradient& /*g*/, TPoint /*p*/) const { return 0; }
};

// The link in use: the installed one, else a link without gradients.
CDocGradientLink& docGradientLink();
// Installs a link (not owned; nullptr restores the default) and answers the
// previous one.
CDocGradientLink* setDocGradientLink(CDocGradientLink* link);

}  // namespace pg
