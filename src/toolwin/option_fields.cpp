#include "toolwin/option_fields.h"

#include "brush/paint_param.h"

namespace pg {

namespace {

float f(double v) { return static_cast<float>(v); }

}  // namespace

bool paramFieldEditable(const TPaintParam& p, EParamField field) {
  switch (field) {
    case kFieldFalloff: return p.falloffMode >= 1;
    case kFieldFalloffA:
    case kFieldFalloffB: return p.falloffMode >= 2;
    case kFieldSize: return (p.paramMask & (1u << kFieldSize)) && !p.hasNib;
    case kFieldNibScale: return (p.paramMask & (1u << kFieldNibScale)) && p.hasNib;
    default: return (p.paramMask & (1u << field)) != 0;
  }
}

double paramFieldControlValue(const TPaintParam& p, EParamField field) {
  switch (field) {
    case kFieldOpacity: return p.opacity * 100.0;
    case kFieldSpacing: return p.spacing * 100.0;
    case kFieldEffect1: return p.effect;
    case kFieldEffect2: return p.env;
    case kFieldEffect3: return p.speed;
    case kFieldGamma: return p.gamma;
    case kFieldPressureOpacity: return p.pressureOpacity;
    case kFieldPressureSize: return p.pressureSize;
    case kFieldSize: return p.size;
    case kFieldMinSize: return p.minSize * 100.0;
    case kFieldAspect: return 100.0 - p.aspect * 100.0;
    case kFieldAngle: return p.angle;
    case kFieldFalloff: return p.falloffType;
    case kFieldFalloffA: return p.falloffValue1 * 100.0;
    case kFieldFalloffB: return p.falloffValue2 * 100.0;
    case kFieldNibScale: return p.nibScale * 100.0;
    case kFieldPressureEdge: return p.pressureEdge;
    case kFieldHardEdge: return p.hardEdge ? 0.0 : 1.0;
    default: return 0.0;
  }
}

bool applyParamField(TPaintParam& p, EParamField field, double v) {
  if (!paramFieldEditable(p, field)) return false;
  // Floats are compared exactly, after the control's scaling.
  auto set = [](float& stored, float value) {
    if (stored == value) return false;
    stored = value;
    return true;
  };
  auto flag = [](uint8_t& stored, bool on) {
    uint8_t value = on ? 1 : 0;
    if (stored == value) return false;
    stored = value;
    return true;
  };
  switch (field) {
    case kFieldOpacity: return set(p.opacity, f(v / 100.0));
    case kFieldSpacing: return set(p.spacing, f(v / 100.0));
    case kFieldEffect1: return set(p.effect, f(v));
    case kFieldEffect2: return set(p.env, f(v));
    case kFieldEffect3: return set(p.speed, f(v));
    case kFieldGamma: return set(p.gamma, f(v));
    case kFieldPressureOpacity: return flag(p.pressureOpacity, v != 0.0);
    case kFieldPressureSize: return flag(p.pressureSize, v != 0.0);
    case kFieldSize: return set(p.size, f(v));
    case kFieldMinSize: return set(p.minSize, f(v / 100.0));
    case kFieldAspect: return set(p.aspect, f((100.0 - v) / 100.0));
    case kFieldAngle: return set(p.angle, f(v));
    case kFieldFalloff: {
      uint8_t type = static_cast<uint8_t>(v);
      if (p.falloffType == type) return false;
      p.falloffType = type;
      return true;
    }
    case kFieldFalloffA: return set(p.falloffValue1, f(v / 100.0));
    case kFieldFalloffB: return set(p.falloffValue2, f(v / 100.0));
    case kFieldNibScale: return set(p.nibScale, f(v / 100.0));
    case kFieldPressureEdge: return flag(p.pressureEdge, v != 0.0);
    case kFieldHardEdge: return flag(p.hardEdge, v == 0.0);
    default: return false;
  }
}

SFalloffPick falloffPickOf(const TPaintParam& p) {
  SFalloffPick pick;
  pick.mode = p.falloffMode > 2 ? 2 : p.falloffMode;
  const bool edge = paramFieldEditable(p, kFieldPressureEdge);
  pick.enabled = pick.mode != 0 || edge;
  if (pick.mode != 0)
    pick.kind = p.falloffType;
  else if (edge)
    pick.kind = p.pressureEdge ? 3 : 2;
  pick.valueA = p.falloffValue1 * 100.0f;
  pick.valueB = p.falloffValue2 * 100.0f;
  return pick;
}

bool applyFalloffPick(TPaintParam& p, uint8_t kind, float valueA, float valueB) {
  switch (p.falloffMode) {
    case 0: return applyParamField(p, kFieldPressureEdge, kind != 2 ? 1.0 : 0.0);
    case 1: return applyParamField(p, kFieldFalloff, kind);
    default: {
      bool changed = applyParamField(p, kFieldFalloff, kind);
      changed |= applyParamField(p, kFieldFalloffA, valueA);
      changed |= applyParamField(p, kFieldFalloffB, valueB);
      return changed;
    }
  }
}

}  // namespace pg
