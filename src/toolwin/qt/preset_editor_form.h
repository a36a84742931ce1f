#pragma once
// The base of the modal preset editors (brushes, nibs, gradients): the list
// of the set's presets on the left with a preview under it, the set file's
// path with a drop-down menu above it, and the editor's controls on the
// right. Apply writes the edited preset into the set and leaves the dialog
// open; Close ends it. What was applied stays applied however the editor
// closes; the set reaches its file only through the menu's save command.
#include <QString>

#include "ui/qt/base_forms.h"

class QMenu;
class QAction;

namespace pg {

class CItemList;
class TDropDownMenu;
class TItemListView;
class TPathLabel;

class TFormPresetEditor : public TDialogBaseForm {
  Q_OBJECT
 public:
  explicit TFormPresetEditor(QWidget* parent = nullptr);
  ~TFormPresetEditor() override;

  // beforeShow, the modal loop, afterShow; answers the modal result (1 after Close).
  [[nodiscard]] int showModalEditor();
  // Whether Apply ran at least once.
  bool applied() const { return applied_; }

  TPathLabel* LblPath = nullptr;
  TDropDownMenu* Menu = nullptr;
  QMenu* Popup = nullptr;
  QAction* MenuItemDuplicate = nullptr;
  QAction* MenuItemDelete = nullptr;
  QAction* MenuDisp[7] = {};
  QAction* MenuSetRevert = nullptr;
  QAction* MenuSetAppend = nullptr;
  QAction* MenuSetSave = nullptr;
  QAction* MenuSetOpen = nullptr;

  // Apply: commits a focused edit, marks the path modified, disables itself;
  // the subclass writes the preset back in applyEdits.
  void ButtonOKClick() override;
  void reject() override;

  void MenuItemDuplicateClick();
  void MenuItemDeleteClick();
  void MenuDispClick(int item);
  void PopupPopup();

 protected:
  virtual void beforeShow() {}
  virtual void afterShow() {}
  virtual CItemList* activeList() { return nullptr; }
  virtual void updatePathLabel() {}
  virtual QString getSetPath() const { return {}; }
  virtual bool setModified() const { return false; }
  virtual void applyEdits() {}
  // The set commands: revert (reload in place), append or replace from a
  // chosen file, save to a chosen file.
  virtual void setLoad(bool /*revert*/, bool /*append*/) {}
  virtual void setSave() {}

  void wheelEvent(QWheelEvent* e) override;

  // Places the list's view and the preview in the left column, the editor's
  // controls on the right.
  void setListView(TItemListView* view);
  void setPreview(QWidget* preview);
  QWidget* editArea() const { return editArea_; }
  void setApplyEnabled(bool on);
  void showPath(const QString& path, bool modified);

 private:
  QWidget* listBox_ = nullptr;
  QWidget* previewBox_ = nullptr;
  QWidget* editArea_ = nullptr;
  TItemListView* listView_ = nullptr;
  bool applied_ = false;
};

}  // namespace pg
