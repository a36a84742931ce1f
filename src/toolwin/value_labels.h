#pragma once
// The value labels of the tool window: glyph labels beside numeric fields on
// which a drag changes the field's value and a double-click resets it. Each
// label is bound to its value model with the filters its field's slider uses
// (the brush size and the display scale are not linear) and, for the layer
// opacity, the calls that open and close one recorded change.
#include <functional>

#include "ui/num_mngr.h"

namespace pg {

struct SValueLabelBinding {
  TNumMngr* model = nullptr;
  // The model's linear ratio -> the position the drag works in, and back.
  std::function<double(double)> inFilter;
  std::function<double(double)> outFilter;
  // Around a drag (the layer opacity opens and closes one change).
  std::function<void()> onBegin;
  std::function<void()> onEnd;
};

// The brush size's binding: its label moves along the size slider's curve.
SValueLabelBinding nibRadiusBinding(TNumMngr& model);

class CValueLabels {
 public:
  // The two switches have no stored preference: the preferences loader
  // turns both on.
  bool dragEnabled = false;
  bool resetEnabled = false;
  void enableAll() { dragEnabled = resetEnabled = true; }

  // The position a drag starts from (0 when dragging is off or unbound).
  float beginDrag(const SValueLabelBinding& b) const;
  // A drag step: the position (clamped to 0..1) through the out filter into
  // the model, whose change event does the rest.
  void drag(const SValueLabelBinding& b, float position) const;
  void endDrag(const SValueLabelBinding& b) const;
  // Back to the model's default, through its change event like any change.
  void doubleClick(const SValueLabelBinding& b) const;

 private:
  // Whether the drag in progress began while dragging was on.
  mutable bool active_ = false;
};

}  // namespace pg
