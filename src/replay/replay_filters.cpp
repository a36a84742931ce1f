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
#include "record/packet_bodies.h"
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

}  // namespace

// The body of a filter with 0, 2, 4 or 6 parameter words, by its form.
template <int N>
bool readFilterBody(CReplayEngine& e, const SPacketRow& row, SFilterBody<6>& out) {
  SFilterBody<N> b;
  if (!e.readBody(row, b)) return false;
  out.layer = b.layer;
  out.argument = b.argument;
  out.values = b.values;
  return true;
}

bool CReplayEngine::replayFilterPacket(const SPacketRow& row) {
  const uint8_t type = row.type;
  const uint8_t subcode = row.subcode;
  if (type != kPktFilterRecord) {
    const uint32_t words = uint32_t(type - kPktFilter0) * 2;
    SFilterBody<6> body;
    const bool readOk = words == 0   ? readFilterBody<0>(*this, row, body)
                        : words == 2 ? readFilterBody<2>(*this, row, body)
                        : words == 4 ? readFilterBody<4>(*this, row, body)
                                     : readFilterBody<6>(*this, row, body);
    if (!readOk) return false;
    const int32_t layer = body.layer;
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
      return r == FilterResult::Done || fail(ReplayError::OperationFailed);
    }
    // The kernel's parameters: the words in order; a filter that takes the
    // argument word gets it as a word of its own before the others.
    const bool takesArgument = entry->bytes == 4 * words + 4;
    std::array<uint8_t, 32> params{};
    CByteCursor c = CByteCursor::writing(params.data(), params.size());
    if (takesArgument) {
      uint32_t argument = body.argument;
      c.field(argument);
    }
    for (uint32_t i = 0; i < words; ++i) c.field(body.values[i]);
    const FilterResult r =
        runFilter(doc_, flow_, layer, *entry, params.data(), uint32_t(c.position()), nullptr, false, clearProtect);
    addRefresh(kRefreshLayout | kRefreshNavigator);
    return r == FilterResult::Done || fail(ReplayError::OperationFailed);
  }

  SEventRecordBody record;
  if (!readBody(row, record)) return false;
  const SEventRecord& header = record.bytes;
  const int32_t layer = eventRecordLayer(header);
  const uint16_t length = eventRecordDataLength(header);
  const uint16_t count = eventRecordCount(header);
  const uint16_t elementSize = eventRecordElementSize(header);
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
    return r == FilterResult::Done || fail(ReplayError::OperationFailed);
  }
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
    rec.Reverse = header[kEventRecordReverse] != 0 ? 1 : 0;
    rec.KeepAlpha = header[kEventRecordKeepAlpha] != 0 ? 1 : 0;
    CFlt4Core core(doc_, flow_, false, entry->kernel, layer);
    if (!core.isValid() || !core.run(&rec, int32_t(SFltGradientMap::kSize))) return fail(ReplayError::OperationFailed);
    redrawAfterFilter(doc_, flow_, layer);
    return true;
  }
  SFltRecord rec;
  if (!initFltRecord(rec, count, elementSize)) return fail(ReplayError::BadField);
  std::copy(header.begin() + kEventRecordFilterFields, header.end(), rec.Params.begin());
  rec.Extra = data.data();
  const FilterResult r = runFilter(doc_, flow_, layer, *entry, nullptr, 0, &rec, false);
  return r == FilterResult::Done || fail(ReplayError::OperationFailed);
}

}  // namespace pg
