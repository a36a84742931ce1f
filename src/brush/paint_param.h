#pragma once
// Paint parameters (TPaintParam): the value object of one paint method, a
// brush as the user sees it: its kind (0..17), name and icon, opacity,
// spacing, three effect values, pressure gamma and switches, dab size and
// shape (minimum size, aspect, angle), falloff profile and an optional nib
// image. Nothing renders from it directly: before a stroke it is converted
// into the stroke settings (TStroke, kinds 0-8) or into the records of the
// pen-method engine and a nib (kinds 9-17); the same converters load it back
// from presets and recorded strokes.
//
// The setters store a value only when it differs (floats compared exactly)
// and never clamp: the tool window's value models and, at conversion time,
// the setters of TStroke and of the records bring values into range.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "brush/grade_map.h"
#include "brush/paint_param_kinds.h"
#include "brush/paint_param_records.h"
#include "brush/pen_shape_param.h"
#include "core/planes.h"

namespace pg {

class CPenShapeObj;
class TStroke;
struct SPenSetting;

// The parts of a pen method (a brush preset of the pen-method kinds) that
// paint parameters read and write; the preset list's method object offers
// them through IPenMethod.
struct SPenMethodParams {
  SPenRenderParam render;
  uint8_t useGradation = 0;
  uint8_t useTone = 0;
  SStrokeParam stroke;
  friend bool operator==(const SPenMethodParams&, const SPenMethodParams&) = default;
};

class IPenMethod {
 public:
  virtual ~IPenMethod() = default;
  virtual SPenMethodParams getParams() const = 0;
  virtual void setParams(const SPenMethodParams& params) = 0;
  // The method's own nib; nullptr when it has none.
  virtual CPenShapeObj* penShape() = 0;
  virtual const CPenShapeObj* penShape() const = 0;
  // The icon, or nullptr; setIcon takes a copy (nullptr removes it).
  virtual const TMTC* icon() const = 0;
  [[nodiscard]] virtual bool setIcon(const TMTC* icon) = 0;
  virtual std::string name() const = 0;
  virtual void setName(std::string_view name) = 0;
};

// The stored form of the parameters, from name to hardEdge in the class's
// order. Its icon and nib are references.
struct TPaintParamR {
  std::string_view name;
  uint8_t hasIcon = 0;
  const TMTC* icon = nullptr;
  float opacity = 1.0f;
  float spacing = 0.1f;
  float effect = 0.0f;
  float env = 0.0f;
  float speed = 0.0f;
  float gamma = 1.0f;
  uint8_t pressureOpacity = 0;
  uint8_t pressureSize = 0;
  uint8_t useGradation = 0;
  uint8_t useTone = 0;
  float size = 1.0f;
  float minSize = 0.0f;
  float stepLimit1 = 0.0f;
  float stepLimit2 = 0.0f;
  float aspect = 1.0f;
  float angle = 0.0f;
  uint8_t falloffType = 0;
  float falloffValue1 = 0.0f;
  float falloffValue2 = 0.0f;
  uint8_t hasNib = 0;
  const uint8_t* nib = nullptr;
  int32_t nibWidth = 0;
  int32_t nibHeight = 0;
  float nibScale = 1.0f;
  uint8_t pressureEdge = 0;
  uint8_t hardEdge = 0;
};

// The default record of a kind (the eighteen differ only in falloff type); a
// kind beyond the table gets the record of kind 9.
const TPaintParamR& paintParamDefaults(uint32_t kind);

// The built-in icons: the icon of a kind (nullptr when it has none), the nine
// by index 0..8, and the further spread icon at index 0 of the second table.
const TMTC* defaultPaintIcon(uint32_t kind);
const TMTC* getDefaultPaintIcon(uint32_t index);
const TMTC* getDefaultPaintIconAlt(uint32_t index);

class TPaintParam {
 public:
  // CreateKind: penShapeId -1, then resetToKind.
  explicit TPaintParam(uint8_t kind);
  ~TPaintParam();
  TPaintParam(const TPaintParam&) = delete;
  TPaintParam& operator=(const TPaintParam&) = delete;

  // CreateCopy: a parameter set of the source's kind with the source's values
  // (ok = source present); nullptr only without a source.
  [[nodiscard]] static std::unique_ptr<TPaintParam> CreateCopy(const TPaintParam* source, bool& ok);
  [[nodiscard]] static std::unique_ptr<TPaintParam> CreateFromPreset(const SPenSetting& record, uint8_t kind, bool& ok);
  // ok = the method's render record names a kind and the load succeeded;
  // nullptr when it names none.
  [[nodiscard]] static std::unique_ptr<TPaintParam> CreateFromPenMethod(const IPenMethod* method, bool& ok);
  // The kind a method's render record names.
  [[nodiscard]] static bool kindOfPenMethod(uint8_t& kind, const IPenMethod* method);

  // Full reset to a kind's defaults (the icon and the nib are dropped, the
  // name is the kind's name); penShapeId stays.
  void resetToKind(uint8_t kind);
  // Copies every value of the source (icon and nib as copies); false without one.
  [[nodiscard]] bool assign(const TPaintParam* source);

  // -- setters: store when different, never clamp --
  void setName(std::string_view v);
  void setOpacity(float v);
  void setSpacing(float v);
  void setEffect(float v);
  void setEnv(float v);
  void setSpeed(float v);
  void setGamma(float v);
  void setPressureOpacity(bool on);
  void setPressureSize(bool on);
  void setUseGradation(bool on);
  void setUseTone(bool on);
  void setSize(float v);
  void setMinSize(float v);
  void setAspect(float v);
  void setAngle(float v);
  void setFalloff(uint8_t type);
  void setFalloffValue1(float v);
  void setFalloffValue2(float v);
  void setNibScale(float v);
  void setPressureEdge(bool on);
  void setHardEdge(bool on);
  // Drops the own icon; with an image, keeps a copy (hasIcon = copy made).
  void setIcon(const TMTC* image);
  // Drops the nib; with a plane, keeps its pixels inverted (255 - pixel), row
  // r of the plane as row r of the block. Without memory there is no nib.
  void setNibImage(const TChannel* plane);

  // The own icon, else the kind's built-in one.
  const TMTC* getIcon() const;
  // 0 while a nib image is set, else the size.
  float getSize() const;
  float minSizeLimit() const;  // 0.1, or the nib's smallest scaled half side
  float maxSizeLimit() const;  // 200, or the nib's largest scaled half side
  float minNibScale() const;
  float maxNibScale() const;
  // Captions of the kind's effect sliders (long form) and their hints.
  std::string effectCaption(uint32_t slider) const { return effectCaptionLong(kind, slider); }
  std::string effectHint(uint32_t slider) const { return pg::effectHint(kind, slider); }

  // -- converters (each answers success; nothing changes on failure) --
  [[nodiscard]] bool loadFromStroke(const TStroke* stroke);
  [[nodiscard]] bool storeToStroke(TStroke* stroke) const;
  [[nodiscard]] bool loadPreset(const SPenSetting& record);
  [[nodiscard]] bool storePreset(SPenSetting& record) const;
  [[nodiscard]] bool toStrokeParam(SStrokeParam& param) const;
  [[nodiscard]] bool toPenRenderParam(SPenRenderParam& render) const;
  bool toPenShapeParam(SPenShapeParam& shape) const;
  // True when the falloff is a shaped one; flat falloffs get the grade map
  // that stands in for them.
  bool toGradeMapParam(SGradeMapParam& grade) const;
  bool toEdgeParam(SEdgeParam& edge) const;
  [[nodiscard]] bool storeToPenShape(CPenShapeObj* shape) const;
  [[nodiscard]] bool storeToPenMethod(IPenMethod* method) const;
  [[nodiscard]] bool loadFromPenMethod(const IPenMethod* method);
  [[nodiscard]] bool loadFromParts(const CGradeMapObj* gradeMap, const CPenShapeObj* penShape, const SStrokeParam& stroke,
                     const SPenRenderParam& render);
  [[nodiscard]] bool loadNib(const CPenShapeObj* penShape);

  // -- fields --
  uint8_t kind = 0;
  uint8_t family = 0;
  uint32_t paramMask = 0;
  uint8_t falloffMode = 0;
  std::string name;
  uint8_t hasIcon = 0;
  std::unique_ptr<TMTC> icon;
  float opacity = 1.0f;
  float spacing = 0.1f;
  float effect = 0.0f;
  float env = 0.0f;
  float speed = 0.0f;
  float gamma = 1.0f;
  uint8_t pressureOpacity = 0;
  uint8_t pressureSize = 0;
  uint8_t useGradation = 0;
  uint8_t useTone = 0;
  float size = 1.0f;
  float minSize = 0.0f;
  float stepLimit1 = 0.0f;
  float stepLimit2 = 0.0f;
  float aspect = 1.0f;
  float angle = 0.0f;
  uint8_t falloffType = 0;
  float falloffValue1 = 0.0f;
  float falloffValue2 = 0.0f;
  uint8_t hasNib = 0;
  std::vector<uint8_t> nibBytes;  // nibWidth x nibHeight, 255 - pixel
  int32_t nibWidth = 0;
  int32_t nibHeight = 0;
  float nibScale = 1.0f;
  uint8_t pressureEdge = 0;
  uint8_t hardEdge = 0;
  int32_t penShapeId = -1;

 private:
  void clearNib();
  [[nodiscard]] bool copyNibFrom(const TPaintParam& source);
  void loadPenRecords(const SStrokeParam& stroke, const SPenRenderParam& render);
};

}  // namespace pg
