#pragma once
// Select > Expand and Select > Contract: the one-number dialog asking by how
// many pixels ("選択範囲の拡張" / "選択範囲の縮小"), and the commands that
// grow or shrink the selection by that amount, recorded and undoable.
#include <cstdint>

#include "app/qt/value_dialog.h"

namespace pg {

class TDrawWindow;

class TFormSelExt : public TFormValue {
  Q_OBJECT
 public:
  explicit TFormSelExt(bool expand, QWidget* parent = nullptr);
};

// Shows the dialog with the value; on OK the value becomes the field's,
// rounded, and the answer is true.
[[nodiscard]] bool askSelectAmount(QWidget* parent, int32_t& value, bool expand);

// The commands on a window's mask (negative: the current one): the edit gate,
// the amount asked starting at 1, then the change with `record` set. False
// when refused, cancelled or when nothing changed.
bool selectExpandCmd(TDrawWindow& window, QWidget* parent, int32_t maskIndex);
bool selectContractCmd(TDrawWindow& window, QWidget* parent, int32_t maskIndex);

}  // namespace pg
