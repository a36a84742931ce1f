#pragma once
// CViewState: how one document is looked at in its window. The zoom ratio,
// the rotation (degrees, radians, sine and cosine kept together), the scroll
// position of the unrotated view, the centre of the rotated one, the grid
// and the buffers the turned or scaled view is painted through. The
// document owns one; none of it is part of the picture, a file or a
// recording.
#include <cstdint>

#include "core/planes.h"
#include "core/rect.h"

namespace pg {

// The whole zoom ratio k with k x side below 32768: the view can be the
// picture magnified, without a view buffer.
bool zoomFitsScale(SRatio zoom, int32_t side);

class CViewState {
 public:
  static constexpr float kMinZoom = 0.0625f;
  static constexpr float kMaxZoom = 16.0f;
  static constexpr int32_t kDefaultGridSpacing = 25;
  // The smallest grid spacing the view draws.
  static constexpr int32_t kMinGridSpacing = 2;

  // ---- zoom ----
  SRatio zoom() const { return zoom_; }
  float zoomValue() const { return ratioToFloat(zoom_); }
  // Stores the ratio, 1/16 .. 16/1 (a ratio outside becomes the nearer end;
  // a pair that is not positive is refused); answers the zoom in use.
  float setZoom(int32_t num, int32_t den);
  bool canZoomIn() const { return zoomValue() < kMaxZoom; }
  bool canZoomOut() const { return zoomValue() > kMinZoom; }
  // To the next zoom step up or down.
  void zoomIn();
  void zoomOut();
  void zoomReset() { zoom_ = SRatio{1, 1}; }

  // ---- rotation ----
  float angleDeg() const { return angleDeg_; }
  float angleRad() const { return angleRad_; }
  float sinA() const { return sinA_; }
  float cosA() const { return cosA_; }
  bool isRotated() const { return angleRad_ != 0.0f; }
  // Normalises into (-360, 0] degrees; a value that is not finite turns the
  // view back to 0.
  void setAngle(float degrees);
  // The angle as given in radians (not normalised); not finite: 0.
  void setRadians(float radians);

  // ---- position ----
  // The unrotated view: document point scrollOffset lies at window point
  // scrollOrigin.
  TPoint scrollOrigin() const { return scrollOrigin_; }
  TPoint scrollOffset() const { return scrollOffset_; }
  void setScrollOrigin(int32_t x, int32_t y) { scrollOrigin_ = {x, y}; }
  void setScrollOffset(int32_t x, int32_t y) { scrollOffset_ = {x, y}; }
  // The rotated view: the document point at the centre of the client area.
  TPointF center() const { return center_; }
  void setCenter(float x, float y) { center_ = {x, y}; }
  // Moves the centre by a window-space delta.
  void pan(float dx, float dy);

  // ---- mapping ----
  // The document point at the centre of a client area (truncated).
  TPoint origin(SSize client) const;
  // Window point to document point, in floats.
  void windowToPaperF(SSize client, float& x, float& y) const;
  // Document point to window point, in floats; the integer form truncates
  // after adding 0.01.
  void paperToWindowF(SSize client, TPointF& p) const;
  void paperToWindow(SSize client, TPoint& p) const;

  // ---- grid ----
  bool showGrid() const { return showGrid_; }
  int32_t gridX() const { return gridX_; }
  int32_t gridY() const { return gridY_; }
  // Spacing below kMinGridSpacing becomes kMinGridSpacing.
  void setGrid(bool show, int32_t gx, int32_t gy);

  // ---- buffers ----
  // The turned or scaled view, the client's size.
  TTC& viewBuffer() { return viewBuffer_; }
  const TTC& viewBuffer() const { return viewBuffer_; }
  // The magnified picture over the transparent display's pattern.
  TTC& patternBuffer() { return patternBuffer_; }
  const TTC& patternBuffer() const { return patternBuffer_; }
  void freeBuffers();
  uint64_t bufferBytes() const;

 private:
  SRatio zoom_{1, 1};
  float angleDeg_ = 0.0f;
  float angleRad_ = 0.0f;
  float sinA_ = 0.0f;
  float cosA_ = 1.0f;
  TPoint scrollOrigin_{};
  TPoint scrollOffset_{};
  TPointF center_{};
  bool showGrid_ = false;
  int32_t gridX_ = kDefaultGridSpacing;
  int32_t gridY_ = kDefaultGridSpacing;
  TTC viewBuffer_{true};
  TTC patternBuffer_{true};
};

}  // namespace pg
