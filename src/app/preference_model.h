#pragma once
// The preferences dialog ("環境設定") without its widgets: the value of every
// control, loaded from the preferences and written back on OK as exact
// mirrors, the Initialize defaults, and the rules that enable controls.
#include <cstdint>
#include <string>

namespace pg {

class CAppProfile;

// The pages of the page list; the last one is never shown.
enum EPreferencePage : int32_t { kPageTool, kPageCursorGrid, kPageDocument, kPageStartFiles, kPageAvi, kPageCount };

struct SPreferenceValues {
  // page 1
  int32_t shortcutScheme = 0;   // CmbShortCut
  int32_t middleButton = 0;     // CmbMButtonProc
  int32_t undoCount = 8;        // EdtUndo
  bool rightButtonPicks = true; // ChkRightButton
  bool useGrabCtrl = true;
  bool toolFindNext = false;    // shown inverse of the stored switch
  bool drawToolAutoSave = false;
  bool grabToolDblClk = true;
  bool zoomToolDblClk = true;
  bool exchangeColour = false;
  bool autoFreeHand = false;
  bool verticalPopup = true;
  // page 2
  bool drawCursorFine = false;  // RadDrawCursorP; else RadDrawCursorS
  std::string cursorPath;
  bool brushGhost = false;
  bool ghostCentre = true;
  bool otherCursorFine = false;
  int32_t gridX = 32;
  int32_t gridY = 32;
  uint32_t gridColour = 0;      // RGB without the opacity byte
  double gridOpacity = 50;      // per cent
  // page 3
  bool showScrollBar = false;
  bool fullPath = false;
  bool autoScroll = false;
  bool forceDisplay = false;
  bool autoSize = true;
  bool autoSizeOnlyZoomOut = true;
  bool autoSizeOnlyEvent = true;
  bool saveConfirm = true;      // shown inverse of the stored switch
  bool otherIoPath = false;     // ChkImageIOOtherPath, bit 1
  bool priorityFilePath = true; // ChkPriorityFilePath, bit 0
  // page 4
  std::string brushFile, nibFile, swatchFile, gradientFile;
  bool useLastFile = true;
  int32_t saveAsQuit = 0;

  // The controls as the preferences show them.
  static SPreferenceValues load(const CAppProfile& p);
  // Writes every control back.
  void store(CAppProfile& p) const;
  // The Initialize button: every control to its default (the preferences
  // change only on OK).
  void initialize();

  // The grid colour as stored: the opacity in the top byte.
  uint32_t storedGridColour() const;

  // Enabling rules.
  bool cursorPathEnabled() const { return !drawCursorFine; }
  bool ghostCentreEnabled() const { return brushGhost; }
  bool startFilesEnabled() const { return !useLastFile; }
  bool autoSizeOptionsEnabled() const { return autoSize; }
};

// The page a page-list index shows; -1 for none (the AVI page).
int32_t preferencePageShown(int32_t listIndex);

}  // namespace pg
