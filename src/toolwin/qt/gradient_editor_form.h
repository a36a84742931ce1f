#pragma once
// The gradient editor: a preset editor over the gradient set. It edits a
// copy of the selected gradient (its name, shape and repeat, and its stops
// in the stop editor with commands to split, join, centre, mirror, copy and
// exchange stop colours); Apply writes the copy into the set. With own
// settings off, a change of shape or repeat goes to every gradient without
// own settings at once and does not count as an edit.
//
// Entry points for the lists: editGradient, newGradient (copies the preset
// to the end first); both answer whether anything was applied.
#include <memory>

#include "brush/gradient.h"
#include "toolwin/qt/brush_editor_form.h"
#include "toolwin/qt/preset_editor_form.h"
#include "ui/num_mngr.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace pg {

class CGradientList;
class CGradMngr;
class TEditorNumRow;
class TGradientEdit;
class TGradientPreview;
class TItemListView;
class TPickerColorCell;
enum class GradStopCopy : uint8_t;

// The tool window's colours the stops can follow (pixels, blue in the low byte).
struct SGradEditorColours {
  uint32_t fore = 0xFF000000u;
  uint32_t back = 0xFFFFFFFFu;
};

class TFormGradEditor final : public TFormPresetEditor {
  Q_OBJECT
 public:
  TFormGradEditor(CGradMngr& set, const SPresetEditorContext& context, const SGradEditorColours& colours);
  ~TFormGradEditor() override;

  CGradientList& list() { return *list_; }
  TGradientEdit* stopEditor() const { return edit_; }

  QLineEdit* EdtName = nullptr;
  QComboBox* CmbType = nullptr;
  QCheckBox* ChkAround = nullptr;
  QCheckBox* ChkInfinity = nullptr;
  QCheckBox* ChkUnique = nullptr;
  QPushButton* BtnFlip = nullptr;
  QPushButton* BtnSplit = nullptr;
  QPushButton* BtnCenter = nullptr;
  QPushButton* BtnUnionL = nullptr;
  QPushButton* BtnUnionR = nullptr;
  QPushButton* BtnDisunion = nullptr;
  QRadioButton* RadL[3] = {};  // fixed, foreground, background
  QRadioButton* RadR[3] = {};
  TPickerColorCell* CellL = nullptr;
  TPickerColorCell* CellR = nullptr;
  QWidget* GrpRColor = nullptr;
  TEditorNumRow* positionRow() const { return position_.get(); }
  TEditorNumRow* repeatRow() const { return repeat_.get(); }

  // The stop commands, on the selected stop.
  void split(int parts);
  void splitCustom();
  void unionLeft();
  void unionRight();
  void disunion();
  void centre();
  void flip();
  void copyColour(GradStopCopy command);

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
  enum class Sender : uint8_t { Stops, Position, LeftCell, LeftKind, LeftOpacity, RightCell, RightKind, RightOpacity, Repeat, Unique };
  void onGradientSelect();
  void valueChange(Sender sender, int kind = 0);
  void refreshStops();
  SGradRepeat repeatOfControls() const;
  void loadRepeat(const SGradRepeat& r);
  void stopsChanged();

  CGradMngr& set_;
  SPresetEditorContext context_;
  std::unique_ptr<CGradientList> list_;
  TItemListView* view_ = nullptr;
  TGradientEdit* edit_ = nullptr;
  TGradientPreview* preview_ = nullptr;
  TNumMngr NumRepeat, NumPosition, NumLOpaque, NumROpaque;
  std::unique_ptr<TEditorNumRow> repeat_, position_, lOpaque_, rOpaque_;
  bool updating_ = false;
};

[[nodiscard]] bool editGradient(CGradMngr& set, int32_t index, const SPresetEditorContext& context, const SGradEditorColours& colours);
[[nodiscard]] bool newGradient(CGradMngr& set, const SPresetEditorContext& context, const SGradEditorColours& colours);

}  // namespace pg
