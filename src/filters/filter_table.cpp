// The filter table, the command routine, replay runs and repeat-last.
#include "filters/filter_table.h"

#include <map>
#include <memory>

#include "core/streams.h"
#include "document/paper.h"
#include "document/paper_gradient.h"
#include "io/gradient_file.h"
#include "platform/clock.h"
#include "platform/message_service.h"
#include "filters/blur_filters.h"
#include "filters/cloud_filters.h"
#include "filters/distort_filters.h"
#include "filters/filter_repeat.h"
#include "filters/filter_run.h"
#include "filters/legacy_kernels.h"
#include "filters/legacy_lighting.h"
#include "filters/legacy_render_kernels.h"
#include "filters/flip_filters.h"
#include "filters/floor_command.h"
#include "filters/floor_filter.h"
#include "filters/gradient_map_filter.h"
#include "filters/levels_filter.h"
#include "filters/lighting_filter.h"
#include "filters/median_filter.h"
#include "filters/motion_blur_filters.h"
#include "filters/noise_filters.h"
#include "filters/rotate_scale_filter.h"
#include "filters/stylize_filters.h"
#include "filters/table_filters.h"
#include "filters/tiles_filter.h"
#include "filters/tone_filters.h"

namespace pg {

namespace {

// The older set's grayscale, the one older filter with a menu command.
constexpr uint8_t kGrayscaleOp = 20;

constexpr uint8_t k0 = 32;
constexpr uint8_t k2 = 33;
constexpr uint8_t k4 = 34;
constexpr uint8_t k6 = 35;
constexpr uint8_t kRec = 38;
constexpr uint8_t kGradientMapOp = 54;
constexpr uint8_t kCloudsOp = 70;
// "%s(&L)": the Repeat item naming the last filter.
constexpr uint32_t kResRepeatCaption = 67719;

const std::vector<SFilterEntry> kTable = {
    // command, action, op, packet, bytes, kernel, protect
    {"filterBrightnessContrast", "actFilterContrast4", 62, k4, 16, &brightnessContrast4Kernel, false},
    {"filterColorBalance", "actFilterGamma4", 24, k4, 16, &colorBalance4Kernel, false},
    {"filterGradientMap", "actFilterGradateMap", 54, kRec, 50, &gradientMap4Kernel, false},
    {"filterHueSaturation", "actFilterHLS4", 61, k4, 16, &hueSaturation4Kernel, false},
    {"filterInvert", "actFilterNega", 81, k0, 0, &invert4Kernel, false},
    {"filterFlipHorizontal", "actFilterFlipLR", 82, k0, 0, &flipHorizontal4Kernel, false},
    {"filterFlipVertical", "actFilterFlipTB", 83, k0, 0, &flipVertical4Kernel, false},
    {"filterRotate180", "actFilterRot180", 84, k0, 0, &rotate1804Kernel, false},
    {"filterLevels", "actFilterLevels4", 60, k6, 24, &levels4Kernel, false},
    {"filterPosterize", "actFilterPoster4", 27, k2, 8, &posterize4Kernel, false},
    {"filterThreshold", "actFilterMonotone", 49, k2, 8, &threshold4Kernel, false},
    {"filterBlur", "actFilterBlur", 64, k0, 0, &blurKernel, true},
    {"filterBlurMore", "actFilterBlurStrong", 65, k0, 0, &blurMoreKernel, true},
    {"filterRadialBlur", "actFilterBlurZoom", 66, k2, 8, &zoomBlurKernel, false},
    {"filterMotionBlur", "actFilterBlurMove4", 4, k2, 8, &motionBlurKernel, true},
    {"filterGaussianBlur", "actFilterGauss", 67, k2, 8, &gaussianBlurKernel, false},
    {"filterPolarCoordinates", "actFilterPolar", 55, k2, 8, &polar4Kernel, true},
    {"filterRotate", "actFilterRotate4", 58, k2, 8, &rotate4Kernel, true},
    {"filterScale", "actFilterZoom4", 57, k4, 16, &scale4Kernel, true},
    {"filterNoise", "actFilterNoise4", 25, k4, 16, &noiseKernel, false},
    {"filterColorHalftone", "actFilterHalftone", 48, k4, 16, &colorHalftoneKernel, false},
    {"filterMosaic", "actFilterMosaic4", 26, k2, 8, &mosaicKernel, true},
    {"filterMedian", "actFilterMedian4", 86, k2, 8, &medianKernel, false},
    {"filterSharpen", "actFilterSharp4", 12, k0, 0, &sharpenKernel, true},
    {"filterSharpenMore", "actFilterSharpStrong4", 13, k0, 0, &sharpenMoreKernel, true},
    {"filterSharpenCustom", "actFilterSharpCustom4", 14, k2, 8, &sharpenCustomKernel, false},
    {"filterDiffuse", "actFilterDifuse", 59, k4, 16, &diffuseKernel, true},
    {"filterEmboss", "actFilterEmboss4", 50, k4, 16, &embossKernel, false},
    {"filterFindEdges", "actFilterFindEdge", 53, k0, 0, &findEdgesKernel, false},
    {"filterSolarize", "actFilterSolarization", 56, k0, 0, &solarize4Kernel, false},
    {"filterTiles", "actFilterTile", 73, k4, 16, &tilesKernel, false},
    {"filterClouds", "actFilterCloud", 70, k4, 16, &cloudsKernel, false},
    {"filterClouds2", "actFilterCloud2", 70, k4, 16, &cloudsKernel, false},
    {"filterPlasma", "actFilterPlasma", 71, k4, 16, &plasmaKernel, false},
    {"filterCloudsRock", "actFilterRock", 72, k6, 24, &cloudsRockKernel, false},
    {"filterWave", "actFilterWave", 85, k2, 8, &wave4Kernel, false},
    {"filterTwirl", "actFilterTwist", 68, k2, 8, &twirl4Kernel, false},
    {"filterCustom5x5", "actFilterCustom55", 51, kRec, 50, &customKernel, false},
    {"filterLighting", "actFilterLighting", 74, kRec, 50, &lightingKernel, false},
    {"filterFloor", "actFilterFloor", 40, kRec, 87, &floorKernel, false},
    {"filterLumaToAlpha", "ActEditDens2A", 63, k2, 8, &lumaToAlpha4Kernel, false},
    // Replay only: the kernel variants older recordings name.
    {nullptr, nullptr, 0, k0, 0, &blurBoxKernel, true},
    {nullptr, nullptr, 1, k0, 0, &blurMoreBoxKernel, true},
    {nullptr, nullptr, 69, k2, 8, &wave4KernelType0, false},
    {nullptr, nullptr, 80, k2, 8, &wave4KernelType1, false},
    {nullptr, nullptr, 17, k4, 16, &colorBalance4Kernel, false},
    {nullptr, nullptr, 52, k0, 0, &lumaToAlpha4Kernel, false},
    // The older filter set.
    {nullptr, nullptr, 8, k0, 0, &legacySharpen4Kernel, false},
    {nullptr, nullptr, 9, k0, 0, &legacySharpenMore4Kernel, false},
    // Grayscale of the older set also serves the menu command.
    {"filterGrayscale", "actFilterMono", 20, k0, 0, &legacyGrayscale4Kernel, false},
    {nullptr, nullptr, 2, k2, 8, &legacyMotionBlur4Kernel, true},
    {nullptr, nullptr, 10, k2, 8, &legacySharpenCustom4Kernel, false},
    {nullptr, nullptr, 18, k2, 8, &legacyBrightnessContrast4Kernel, false},
    {nullptr, nullptr, 21, k2, 8, &legacyPosterize4Kernel, false},
    {nullptr, nullptr, 22, k2, 8, &legacyNoise4Kernel, false},
    {nullptr, nullptr, 23, k2, 8, &legacyMosaic4Kernel, true},
    {nullptr, nullptr, 32, k2, 8, &legacyGaussianBlur4Kernel, false},
    {nullptr, nullptr, 34, k2, 8, &legacyEmboss4Kernel, false},
    {nullptr, nullptr, 3, k4, 16, &legacyRadialBlur4Kernel, true},
    {nullptr, nullptr, 19, k4, 16, &legacyHueSaturation4Kernel, false},
    {nullptr, nullptr, 33, k4, 16, &legacyTwist4Kernel, false},
    // Tiles take the packet's argument word (the colour count) before their
    // four words.
    {nullptr, nullptr, 36, k4, 20, &legacyTiles4Kernel, false},
    {nullptr, nullptr, 16, k6, 24, &legacyLevels4Kernel, false},
    {nullptr, nullptr, 35, k6, 24, &legacyWave4Kernel, false},
    {nullptr, nullptr, 37, k6, 24, &legacyCloudsRocks4Kernel, false},
    {nullptr, nullptr, 38, k6, 24, &legacyCloudsRocks4Kernel, false},
    {nullptr, nullptr, 39, kRec, 50, &legacyLighting4Kernel, false},
};

// Repeat state: the last command that got past its dialog, and the
// parameters each filter's dialog last handed over, with the filter area
// they were chosen on.
struct SRemembered {
  std::vector<uint8_t> bytes;
  SSize area{256, 256};
};
struct RepeatState {
  const SFilterEntry* last = nullptr;
  std::map<const SFilterEntry*, SRemembered> remembered;
};
RepeatState& repeatState() {
  static RepeatState state;
  return state;
}

[[nodiscard]] FilterResult applyEntry(CFlt4Core& core, const SFilterEntry& e, const uint8_t* params, uint32_t paramBytes,
                        const SFltRecord* record) {
  if (e.bytes == 50) {
    if (record == nullptr || uint32_t(record->Count) * record->Size != record->Total ||
        (record->Total > 0 && record->Extra == nullptr))
      return FilterResult::Refused;
    return core.apply50(e.op, *record) ? FilterResult::Done : FilterResult::Refused;
  }
  if (paramBytes != e.bytes) return FilterResult::Refused;
  bool ok = false;
  switch (e.bytes) {
    case 0:
      ok = core.apply(e.op);
      break;
    case 8: {
      std::array<uint8_t, 8> p{};
      std::copy(params, params + 8, p.begin());
      ok = core.apply8(e.op, p);
      break;
    }
    case 16: {
      std::array<uint8_t, 16> p{};
      std::copy(params, params + 16, p.begin());
      ok = core.apply16(e.op, p);
      break;
    }
    case 20: {
      std::array<uint8_t, 20> p{};
      std::copy(params, params + 20, p.begin());
      ok = core.apply20(e.op, p);
      break;
    }
    case 24: {
      std::array<uint8_t, 24> p{};
      std::copy(params, params + 24, p.begin());
      ok = core.apply24(e.op, p);
      break;
    }
    default:
      return FilterResult::Refused;
  }
  return ok ? FilterResult::Done : FilterResult::Refused;
}

// The gradient map: run with the active gradient's stops, redraw, then the
// event carries the stops as a gradient chunk (the record refers to them
// only), and the undo record.
[[nodiscard]] FilterResult applyGradientMap(CFlt4Core& core, uint8_t op, const std::vector<uint8_t>& params,
                              const std::optional<CColorSlotGroup>& chosen) {
  CColorSlotGroup stops(16);
  SFltGradientMap rec;
  if (!gradientMapRecord(params, core.layerProtectsAlpha() ? 1 : 0, stops, rec, chosen ? &*chosen : nullptr))
    return FilterResult::Refused;
  if (!core.run(&rec, int32_t(SFltGradientMap::kSize))) return FilterResult::Refused;
  redrawAfterFilter(core.document(), core.view(), core.layerIndex());
  CMemoryStream chunk;
  if (writeGradientChunk(chunk, stops, rec.Repeat) != kRcOk || chunk.size() > 0xFFFF) return FilterResult::Refused;
  SFltRecord record;
  if (!initFltRecord(record, 1, uint16_t(chunk.size()))) return FilterResult::Refused;
  record.Extra = chunk.bytes().data();
  // What the packet carries in the reference's place: the number of stops
  // plus one (a replay reads only the two option bytes after it).
  writeLE32(record.Params.data(), uint32_t(stops.lastIndex() + 2));
  record.Params[4] = rec.Reverse;
  record.Params[5] = rec.KeepAlpha;
  return core.writeRecordEvent(op, record) ? FilterResult::Done : FilterResult::Refused;
}

}  // namespace

const std::vector<SFilterEntry>& filterTable() { return kTable; }

const SFilterEntry* filterByCommand(std::string_view command) {
  for (const SFilterEntry& e : kTable)
    if (e.command != nullptr && command == e.command) return &e;
  return nullptr;
}

const SFilterEntry* filterForPacket(uint8_t packetType, uint8_t op) {
  for (const SFilterEntry& e : kTable)
    if (e.op == op && e.packetType == packetType) return &e;
  return nullptr;
}

FilterResult runFilter(TPaper& doc, TFlowImage& view, int32_t layerIndex, const SFilterEntry& entry,
                       const uint8_t* params, uint32_t paramBytes, const SFltRecord* record, bool recordFlag,
                       bool clearProtect) {
  // The floor runs by its own path (replayFloor), which brings its textures.
  if (entry.bytes == kFloorRecordSize) return FilterResult::Refused;
  CFlt4Core core(doc, view, recordFlag, entry.kernel, layerIndex);
  if (!core.isValid()) return FilterResult::Refused;
  if (clearProtect) core.clearProtectAlpha();
  return applyEntry(core, entry, params, paramBytes, record);
}

FilterResult filterCommand(TPaper& doc, TFlowImage& view, int32_t layerIndex, const SFilterEntry& entry, bool reuse,
                           const FilterDialog& dialog) {
  // Of the record filters, those whose parameters are one extra block run
  // here: their bytes are the record's parameter bytes, then the block.
  const bool recordForm = entry.bytes == 50;
  const bool floorForm = entry.bytes == kFloorRecordSize;
  const bool gradientForm = recordForm && entry.op == kGradientMapOp;
  // The gradient map maps by the tool window's active gradient; without one
  // it cannot run (a repeat included).
  if (gradientForm && docGradientLink().activeGradient() == nullptr) return FilterResult::Refused;
  // A choice left by an earlier dialog never reaches this run.
  if (gradientForm) (void)takeChosenGradient();
  if (!doc.canEdit(EditGateFlags{true, false, true})) return FilterResult::Refused;
  CFlt4Core core(doc, view, true, entry.kernel, layerIndex);
  if (!core.isValid()) return FilterResult::Refused;
  RepeatState& state = repeatState();
  std::vector<uint8_t> params(recordForm && !gradientForm ? 0 : entry.bytes, 0);
  if (gradientForm) params.assign(kGradientMapCommandBytes, 0);
  if (floorForm) {
    // The dialog and the remembered values hand over the 63 record bytes;
    // the textures taken from files stay with the floor's own store.
    params.assign(SFltFloor::kSize, 0);
    floorStartValues().write(params.data());
  }
  if (entry.bytes > 0) {
    auto known = state.remembered.find(&entry);
    // Clouds build their record afresh on every run (the tool window's
    // colours now, a new seed), a repeat included.
    const bool fresh = entry.op == kCloudsOp;
    const TRect& b = core.bounds();
    const SSize area{b.Right - b.Left, b.Bottom - b.Top};
    const bool repeating = reuse && !fresh && known != state.remembered.end();
    if (repeating) {
      // The remembered record, brought to this layer; what is remembered
      // stays as the dialog left it.
      params = known->second.bytes;
      const SRepeatTarget target{core.imageSize(), area, core.layerProtectsAlpha(), timeGetTime()};
      if (!adaptRepeatRecord(entry, known->second.area, target, params)) return FilterResult::Refused;
    } else {
      if (known != state.remembered.end()) params = known->second.bytes;
      if (!dialog || !dialog(entry, core, params)) {
        core.endPreviewAndRedraw(true);
        return FilterResult::Cancelled;
      }
      core.endPreview(nullptr);
    }
    const size_t expected = floorForm ? SFltFloor::kSize : (gradientForm ? kGradientMapCommandBytes : entry.bytes);
    if ((!recordForm || gradientForm) && params.size() != expected) return FilterResult::Refused;
    if (!repeating) state.remembered[&entry] = SRemembered{params, area};
  }
  // Luminance to transparency and greyscale are not repeated.
  if (entry.op != 63 && entry.op != kGrayscaleOp) state.last = &entry;
  if (floorForm) return applyFloor(core, SFltFloor::read(params.data()), floorRememberedTextures());
  if (gradientForm) return applyGradientMap(core, entry.op, params, takeChosenGradient());
  if (recordForm) {
    SFltRecord record;
    if (!fltRecordFromBytes(params, record)) return FilterResult::Refused;
    return applyEntry(core, entry, nullptr, 0, &record);
  }
  return applyEntry(core, entry, params.data(), uint32_t(params.size()), nullptr);
}

bool filterCanRunNow(const SFilterEntry& entry) {
  return !(entry.bytes == 50 && entry.op == kGradientMapOp) || docGradientLink().activeGradient() != nullptr;
}

bool hasLastFilter() { return repeatState().last != nullptr; }

std::string_view lastFilterAction() {
  const SFilterEntry* last = repeatState().last;
  return last != nullptr && last->action != nullptr ? std::string_view(last->action) : std::string_view();
}

std::string repeatCaption(std::string_view menuText) {
  std::string name(menuText);
  if (name.size() >= 3 && name.compare(name.size() - 3, 3, "...") == 0) name.resize(name.size() - 3);
  // "(&X)" anywhere, then a bare "&" before a letter.
  for (size_t at = name.find("(&"); at != std::string::npos; at = name.find("(&")) {
    const size_t close = name.find(')', at);
    if (close == std::string::npos) break;
    name.erase(at, close - at + 1);
  }
  for (size_t at = name.find('&'); at != std::string::npos; at = name.find('&', at)) {
    if (at + 1 < name.size() && name[at + 1] == '&') {
      name.erase(at, 1);  // "&&" is a plain ampersand
      ++at;
    } else {
      name.erase(at, 1);
    }
  }
  if (name.empty()) return {};
  return formatRes(kResRepeatCaption, {name});
}

FilterResult repeatLastFilter(TPaper& doc, TFlowImage& view, int32_t layerIndex, bool reuse,
                              const FilterDialog& dialog) {
  const SFilterEntry* last = repeatState().last;
  if (last == nullptr) return FilterResult::Refused;
  return filterCommand(doc, view, layerIndex, *last, reuse, dialog);
}

void resetFilterRepeat() {
  repeatState().last = nullptr;
  repeatState().remembered.clear();
}

}  // namespace pg
