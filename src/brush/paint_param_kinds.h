#pragma once
// The small tables through which every part of the brush engine speaks of
// paint-method kinds and blend modes: the eighteen paint-method kinds (0-8 the
// stroke kinds, 9-17 the pen-method kinds) with their family, parameter mask,
// falloff mode, stroke kind and pen render method; the list orders of the two
// tool lists; the maps between the brush blend modes and the layer blend-mode
// table; the falloff code maps between falloff types, airbrush curve codes and
// grade-map types; the nib scale range; the effect slider captions.
//
// Kinds, modes and codes reach these lookups from settings, presets and
// recordings: byte-sized numbers are masked with 127 first, and a number
// outside a table gives the stated "none" answer, never a read past it.
#include <cstdint>
#include <string>

#include "brush/paint_param_records.h"
#include "core/blend_modes.h"

namespace pg {

inline constexpr uint32_t kPaintKindCount = 18;
inline constexpr uint8_t kNoKind = 255;  // "none" answer of the kind lookups

// Parameter identifiers: bit n of a kind's mask says that it offers parameter n.
enum TPaintParamId : uint32_t {
  ppName = 0,
  ppIcon = 1,
  ppOpacity = 2,
  ppSpacing = 3,
  ppEffect = 4,
  ppEnv = 5,
  ppSpeed = 6,
  ppGamma = 7,
  ppPressureOpacity = 8,
  ppPressureSize = 9,
  ppGradation = 10,
  ppTone = 11,
  ppSize = 12,
  ppMinSize = 13,
  ppAspect = 14,
  ppAngle = 15,
  ppFalloffType = 16,
  ppFalloffValue1 = 17,
  ppFalloffValue2 = 18,
  ppNibScale = 19,
  ppPressureEdge = 20,
  ppHardEdge = 21,
};

// Families: 1 the stroke-tool list kinds, 0 the second blur kind, 2 the pen-method kinds.
[[nodiscard]] uint8_t paintKindFamily(uint32_t kind);  // 0 for an unknown kind
[[nodiscard]] uint32_t paintKindParamMask(uint32_t kind);  // 0 for an unknown kind
[[nodiscard]] bool paintKindOffers(uint32_t kind, TPaintParamId id);
// 0 by the pressure-to-edge switch, 1 by falloff type as an airbrush curve,
// 2 by falloff type as a grade map; 0 for an unknown kind.
[[nodiscard]] uint8_t paintKindFalloffMode(uint32_t kind);
// The TStroke kind of a paint kind; kNoKind for an unknown kind.
[[nodiscard]] uint8_t paintKindStrokeKind(uint32_t kind);
// The resource string of the kind's name; empty for an unknown kind.
std::string paintKindName(uint32_t kind);

// Family 2 picks kind 9 + penIndex (0..8); any other family the stroke-tool
// list 0, 1, 2, 3, 4, 6, 7, 8 by strokeIndex. kNoKind past either list.
[[nodiscard]] uint8_t paintKindAt(uint32_t family, uint32_t penIndex, uint32_t strokeIndex);
[[nodiscard]] inline uint8_t legacyKindAt(uint32_t index) { return paintKindAt(1, 255, index); }
// Kinds 0-3 give 0-3, 4 and 5 give 4, 6-8 give 5-7; anything else 255.
[[nodiscard]] uint8_t legacyListIndexOf(uint32_t kind);
// kind - 9 for kinds 9-17, else 255.
[[nodiscard]] uint8_t penListIndexOf(uint32_t kind);
// The TStroke kind of stroke-tool list entry index; kNoKind past the list.
[[nodiscard]] uint8_t penSettingIndexOf(uint32_t index);
// The paint kind of TStroke kind 0..8; false (kind untouched) for others.
[[nodiscard]] bool paintKindOfStrokeKind(uint8_t& kind, uint32_t strokeKind);
// Clears render and sets its method, pencil flag (the work-plane flag) and
// sub-mode from the kind; false for kinds outside 9-17 (render cleared).
[[nodiscard]] bool penRenderParamOfKind(SPenRenderParam& render, uint32_t kind);
// The inverse; false (kind untouched) for a method outside 0..6.
[[nodiscard]] bool paintKindOfPenRecord(uint8_t& kind, const SPenRenderParam& render);

// Brush blend modes to and from the layer blend-mode table. A mode or index
// outside 0..21 maps to the standard (normal) mode.
[[nodiscard]] uint32_t blendModeToLayerMode(uint32_t mode);
TBlendMode layerModeToBlendMode(uint32_t index);
// The display name of a brush blend mode (its layer mode's name).
[[nodiscard]] bool getBlendModeName(uint32_t mode, std::string& text);

// Falloff code maps. An unknown falloff type counts as type 7 (flat, off);
// an unknown airbrush curve or grade-map type maps back to falloff type 7.
[[nodiscard]] uint8_t falloffToPresetCurve(uint32_t falloffType);  // 3 0 0 1 0 2 4 255
[[nodiscard]] uint8_t falloffToGradeMapType(uint32_t falloffType);  // 3 4 0 0 1 2 5 255
[[nodiscard]] uint8_t presetCurveToFalloff(int32_t code);           // 2 3 5 0 6 7
[[nodiscard]] uint8_t gradeMapTypeToFalloff(int32_t type);          // 3 4 5 0 1 6 7
// The airbrush curve a stroke can use (0..4) for a falloff type: the map
// above, with the flat off state (no curve of its own) on the flat ramp 0.
[[nodiscard]] uint8_t strokeCurveOfFalloff(uint32_t falloffType);

// The scale range of a nib image w x h: min = max(4 / min(w, h), 0.01),
// max = min(512 / max(w, h), 5.0); a zero shorter side gives min 0.01, a zero
// longer side max 5.0. For a long thin image the size bound wins: min is
// lowered to max.
void nibScaleRange(float& minScale, float& maxScale, int32_t w, int32_t h);

// The caption of effect slider 0, 1 or 2 of a kind: the short form for the
// slider labels, the long form for hints.
std::string effectCaption(uint32_t kind, uint32_t slider);
std::string effectCaptionLong(uint32_t kind, uint32_t slider);
// The hint of a slider: "%s|%sの変更" with the long caption in both places.
std::string effectHint(uint32_t kind, uint32_t slider);

}  // namespace pg
