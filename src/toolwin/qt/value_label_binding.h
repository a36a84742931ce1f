#pragma once
// Hooks a glyph label up as a value label: its drag (sideways: right raises
// the value) and double-click events go through the tool window's value-label
// rules to the bound model.
#include "toolwin/value_labels.h"

class QAbstractSpinBox;

namespace pg {

class TPgGlyphLabel;

// The rules object must outlive the label's events (the tool window owns both).
void bindValueLabel(TPgGlyphLabel& label, const CValueLabels& rules, SValueLabelBinding binding);

// A value label beside a number field of the panels: the label keeps a value
// model of its own in step with the field (its value and range, both ways),
// so that a drag moves the field along its range and a double click sets it
// to defaultValue; the field's own change handling does the rest. The
// binding's filters and calls around a drag are kept (its model is
// replaced). A second call rebinds the label.
void bindSpinValueLabel(TPgGlyphLabel& label, QAbstractSpinBox& field, const CValueLabels& rules, float defaultValue,
                        SValueLabelBinding binding = {});

}  // namespace pg
