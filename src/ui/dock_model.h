#pragma once
// The arrangement of the dockable panels without any window: floating forms
// hold a vertical stack of panes, each pane groups views as tabs, one of them
// active. The window layer performs every docking step here and then shows
// what the model holds, so the rules (which view is active, when a pane folds
// or a form hides, where a drop lands, the caps) are tested headless.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/rect.h"

namespace pg {

// Caps: floating forms (the pinned tool window not counted), panes over all
// forms, registered views and views in one pane.
constexpr int32_t kDockMaxForms = 16;
constexpr int32_t kDockMaxPanes = 16;
constexpr int32_t kDockMaxViews = 32;

// Strip heights: the first pane's strip, and every later one's with its
// 4-pixel resize grip for the pane above.
constexpr int32_t kDockTopStripHeight = 19;
constexpr int32_t kDockStripHeight = 23;
constexpr int32_t kDockGripHeight = 4;
// Our own frame of a floating form: the caption band and the sizing border.
constexpr int32_t kDockCaptionHeight = 18;
constexpr int32_t kDockBorder = 3;

constexpr int32_t kDockViewWidth = 210;
constexpr int32_t kDockViewHeight = 96;

struct SDockView {
  std::string name;
  int32_t width = kDockViewWidth;
  int32_t height = kDockViewHeight;
  int32_t minWidth = kDockViewWidth;
  int32_t minHeight = kDockViewHeight;
  int32_t maxHeight = 0;  // 0: no maximum
  int32_t defaultGroup = -1;  // views of one group share a pane by default; -1 alone
  bool defaultAtCorner = false;  // its form starts at the area's top-left, not at the right edge
  int32_t defaultWidth = kDockViewWidth;  // the size the default arrangement gives
  int32_t defaultHeight = kDockViewHeight;
  int32_t tabWidth = 0;       // its caption tab: the default arrangement makes room for a pane's tabs
  bool shown = true;          // the user's choice to show the panel
  bool collapsed = false;     // its pane is folded to the strip
  bool active = false;        // the active view of its pane
};

struct SDockPane {
  uint32_t id = 0;
  std::vector<int32_t> views;  // view ids in tab order
  int32_t activeIndex = -1;
};

struct SDockForm {
  uint32_t id = 0;
  std::vector<SDockPane> panes;
  TRect bounds;          // the whole window in screen coordinates
  bool visible = true;
  bool wasVisible = false;  // visible when the manager last hid all forms
  bool pinned = false;      // the tool window: listed first, kept when empty
};

// Where a view lies; form -1 when it lies nowhere.
struct SDockPlace {
  int32_t form = -1;
  int32_t pane = -1;
  int32_t index = -1;
};

// One pane laid out in its form's client area.
struct SDockPaneLayout {
  int32_t top = 0;
  int32_t stripHeight = 0;
  int32_t viewTop = 0;
  int32_t viewHeight = 0;  // 0 when the active view is not visible
};

// What ending a dock drag did.
enum class DockDrop { Refused, Uncollapsed, Moved };

// Show state of a view as the show-panel commands present it.
enum : int32_t {
  kDockStateShown = 0,
  kDockStateHidden = 1,
  kDockStateCollapsed = 2,
  kDockStateNoForm = 3,
};

class CDockModel {
 public:
  // ---- views
  // Registers a panel by its unique name; the id, or -1 (empty or taken name,
  // cap reached).
  [[nodiscard]] int32_t registerView(const SDockView& view);
  int32_t viewCount() const { return static_cast<int32_t>(views_.size()); }
  const SDockView& view(int32_t id) const { return views_[id]; }
  int32_t viewByName(std::string_view name) const;
  bool validView(int32_t id) const { return id >= 0 && id < viewCount(); }
  SDockPlace placeOf(int32_t view) const;
  // Visible: active in its pane, shown and not collapsed.
  bool viewVisible(int32_t view) const;
  int32_t showState(int32_t view) const;
  void setViewSize(int32_t view, int32_t width, int32_t height);

  // ---- forms and panes
  int32_t formCount() const { return static_cast<int32_t>(forms_.size()); }
  const SDockForm& form(int32_t index) const { return forms_[index]; }
  int32_t formIndexOfId(uint32_t id) const;
  int32_t paneCount(int32_t form) const { return static_cast<int32_t>(forms_[form].panes.size()); }
  int32_t totalPanes() const;
  int32_t floatingFormCount() const;
  // Lists the pinned tool window first; false when one exists already.
  [[nodiscard]] bool addPinnedForm(const TRect& bounds);
  // A new empty form at the end of the list; its index, or -1 at the cap.
  [[nodiscard]] int32_t newForm(const TRect& bounds);
  void setFormBounds(int32_t form, const TRect& bounds);
  void setFormVisible(int32_t form, bool visible);

  // Adds a view that lies nowhere to the pane at paneIndex, or to a new pane
  // appended when the index is not valid; it becomes the active tab.
  // Activating a tab (here and by setActiveIndex) opens a folded pane.
  [[nodiscard]] bool addView(int32_t form, int32_t paneIndex, int32_t view);
  // Takes the view out of its pane; an empty pane goes, and so does a form
  // left without panes (unless pinned). False when it lay nowhere.
  [[nodiscard]] bool removeView(int32_t view);
  void setActiveIndex(int32_t form, int32_t pane, int32_t index);
  bool activeHidden(int32_t form, int32_t pane) const;
  void setAllHidden(int32_t form, int32_t pane, bool collapsed);
  int32_t shownCount(int32_t form, int32_t pane) const;
  int32_t nextShown(int32_t form, int32_t pane, int32_t index) const;
  // The user's show-panel choice, with its consequences for pane and form.
  void setShown(int32_t view, bool shown);
  // Form caption double-click: every pane folds, or every pane opens.
  bool allCollapsed(int32_t form) const;
  void setAllCollapsed(int32_t form, bool collapsed);

  // ---- layout
  int32_t stripHeight(int32_t /*form*/, int32_t pane) const { return pane == 0 ? kDockTopStripHeight : kDockStripHeight; }
  int32_t paneHeight(int32_t form, int32_t pane) const;
  // Panes top to bottom in a client area of the given height; the last
  // pane's visible view fills what remains.
  std::vector<SDockPaneLayout> layout(int32_t form, int32_t clientHeight) const;
  int32_t fittedClientHeight(int32_t form) const;
  // Sets the form's height to its panes' (keeping its top) and its views'
  // widths to its client width.
  void fitHeight(int32_t form);
  // The form's client height and width from its bounds and our frame.
  static TRect clientOf(const TRect& bounds);
  static TRect boundsForClient(int32_t left, int32_t top, int32_t clientWidth, int32_t clientHeight);
  // Minimum width and height and maximum height (0: none) of the window.
  void trackLimits(int32_t form, int32_t& minWidth, int32_t& minHeight, int32_t& maxHeight) const;
  // A resized window: views follow its width; the last pane's view its height.
  void resizeForm(int32_t form, const TRect& bounds);
  // The grip of pane `pane` dragged by dy: the nearest pane above with a
  // visible active view changes that view's height. False when none.
  [[nodiscard]] bool dragGrip(int32_t form, int32_t pane, int32_t dy);

  // ---- docking
  // The drop position of a client y: a pane index (add as a tab), pane count
  // + i (a new pane before pane i) or -1 (a new pane below everything).
  int32_t findDropPosition(int32_t form, int32_t y) const;
  // The drop indicator for that position in client coordinates.
  TRect dropIndicator(int32_t form, int32_t position) const;
  // The end of a drag of a view released over a form at a drop position.
  DockDrop endDock(int32_t view, int32_t form, int32_t position);
  // The view released over no form: it moves into a new form with these
  // bounds. False when the cap left no room; the view then stays.
  [[nodiscard]] bool floatView(int32_t view, const TRect& bounds);
  // The bounds a float form needs for the view alone with its top-left at p.
  TRect floatBoundsFor(int32_t view, TPoint p) const;

  // ---- hiding all forms together
  bool hidden() const { return hidden_; }
  void hideAll();
  void showAll();

  // ---- arrangement
  // Every view out of every form; floating forms go, the pinned one stays.
  void clear();
  // Groups along the right edge of the area, top to bottom, the last group
  // reaching the area's bottom.
  void defaultArrangement(const TRect& area);
  // A bounded text of the present arrangement for the given screen.
  std::string saveLayout(const TRect& screen) const;
  // Rebuilds the arrangement from a saved text; false, and the model left
  // untouched, when the text is damaged, hostile, names an unknown panel or
  // was saved for another screen. Views the text does not place lie nowhere
  // afterwards (see floatUnplaced).
  [[nodiscard]] bool restoreLayout(std::string_view text, const TRect& screen);

  // Floats every view that lies nowhere into a form of its own, cascading
  // from the area's top-left.
  void floatUnplaced(const TRect& area);

 private:
  [[nodiscard]] SDockPane* paneAt(int32_t form, int32_t pane);
  void applyActive(SDockPane& p);
  [[nodiscard]] int32_t insertPane(int32_t form, int32_t at);
  void dropEmpty(int32_t form, int32_t pane);
  int32_t paneIndexOfId(int32_t form, uint32_t id) const;

  std::vector<SDockView> views_;
  std::vector<SDockForm> forms_;
  uint32_t nextId_ = 1;
  bool hidden_ = false;
};

// Tab positions in a strip: from x = 4 each shown view's tab overlaps the
// previous one by 9 pixels; when the row reaches the strip width minus 30 the
// tabs after the first are pulled left so the last one still fits. widths:
// the caption images; shown: which views have a tab; -1 for the others.
std::vector<int32_t> layoutDockTabs(const std::vector<int32_t>& widths, const std::vector<bool>& shown,
                                    int32_t stripWidth);
// The narrowest strip in which layoutDockTabs leaves every tab of the widths
// where it starts, none pulled over the one before.
int32_t dockTabsStripWidth(const std::vector<int32_t>& widths);

}  // namespace pg
