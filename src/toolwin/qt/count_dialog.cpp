#include "toolwin/qt/count_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "toolwin/qt/editor_texts.h"
#include "ui/qt/res_text.h"
#include "ui/qt/base_forms.h"

namespace pg {

namespace {
CountDialogRunner& runnerSlot() {
  static CountDialogRunner runner;
  return runner;
}
}  // namespace

TFormCount::TFormCount(const SCountRequest& request, QWidget* parent) : QDialog(parent) {
  applyBaseFormFont(*this);
  setWindowTitle(request.caption);
  auto* outer = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(request.label, this);
  NumValue = new QSpinBox(this);
  NumValue->setObjectName(QStringLiteral("NumValue"));
  NumValue->setRange(request.minimum, std::max(request.minimum, request.maximum));
  NumValue->setValue(request.value);
  label->setBuddy(NumValue);
  row->addWidget(label);
  row->addWidget(NumValue);
  row->addWidget(new QLabel(request.unit, this));
  outer->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  outer->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool askCount(QWidget* parent, const SCountRequest& request, int& value) {
  if (runnerSlot()) return runnerSlot()(parent, request, value);
  TFormCount dialog(request, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  value = dialog.NumValue->value();
  return true;
}

CountDialogRunner setCountDialogRunner(CountDialogRunner runner) {
  CountDialogRunner old = std::move(runnerSlot());
  runnerSlot() = std::move(runner);
  return old;
}

bool askLogCapacity(QWidget* parent, int& count) {
  SCountRequest r{resText(kResLogCountCaption), resText(kResLogCount), resText(kResLogCountUnit), 0, 50,
                  std::clamp(count, 0, 50)};
  return askCount(parent, r, count);
}

}  // namespace pg
