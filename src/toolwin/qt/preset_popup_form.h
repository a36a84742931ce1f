#pragma once
// The preset pop-up: the resizable drop-down that picks a brush, a nib, a
// swatch or a gradient from the tool window's set. It holds one item list, a
// close glyph and a menu glyph in a narrow column at its right edge, and a
// menu with the item and set commands; the gradient pop-up adds a preview
// under the list whose size the menu chooses. Its display style, size and
// preview size are kept in the preferences the opener hands it.
#include <array>
#include <functional>
#include <memory>

#include "toolwin/gradient_options.h"
#include "toolwin/preset_popup_rules.h"
#include "ui/num_mngr.h"
#include "ui/qt/popup_base_form.h"

class QMenu;

namespace pg {

class CGradMngr;
class CItemList;
class TGradientPreview;
class TItemListView;
class TNumLabelEditPopup;
class TPgGlyphButton;
class TPgGlyphLabel;

// What the pop-up does with the list's set and items beyond the list itself.
struct SPresetPopupCommands {
  std::function<bool()> setFileExists;
  std::function<bool()> setModified;
  std::function<void()> revert;
  std::function<void(bool append)> open;
  std::function<void()> save;
  std::function<void(int32_t index)> newItem;   // copies the item and opens the editor
  std::function<void(int32_t index)> editItem;
  std::function<bool(const std::string& question)> confirm;
  // The gradient pop-up's attribute band works on the tool options' own
  // attributes: what they show now, and a change (true when taken).
  std::function<SGradAttrView()> gradAttrs;
  std::function<bool(const SGradAttrControls&)> gradAttrChange;
};

// The preferences a pop-up restores when shown and stores when hidden (any
// may be null).
struct SPresetPopupPrefs {
  int32_t* style = nullptr;
  int32_t* width = nullptr;
  int32_t* height = nullptr;
  int32_t* previewSize = nullptr;
};

// What the owner of a list gives the pop-up of each kind.
struct SPresetPopupSetup {
  SPresetPopupCommands commands;
  SPresetPopupPrefs prefs;
};

class TPresetPopupForm final : public TPopupBaseForm {
  Q_OBJECT
 public:
  TPresetPopupForm(QWidget* owner, PresetPopupKind kind, std::unique_ptr<CItemList> list, int32_t fallbackStyle,
                   SPresetPopupCommands commands, SPresetPopupPrefs prefs);
  ~TPresetPopupForm() override;

  CItemList& list() { return *list_; }
  TItemListView* listView() const { return view_; }
  QMenu* PresetPopupMenu = nullptr;
  TGradientPreview* preview() const { return preview_; }
  // The gradient pop-up's preview (sizes 0 hidden .. 3 large).
  void enablePreview(CGradMngr& set);
  int32_t previewSize() const { return previewSize_; }
  void setPreviewSize(int32_t size);
  // The gradient pop-up's band: the attribute buttons (three shapes, round
  // trip, endless, own settings; nullptr elsewhere), the repeat count and its
  // edit.
  TPgGlyphButton* attrButton(size_t i) const { return i < attrButtons_.size() ? attrButtons_[i] : nullptr; }
  TNumMngr& repeatCount() { return repeatCount_; }
  // Loads the band from the attributes (after a change made elsewhere).
  void loadGradientControls();
  void runMenuItem(PresetPopupItem item);
  void preparePresetPopupMenu();

 protected:
  void popupOpened() override;
  void doPopupClose() override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  SSize glyphSize() const;
  void layoutParts();
  void showGradient();
  void buildGradientBand();
  void gradientControlsChanged();

  PresetPopupKind kind_;
  std::unique_ptr<CItemList> list_;
  TItemListView* view_ = nullptr;
  TGradientPreview* preview_ = nullptr;
  CGradMngr* gradients_ = nullptr;
  SPresetPopupCommands commands_;
  SPresetPopupPrefs prefs_;
  CPresetPopupCloseGlyph close_;
  QAction* items_[kPresetPopupItemCount] = {};
  QAction* showAll_ = nullptr;  // the brushes: every kind or the current one
  QAction* styles_[7] = {};
  QAction* previews_[4] = {};
  std::array<TPgGlyphButton*, kGradAttrButtons.size()> attrButtons_{};
  TPgGlyphLabel* repeatLabel_ = nullptr;
  TNumLabelEditPopup* repeatEdit_ = nullptr;
  TNumMngr repeatCount_;
  SGradRepeat shownRepeat_;
  bool updating_ = false;
  int32_t previewSize_ = 2;
  bool hoverClose_ = false, hoverMenu_ = false;
};

// The openers: the pop-up owned by the control, or nullptr (a pen method
// set that is empty has none).
[[nodiscard]] TPresetPopupForm* openPenMethodPopup(QWidget* owner, class CPenMethodMngr& set, SPresetPopupCommands commands,
                                     SPresetPopupPrefs prefs);
[[nodiscard]] TPresetPopupForm* openPenNibPopup(QWidget* owner, class CPenShapeMngr& set, int32_t index, SPresetPopupCommands commands,
                                  SPresetPopupPrefs prefs);
[[nodiscard]] TPresetPopupForm* openGradientPopup(QWidget* owner, CGradMngr& set, SPresetPopupCommands commands, SPresetPopupPrefs prefs);
// The pop-up of a list's kind over the list's collection (brushes, nibs,
// gradients), opened on the list's current item; nullptr for a list that
// has none. setup gives the commands and preferences of the kind.
[[nodiscard]] TPresetPopupForm* openListPopup(QWidget* owner, CItemList& list,
                                const std::function<SPresetPopupSetup(PresetPopupKind)>& setup);

}  // namespace pg
