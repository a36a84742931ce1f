#pragma once
// A small modal dialog that asks for one whole number in a range: the
// custom split of the gradient editor ("分割") and the event log's line
// count ("ログの表示数").
#include <QDialog>
#include <functional>

class QSpinBox;

namespace pg {

struct SCountRequest {
  QString caption, label, unit;
  int minimum = 0, maximum = 0, value = 0;
};

class TFormCount final : public QDialog {
  Q_OBJECT
 public:
  TFormCount(const SCountRequest& request, QWidget* parent = nullptr);
  QSpinBox* NumValue = nullptr;
};

// Runs the dialog; true on OK with value set to the number chosen. Tests
// replace the runner.
using CountDialogRunner = std::function<bool(QWidget* parent, const SCountRequest& request, int& value)>;
[[nodiscard]] bool askCount(QWidget* parent, const SCountRequest& request, int& value);
CountDialogRunner setCountDialogRunner(CountDialogRunner runner);

// The log-count dialog: 0..50 lines.
[[nodiscard]] bool askLogCapacity(QWidget* parent, int& count);

}  // namespace pg
