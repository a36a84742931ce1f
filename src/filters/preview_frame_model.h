#pragma once
// The geometry of the preview frame of the filter dialogs, apart from any
// toolkit: a paint box that shows part of a layer magnified and centred,
// the zoom (a percentage with a slider whose middle is always 100 %), and
// panning by dragging. The widget draws what this model says.
#include <cstdint>

#include "core/rect.h"

namespace pg {

// The zoom slider's two mappings for a zoom range of minimum .. maximum per
// cent. Out: slider position -> linear fraction of the range; In: the
// inverse. Both clamp their argument to 0..1; the slider's middle is 100 %.
// A range that does not hold 100 % strictly inside maps linearly.
float zoomTrackOut(float position, float minimumPercent, float maximumPercent);
float zoomTrackIn(float fraction, float minimumPercent, float maximumPercent);

class CPreviewFrameModel {
 public:
  static constexpr float kMaxZoom = 1600.0f;
  static constexpr int32_t kZoomRowHeight = 22;

  // The paint box size (the frame's width and height less the zoom row).
  void setPaintBox(int32_t width, int32_t height);
  int32_t paintWidth() const { return paintW_; }
  int32_t paintHeight() const { return paintH_; }

  // Binds a layer image of the given size and centres on centre (layer
  // coordinates, the work rectangle's or the filter's bounds): the zoom
  // range becomes fit .. 1600 % with the zoom at 100 %.
  void bind(int32_t imageWidth, int32_t imageHeight, const TRect& centreOn);
  [[nodiscard]] bool bound() const { return bound_; }
  void centreOn(const TRect& r);

  int32_t imageWidth() const { return bound_ ? imageW_ : paintW_ - 2; }
  int32_t imageHeight() const { return bound_ ? imageH_ : paintH_ - 2; }

  // Zoom in per cent, clamped into the range; sizes and scroll follow, the
  // centre kept.
  void setZoom(float percent);
  float zoom() const { return zoom_; }
  float zoomMin() const { return zoomMin_; }
  // The slider's position for the zoom, and the zoom for a position.
  float trackPosition() const;
  void setTrackPosition(float position);

  // The magnified picture (at most the paint box less 2 each way), centred.
  int32_t viewWidth() const { return viewW_; }
  int32_t viewHeight() const { return viewH_; }
  int32_t viewOriginX() const;
  int32_t viewOriginY() const;
  // The source pixels shown, from (scrollX, scrollY).
  int32_t visibleWidth() const { return visW_; }
  int32_t visibleHeight() const { return visH_; }
  TRect visibleRect() const { return TRect{scrollX_, scrollY_, scrollX_ + visW_, scrollY_ + visH_}; }
  int32_t scrollX() const { return scrollX_; }
  int32_t scrollY() const { return scrollY_; }
  void setScrollX(int32_t x);
  void setScrollY(int32_t y);

  // Panning: press, move (answers whether anything scrolled), release.
  void beginDrag(int32_t x, int32_t y);
  [[nodiscard]] bool dragTo(int32_t x, int32_t y);
  void endDrag() { dragging_ = false; pressed_ = false; }
  [[nodiscard]] bool dragging() const { return dragging_; }

 private:
  void resizeView();

  int32_t paintW_ = 208;
  int32_t paintH_ = 208;
  int32_t imageW_ = 0;
  int32_t imageH_ = 0;
  bool bound_ = false;
  float zoom_ = 100.0f;
  float zoomMin_ = 6.25f;
  int32_t viewW_ = 206;
  int32_t viewH_ = 206;
  int32_t visW_ = 206;
  int32_t visH_ = 206;
  int32_t scrollX_ = 0;
  int32_t scrollY_ = 0;
  int32_t dragX_ = 0;
  int32_t dragY_ = 0;
  bool pressed_ = false;
  bool dragging_ = false;
};

class TMTC;

// The frame's picture in paint (resized to the paint box): the face colour,
// a one-pixel frame around the view, a checkerboard of 8 x 8 cells under the
// view, and visible (the source pixels shown, may be null) stretched over it
// by nearest samples and blended by its alpha. Colours in pixel order.
[[nodiscard]] bool drawPreviewPicture(const CPreviewFrameModel& m, const TMTC* visible, uint32_t face, uint32_t frame, TMTC& paint);

}  // namespace pg
