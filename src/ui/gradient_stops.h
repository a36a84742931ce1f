#pragma once
// The model and drawing of the gradient stop editor: the colour stops of a
// gradient (two fixed ends and the stops between them), their editing
// (add, move, delete, join into split pairs, divide, reverse), the reading
// and writing of a colour-slot group, the pointer geometry and the bar and
// face pictures.
#include <cstdint>
#include <vector>

#include "brush/gradient.h"
#include "ui/colour_model.h"
#include "ui/memory_graphic.h"

namespace pg {

struct TGradientEditPos {
  float Position = 0.0f;
  uint8_t Kind = 0;  // 0 own colour, 1 follows colour A, 2 follows colour B
  SColorRec Color;
  float Opacity = 1.0f;
  uint8_t Split = 0;  // this stop and the next one form a hard edge
};

// Stop <-> slot conversion. The opacity byte is min(255, ...) so that a fully
// opaque stop stays opaque.
TGradientEditPos stopFromSlot(const SColorSlot& s);
SColorSlot slotFromStop(const TGradientEditPos& p, int32_t index, float nextPosition);
uint8_t opacityByte(float opacity);

class TGradientStops {
 public:
  TGradientStops();

  int32_t count() const { return static_cast<int32_t>(stops_.size()); }
  int32_t capacity() const { return capacity_; }
  bool isValidIndex(int32_t i) const { return i >= 0 && i < count(); }
  const TGradientEditPos* posAt(int32_t i) const { return isValidIndex(i) ? &stops_[static_cast<size_t>(i)] : nullptr; }
  int32_t selectIndex() const { return selected_; }
  void setSelectIndex(int32_t i);

  SColorRec ColorA, ColorB;  // the foreground and background colours
  // The colour a stop shows (its own, or colour A or B).
  SColorRec shownColor(const TGradientEditPos& p) const;

  [[nodiscard]] int32_t addStopAt(float position, bool select);
  void deleteStop(int32_t i);
  void moveStop(int32_t i, float position);
  void centreStop(int32_t i);
  void setKind(uint8_t kind, int32_t i);
  void setColor(const SColorRec& c, int32_t i);
  void setOpacity(int32_t i, float v);
  bool canUnion(int32_t i) const;
  bool canUnionLeft(int32_t i) const { return canUnion(i - 1); }
  void unionLeft(int32_t i);
  void unionRight(int32_t i);
  void separate(int32_t i);
  uint8_t splitState(int32_t i) const;
  bool canDivide(int32_t i, int32_t parts) const;
  void divide(int32_t i, int32_t parts);
  void copyStop(int32_t dst, int32_t src);
  void swapStops(int32_t a, int32_t b);
  void reverse();

  void setColorSlotGroup(const CColorSlotGroup& g);
  [[nodiscard]] bool writeColorSlotGroup(CColorSlotGroup& target) const;

 private:
  bool inner(int32_t i) const { return i > 0 && i < count() - 1; }
  // The first stop of the pair (or the stop itself) and the last.
  void groupOf(int32_t i, int32_t& first, int32_t& last) const;
  TGradientEditPos& at(int32_t i) { return stops_[static_cast<size_t>(i)]; }
  const TGradientEditPos& at(int32_t i) const { return stops_[static_cast<size_t>(i)]; }

  std::vector<TGradientEditPos> stops_;
  int32_t capacity_ = 256;
  int32_t selected_ = 0;
};

// ---- geometry and pictures --------------------------------------------------------

inline constexpr int32_t kGradMarker = 15;
// The inner width of the bar of a control of that width.
inline int32_t gradientInnerWidth(int32_t controlWidth) { return controlWidth - 13 - 2; }
// A stop's marker left in face coordinates; a pointer x as a position.
int32_t gradientMarkerX(int32_t innerWidth, float position);
float gradientPositionAt(int32_t innerWidth, int32_t x);
// The stop nearest to a pointer x (the left one on a tie).
int32_t gradientNearestStop(const TGradientStops& s, int32_t innerWidth, int32_t x);
// Whether a press at x hits some marker (within 8 pixels).
bool gradientHitsMarker(const TGradientStops& s, int32_t innerWidth, int32_t x);

// The bar (checkerboard and blended segments) and the whole face.
void paintGradientBar(TMemoryGraphic& bar, const TGradientStops& s);
void paintGradientFace(TMemoryGraphic& face, const TMemoryGraphic& bar, const TGradientStops& s, bool fadedSelection);

}  // namespace pg
