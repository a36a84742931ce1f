#include "brush/paint_param.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "brush/pen_shape_obj.h"
#include "brush/stroke_settings.h"

namespace pg {
namespace {

// A pen method as the preset list holds one.
class FakePenMethod : public IPenMethod {
 public:
  FakePenMethod() : shape_(std::make_unique<CPenShapeObj>()) {}
  SPenMethodParams getParams() const override { return params_; }
  void setParams(const SPenMethodParams& p) override { params_ = p; }
  CPenShapeObj* penShape() override { return shape_.get(); }
  const CPenShapeObj* penShape() const override { return shape_.get(); }
  const TMTC* icon() const override { return icon_.get(); }
  bool setIcon(const TMTC* icon) override {
    icon_ = icon != nullptr ? TMTC::CreateCopy(*icon) : nullptr;
    return true;
  }
  std::string name() const override { return name_; }
  void setName(std::string_view n) override { name_ = n; }
  void dropShape() { shape_.reset(); }

 private:
  SPenMethodParams params_;
  std::unique_ptr<CPenShapeObj> shape_;
  std::unique_ptr<TMTC> icon_;
  std::string name_;
};

// A nib plane of w x h with a pattern in it.
struct NibPlane : TChannel {
  NibPlane(int32_t w, int32_t h) : TChannel(w, h) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) *pixelAt(x, y) = static_cast<uint8_t>((x * 37 + y * 11) & 255);
  }
};

TEST(PaintParamDefaults, EveryKind) {
  const uint8_t falloff[kPaintKindCount] = {7, 7, 7, 0, 0, 7, 5, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (uint8_t k = 0; k < kPaintKindCount; ++k) {
    SCOPED_TRACE(int(k));
    TPaintParam p(k);
    EXPECT_EQ(p.kind, k);
    EXPECT_EQ(p.family, paintKindFamily(k));
    EXPECT_EQ(p.paramMask, paintKindParamMask(k));
    EXPECT_EQ(p.falloffMode, paintKindFalloffMode(k));
    EXPECT_EQ(p.name, paintKindName(k));
    EXPECT_EQ(p.falloffType, falloff[k]);
    EXPECT_EQ(p.opacity, 1.0f);
    EXPECT_EQ(p.spacing, 0.1f);
    EXPECT_EQ(p.size, 1.0f);
    EXPECT_EQ(p.aspect, 1.0f);
    EXPECT_EQ(p.gamma, 1.0f);
    EXPECT_EQ(p.nibScale, 1.0f);
    EXPECT_EQ(p.minSize, 0.0f);
    EXPECT_EQ(p.penShapeId, -1);
    EXPECT_EQ(p.hasIcon, 0);
    EXPECT_EQ(p.hasNib, 0);
    EXPECT_EQ(paintParamDefaults(k).falloffType, falloff[k]);
  }
  TPaintParam odd(40);  // a kind past the table: an empty name, no mask
  EXPECT_EQ(odd.name, "");
  EXPECT_EQ(odd.paramMask, 0u);
}

TEST(PaintParamSetters, StoreWithoutClamping) {
  TPaintParam p(3);
  p.setOpacity(5.0f);
  p.setGamma(-2.0f);
  p.setSize(9999.0f);
  p.setFalloff(200);
  p.setName("霧");
  EXPECT_EQ(p.opacity, 5.0f);
  EXPECT_EQ(p.gamma, -2.0f);
  EXPECT_EQ(p.size, 9999.0f);
  EXPECT_EQ(p.falloffType, 200);
  EXPECT_EQ(p.name, "霧");
  p.setHardEdge(true);
  p.setPressureEdge(true);
  EXPECT_EQ(p.hardEdge, 1);
  EXPECT_EQ(p.pressureEdge, 1);
  // resetToKind keeps penShapeId.
  p.penShapeId = 12;
  p.resetToKind(6);
  EXPECT_EQ(p.penShapeId, 12);
  EXPECT_EQ(p.falloffType, 5);
  EXPECT_EQ(p.opacity, 1.0f);
}

TEST(PaintParamNib, InvertedBytesSizesAndLimits) {
  TPaintParam p(9);
  EXPECT_EQ(p.getSize(), 1.0f);
  EXPECT_EQ(p.minSizeLimit(), 0.1f);
  EXPECT_EQ(p.maxSizeLimit(), 200.0f);
  EXPECT_EQ(p.minNibScale(), 0.01f);
  EXPECT_EQ(p.maxNibScale(), 5.0f);
  NibPlane plane(1024, 256);
  p.setNibImage(&plane);
  ASSERT_EQ(p.hasNib, 1);
  EXPECT_EQ(p.nibWidth, 1024);
  EXPECT_EQ(p.nibHeight, 256);
  EXPECT_EQ(p.nibBytes[3 * 1024 + 5], 255 - plane.getPixel(5, 3));
  EXPECT_EQ(p.getSize(), 0.0f);
  EXPECT_FLOAT_EQ(p.minNibScale(), 0.015625f);
  EXPECT_FLOAT_EQ(p.maxNibScale(), 0.5f);
  EXPECT_FLOAT_EQ(p.minSizeLimit(), 1024 * 0.015625f * 0.5f);
  EXPECT_FLOAT_EQ(p.maxSizeLimit(), 256.0f);
  p.setNibImage(nullptr);
  EXPECT_EQ(p.hasNib, 0);
  EXPECT_TRUE(p.nibBytes.empty());
  TChannel empty;
  p.setNibImage(&empty);
  EXPECT_EQ(p.hasNib, 0);
}

TEST(PaintParamCopy, AssignAndCreateCopy) {
  TPaintParam src(11);
  src.setName("水");
  src.setOpacity(0.4f);
  src.setEffect(33.0f);
  src.setFalloff(4);
  src.setFalloffValue1(0.2f);
  src.setNibScale(1.5f);
  src.penShapeId = 8;
  NibPlane plane(10, 6);
  src.setNibImage(&plane);
  TMTC icon(4, 4);
  src.setIcon(&icon);
  bool ok = false;
  auto copy = TPaintParam::CreateCopy(&src, ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(copy->kind, 11);
  EXPECT_EQ(copy->name, "水");
  EXPECT_EQ(copy->opacity, 0.4f);
  EXPECT_EQ(copy->effect, 33.0f);
  EXPECT_EQ(copy->falloffType, 4);
  EXPECT_EQ(copy->falloffValue1, 0.2f);
  EXPECT_EQ(copy->nibScale, 1.5f);
  EXPECT_EQ(copy->nibBytes, src.nibBytes);
  EXPECT_EQ(copy->penShapeId, 8);
  ASSERT_EQ(copy->hasIcon, 1);
  EXPECT_NE(copy->icon.get(), src.icon.get());
  EXPECT_EQ(copy->getIcon(), copy->icon.get());
  EXPECT_EQ(TPaintParam::CreateCopy(nullptr, ok), nullptr);
  EXPECT_FALSE(ok);
  // A copy of a set without a nib loses the nib and its scale.
  TPaintParam plain(0);
  ASSERT_TRUE(copy->assign(&plain));
  EXPECT_EQ(copy->hasNib, 0);
  EXPECT_EQ(copy->nibScale, 1.0f);
  EXPECT_EQ(copy->getIcon(), defaultPaintIcon(0));
  EXPECT_FALSE(copy->assign(nullptr));
}

// ---- stroke settings --------------------------------------------------------------

TEST(PaintParamStroke, RoundTripOverTheStrokeKinds) {
  for (uint8_t kind = 0; kind <= 8; ++kind) {
    SCOPED_TRACE(int(kind));
    TPaintParam p(kind);
    p.setOpacity(0.5f);
    p.setEffect(20.0f);
    p.setEnv(30.0f);
    p.setSpeed(40.0f);
    p.setGamma(2.0f);
    p.setPressureSize(true);
    p.setPressureOpacity(true);
    p.setPressureEdge(true);
    p.setSize(25.0f);
    p.setMinSize(0.5f);
    p.setSpacing(0.3f);
    p.setFalloff(6);
    p.setUseTone(true);
    p.setUseGradation(true);
    TStroke s;
    ASSERT_TRUE(p.storeToStroke(&s));
    EXPECT_EQ(s.kind, paintKindStrokeKind(kind));
    EXPECT_EQ(s.WIDTH, 25.0f);
    EXPECT_EQ(s.MIN, 50.0f);
    EXPECT_EQ(s.opacity, 0.5f);
    EXPECT_EQ(s.penSpacing, 0.3f);
    EXPECT_EQ(s.ifEDGE, 1);
    EXPECT_EQ(s.useTone, s.canUseTone() ? 1 : 0);
    EXPECT_EQ(s.useGradation, s.canUseGradation() ? 1 : 0);
    // Only kinds that offer the falloff type set the stroke's curve.
    EXPECT_EQ(s.falloffCurveType, paintKindOffers(kind, ppFalloffType) ? 4 : 3);

    TPaintParam back(0);
    ASSERT_TRUE(back.loadFromStroke(&s));
    EXPECT_EQ(back.kind, kind);
    EXPECT_EQ(back.opacity, 0.5f);
    EXPECT_EQ(back.effect, 20.0f);
    EXPECT_EQ(back.env, 30.0f);
    EXPECT_EQ(back.speed, 40.0f);
    EXPECT_EQ(back.gamma, 2.0f);
    EXPECT_EQ(back.size, 25.0f);
    EXPECT_EQ(back.minSize, 0.5f);
    EXPECT_EQ(back.pressureEdge, 1);
    EXPECT_EQ(back.spacing, s.getSpacing());
  }
}

TEST(PaintParamStroke, RangesAndRefusals) {
  TPaintParam p(3);
  p.setSize(500.0f);
  p.setGamma(9.0f);
  p.setOpacity(0.0f);
  p.setFalloff(7);  // flat off state: the stroke gets the flat ramp
  TStroke s;
  ASSERT_TRUE(p.storeToStroke(&s));
  EXPECT_EQ(s.WIDTH, 200.0f);
  EXPECT_EQ(s.GAMMA, 6.0f);
  EXPECT_EQ(s.opacity, 0.01f);
  EXPECT_EQ(s.falloffCurveType, 0);
  EXPECT_FALSE(p.storeToStroke(nullptr));
  TPaintParam odd(40);
  EXPECT_FALSE(odd.storeToStroke(&s));
  s.kind = 9;
  TPaintParam back(3);
  EXPECT_FALSE(back.loadFromStroke(&s));
  EXPECT_EQ(back.kind, 3);
  EXPECT_FALSE(back.loadFromStroke(nullptr));
}

TEST(PaintParamPreset, RoundTripAndTheAirbrushCurveBranch) {
  for (uint8_t kind = 0; kind <= 8; ++kind) {
    for (uint8_t falloff : {0, 3, 5, 6, 7}) {
      SCOPED_TRACE(::testing::Message() << "kind " << int(kind) << " falloff " << int(falloff));
      TPaintParam p(kind);
      p.setOpacity(0.25f);
      p.setSpacing(0.5f);
      p.setEffect(1.0f);
      p.setEnv(2.0f);
      p.setSpeed(3.0f);
      p.setGamma(0.5f);
      p.setSize(7.0f);
      p.setMinSize(0.3f);
      p.setPressureOpacity(true);
      p.setUseTone(true);
      p.setFalloff(falloff);
      p.setPressureEdge(true);
      SPenSetting rec;
      ASSERT_TRUE(p.storePreset(rec));
      EXPECT_EQ(rec.opaque, 0.25f);
      EXPECT_FLOAT_EQ(rec.MIN, 30.0f);
      if (paintKindOffers(kind, ppFalloffType)) {
        EXPECT_EQ(rec.airMap, falloffToPresetCurve(falloff) & 127);
        EXPECT_EQ(rec.ifEDGE, 0);
      } else if (paintKindOffers(kind, ppPressureEdge)) {
        EXPECT_EQ(rec.ifEDGE, 1);
        EXPECT_EQ(rec.airMap, 3);
      }
      bool ok = false;
      auto back = TPaintParam::CreateFromPreset(rec, kind, ok);
      ASSERT_TRUE(ok);
      EXPECT_EQ(back->opacity, 0.25f);
      EXPECT_EQ(back->spacing, 0.5f);
      EXPECT_EQ(back->gamma, 0.5f);
      EXPECT_EQ(back->size, 7.0f);
      EXPECT_FLOAT_EQ(back->minSize, 0.3f);
      EXPECT_EQ(back->pressureOpacity, 1);
      EXPECT_EQ(back->useTone, 1);
      if (paintKindOffers(kind, ppFalloffType)) {
        // The curve codes are coarser than the types: 0 and 4 (and 1, 2) share code 0.
        EXPECT_EQ(back->falloffType, presetCurveToFalloff(falloffToPresetCurve(falloff) & 127));
      } else if (paintKindOffers(kind, ppPressureEdge)) {
        EXPECT_EQ(back->pressureEdge, 1);
      }
    }
  }
  // The off state survives the preset: 255 stored as 127, read back as 7.
  TPaintParam air(3);
  air.setFalloff(7);
  SPenSetting rec;
  EXPECT_TRUE(air.storePreset(rec));
  EXPECT_EQ(rec.airMap, 127);
  ASSERT_TRUE(air.loadPreset(rec));
  EXPECT_EQ(air.falloffType, 7);
}

// ---- pen-method records --------------------------------------------------------------

TEST(PaintParamPen, RecordsOfAPenKind) {
  TPaintParam p(13);
  p.setOpacity(0.7f);
  p.setSpacing(0.123f);
  p.setGamma(1.5f);
  p.setEffect(12.4f);
  p.setEnv(12.5f);
  p.setSpeed(99.0f);
  p.stepLimit1 = 2.5f;
  p.stepLimit2 = 3.4f;
  p.setPressureSize(true);
  SStrokeParam sp;
  ASSERT_TRUE(p.toStrokeParam(sp));
  EXPECT_EQ(sp.opacity, 700);
  EXPECT_EQ(sp.spacing, 120);
  EXPECT_EQ(sp.gamma, 150);
  EXPECT_EQ(sp.dabEveryStep, 3);
  EXPECT_EQ(sp.splitStep, 3);
  EXPECT_EQ(sp.pressureSize, 1);
  SPenRenderParam rp;
  ASSERT_TRUE(p.toPenRenderParam(rp));
  EXPECT_EQ(rp.method, prmBlur);
  EXPECT_EQ(rp.effect, 12);
  EXPECT_EQ(rp.env, 13);
  EXPECT_EQ(rp.speed, 99);
  TPaintParam stroke(3);
  rp.effect = 77;
  EXPECT_FALSE(stroke.toPenRenderParam(rp));
  EXPECT_EQ(rp.effect, 77);  // untouched

  SPenShapeParam shape;
  p.setSize(12.0f);
  p.setAspect(0.5f);
  p.setAngle(-10.0f);
  p.setMinSize(0.25f);
  ASSERT_TRUE(p.toPenShapeParam(shape));
  EXPECT_EQ(shape, (SPenShapeParam{1200, 500, 3501, 250}));
  NibPlane plane(8, 8);
  p.setNibImage(&plane);
  p.setNibScale(1.5f);
  p.toPenShapeParam(shape);
  EXPECT_EQ(shape.size, 15000);  // 150 % carried in the size field

  SEdgeParam edge;
  p.setHardEdge(true);
  ASSERT_TRUE(p.toEdgeParam(edge));
  EXPECT_TRUE(edge.isHard());
}

TEST(PaintParamPen, GradeMapBranches) {
  struct Case {
    uint8_t kind;
    uint8_t falloff;
    bool pressureEdge;
    bool shaped;
    int32_t type;
    int32_t value1;
  };
  const Case cases[] = {
      {1, 7, false, false, 3, 900},  // eraser (by edge switch), flat, soft: linear with a 0.9 core
      {1, 7, true, false, 0, 200},   // edge switch on: the circle profile
      {1, 2, false, false, 3, 900},
      {0, 0, false, true, 3, 200},   // a shaped falloff is mapped whatever the mode
      {3, 7, false, false, 255, 200},  // airbrush off state
      {3, 2, false, false, 3, 900},  // airbrush flat: linear with a 0.9 core
      {3, 6, false, true, 5, 200},
      {9, 7, false, false, 3, 200},  // pen methods: linear
      {9, 2, true, false, 3, 200},
      {9, 4, false, true, 1, 200},
      {9, 250, false, false, 3, 200},  // unknown types are flat
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << int(c.kind) << " falloff " << int(c.falloff));
    TPaintParam p(c.kind);
    p.setFalloff(c.falloff);
    p.setFalloffValue1(0.2f);
    p.setFalloffValue2(0.3f);
    p.setPressureEdge(c.pressureEdge);
    SGradeMapParam g;
    EXPECT_EQ(p.toGradeMapParam(g), c.shaped);
    EXPECT_EQ(g.type, c.type);
    EXPECT_EQ(g.value1, c.value1);
    EXPECT_EQ(g.value2, 300);
  }
}

TEST(PaintParamPen, MethodRoundTripKeepsTheNib) {
  for (uint8_t kind = 9; kind <= 17; ++kind) {
    SCOPED_TRACE(int(kind));
    TPaintParam p(kind);
    p.setName("筆");
    p.setOpacity(0.6f);
    p.setSpacing(0.25f);
    p.setGamma(1.25f);
    p.setEffect(10.0f);
    p.setEnv(20.0f);
    p.setSpeed(30.0f);
    p.setUseGradation(true);
    p.setPressureOpacity(true);
    p.setMinSize(0.4f);
    p.setAspect(0.6f);
    p.setAngle(45.0f);
    p.setFalloff(kind == 12 ? 7 : 3);  // one flat falloff among them
    p.setFalloffValue1(0.1f);
    p.setFalloffValue2(0.05f);
    p.setHardEdge(kind % 2 == 0);
    NibPlane plane(24, 12);
    if (kind % 3 == 0) {
      p.setNibImage(&plane);
      p.setNibScale(2.0f);
    } else {
      p.setSize(18.0f);
    }
    p.penShapeId = kind;
    TMTC icon(8, 8);
    p.setIcon(&icon);

    FakePenMethod method;
    ASSERT_TRUE(p.storeToPenMethod(&method));
    EXPECT_EQ(method.name(), "筆");
    EXPECT_NE(method.icon(), nullptr);
    EXPECT_EQ(method.getParams().useGradation, 1);
    EXPECT_EQ(method.penShape()->imageRef(), kind);
    EXPECT_EQ(method.penShape()->isImageNib(), kind % 3 == 0);

    bool ok = false;
    auto back = TPaintParam::CreateFromPenMethod(&method, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(back->kind, kind);
    EXPECT_EQ(back->name, "筆");
    EXPECT_FLOAT_EQ(back->opacity, 0.6f);
    EXPECT_FLOAT_EQ(back->spacing, 0.25f);
    EXPECT_FLOAT_EQ(back->gamma, 1.25f);
    EXPECT_EQ(back->effect, 10.0f);
    EXPECT_EQ(back->env, 20.0f);
    EXPECT_EQ(back->speed, 30.0f);
    EXPECT_EQ(back->useGradation, 1);
    EXPECT_EQ(back->pressureOpacity, 1);
    EXPECT_FLOAT_EQ(back->minSize, 0.4f);
    EXPECT_FLOAT_EQ(back->aspect, 0.6f);
    EXPECT_FLOAT_EQ(back->angle, 45.0f);
    EXPECT_EQ(back->hardEdge, kind % 2 == 0 ? 1 : 0);
    EXPECT_FLOAT_EQ(back->falloffValue2, 0.05f);
    EXPECT_EQ(back->penShapeId, kind);
    EXPECT_EQ(back->hasIcon, 1);
    if (kind == 12) {
      // The flat falloff went out as the linear grade map with its core.
      EXPECT_EQ(back->falloffType, 0);
    } else {
      EXPECT_EQ(back->falloffType, 3);
      EXPECT_FLOAT_EQ(back->falloffValue1, 0.1f);
    }
    if (kind % 3 == 0) {
      ASSERT_EQ(back->hasNib, 1);
      EXPECT_EQ(back->nibBytes, p.nibBytes);  // inverted twice: the same bytes
      EXPECT_EQ(back->nibWidth, 24);
      EXPECT_EQ(back->nibScale, 2.0f);
    } else {
      EXPECT_EQ(back->hasNib, 0);
      EXPECT_EQ(back->size, 18.0f);
    }
  }
}

TEST(PaintParamPen, MethodRefusals) {
  FakePenMethod method;
  TPaintParam stroke(2);
  EXPECT_FALSE(stroke.storeToPenMethod(&method));  // a stroke kind has no pen method
  EXPECT_EQ(method.name(), "");
  EXPECT_FALSE(stroke.storeToPenMethod(nullptr));
  FakePenMethod shapeless;
  shapeless.dropShape();
  TPaintParam pen(9);
  EXPECT_FALSE(pen.storeToPenMethod(&shapeless));
  EXPECT_FALSE(pen.storeToPenShape(nullptr));

  SPenMethodParams params;
  params.render.method = 9;  // names no kind
  method.setParams(params);
  bool ok = true;
  EXPECT_EQ(TPaintParam::CreateFromPenMethod(&method, ok), nullptr);
  EXPECT_FALSE(ok);
  uint8_t kind = 0;
  EXPECT_FALSE(TPaintParam::kindOfPenMethod(kind, nullptr));
  EXPECT_FALSE(pen.loadFromPenMethod(&method));
  EXPECT_EQ(pen.kind, 9);
}

TEST(PaintParamPen, LoadFromRecordedParts) {
  CGradeMapObj map(2048);
  map.setParam(SGradeMapParam{4, 250, 100});
  CPenShapeObj nib;
  SPenShapeParam shape;
  shape.init(22.0f);
  shape.setAspect(0.8f);
  nib.setParametric(nullptr, &shape, nullptr);
  SStrokeParam sp;
  sp.setOpacity(0.5f);
  sp.pressureSize = 1;
  SPenRenderParam rp;
  EXPECT_TRUE(penRenderParamOfKind(rp, 16));
  rp.effect = 0x10000 + 40;  // only the low 16 bits count

  TPaintParam p(9);
  ASSERT_TRUE(p.loadFromParts(&map, &nib, sp, rp));
  EXPECT_EQ(p.kind, 16);
  EXPECT_EQ(p.opacity, 0.5f);
  EXPECT_EQ(p.pressureSize, 1);
  EXPECT_EQ(p.effect, 40.0f);
  EXPECT_EQ(p.size, 22.0f);
  EXPECT_FLOAT_EQ(p.aspect, 0.8f);
  EXPECT_EQ(p.falloffType, 1);  // grade type 4 is falloff type 1
  EXPECT_FLOAT_EQ(p.falloffValue1, 0.25f);
  EXPECT_FLOAT_EQ(p.falloffValue2, 0.1f);
  EXPECT_EQ(p.hasIcon, 0);

  EXPECT_FALSE(p.loadFromParts(nullptr, &nib, sp, rp));
  EXPECT_FALSE(p.loadFromParts(&map, nullptr, sp, rp));
  rp.method = 200;
  EXPECT_FALSE(p.loadFromParts(&map, &nib, sp, rp));
  EXPECT_FALSE(p.loadNib(nullptr));
}

// ---- icons -------------------------------------------------------------------------

TEST(PaintParamIcons, BuiltInIcons) {
  for (uint32_t i = 0; i < 9; ++i) {
    const TMTC* icon = getDefaultPaintIcon(i);
    ASSERT_NE(icon, nullptr) << i;
    EXPECT_EQ(icon->Width, 32);
    EXPECT_EQ(icon->Height, 32);
  }
  EXPECT_EQ(getDefaultPaintIcon(4), getDefaultPaintIcon(2));  // one image in two slots
  EXPECT_EQ(getDefaultPaintIcon(9), nullptr);
  EXPECT_NE(getDefaultPaintIconAlt(0), nullptr);
  EXPECT_EQ(getDefaultPaintIconAlt(1), nullptr);
  const uint32_t iconOfKind[kPaintKindCount] = {0, 3, 1, 5, 2, 4, 6, 7, 8, 0, 3, 1, 5, 2, 6, 99, 7, 8};
  for (uint32_t k = 0; k < kPaintKindCount; ++k) {
    if (k == 15) EXPECT_EQ(defaultPaintIcon(k), getDefaultPaintIconAlt(0));
    else EXPECT_EQ(defaultPaintIcon(k), getDefaultPaintIcon(iconOfKind[k])) << k;
  }
  EXPECT_EQ(defaultPaintIcon(18), nullptr);
  // The icons differ from each other.
  EXPECT_NE(getDefaultPaintIcon(0)->getPixel(16, 16) + getDefaultPaintIcon(0)->getPixel(10, 22),
            getDefaultPaintIcon(1)->getPixel(16, 16) + getDefaultPaintIcon(1)->getPixel(10, 22));
}

}  // namespace
}  // namespace pg
