#pragma once
// The preferences dialog ("環境設定"): a page list on the left and one page of
// controls at a time, loaded from the preferences when it opens and written
// back on OK (app/preference_model.h holds the values and the rules).
#include <QDialog>

#include "app/preference_model.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QDoubleSpinBox;
class QStackedWidget;
class QWidget;

namespace pg {

class TMainForm;

class TFormPreference : public QDialog {
  Q_OBJECT
 public:
  TFormPreference(const SPreferenceValues& values, QWidget* parent = nullptr);
  // The values the controls show now.
  SPreferenceValues values() const;
  void showValues(const SPreferenceValues& v);
  // The Initialize button's reset of the controls.
  void initializeControls();

  QListWidget* pageList() const { return pages_; }
  // The page shown, -1 for none.
  int shownPage() const;

 private:
  void applyRules();

  QListWidget* pages_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  QComboBox *shortcut_ = nullptr, *middle_ = nullptr, *saveAsQuit_ = nullptr;
  QSpinBox *undo_ = nullptr, *gridX_ = nullptr, *gridY_ = nullptr;
  QDoubleSpinBox* gridOpacity_ = nullptr;
  QPushButton* gridColour_ = nullptr;
  uint32_t gridRgb_ = 0;
  QCheckBox *rightButton_ = nullptr, *grabCtrl_ = nullptr, *findNext_ = nullptr, *autoSave_ = nullptr,
            *grabDbl_ = nullptr, *zoomDbl_ = nullptr, *exColour_ = nullptr, *freeHand_ = nullptr,
            *vertPopup_ = nullptr, *ghost_ = nullptr, *ghostCentre_ = nullptr, *scrollBar_ = nullptr,
            *fullPath_ = nullptr, *autoScroll_ = nullptr, *forceDisp_ = nullptr, *autoSize_ = nullptr,
            *autoSizeOut_ = nullptr, *autoSizeEvent_ = nullptr, *saveConfirm_ = nullptr, *otherPath_ = nullptr,
            *filePath_ = nullptr, *useLast_ = nullptr;
  QRadioButton *drawStd_ = nullptr, *drawFine_ = nullptr, *otherStd_ = nullptr, *otherFine_ = nullptr;
  QLineEdit* cursorPath_ = nullptr;
  QPushButton* cursorBrowse_ = nullptr;
  QLineEdit* files_[4] = {};
  QWidget* fileRows_[4] = {};
};

// Shows the dialog for the preferences; OK writes them back. True on OK.
[[nodiscard]] bool showPreferences(TMainForm& form);

}  // namespace pg
