#pragma once
// The brush editor: a preset editor over the pen methods (two tabs, the
// paint values and the nib) or over the pen nibs (the nib frame alone). It
// edits a private copy of the selected preset's paint parameters; Apply
// writes the copy into the set, selecting another preset without Apply drops
// the edits.
//
// Entry points for the lists (each answers whether anything was applied):
//   editPenMethod / newPenMethod (copies the preset to the end first)
//   editPenNib / newPenNib
#include <memory>

#include "io/preset_common.h"
#include "toolwin/qt/preset_editor_form.h"

namespace pg {

class CGradientList;
class CGradMngr;
class CPenMethodList;
class CPenNibList;
class CPenMethodMngr;
class CPenShapeMngr;
class TFramePenMtdEditor;
class TFramePenNibEditor;
class TGraphicTabControl;
class TItemListView;
class TPaintParam;
class TPenNibPreview;

// What an editor needs besides its set: the parent window, the set file
// dialogs and the list-style preference it restores and stores (may be null).
struct SPresetEditorContext {
  QWidget* parent = nullptr;
  PresetFileDialog fileDialog;
  int32_t* listStyle = nullptr;
};

// The styles an editor's list offers: icons and rows in three sizes, text.
inline constexpr uint16_t kEditorListStyles = 0x007F;

// The preset lists as the editors and pop-ups show them: every item of the
// set, the active one the set's current one.
std::unique_ptr<CPenMethodList> editorPenMethodList(CPenMethodMngr& methods);
std::unique_ptr<CPenNibList> editorPenNibList(CPenShapeMngr& nibs);
std::unique_ptr<CGradientList> editorGradientList(CGradMngr& gradients);

// Set and file dialogs through the program's own file dialog.
PresetFileDialog presetFileDialogOf(QWidget* parent);

class TFormBrushEditor final : public TFormPresetEditor {
  Q_OBJECT
 public:
  enum Mode : uint8_t { kBrushMode = 2, kNibMode = 3, kNoMode = 255 };

  TFormBrushEditor(CPenMethodMngr& methods, CPenShapeMngr& nibs, const SPresetEditorContext& context);
  ~TFormBrushEditor() override;

  void setMode(uint8_t mode);
  uint8_t mode() const { return mode_; }
  TFramePenMtdEditor* GrpPenMtd = nullptr;
  TFramePenNibEditor* GrpPenNib = nullptr;
  TGraphicTabControl* tabs() const { return tabs_; }
  TItemListView* listView() const { return view_; }
  TPaintParam& working() { return *working_; }

 protected:
  void beforeShow() override;
  void afterShow() override;
  CItemList* activeList() override;
  void updatePathLabel() override;
  QString getSetPath() const override;
  bool setModified() const override;
  void applyEdits() override;
  void setLoad(bool revert, bool append) override;
  void setSave() override;

 private:
  void onPenMethodSelect();
  void onPenNibSelect();
  void onFrameChange();
  void onTabChange();
  void showPreview();

  CPenMethodMngr& methods_;
  CPenShapeMngr& nibs_;
  SPresetEditorContext context_;
  std::unique_ptr<CPenMethodList> methodList_;
  std::unique_ptr<CPenNibList> nibList_;
  std::unique_ptr<TPaintParam> working_;
  TItemListView* view_ = nullptr;
  TPenNibPreview* preview_ = nullptr;
  TGraphicTabControl* tabs_ = nullptr;
  QWidget* tabBox_ = nullptr;
  uint8_t mode_ = kNoMode;
  bool updating_ = false;
};

[[nodiscard]] bool editPenMethod(CPenMethodMngr& methods, CPenShapeMngr& nibs, int32_t index, const SPresetEditorContext& context);
[[nodiscard]] bool newPenMethod(CPenMethodMngr& methods, CPenShapeMngr& nibs, const SPresetEditorContext& context);
[[nodiscard]] bool editPenNib(CPenMethodMngr& methods, CPenShapeMngr& nibs, int32_t index, const SPresetEditorContext& context);
[[nodiscard]] bool newPenNib(CPenMethodMngr& methods, CPenShapeMngr& nibs, const SPresetEditorContext& context);

}  // namespace pg
