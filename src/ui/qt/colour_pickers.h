#pragma once
// The colour-choosing controls: TColorPicker (a two-channel area with a
// one-channel slider beside it), TPickerColorCell (a framed swatch that opens
// the colour picker dialog and can show the colour it started from), and the
// dialog itself, TColorPickerForm, run by pickColorDialog.
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "ui/colour_model.h"
#include "ui/memory_graphic.h"
#include "ui/num_mngr.h"
#include "ui/qt/base_forms.h"

class QCheckBox;
class QRadioButton;

namespace pg {

class TNumEdit;

// The base of both colour pickers: the colour manager (owned, and handed to
// a replacement picker by replaceColorPicker), the colour space and the
// follow-colour flag; the subclasses paint and take the pointer.
class TCustomColorPicker : public QWidget {
 public:
  explicit TCustomColorPicker(QWidget* parent = nullptr);
  ~TCustomColorPicker() override;
  // A bit per TColorPickerSpace the picker can show.
  virtual uint16_t supportedSpaces() const = 0;
  uint8_t colorSpace() const { return space_; }
  // Ignored for a space the picker does not support.
  void setColorSpace(uint8_t space);
  bool followColor() const { return follow_; }
  void setFollowColor(bool on);
  // Takes the record when anything differs and fires OnChange.
  void setColorRec(const SColorRec& r);
  SColorRec getColorRec() const { return manager_->rec(); }
  TColorManager& manager() { return *manager_; }
  // Rebuilds the picture after the manager was changed directly.
  void rebuild();
  std::function<void()> OnChange;
  // The composed face, control-sized (for tests and previews).
  const TMemoryGraphic& face();

 protected:
  // Paints the picker's image (without markers) into background_.
  virtual void updateImage() = 0;
  // Places the image and the markers into face_.
  virtual void compose() = 0;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void fireChange();

  std::unique_ptr<TColorManager> manager_;
  uint8_t space_ = cpRGB;
  bool follow_ = true;
  TMemoryGraphic background_;
  TMemoryGraphic face_;

 private:
  friend bool replaceColorPicker(TCustomColorPicker*& picker, int kind, uint8_t space);
};

// A two-channel area with a one-channel slider beside it; all nine spaces.
class TColorPicker : public TCustomColorPicker {
 public:
  explicit TColorPicker(QWidget* parent = nullptr);
  uint16_t supportedSpaces() const override { return kAreaPickerSpaces; }
  SAreaPickerLayout layout() const;

 protected:
  void updateImage() override;
  void compose() override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void dragAt(QPoint p);
  uint8_t drag_ = 0;  // 0 none, 1 area, 2 slider
};

// Three one-channel sliders and a spectrum strip; RGB, HSV and HSL.
class TSliderColorPicker : public TCustomColorPicker {
 public:
  explicit TSliderColorPicker(QWidget* parent = nullptr);
  uint16_t supportedSpaces() const override { return kSliderPickerSpaces; }
  SSliderPickerLayout layout() const;

 protected:
  void updateImage() override;
  void compose() override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void dragAt(QPoint p);
  int32_t drag_ = -1;  // -1 none, 0..2 a slider, 3 the spectrum
};

bool isColorPicker(const QWidget* w);
// Puts a picker of the kind (0 area, 1 sliders) in the place of the one the
// variable holds, keeping its colour manager, follow flag, geometry and
// OnChange; the space is applied when the new kind supports it.
[[nodiscard]] bool replaceColorPicker(TCustomColorPicker*& picker, int kind, uint8_t space);

class TPickerColorCell : public QWidget {
 public:
  explicit TPickerColorCell(QWidget* parent = nullptr);
  void setColorRec(const SColorRec& r);
  SColorRec getColorRec() const { return manager_.rec(); }
  void setInitialColorRec(const SColorRec& r);
  SColorRec getInitialColorRec() const { return initial_.rec(); }
  void setDrawInitialColor(bool on);
  bool CallPickerDialog = true;
  std::function<void()> OnChange;
  // A press on the swatch (1 the current colour, 2 the initial one); the
  // dialog uses it to revert.
  std::function<void(int)> OnPartPressed;
  // 0 outside the inner area, 1 the current colour, 2 the initial colour.
  int partAt(QPoint p) const;
  const TMemoryGraphic& face();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void redraw();
  TColorManager manager_;
  TColorManager initial_;
  bool drawInitial_ = false;
  TMemoryGraphic image_;
};

// The foreground/background pair of the tool window: two overlapping
// swatches and a swap corner; a double click edits the active colour.
class TTwinColorCell : public QWidget {
 public:
  explicit TTwinColorCell(QWidget* parent = nullptr);
  // 1 foreground, 2 background.
  uint8_t activeSide() const { return active_; }
  void setActiveSide(uint8_t side);
  bool SwitchingAllowed = true;
  // Act on the active side's colour.
  void setColorRec(const SColorRec& r);
  SColorRec getColorRec() const { return activeManager().rec(); }
  SColorRec foreground() const { return fore_.rec(); }
  SColorRec background() const { return back_.rec(); }
  void setActiveChannels(uint8_t space, float x, float y, float z);
  void swapColors();
  std::function<void()> OnChange, OnActiveSideChange;
  // For tests: runs the dialog on a colour (pickColorDialog by default).
  std::function<bool(SColorRec&)> RunDialog;
  const TMemoryGraphic& face();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  const TColorManager& activeManager() const { return active_ == 2 ? back_ : fore_; }
  TColorManager& activeManager() { return active_ == 2 ? back_ : fore_; }
  void redraw();
  TColorManager fore_, back_;
  uint8_t active_ = 1;
  TMemoryGraphic image_;
};

class TColorPickerForm : public TDialogBaseForm {
 public:
  explicit TColorPickerForm(QWidget* parent = nullptr);
  TColorPicker* Picker = nullptr;
  TPickerColorCell* Swatch = nullptr;
  // R, G, B, H, S, V, U (HSL hue), A (HSL saturation), L.
  std::array<TNumMngr, 9> Num;
  std::array<TNumEdit*, 9> Edit{};
  std::array<QRadioButton*, 9> Radio{};
  QCheckBox* CheckBoxC = nullptr;
  void setInitial(const SColorRec& r);

 private:
  void colorChange(int sender);  // 0..8 a field, 9 the picker, 10 the swatch
  void showRecord(const SColorRec& r);
  void setField(int i, float v);
  bool updating_ = false;
};

// Runs the dialog on the colour; true (and the colour changed) on OK.
[[nodiscard]] bool pickColorDialog(SColorRec& colour, QWidget* parent = nullptr);

}  // namespace pg
