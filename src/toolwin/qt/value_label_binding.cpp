#include "toolwin/qt/value_label_binding.h"

#include "ui/qt/glyph_label.h"

namespace pg {

void bindValueLabel(TPgGlyphLabel& label, const CValueLabels& rules, SValueLabelBinding binding) {
  label.OnBeginDrag = [&rules, binding](TPgGlyphLabel*, float& start) { start = rules.beginDrag(binding); };
  label.OnDrag = [&rules, binding](TPgGlyphLabel*, float value) { rules.drag(binding, value); };
  label.OnEndDrag = [&rules, binding](TPgGlyphLabel*) { rules.endDrag(binding); };
  label.OnDblClick = [&rules, binding](TPgGlyphLabel*) { rules.doubleClick(binding); };
}

}  // namespace pg
