#pragma once
// The navigator panel without its widgets: the zoom field (per cent), the
// rotation field (degrees), the preview's centre, and how they and the
// document window drive each other. A change from one side reaches the
// others once: a guard per quantity stops the echo. The panel shows the
// window's rotation with the opposite sign (the preview turns the picture
// back), so turning the window by +30 degrees shows -30.
//
// Also the info panel's display rules (the colour under the pointer and the
// positions of a drag).
#include <cstdint>
#include <functional>
#include <string>

#include "canvas/tool_numbering.h"
#include "core/rect.h"

namespace pg {

class TDrawWindow;

inline constexpr uint32_t kResNavCounterRotate = 67502;

// Who made a change.
enum class NavSender : uint8_t { Panel, Preview, Grabber, Window, ToolWindow };

// Zoom slider mapping over 1/16 .. 16 (1 at the middle): the slider position
// of a zoom and back. With snap, the zoom goes to the nearer preset step
// (a tie to the larger).
double zoomSliderOfZoom(double zoom);
double zoomOfZoomSlider(double position, bool snap);
// The rotation slider snapped to multiples of 1/24.
double snapRotationSlider(double position);
// The zoom field's slider holds the value fraction v over 6.25 .. 1600 %
// (z = 1/16 + 15.9375 v); these take it to the slider position and back,
// so that 1/16, 1 and 16 sit at the ends and the middle.
double dispScaleInFilter(double fraction);
double dispScaleOutFilter(double position, bool snap);
// Shift asks the sliders to snap; the preference that forces the display
// steps turns its meaning round.
inline bool displaySliderSnaps(bool shift, bool forceDispParam) { return shift != forceDispParam; }
// The preset step next above (below) a zoom given in per cent.
double zoomPercentStepUp(double percent);
double zoomPercentStepDown(double percent);

// The view grabber sits on the active document window only while the hand
// is the chosen tool (not a hand held for a moment by a key), the preference
// wants it and no replay is shown; it is centred in the window's client area.
[[nodiscard]] bool viewGrabberShown(bool useGrabCtrl, ToolMode mode, bool replayDisplay, bool haveWindow);
TPoint viewGrabberPlace(SSize client);

class CNavigatorModel {
 public:
  // The window the panel follows (nullptr: none); its view is taken at once.
  void bind(TDrawWindow* window);
  TDrawWindow* window() const { return window_; }

  double scalePercent() const { return scale_; }
  double rotationDegrees() const { return rotation_; }
  // What the preview shows: the picture's centre (image pixels), zoom and
  // the preview's turn in radians.
  TPoint previewCentre() const { return centre_; }
  float previewZoom() const { return previewZoom_; }
  float previewRotation() const { return previewRotation_; }
  bool enabled() const;

  // The window's view changed (zoom, turn or scroll): the panel follows.
  void windowViewChanged();
  void navSetZoom(NavSender sender, double zoom);
  void navSetRotation(NavSender sender, double radians);
  void navSetCentre(NavSender sender, int32_t x, int32_t y);
  // The fields' own changes.
  void scaleFieldChanged(double percent) { navSetZoom(NavSender::Panel, percent / 100.0); }
  void rotationFieldChanged(double degrees) { navSetRotation(NavSender::Panel, degrees * kPi / 180.0); }
  void zoomIn();
  void zoomOut();
  // The view grabber on the document window: what it is to show (scale
  // factor, degrees in [-180, 180)), and its own change, which reaches the
  // panel and the window once.
  float grabberScale() const { return grabberScale_; }
  float grabberRotation() const { return grabberRotation_; }
  void grabberChange(float scale, float degrees);

  std::function<void()> OnShow;  // the controls are to show the values again

  static constexpr double kPi = 3.14159265358979323846;

 private:
  void shown();

  TDrawWindow* window_ = nullptr;
  double scale_ = 100.0;
  double rotation_ = 0.0;
  TPoint centre_{};
  float previewZoom_ = 1.0f;
  float previewRotation_ = 0.0f;
  float grabberScale_ = 1.0f;
  float grabberRotation_ = 0.0f;
  bool zoomLock_ = false, rotationLock_ = false, centreLock_ = false, grabberLock_ = false;
};

// The info panel: position texts, the optional pair and the colour under
// the pointer, repainted only when the colour changes.
struct SInfoTexts {
  std::string x, y;              // the pointer
  std::string selX, selY;        // where a drag started
  std::string selW, selH;        // its size
  std::string opt1Caption, opt2Caption, opt1, opt2;
  std::string r, g, b;
};

class CInfoModel {
 public:
  // mode 0 clears, 1 pointer move (the colour is read at the point), 2 drag
  // start, 3 drag size, 4 offset; any other mode only shows the point.
  void updateInfo(TDrawWindow* window, int32_t mode, float x, float y);
  // The colour under the pointer (pixel, blue low); false when the same one
  // is shown already.
  bool showColor(uint32_t pixel);
  void clearColor();
  const SInfoTexts& texts() const { return texts_; }
  bool colorValid() const { return colorValid_; }
  uint32_t color() const { return color_; }
  std::function<void()> OnColorChanged;

 private:
  SInfoTexts texts_;
  bool colorValid_ = false;
  uint32_t color_ = 0;
  TPointF pointer_{};
};

}  // namespace pg
