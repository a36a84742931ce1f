#pragma once
// The preset pop-up: the resizable drop-down that picks a brush, a nib, a
// swatch or a gradient from the tool window's set. It holds one item list, a
// close glyph and a menu glyph in a narrow column at its right edge, and a
// menu with the item and set commands; the gradient pop-up adds a preview
// under the list whose size the menu chooses. Its display style, size and
// preview size are kept in the preferences the opener hands it.
#include <functional>
#include <memory>

#include "toolwin/preset_popup_rules.h"
#include "ui/qt/popup_base_form.h"

class QMenu;

namespace pg {

class CGradMngr;
class CItemList;
class TGradientPreview;
class TItemListView;

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
};

// The preferences a pop-up restores when shown and stores when hidden (any
// may be null).
struct SPresetPopupPrefs {
  int32_t* style = nullptr;
  int32_t* width = nullptr;
  int32_t* height = nullptr;
  int32_t* previewSize = nullptr;
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
  // The active index when the pop-up opened.
  int32_t openedIndex() const { return openedIndex_; }
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

  PresetPopupKind kind_;
  std::unique_ptr<CItemList> list_;
  TItemListView* view_ = nullptr;
  TGradientPreview* preview_ = nullptr;
  CGradMngr* gradients_ = nullptr;
  SPresetPopupCommands commands_;
  SPresetPopupPrefs prefs_;
  CPresetPopupCloseGlyph close_;
  QAction* items_[kPresetPopupItemCount] = {};
  QAction* styles_[7] = {};
  QAction* previews_[4] = {};
  int32_t previewSize_ = 2;
  int32_t openedIndex_ = -1;
  bool hoverClose_ = false, hoverMenu_ = false;
};

// The openers: the pop-up owned by the control, or nullptr (a pen method
// set that is empty has none).
[[nodiscard]] TPresetPopupForm* openPenMethodPopup(QWidget* owner, class CPenMethodMngr& set, SPresetPopupCommands commands,
                                     SPresetPopupPrefs prefs);
[[nodiscard]] TPresetPopupForm* openPenNibPopup(QWidget* owner, class CPenShapeMngr& set, int32_t index, SPresetPopupCommands commands,
                                  SPresetPopupPrefs prefs);
[[nodiscard]] TPresetPopupForm* openGradientPopup(QWidget* owner, CGradMngr& set, SPresetPopupCommands commands, SPresetPopupPrefs prefs);

}  // namespace pg
