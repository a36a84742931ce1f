// The expand and contract dialog and commands of the Select menu.
#include "app/qt/select_extent_dialog.h"

#include "canvas/draw_window.h"
#include "document/paper.h"
#include "document/paper_ops.h"
#include "platform/res_ids.h"
#include "ui/qt/res_text.h"

namespace pg {

TFormSelExt::TFormSelExt(bool expand, QWidget* parent) : TFormValue(parent) {
  setWindowTitle(resText(expand ? kResExpandSelectionCaption : kResContractSelectionCaption));
  setUnitText(QStringLiteral("px"));
  setRange(static_cast<float>(kMaxSelectExtent), 1.0f, 1.0f);
}

bool askSelectAmount(QWidget* parent, int32_t& value, bool expand) {
  TFormSelExt dialog(expand, parent);
  dialog.setValue(static_cast<float>(value));
  if (dialog.exec() != QDialog::Accepted) return false;
  value = dialog.value().roundedValue();
  return true;
}

namespace {
bool selectExtentCmd(TDrawWindow& w, QWidget* parent, int32_t maskIndex, bool expand) {
  if (!w.canEdit(false, false, false)) return false;
  int32_t n = 1;
  if (!askSelectAmount(parent, n, expand)) return false;
  TPaper& p = w.paper();
  const bool done = expand ? p.applySelectExpand(maskIndex, true, 0, n) : p.applySelectContract(maskIndex, true, 0, n);
  if (!done) return false;
  w.setModified(true);
  w.invalidateView();
  return true;
}
}  // namespace

bool selectExpandCmd(TDrawWindow& w, QWidget* parent, int32_t maskIndex) {
  return selectExtentCmd(w, parent, maskIndex, true);
}

bool selectContractCmd(TDrawWindow& w, QWidget* parent, int32_t maskIndex) {
  return selectExtentCmd(w, parent, maskIndex, false);
}

}  // namespace pg
