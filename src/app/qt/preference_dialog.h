#pragma once
// The preferences dialog ("環境設定"): a page list on the left and one page of
// controls at a time, built from the rows of app/preference_model.h, loaded
// from the preferences when it opens and written back on OK.
#include <QDialog>

#include <vector>

#include "app/preference_model.h"

class QAbstractButton;
class QListWidget;
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

  // The page shown, -1 for none.
  int shownPage() const;

 private:
  // The widgets of one row: the control (the first radio button, the edit of
  // a path), the second radio button or the browse button, and the caption.
  struct SRowWidgets {
    QWidget* control = nullptr;
    QAbstractButton* extra = nullptr;
    QWidget* label = nullptr;
    uint32_t colour = 0;  // Colour rows: the colour shown
  };
  QWidget* buildRow(size_t index, QWidget* parent);
  void applyRules();

  QListWidget* pages_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  std::vector<SRowWidgets> rows_;
};

// Shows the dialog for the preferences; OK writes them back and answers
// the effects of what changed (PrefEffect bits); Cancel answers -1.
[[nodiscard]] int64_t showPreferences(TMainForm& form);

}  // namespace pg
