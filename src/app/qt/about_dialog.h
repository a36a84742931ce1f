#pragma once
// The about box ("バージョン情報"): a borderless box on top with a picture, the
// version and the memory of the machine; any click, Enter or Esc closes it.
#include <QDialog>

namespace pg {

class TMainForm;
struct SMemoryStatus;

class TFormAbout : public QDialog {
  Q_OBJECT
 public:
  TFormAbout(const SMemoryStatus& memory, QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// The picture of the box, drawn by the program.
QImage aboutPicture(int width, int height);

// True when the box was closed with OK (always, unless it could not be shown).
[[nodiscard]] bool showAbout(TMainForm& form);

}  // namespace pg
