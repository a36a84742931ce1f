#pragma once
// The gradient tool's attributes in the tool options: the shape buttons,
// round trip, endless, the repeat count and the gradient's own settings,
// read from and given to the current gradient of the tool window's set.
// Documents take the current gradient through the tool window's gradient
// link and draw it with its own settings or the set's shared repeat.
#include <array>
#include <cstdint>

#include "brush/gradient.h"
#include "ui/glyph_types.h"

namespace pg {

class CGradMngr;

// The controls as the panel holds them. shape is the pressed shape button
// (0 linear, 1 radial, 2 circular) or 3 when none is down.
struct SGradAttrControls {
  bool own = false;
  int32_t shape = 0;
  bool roundTrip = false;
  bool endless = false;
  double count = 1.0;
};

// The attribute buttons wherever they are shown (the options panel, the
// gradient pop-up), in order: the three shapes, round trip, endless, own
// settings. Glyph, hint text and picker group: the shapes are one group, the
// switches a group each that may be all up.
struct SGradAttrButton {
  uint8_t glyph;
  uint32_t hint;
  int32_t group;
};
inline constexpr std::array<SGradAttrButton, 6> kGradAttrButtons = {{{tgGradLinear, 68201, 1},
                                                                     {tgGradRadial, 68202, 1},
                                                                     {tgGradCircular, 68203, 1},
                                                                     {tgGradReturn, 68204, 2},
                                                                     {tgGradInfinity, 68205, 3},
                                                                     {tgGradRemind, 68206, 4}}};
enum : size_t { kGradButtonRoundTrip = 3, kGradButtonEndless = 4, kGradButtonOwn = 5 };
// The repeat count's label and its hint.
inline constexpr uint32_t kResGradRepeatLabel = 68207;
inline constexpr int32_t kMaxGradRepeatCount = 500;

// The 8-byte record the controls stand for; the count is truncated and at
// least 1 (a value that is not a number counts as 1).
SGradRepeat gradAttrRecord(const SGradAttrControls& c);

// What the panel shows for the set's current gradient: its repeat record,
// and whether the own-settings button may be pressed (not for the set's
// fixed two-colour entry, which always follows the shared repeat) and is.
struct SGradAttrView {
  bool hasGradient = false;
  SGradRepeat repeat;
  bool ownEnabled = false;
  bool ownDown = false;
};
SGradAttrView gradAttrView(const CGradMngr& set);

// Gives a record to the current gradient: with own settings (and not the
// fixed entry) only that gradient takes it; otherwise the gradient gives up
// its own settings and the record becomes the set's shared repeat, which
// every gradient without its own takes. False without a current gradient or
// when nothing changed.
bool applyGradAttr(CGradMngr& set, const SGradRepeat& record);

}  // namespace pg
