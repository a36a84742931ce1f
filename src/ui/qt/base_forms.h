#pragma once
// The base of every window (the user-interface font) and of every modal
// OK/Cancel dialog.
#include <QDialog>
#include <QWidget>

class QPushButton;
class QVBoxLayout;

namespace pg {

// Gives a window the program's user-interface font.
void applyBaseFormFont(QWidget& form);

class TBaseForm : public QWidget {
  Q_OBJECT
 public:
  explicit TBaseForm(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
};

// Button modes.
enum : uint8_t {
  kButtonModeOk = 0,        // OK only; Esc presses OK
  kButtonModeOkCancel = 1,  // OK and Cancel
  kButtonModeUnset = 255,
};

class TDialogBaseForm : public QDialog {
  Q_OBJECT
 public:
  explicit TDialogBaseForm(QWidget* parent = nullptr);

  // Where derived dialogs put their controls; the buttons sit below it.
  QWidget* content() const { return content_; }
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;

  void setButtonMode(uint8_t mode);

 public slots:
  // Moves the focus to OK first, so that an edit still holding it commits
  // its text before the dialog reads its values; then accepts.
  virtual void ButtonOKClick();
  void reject() override;

 private:
  QWidget* content_ = nullptr;
  uint8_t mode_ = kButtonModeUnset;
};

}  // namespace pg
