#pragma once
// What the document's view needs of its surroundings: the window surface it
// paints into, the preference values of the view (grid, caption), and the
// view of the selection outline that the document offers the marching ants.
//
// The document paints its picture into the window's back buffer, a plane of
// the client size whose pixel (x, y) is window point (x, y); the window puts
// the painted part on the screen. Nothing here knows a widget, so every
// painting path runs headless.
#include <cstdint>
#include <string>

#include "core/planes.h"
#include "core/rect.h"
#include "document/ant_points.h"

namespace pg {

class TPaper;

// The colour that fills the view where no canvas lies in the rotated and
// scaled view (pixel order).
inline constexpr uint32_t kCanvasSurroundColor = 0x808080u;
// The window's background brush, which also clears the pattern view buffer.
inline constexpr uint32_t kWorkspaceColor = 0xCCCCCCu;
// The transparent display: cells of 8 x 8 in two greys, odd cells the lighter.
inline constexpr uint32_t kCheckOddColor = 0xE0E0E0u;
inline constexpr uint32_t kCheckEvenColor = 0xC8C8C8u;
inline constexpr int32_t kCheckCell = 8;

// The document window as the view painting sees it.
class IViewSurface {
 public:
  virtual ~IViewSurface() = default;
  // The client area in window pixels.
  virtual SSize clientSize() const = 0;
  // The back buffer (client size) the view is painted into; null while the
  // window has none.
  virtual TMTC* backBuffer() = 0;
  // A rectangle of the back buffer (window coordinates) was painted and is to
  // reach the screen now.
  virtual void presentRect(const TRect& rect) = 0;
  // Paints the whole view now instead of at the next paint event (replay
  // shows every step).
  virtual void updateNow() = 0;
  virtual uint32_t surroundColor() const { return kCanvasSurroundColor; }
  virtual uint32_t backgroundColor() const { return kWorkspaceColor; }
};

// The preference values the view reads. The application installs its
// preferences; without them the defaults below answer.
class CViewPrefs {
 public:
  static constexpr int32_t kDefaultGrid = 32;
  // Black at half opacity: the low three bytes are the colour (red in the
  // low byte), the top byte the grid's opacity.
  static constexpr uint32_t kDefaultGridColor = 0x80000000u;

  virtual ~CViewPrefs() = default;
  virtual int32_t gridW() const { return kDefaultGrid; }
  virtual int32_t gridH() const { return kDefaultGrid; }
  virtual uint32_t gridColor() const { return kDefaultGridColor; }
  // Window captions show the whole document path.
  virtual bool fullPathCaption() const { return false; }
};

// The preferences in use: the installed ones, else the defaults.
CViewPrefs& viewPrefs();
// Installs preferences (not owned; nullptr restores the defaults) and
// answers the previous ones.
CViewPrefs* setViewPrefs(CViewPrefs* prefs);

// The document's zoom, rotation and mapping as the selection outline reads
// them. The document owns one and hands it to its mask list.
class CPaperAntsView final : public CAntsView {
 public:
  explicit CPaperAntsView(const TPaper& doc) : doc_(doc) {}
  float zoom() const override;
  float sinA() const override;
  float cosA() const override;
  void paperToWindow(int32_t& x, int32_t& y) const override;

 private:
  const TPaper& doc_;
};

// The view rotation in degrees, brought into (-360, 0], with its sine and
// cosine; the four quarter turns get exact values.
struct SViewAngle {
  float degrees = 0.0f;
  float radians = 0.0f;
  float sine = 0.0f;
  float cosine = 1.0f;
};
SViewAngle normalizeViewAngle(float degrees);

// The text of a window caption for a document name: the whole name, or
// without full path the part after the last path separator (a backslash, a
// colon or a slash).
std::string captionOfName(const std::string& name, bool fullPath);

}  // namespace pg
