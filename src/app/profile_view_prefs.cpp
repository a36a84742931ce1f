#include "app/profile_view_prefs.h"

#include <algorithm>

#include "app/app_profile.h"
#include "canvas/canvas_shared.h"

namespace pg {

namespace {
// The limit of the grid spacing and of the undo steps the dialog offers.
constexpr int32_t kMaxGrid = 10000;
constexpr int32_t kMaxUndo = 1000;
}  // namespace

int32_t CProfileDocPrefs::gridW() const { return std::clamp(p_.gridW, 2, kMaxGrid); }
int32_t CProfileDocPrefs::gridH() const { return std::clamp(p_.gridH, 2, kMaxGrid); }
uint32_t CProfileDocPrefs::gridColor() const { return p_.GridColor; }
bool CProfileDocPrefs::fullPathCaption() const { return p_.titleFullpath; }
int32_t CProfileDocPrefs::undoMax() const { return std::clamp(p_.undoMax, 0, kMaxUndo); }

void canvasPrefsFromProfile(const CAppProfile& p, SCanvasPrefs& c) {
  c.shortcutMode = std::clamp(p.ShortcutMode, 0, 1);
  c.useRBtnColPicker = p.useRBtnColPicker;
  c.mouseMBtnFunc = std::clamp(p.mouseMBtnFunc, 0, 10);
  c.useAutoScroll = p.useAutoScroll;
  c.otherToolCursor = p.OtherToolCursor == 1;
  c.autoSizeAdjust = static_cast<int32_t>(p.AutoSizeAdjust);
  c.showScrollBar = p.showScrollBar;
  c.brushGhost = p.BrushGhost;
  c.showGhostCenter = p.ShowGhostCenter;
}

}  // namespace pg
