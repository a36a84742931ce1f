// Replay of filter packets: types 32 to 35 carry the layer, a value and 0,
// 2, 4 or 6 parameter words; type 38 a 50-byte record and its data. Every
// filter runs through the filter table with the record flag cleared; a
// filter whose kernel this system does not have stops the replay with the
// not-supported reason.
#include <array>
#include <vector>

#include "brush/gradient.h"
#include "brush/stroke_settings.h"
#include "core/streams.h"
#include "document/paper.h"
#include "filters/filter_run.h"
#include "filters/filter_table.h"
#include "filters/floor_command.h"
#include "filters/gradient_map_filter.h"
#include "filters/legacy_floor_command.h"
#include "io/gradient_file.h"
#include "record/packet_catalogue.h"
#include "record/event_vocabulary.h"
#include "replay/replay_engine.h"

namespace pg {

namespace {

constexpr uint8_t kLumaToAlphaStroke = 52;
constexpr uint8_t kLumaToAlpha = 63;
constexpr int32_t kProtectVersion = 207;
// Streams without a version record (read as version 200) come from the older
// program: their floor packets are drawn by its floor.
constexpr int32_t kCurrentFloorVersion = 201;

// What a type-38 record must say before its data is read.
bool recordMeetsRequirement(uint8_t op, uint16_t length, uint16_t count, uint16_t elementSize) {
  switch (op) {
    case kFltRecCustom5x5:
      return count == 1 && elementSize == 108 && length == 108;
    case kFltRecLegacy:
    case kFltRecLighting:
      return count == 1 && elementSize == 56 && length == 56;
    case kFltRecGradientMap:
      return count == 1 && elementSize == length;
    case kFltRecFloor:
      return elementSize == 63 && length == 63;
    default:
      return false;
  }
}

ReplayError errorOf(FilterResult r) {
  return r == FilterResult::NotSupported ? ReplayError::Unsupported : ReplayError::OperationFailed;
}

}  // namespace

bool CReplayEngine::replayFilterPacket(uint8_t type, uint8_t subcode) {
  if (type != kPktFilterRecord) {
    const uint32_t words = uint32_t(type - kPktFilter0) * 2;
    std::array<uint8_t, 28> body{};
    if (!read(body.data(), 4 + 4 * words)) return false;
    const int32_t layer = readLE16(body.data());
    const SFilterEntry* entry = filterForPacket(type, subcode);
    if (entry == nullptr) return fail(ReplayError::UnknownPacket);
    const bool clearProtect = entry->takesProtect && recorderVersion() < kProtectVersion;
    if (subcode == kLumaToAlphaStroke) {
      // The colour comes from the replayed pen settings.
      const SFilterEntry* luma = filterForPacket(kPktFilter2, kLumaToAlpha);
      std::array<uint8_t, 8> p{};
      writeLE32(p.data(), stroke_->color);
      writeLE32(p.data() + 4, 1);
      const FilterResult r = runFilter(doc_, flow_, layer, *luma, p.data(), 8, nullptr, false);
      addRefresh(kRefreshLayout | kRefreshNavigator);
      return r == FilterResult::Done || fail(errorOf(r));
    }
    // A filter that takes the argument word (+2) gets it as a word of its
    // own before the others; the rest read from +4 as they always did.
    const bool takesArgument = entry->bytes == 4 * words + 4;
    std::array<uint8_t, 32> block{};
    const uint8_t* params = body.data() + 4;
    uint32_t paramBytes = 4 * words;
    if (takesArgument) {
      block[0] = body[2];
      block[1] = body[3];
      std::copy(body.begin() + 4, body.begin() + 4 + 4 * words, block.begin() + 4);
      params = block.data();
      paramBytes += 4;
    }
    const FilterResult r = runFilter(doc_, flow_, layer, *entry, params, paramBytes, nullptr, false, clearProtect);
    addRefresh(kRefreshLayout | kRefreshNavigator);
    return r == FilterResult::Done || fail(errorOf(r));
  }

  uint8_t header[kEventRecordBytes];
  if (!read(header, kEventRecordBytes)) return false;
  const int32_t layer = readLE16(header);
  const uint16_t length = readLE16(header + 4);
  const uint16_t count = readLE16(header + 6);
  const uint16_t elementSize = readLE16(header + 8);
  const SFilterEntry* entry = filterForPacket(kPktFilterRecord, subcode);
  if (entry == nullptr) return fail(ReplayError::UnknownPacket);
  if (!recordMeetsRequirement(subcode, length, count, elementSize)) return fail(ReplayError::BadField);
  std::vector<uint8_t> data(length);
  if (!read(data.data(), length)) return false;
  if (subcode == kFltRecFloor) {
    // The textures taken from files came as the image slots; a plane
    // without one shows the reduced copy of the filter area.
    const SFltFloor floor = SFltFloor::read(data.data());
    const FilterResult r = recorderVersion() < kCurrentFloorVersion
                               ? replayLegacyFloor(doc_, flow_, layer, floor, imageSlot(1), imageSlot(2))
                               : replayFloor(doc_, flow_, layer, floor, imageSlot(1), imageSlot(2), false);
    freeImageSlots();
    addRefresh(kRefreshLayout | kRefreshNavigator);
    return r == FilterResult::Done || fail(errorOf(r));
  }
  if (entry->kernel == nullptr) return fail(ReplayError::Unsupported);
  addRefresh(kRefreshLayout | kRefreshNavigator);

  if (subcode == kFltRecGradientMap) {
    CFixedMemStream stream(data.data(), int64_t(data.size()));
    CColorSlotGroup stops(16);
    SGradRepeat repeat;
    if (readGradientChunk(stream, stops, repeat) != kRcOk) return fail(ReplayError::BadField);
    stops.normalize();
    SFltGradientMap rec;
    initGradientMapRecord(rec);
    rec.Gradient = &stops;
    rec.Repeat = repeat;
    rec.Reverse = header[22] != 0 ? 1 : 0;
    rec.KeepAlpha = header[23] != 0 ? 1 : 0;
    CFlt4Core core(doc_, flow_, false, entry->kernel, layer);
    if (!core.isValid() || !core.run(&rec, int32_t(SFltGradientMap::kSize))) return fail(ReplayError::OperationFailed);
    redrawAfterFilter(doc_, flow_, layer);
    return true;
  }
  SFltRecord rec;
  if (!initFltRecord(rec, count, elementSize)) return fail(ReplayError::BadField);
  std::copy(header + 18, header + 50, rec.Params.begin());
  rec.Extra = data.data();
  const FilterResult r = runFilter(doc_, flow_, layer, *entry, nullptr, 0, &rec, false);
  return r == FilterResult::Done || fail(errorOf(r));
}

}  // namespace pg
