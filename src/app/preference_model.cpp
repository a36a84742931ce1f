#include "app/preference_model.h"

#include <algorithm>
#include <cmath>

#include "app/app_profile.h"

namespace pg {

namespace {

// Bits of the stored file-folder switches and of the fit-after-resize switches.
constexpr uint32_t kPriorityFilePath = 1, kOtherIoPath = 2;
constexpr uint32_t kAutoSize = 1, kAutoSizeOnlyEvent = 2, kAutoSizeOnlyZoomOut = 4;

uint32_t withBit(uint32_t value, uint32_t bit, bool on) { return on ? value | bit : value & ~bit; }

}  // namespace

SPreferenceValues SPreferenceValues::load(const CAppProfile& p) {
  SPreferenceValues v;
  v.shortcutScheme = p.ShortcutMode;
  v.middleButton = p.mouseMBtnFunc;
  v.undoCount = p.undoMax;
  v.rightButtonPicks = p.useRBtnColPicker;
  v.useGrabCtrl = p.UseGrabCtrl;
  v.toolFindNext = !p.ToolFindNext;
  v.drawToolAutoSave = p.DrawToolAutoSave;
  v.grabToolDblClk = p.RotGrabDblClk;
  v.zoomToolDblClk = p.RotZoomDblClk;
  v.exchangeColour = p.CellExchange;
  v.autoFreeHand = p.AutoFreeHand;
  v.verticalPopup = p.UseVertSlider;
  v.drawCursorFine = p.DrawToolCursor == 1;
  v.cursorPath = p.CursorFile;
  v.brushGhost = p.BrushGhost;
  v.ghostCentre = p.ShowGhostCenter;
  v.otherCursorFine = p.OtherToolCursor == 1;
  v.gridX = p.gridW;
  v.gridY = p.gridH;
  v.gridColour = p.GridColor & 0xFFFFFFu;
  uint32_t alpha = p.GridColor >> 24;
  v.gridOpacity = alpha == 0 ? 50.0 : alpha * 100.0 / 255.0;
  v.showScrollBar = p.showScrollBar;
  v.fullPath = p.titleFullpath;
  v.autoScroll = p.useAutoScroll;
  v.forceDisplay = p.ForceDispParam;
  v.autoSize = (p.AutoSizeAdjust & kAutoSize) != 0;
  v.autoSizeOnlyEvent = (p.AutoSizeAdjust & kAutoSizeOnlyEvent) != 0;
  v.autoSizeOnlyZoomOut = (p.AutoSizeAdjust & kAutoSizeOnlyZoomOut) != 0;
  v.saveConfirm = !p.silentFileIO;
  v.priorityFilePath = (p.FileIODir & kPriorityFilePath) != 0;
  v.otherIoPath = (p.FileIODir & kOtherIoPath) != 0;
  v.brushFile = p.brushFile;
  v.nibFile = p.nibFile;
  v.swatchFile = p.palFile;
  v.gradientFile = p.gradFile2;
  v.useLastFile = p.UseLastFile;
  v.saveAsQuit = p.PresetSaveAsQuit;
  return v;
}

uint32_t SPreferenceValues::storedGridColour() const {
  double a = std::clamp(gridOpacity, 0.0, 100.0) * 255.0 / 100.0 + 0.5;
  return (static_cast<uint32_t>(a) << 24) | (gridColour & 0xFFFFFFu);
}

void SPreferenceValues::store(CAppProfile& p) const {
  p.ShortcutMode = std::clamp(shortcutScheme, 0, 1);
  p.mouseMBtnFunc = std::clamp(middleButton, 0, 10);
  p.undoMax = std::clamp(undoCount, 0, 1000);
  p.useRBtnColPicker = rightButtonPicks;
  p.UseGrabCtrl = useGrabCtrl;
  p.ToolFindNext = !toolFindNext;
  p.DrawToolAutoSave = drawToolAutoSave;
  p.RotGrabDblClk = grabToolDblClk;
  p.RotZoomDblClk = zoomToolDblClk;
  p.CellExchange = exchangeColour;
  p.AutoFreeHand = autoFreeHand;
  p.UseVertSlider = verticalPopup;
  p.DrawToolCursor = drawCursorFine ? 1 : 0;
  p.CursorFile = cursorPath;
  p.BrushGhost = brushGhost;
  p.ShowGhostCenter = ghostCentre;
  p.OtherToolCursor = otherCursorFine ? 1 : 0;
  p.gridW = std::clamp(gridX, 2, 10000);
  p.gridH = std::clamp(gridY, 2, 10000);
  p.GridColor = storedGridColour();
  p.showScrollBar = showScrollBar;
  p.titleFullpath = fullPath;
  p.useAutoScroll = autoScroll;
  p.ForceDispParam = forceDisplay;
  uint32_t fit = p.AutoSizeAdjust;
  fit = withBit(fit, kAutoSize, autoSize);
  fit = withBit(fit, kAutoSizeOnlyEvent, autoSizeOnlyEvent);
  p.AutoSizeAdjust = withBit(fit, kAutoSizeOnlyZoomOut, autoSizeOnlyZoomOut);
  p.silentFileIO = !saveConfirm;
  uint32_t dirs = withBit(p.FileIODir, kPriorityFilePath, priorityFilePath);
  p.FileIODir = withBit(dirs, kOtherIoPath, otherIoPath);
  p.brushFile = brushFile;
  p.nibFile = nibFile;
  p.palFile = swatchFile;
  p.gradFile2 = gradientFile;
  p.UseLastFile = useLastFile;
  p.PresetSaveAsQuit = std::clamp(saveAsQuit, 0, 2);
}

void SPreferenceValues::initialize() {
  shortcutScheme = 0;
  middleButton = 0;
  undoCount = 8;
  rightButtonPicks = useGrabCtrl = grabToolDblClk = zoomToolDblClk = verticalPopup = true;
  autoFreeHand = drawToolAutoSave = toolFindNext = exchangeColour = false;
  saveConfirm = priorityFilePath = true;
  otherIoPath = false;
  gridX = gridY = 32;
  gridColour = 0;  // black at opacity 128
  gridOpacity = 128 * 100.0 / 255.0;
  drawCursorFine = false;
  brushGhost = false;
  ghostCentre = true;
  otherCursorFine = false;
  cursorPath.clear();
  brushFile.clear();
  nibFile.clear();
  swatchFile.clear();
  gradientFile.clear();
  useLastFile = true;
  saveAsQuit = 0;
  fullPath = showScrollBar = autoScroll = forceDisplay = false;
  autoSize = autoSizeOnlyZoomOut = autoSizeOnlyEvent = true;
}

int32_t preferencePageShown(int32_t listIndex) {
  return listIndex >= 0 && listIndex < kPageAvi ? listIndex : -1;
}

}  // namespace pg
