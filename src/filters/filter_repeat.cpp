// Filter > Repeat without the dialog: the remembered record brought to the
// layer the repeat runs on.
#include "filters/filter_repeat.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/byte_cursor.h"
#include "filters/cloud_filters.h"
#include "filters/filter_dialog_model.h"
#include "filters/filter_table.h"
#include "filters/motion_blur_filters.h"
#include "filters/rotate_scale_filter.h"

namespace pg {

namespace {

// What a repeat takes afresh rather than from the remembered record: the
// layer's protect-alpha flag as it is now (a byte, or a 32-bit word) and a
// new seed.
struct SRepeatFields {
  uint8_t op;
  int8_t protectAt;  // -1: none
  uint8_t protectBytes;
  int8_t seedAt;  // -1: none
};
constexpr SRepeatFields kRepeatFields[] = {
    {86, 1, 1, -1},   // median
    {26, 4, 4, -1},   // mosaic
    {59, 14, 1, 8},   // diffuse
    {25, -1, 0, 8},   // noise
    {55, 1, 1, -1},   // polar coordinates
    {58, 4, 1, -1},   // rotate
    {57, 8, 1, -1},   // scale
    {66, 5, 1, -1},   // zoom blur
    {70, -1, 0, 8},   // clouds, clouds 2
    {71, -1, 0, 0},   // plasma
    {72, -1, 0, 8},   // clouds and rock
};

void refreshFields(uint8_t op, const SRepeatTarget& t, std::vector<uint8_t>& params) {
  for (const SRepeatFields& f : kRepeatFields) {
    if (f.op != op) continue;
    if (f.protectAt >= 0 && size_t(f.protectAt) + f.protectBytes <= params.size()) {
      std::fill_n(params.begin() + f.protectAt, f.protectBytes, uint8_t(0));
      params[size_t(f.protectAt)] = t.protect ? 1 : 0;
    }
    if (f.seedAt >= 0 && size_t(f.seedAt) + 4 <= params.size()) writeLE32(params.data() + f.seedAt, t.seed);
  }
}

// The remembered values of a filter's dialog (its defaults when it was
// never confirmed).
SFilterDialogValues rememberedValues(const char* command) {
  const SFilterDialogDef* def = filterDialogFor(command);
  return def != nullptr ? rememberedFor(*def).values : SFilterDialogValues{};
}

float valueAt(const SFilterDialogValues& v, size_t i, float fallback) {
  return i < v.values.size() ? v.values[i] : fallback;
}
bool checkAt(const SFilterDialogValues& v, size_t i, bool fallback) {
  return i < v.checks.size() ? v.checks[i] != 0 : fallback;
}

// The new size from the remembered percentages of the area's sides, as the
// dialog makes it: within its range, rounded, negative when mirrored.
bool adaptScale(SSize, const SRepeatTarget& t, std::vector<uint8_t>& params) {
  if (params.size() != SFltScale::kSize) return false;
  const SFilterDialogValues v = rememberedValues("filterScale");
  auto side = [](int32_t area, float percent, bool mirror) {
    const float s = float(area);
    const float px = std::clamp(scaleSideAt(s, percent), 0.0f, scaleSideLimit(s));
    return roundHalfAway(px) * (mirror ? -1 : 1);
  };
  SFltScale r = SFltScale::read(params.data());
  r.NewWidth = side(t.area.W, valueAt(v, kScaleWidthPercent, 100.0f), checkAt(v, kScaleMirrorH, false));
  r.NewHeight = side(t.area.H, valueAt(v, kScaleHeightPercent, 100.0f), checkAt(v, kScaleMirrorV, false));
  r.Method = 1;
  r.write(params.data());
  return true;
}

// The centre keeps its place relative to the area: x * w / w0, y * h / h0,
// rounded half away from zero.
bool adaptZoomBlur(SSize chosenOn, const SRepeatTarget& t, std::vector<uint8_t>& params) {
  if (chosenOn.W <= 0 || chosenOn.H <= 0) return false;
  SFltZoomBlur r;
  if (!readZoomBlurRecord(params.data(), int32_t(params.size()), r)) return false;
  auto scaled = [](int16_t c, int32_t now, int32_t then) {
    const double v = std::round(double(c) * double(now) / double(then));
    return int16_t(std::clamp(v, -32768.0, 32767.0));
  };
  r.centreX = scaled(r.centreX, t.area.W, chosenOn.W);
  r.centreY = scaled(r.centreY, t.area.H, chosenOn.H);
  r.mode = 1;
  writeZoomBlurRecord(r, params.data());
  return true;
}

// Without wrap around the tile is the whole layer image.
bool adaptCloudsRock(SSize, const SRepeatTarget& t, std::vector<uint8_t>& params) {
  SFltCloudsRock r;
  if (!readCloudsRockRecord(params.data(), int32_t(params.size()), r)) return false;
  if (!checkAt(rememberedValues("filterCloudsRock"), kCloudsRockWrap, true)) {
    r.tileWidth = uint16_t(std::clamp(t.image.W, 1, 65535));
    r.tileHeight = uint16_t(std::clamp(t.image.H, 1, 65535));
  }
  writeCloudsRockRecord(r, params.data());
  return true;
}

struct SRepeatAdapter {
  const char* command;
  bool (*adapt)(SSize chosenOn, const SRepeatTarget& t, std::vector<uint8_t>& params);
};
constexpr SRepeatAdapter kAdapters[] = {
    {"filterScale", &adaptScale},
    {"filterRadialBlur", &adaptZoomBlur},
    {"filterCloudsRock", &adaptCloudsRock},
};

}  // namespace

bool adaptRepeatRecord(const SFilterEntry& entry, SSize chosenOn, const SRepeatTarget& target,
                       std::vector<uint8_t>& params) {
  if (entry.packetType == 38 || entry.command == nullptr) return true;
  std::vector<uint8_t> out = params;
  refreshFields(entry.op, target, out);
  for (const SRepeatAdapter& a : kAdapters)
    if (std::string_view(entry.command) == a.command && !a.adapt(chosenOn, target, out)) return false;
  params = std::move(out);
  return true;
}

}  // namespace pg
