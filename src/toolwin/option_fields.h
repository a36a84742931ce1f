#pragma once
// The fields of a brush that the tool options panel edits, each behind one
// bit of the brush's parameter mask: a control shows only when its bit is
// set, and a change is taken only when the bit is set and the value (after
// the control's scaling) differs from the stored one.
#include <cstdint>

namespace pg {

class TPaintParam;

enum EParamField : int32_t {
  kFieldName = 0,
  kFieldOpacity = 2,   // per cent / 100
  kFieldSpacing = 3,   // per cent / 100
  kFieldEffect1 = 4,
  kFieldEffect2 = 5,
  kFieldEffect3 = 6,
  kFieldGamma = 7,
  kFieldPressureOpacity = 8,
  kFieldPressureSize = 9,
  kFieldSize = 12,     // pixels, only without a nib image
  kFieldMinSize = 13,  // per cent / 100
  kFieldAspect = 14,   // (100 - per cent) / 100
  kFieldAngle = 15,    // degrees
  kFieldFalloff = 16,
  kFieldFalloffA = 17,  // per cent / 100
  kFieldFalloffB = 18,  // per cent / 100
  kFieldNibScale = 19,  // per cent / 100, only with a nib image
  kFieldPressureEdge = 20,
  kFieldHardEdge = 21,  // the anti-alias switch, inverted
};

// Whether the brush lets the field be edited (the falloff fields follow the
// kind's falloff style instead of the mask).
[[nodiscard]] bool paramFieldEditable(const TPaintParam& param, EParamField field);
// The field as its control shows it.
double paramFieldControlValue(const TPaintParam& param, EParamField field);
// A control's value into the field; true when the brush changed.
bool applyParamField(TPaintParam& param, EParamField field, double controlValue);

// The falloff picker as a brush shows it. Its mode is the kind's falloff
// style: 0 (no profile) toggles only whether pressure softens the edge
// (type 3 when it does, 2 when not), 1 picks one of five profile types, 2
// picks among six with the two values (per cent). It is enabled when the
// style is not 0 or the brush's mask lets the pressure soften the edge.
struct SFalloffPick {
  uint8_t mode = 0;
  uint8_t kind = 7;  // 7: no profile
  float valueA = 0.0f, valueB = 0.0f;
  bool enabled = false;
};
SFalloffPick falloffPickOf(const TPaintParam& param);
// The picker's type and values into the brush by its style; true when the
// brush changed.
bool applyFalloffPick(TPaintParam& param, uint8_t kind, float valueA, float valueB);

}  // namespace pg
