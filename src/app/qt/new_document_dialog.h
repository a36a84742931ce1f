#pragma once
// The new-document dialog: a name, the paper type, the size in a unit at a
// resolution, the orientation and the background. Its state is a
// CNewDocumentModel; the widgets only show and edit it.
#include <QDialog>
#include <array>
#include <memory>

#include "app/new_document_model.h"

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;

namespace pg {

class TFormNew : public QDialog {
  Q_OBJECT
 public:
  // The stored user presets, the clipboard image's size (0 x 0 for none) and
  // the name proposed.
  TFormNew(const std::array<SPaperPreset, kUserPaperPresetCount>& userPresets, int32_t clipboardWidth,
           int32_t clipboardHeight, const QString& fileName, QWidget* parent = nullptr);
  ~TFormNew() override;

  const CNewDocumentModel& model() const { return *model_; }
  SNewDocumentSettings settings() const;

  QLineEdit* fileNameEdit() const { return fileName_; }
  QComboBox* typeCombo() const { return type_; }
  QDoubleSpinBox* widthEdit() const { return width_; }
  QDoubleSpinBox* heightEdit() const { return height_; }
  QComboBox* widthUnitCombo() const { return widthUnit_; }
  QComboBox* heightUnitCombo() const { return heightUnit_; }
  QDoubleSpinBox* resolutionEdit() const { return resolution_; }
  QRadioButton* landscapeButton() const { return landscape_; }
  QRadioButton* portraitButton() const { return portrait_; }
  QDialogButtonBox* buttons() const { return buttons_; }

 private:
  void buildTypeCombo();
  // Runs an edit of the model, then shows the model again.
  template <typename Edit>
  void edit(Edit&& change);
  void refresh();

  std::unique_ptr<CNewDocumentModel> model_;
  QLineEdit* fileName_ = nullptr;
  QComboBox* type_ = nullptr;
  QDoubleSpinBox* width_ = nullptr;
  QDoubleSpinBox* height_ = nullptr;
  QComboBox* widthUnit_ = nullptr;
  QComboBox* heightUnit_ = nullptr;
  QDoubleSpinBox* resolution_ = nullptr;
  QRadioButton* landscape_ = nullptr;
  QRadioButton* portrait_ = nullptr;
  QRadioButton* white_ = nullptr;
  QRadioButton* transparent_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
  bool refreshing_ = false;
};

// Shows the dialog with the settings' file name. The user presets are written
// back whether the dialog is confirmed or not; the settings only on OK, which
// answers true.
[[nodiscard]] bool showNewDocumentDialog(QWidget* parent, SNewDocumentSettings& settings,
                           std::array<SPaperPreset, kUserPaperPresetCount>& userPresets);

}  // namespace pg
