// The brush engine over records from outside: the stored pen settings of the
// settings file, and the pen-method records, nib shapes and nib images that
// recordings and preset files carry. Nothing may crash, and what reaches a
// stroke or a dab image stays within its ranges.
//
// Byte 0 chooses the input: even, the rest is a settings file whose pen
// settings are read; odd, the rest holds the records field by field
// (little-endian), then a nib image (0xFF: with the nib size unbounded).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "brush/grade_map.h"
#include "brush/paint_param.h"
#include "brush/pen_shape.h"
#include "brush/pen_shape_obj.h"
#include "brush/stroke_settings.h"
#include "platform/settings_store.h"

namespace {

struct Reader {
  const uint8_t* p;
  size_t n;
  uint8_t u8() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  int32_t i32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(u8()) << (8 * i);
    return static_cast<int32_t>(v);
  }
};

void check(bool ok) {
  if (!ok) std::abort();
}

void checkStroke(const pg::TStroke& s) {
  check(s.WIDTH >= pg::kStrokeWidthMin && s.WIDTH <= pg::kStrokeWidthMax);
  check(s.GAMMA >= pg::kStrokeGammaMin && s.GAMMA <= pg::kStrokeGammaMax);
  check(s.opacity >= pg::kStrokeOpacityMin && s.opacity <= pg::kStrokeOpacityMax);
  check(s.penSpacing >= pg::kStrokeSpacingMin && s.penSpacing <= pg::kStrokeSpacingMax);
  check(s.MIN >= 0 && s.MIN <= 100 && s.EFFECT >= 0 && s.EFFECT <= 100);
  check(s.falloffCurveType <= 4);
}

void settings(std::string_view text) {
  pg::CSettingsStore store;
  if (!store.parse(text)) return;
  for (uint32_t index = 0; index < 8; ++index)
    for (int32_t slot = 1; slot <= 5; ++slot) {
      const uint8_t strokeKind = pg::penSettingIndexOf(index);
      std::string key;
      if (!pg::penSettingKey(strokeKind, slot, "Software\\Harbelle\\Pigmora4", key)) continue;
      pg::CSettingsKey reg(store);
      if (!reg.openKey(key, false)) continue;
      pg::SPenSetting rec;
      // Hostile records are meant to be refused: what matters below is that a
      // refusal leaves sane values, not the answers themselves.
      (void)pg::strokeDefaults(rec, strokeKind);
      (void)pg::readPenSetting(reg, rec);
      bool ok = false;
      auto param = pg::TPaintParam::CreateFromPreset(rec, pg::legacyKindAt(index), ok);
      pg::TStroke stroke;
      (void)param->storeToStroke(&stroke);
      checkStroke(stroke);
    }
}

// Dabs cost time with the square of their radius (up to 512 pixels): most
// inputs are held to dabs of at most 64 pixels so that the fuzzer spends its
// time on the records' fields, and one input in 128 keeps its full size.
constexpr int32_t kUsualSizeBound = 12800;  // 1/100 pixel

void records(Reader& r, bool fullSize) {
  pg::SGradeMapParam grade{r.i32(), r.i32(), r.i32()};
  pg::SPenShapeParam shape{r.i32(), r.i32(), r.i32(), r.i32()};
  if (!fullSize) shape.size %= kUsualSizeBound;
  pg::SEdgeParam edge{r.i32()};
  pg::SStrokeParam sp;
  sp.pressureSize = r.u8();
  sp.pressureOpacity = r.u8();
  sp.opacity = r.i32();
  sp.gamma = r.i32();
  sp.spacing = r.i32();
  sp.dabEveryStep = r.i32();
  sp.splitStep = r.i32();
  pg::SPenRenderParam rp;
  rp.method = r.u8();
  rp.subMode = r.u8();
  rp.shapeFlag = r.u8();
  rp.workPlane = r.u8();
  rp.effect = r.i32();
  rp.env = r.i32();
  rp.speed = r.i32();
  const int32_t cx = r.i32(), cy = r.i32();

  pg::CGradeMapObj map(2048);
  map.setParam(grade);
  pg::CPenShapeObj nib;
  nib.setParametric(&grade, &shape, &edge);
  const int32_t w = r.u8() % 40, h = r.u8() % 40;
  pg::TChannel image(w, h);
  if (pg::isPlaneReady(&image)) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) *image.pixelAt(x, y) = r.u8();
    if (nib.setImage(image, false)) nib.setScale(shape.size / 100);
  }

  pg::CPenShape dab(&map);
  dab.setUseEdge(true);
  const int32_t radius = static_cast<int32_t>(static_cast<int64_t>(shape.size) * 65536 / 100 / 2);
  // Each may refuse the hostile sizes; the shape must stay sane either way.
  (void)dab.prepareSize(radius);
  (void)dab.prepareShape(radius, shape.getAspectPercent(), shape.getAngleDegrees());
  (void)dab.prepareDisc(cx, cy, radius, (rp.shapeFlag & 1) != 0);
  (void)dab.prepareEllipse(cx, cy, radius, shape.getAspectPercent(), shape.getAngleDegrees(), (rp.shapeFlag & 2) != 0);
  (void)dab.prepareImageNib(&nib, false);
  for (int32_t y = -2; y <= 2; ++y)
    for (int32_t x = -2; x <= 2; ++x) {
      const int32_t v = dab.dabAt(x * 0x8000, y * 0x8000);
      check(v >= 0 && v <= 0xFF0000);
    }

  pg::TPaintParam param(9);
  if (param.loadFromParts(&map, &nib, sp, rp)) {
    pg::TStroke stroke;
    (void)param.storeToStroke(&stroke);
    checkStroke(stroke);
    pg::SGradeMapParam g;
    param.toGradeMapParam(g);
    check(g.value1 >= 0 && g.value1 <= 1000 && g.value2 >= 0 && g.value2 <= 1000);
    pg::CPenShapeObj out;
    (void)param.storeToPenShape(&out);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if ((data[0] & 1) == 0) {
    settings(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
  }
  Reader r{data + 1, size - 1};
  records(r, (data[0] >> 1) == 0x7F);
  return 0;
}
