// Replay of region fills (type 13): the region the recording found (a
// packed byte grid) goes into the flow image's coverage, then the fill or
// selection ending of the operation runs on it, so that replay never has to
// find the region again.
#include <vector>

#include "brush/plot_callbacks.h"
#include "brush/stroke_settings.h"
#include "core/block_compress.h"
#include "core/limits.h"
#include "core/plane_ops.h"
#include "core/ring_buffers.h"
#include "document/color_range.h"
#include "document/flow_image.h"
#include "document/paper.h"
#include "document/paper_ops.h"
#include "record/packet_catalogue.h"
#include "replay/replay_engine.h"

namespace pg {

namespace {
constexpr uint8_t kColorRange = 32;
constexpr uint32_t kColorRangeSettingsBytes = 20;
}  // namespace

// The colour-range selection is computed again from its settings and picked
// colours, which the data block before the packet carries: its u32 length,
// the 20 bytes of settings, then 8 bytes per picked colour.
bool CReplayEngine::replayColorRange(int32_t layer, int32_t maskIndex) {
  if (!hasDataBlock_) return fail(ReplayError::BadField);
  const std::vector<uint8_t> block = std::move(dataBlock_);
  freeDataBlock();
  if (block.size() < 4 + kColorRangeSettingsBytes) return fail(ReplayError::BadField);
  const uint8_t* p = block.data() + 4;
  SColorRangeSettings settings;
  settings.count = readLE32(p);
  settings.source = readLE32(p + 4);
  settings.third = readLE32(p + 8);
  settings.fourth = readLE32(p + 12);
  settings.fifth = readLE32(p + 16);
  const uint64_t entryBytes = uint64_t(settings.count) * sizeof(SColorRangeEntry);
  if (entryBytes != block.size() - 4 - kColorRangeSettingsBytes) return fail(ReplayError::BadField);
  std::vector<SColorRangeEntry> entries(settings.count);
  for (uint32_t i = 0; i < settings.count; ++i) {
    const uint8_t* e = p + kColorRangeSettingsBytes + uint64_t(i) * sizeof(SColorRangeEntry);
    entries[i].color = readLE32(e);
    entries[i].add = e[4];
    entries[i].range = e[5];
  }
  return done(doc_.applyColorRangeSelection(flow_, layer, false, entries.data(), settings, maskIndex), 0);
}

bool CReplayEngine::replayFill(uint8_t subcode) {
  const bool wide = subcode == 2 || subcode == 3 || subcode == 5;
  if (!wide && subcode != 0 && subcode != 1 && subcode != 4 && subcode != 16 && subcode != 17 && subcode != 32)
    return fail(ReplayError::UnknownPacket);
  uint8_t b[kRegion72Header] = {};
  if (!read(b, wide ? kRegion72Header : kRegion54Header)) return false;
  const uint32_t at = wide ? kRegion72Bounds : kRegion54Bounds;
  const int32_t x = int32_t(readLE32(b + at));
  const int32_t y = int32_t(readLE32(b + at + 4));
  const int32_t w = int32_t(readLE32(b + at + 8));
  const int32_t h = int32_t(readLE32(b + at + 12));
  const uint32_t padded = readLE32(b + (wide ? kRegion72PackedEven : kRegion54PackedEven));
  const uint32_t unpacked = readLE32(b + (wide ? kRegion72Unpacked : kRegion54Unpacked));
  const uint32_t packed = readLE32(b + (wide ? kRegion72Packed : kRegion54Packed));
  // Every size comes from the stream: the grid stays within the largest
  // image and the packed data within what a recording carries.
  if (w <= 0 || h <= 0 || w > kMaxImageWidth || h > kMaxImageHeight || packed > padded ||
      padded > kRegionPackedMax || uint64_t(unpacked) > uint64_t(w) * uint64_t(h))
    return fail(ReplayError::BadField);
  std::vector<uint8_t> data(padded);
  if (!read(data.data(), padded)) return false;
  if (subcode == kColorRange) return replayColorRange(readLE16(b), readLE16(b + 2));
  SByteGrid grid;
  if (!byteGridSetSize(grid, w, h) || !expandExact(data.data(), packed, grid.Data.get(), unpacked))
    return fail(ReplayError::BadField);

  const bool text = subcode == 16 || subcode == 17;
  const int32_t layer = text ? doc_.currentLayerIndex() : readLE16(b);
  if (doc_.getLayer(layer) == nullptr) return fail(ReplayError::OperationFailed);
  doc_.loadFlowImage(flow_, layer, true);
  if (!flow_.coverage.IsAllocated()) return fail(ReplayError::OperationFailed);
  fill(flow_.coverage, 0);
  updatePlotCallbacks(*stroke_, &doc_);
  if (!byteGridToChannel(grid, flow_.coverage, TPoint{x, y})) return fail(ReplayError::BadField);

  const uint8_t combine = b[wide ? 37 : 21];
  const bool antiAlias = b[wide ? 39 : 23] != 0;
  SRegionFillSettings settings;
  settings.target = b[wide ? 38 : 22];
  settings.limit = readLE16(b + (wide ? 40 : 24));
  auto pointAt = [&](uint32_t o) { return TPoint{int32_t(readLE32(b + o)), int32_t(readLE32(b + o + 4))}; };
  bool ok = false;
  switch (subcode) {
    case 0:
    case 4:
      ok = doc_.fillRegionOnLayer(flow_, layer, pointAt(12), antiAlias, subcode == 4, *stroke_, settings, false);
      break;
    case 16:
    case 17:
      ok = replayTextPlacement(layer, subcode == 17, combine);
      break;
    case 1:
      ok = doc_.wandRegionToMask(flow_, layer, pointAt(12), combine, antiAlias, settings, false);
      break;
    // The wide form's geometry: the region's size, its offset, the seed.
    case 2:
    case 5: {
      const TPoint size = pointAt(4);
      ok = doc_.fillRegionOnLayerGrow(flow_, layer, pointAt(20), pointAt(12), SSize{size.X, size.Y}, antiAlias,
                                      subcode == 5, *stroke_, settings, false);
      break;
    }
    default: {
      const TPoint size = pointAt(4);
      ok = doc_.wandRegionToMaskEx(flow_, layer, pointAt(20), pointAt(12), SSize{size.X, size.Y}, combine, antiAlias,
                                   settings, false);
      break;
    }
  }
  return done(ok, kRefreshLayout | kRefreshNavigator);
}

}  // namespace pg
