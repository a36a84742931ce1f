#pragma once
// The two panes of the lighting dialog, apart from any toolkit: the preview
// pane (a reduced copy of the filter area lit live, on which the lamp is
// dragged) and the side view (the lamp on a vertical track for its height,
// with its pitch and spread). Each answers where its marks stand, which
// drag a press starts and what a drag sets; each draws into a
// TMemoryGraphic that its widget shows.
#include <cstdint>
#include <memory>

#include "core/planes.h"
#include "core/rect.h"
#include "filters/filter_params.h"
#include "filters/lighting_filter.h"
#include "ui/memory_graphic.h"

namespace pg {

// What the panes show and set of the lamp. x and y are positions in
// filter-area sizes relative to the centre (0 the centre; the record's x is
// x + 0.5); direction is the angle in the pane (screen degrees, y down);
// height 0..1 of the height field's range.
struct SLampView {
  int32_t kind = lkPoint;
  double x = 0.0, y = 0.0;
  double direction = 0.0;  // degrees
  double pitch = 0.0;      // degrees, 0..90
  double spread = 0.0;     // degrees, 3..180 for directed lamps
  double height = 0.0;     // 0..1
};

enum class ELampDrag : uint8_t { None, Move, Direction, Spread, Height, Pitch };

// Twice the angle from `from` to `to` (degrees), wrapped into -180..180,
// then limited to 3..180: a spread from a pointer beside the beam.
double spreadFromAngles(double toDeg, double fromDeg);

class CLightPreviewModel {
 public:
  static constexpr int32_t kPane = 160;
  static constexpr double kDirectionRadius = 24.0;

  // Reduces the area's pixels (nearest neighbour) to fit the pane keeping
  // the aspect ratio, the short side at least 1. False for an empty plane.
  [[nodiscard]] bool attach(const TMTC& area);
  SSize reducedSize() const { return {reduced_.Width, reduced_.Height}; }
  // The reduced copy's top-left corner in the pane (centred).
  TPoint origin() const { return origin_; }
  // The lamp's point in the pane.
  TPointF lampPoint(const SLampView& v) const;
  // The reduced copy lit by the record's ambient term and lamp.
  [[nodiscard]] bool relight(const SFltLightingHeader& header, const SLight4& light, TMTC& out) const;

  // A press at p picks the drag by the distance from the lamp.
  ELampDrag press(const SLampView& v, TPointF p) const;
  // The drag's effect of the pointer at p.
  void drag(ELampDrag mode, SLampView& v, TPointF p) const;

  // The pane's face: the lit copy, the lamp's handle and, for directed
  // lamps, the direction mark and the two spread lines.
  [[nodiscard]] bool paint(TMemoryGraphic& g, const TMTC* lit, const SLampView& v, TUiColor background) const;

 private:
  TMTC reduced_;
  TPoint origin_{};
};

class CLightSideModel {
 public:
  // The pane's size and the track's ends.
  static constexpr int32_t kWidth = 140, kHeight = 160;
  static constexpr int32_t kTrackX = 36, kTrackTop = 20, kTrackBottom = 140;
  static constexpr int32_t kSquare = 64;  // the fall-off square beside the track
  static constexpr double kPitchRadius = 24.5, kSpreadLength = 32.5;

  TPointF lampPoint(const SLampView& v) const;
  ELampDrag press(const SLampView& v, TPointF p) const;
  void drag(ELampDrag mode, SLampView& v, TPointF p) const;
  // The track, the lamp, its pitch mark and spread lines, and the fall-off
  // of a lamp of the same kind in a square beside it.
  [[nodiscard]] bool paint(TMemoryGraphic& g, const SLampView& v, const SLight4& light, TUiColor background) const;
};

// The lamp view of a record's light, and the light's fields a view sets.
SLampView lampViewOf(const SLight4& light, int32_t heightMax);
void applyLampView(const SLampView& v, int32_t heightMax, SLight4& light);

}  // namespace pg
