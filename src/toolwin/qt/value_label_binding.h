#pragma once
// Hooks a glyph label up as a value label: its drag and double-click events
// go through the tool window's value-label rules to the bound model.
#include "toolwin/value_labels.h"

namespace pg {

class TPgGlyphLabel;

// The rules object must outlive the label's events (the tool window owns both).
void bindValueLabel(TPgGlyphLabel& label, const CValueLabels& rules, SValueLabelBinding binding);

}  // namespace pg
