#pragma once
// The two frames of the brush editor: the pen method's paint values (kind,
// name, icon, density, spacing, the kind's effect values, the pressure
// response) and its nib (radius or image scale, minimum radius, flattening,
// angle, falloff, anti-aliasing). Each loads from and stores into paint
// parameters through its value object and reports every user change through
// OnFrameChange; neither writes to a preset set.
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "toolwin/pen_editor_values.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace pg {

class TAirMapControl;
class TEditorNumRow;
class TPaintParam;
class TPenNibPreview;
class TPressureGamma;

class TFramePenMtdEditor : public QWidget {
  Q_OBJECT
 public:
  explicit TFramePenMtdEditor(QWidget* parent = nullptr);
  ~TFramePenMtdEditor() override;

  CPenMtdEditorValues& values() { return values_; }
  // False without parameters.
  [[nodiscard]] bool load(const TPaintParam* p);
  void store(TPaintParam& p) const { values_.store(p); }
  std::function<void()> OnFrameChange;

  QComboBox* CmbType = nullptr;
  QLineEdit* EdtName = nullptr;
  QLabel* BoxIcon = nullptr;
  QPushButton* BtnIconLoad = nullptr;
  QPushButton* BtnIconRemove = nullptr;
  QCheckBox* ChkPrsDensity = nullptr;
  QCheckBox* ChkPrsRadius = nullptr;
  TPressureGamma* BoxPrsGamma = nullptr;
  TEditorNumRow* densityRow() const { return density_.get(); }

  // Loads a picture file as the own icon; false (with a warning) when it
  // cannot be read.
  [[nodiscard]] bool loadIconFile(const QString& path);
  void BtnIconRemoveClick();

 private:
  void kindRefresh();
  void showIcon();
  void changed();

  CPenMtdEditorValues values_;
  std::unique_ptr<TEditorNumRow> density_, space_, gamma_;
  std::array<std::unique_ptr<TEditorNumRow>, 3> effects_;
  bool updating_ = false;
};

class TFramePenNibEditor : public QWidget {
  Q_OBJECT
 public:
  explicit TFramePenNibEditor(QWidget* parent = nullptr);
  ~TFramePenNibEditor() override;

  CPenNibEditorValues& values() { return values_; }
  [[nodiscard]] bool load(const TPaintParam* p);
  void store(TPaintParam& p) const { values_.store(p); }
  std::function<void()> OnFrameChange;

  TEditorNumRow* radiusRow() const { return radius_.get(); }
  TEditorNumRow* aspectRow() const { return aspect_.get(); }
  TAirMapControl* BoxDistribute = nullptr;
  std::array<QToolButton*, 6> distributeButtons{};
  QCheckBox* ChkAntiAlias = nullptr;
  TPenNibPreview* BoxShape = nullptr;

 private:
  void showNib();
  void changed();
  void pressFalloffButton();

  CPenNibEditorValues values_;
  std::unique_ptr<TEditorNumRow> radius_, scale_, minRad_, aspect_, degree_, flat_, add_;
  bool updating_ = false;
};

}  // namespace pg
