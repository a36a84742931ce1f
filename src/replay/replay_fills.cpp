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
#include "record/packet_bodies.h"
#include "record/packet_catalogue.h"
#include "replay/replay_engine.h"

namespace pg {

namespace {
constexpr uint8_t kColorRange = 32;
}  // namespace

// The colour-range selection is computed again from its settings and picked
// colours, which the data block before the packet carries: its u32 length,
// the 20 bytes of settings, then 8 bytes per picked colour.
bool CReplayEngine::replayColorRange(int32_t layer, int32_t maskIndex) {
  if (!hasDataBlock_) return fail(ReplayError::BadField);
  const std::vector<uint8_t> block = std::move(dataBlock_);
  freeDataBlock();
  // The block keeps its u32 length before the settings.
  constexpr size_t kLength = 4;
  SColorRangeHead head;
  if (block.size() < kLength + kColorRangeHeadBytes ||
      !readRecord(block.data() + kLength, kColorRangeHeadBytes, head, SColorRangeHead::fields))
    return fail(ReplayError::BadField);
  const uint64_t entryBytes = uint64_t(head.count) * kColorRangePickBytes;
  if (entryBytes != block.size() - kLength - kColorRangeHeadBytes) return fail(ReplayError::BadField);
  SColorRangeSettings settings;
  settings.count = head.count;
  settings.source = head.source;
  settings.third = head.third;
  settings.fourth = head.fourth;
  settings.fifth = head.fifth;
  std::vector<SColorRangeEntry> entries(settings.count);
  CByteCursor c = CByteCursor::reading(block.data() + kLength + kColorRangeHeadBytes, size_t(entryBytes));
  for (SColorRangeEntry& entry : entries) {
    SColorRangePick pick;
    SColorRangePick::fields(c, pick);
    entry.color = pick.color;
    entry.add = pick.add;
    entry.range = pick.range;
  }
  if (!c.ok()) return fail(ReplayError::BadField);
  return done(doc_.applyColorRangeSelection(flow_, layer, false, entries.data(), settings, maskIndex), 0);
}

bool CReplayEngine::replayFill(const SPacketRow& row) {
  const uint8_t subcode = row.subcode;
  SRegionBody b;
  const bool readOk = row.form == BodyForm::Region54 ? readBody(row, static_cast<SRegion54Body&>(b))
                                                     : readBody(row, static_cast<SRegion72Body&>(b));
  if (!readOk) return false;
  // Every size comes from the stream: the grid stays within the largest
  // image and the packed data within what a recording carries.
  if (b.width <= 0 || b.height <= 0 || b.width > kMaxImageWidth || b.height > kMaxImageHeight ||
      b.packed > b.packedEven || b.packedEven > kRegionPackedMax ||
      uint64_t(b.unpacked) > uint64_t(b.width) * uint64_t(b.height))
    return fail(ReplayError::BadField);
  std::vector<uint8_t> data(b.packedEven);
  if (!read(data.data(), b.packedEven)) return false;
  if (subcode == kColorRange) return replayColorRange(b.target, b.argument);
  SByteGrid grid;
  if (!byteGridSetSize(grid, b.width, b.height) || !expandExact(data.data(), b.packed, grid.Data.get(), b.unpacked))
    return fail(ReplayError::BadField);

  const bool text = subcode == 16 || subcode == 17;
  const int32_t layer = text ? doc_.currentLayerIndex() : int32_t(b.target);
  if (doc_.getLayer(layer) == nullptr) return fail(ReplayError::OperationFailed);
  // The long form's region (the document, for a fill of what the picture
  // shows) may be larger than the layer: the flow planes take it whole, as
  // they did when it was found.
  const bool longForm = row.form == BodyForm::Region72;
  const SSize regionSize{b.points[0].x, b.points[0].y};
  if (longForm && regionSize.W > 0 && regionSize.H > 0 && planeSizeAllowed(regionSize.W, regionSize.H) &&
      !flow_.growTo(regionSize.W, regionSize.H))
    return fail(ReplayError::OperationFailed);
  doc_.loadFlowImage(flow_, layer, true);
  if (!flow_.coverage.IsAllocated()) return fail(ReplayError::OperationFailed);
  fill(flow_.coverage, 0);
  updatePlotCallbacks(doc_.plotState(), *stroke_, &doc_);
  if (!byteGridToChannel(grid, flow_.coverage, TPoint{b.x, b.y})) return fail(ReplayError::BadField);

  const uint8_t combine = b.combine;
  const bool antiAlias = b.antiAlias != 0;
  SRegionFillSettings settings;
  settings.target = b.targetByte;
  settings.limit = b.limit;
  auto pointAt = [&](size_t i) { return TPoint{b.points[i].x, b.points[i].y}; };
  bool ok = false;
  switch (subcode) {
    case 0:
    case 4:
      ok = doc_.fillRegionOnLayer(flow_, layer, pointAt(1), antiAlias, subcode == 4, *stroke_, settings, false);
      break;
    case 16:
    case 17:
      ok = replayTextPlacement(layer, subcode == 17, combine);
      break;
    case 1:
      ok = doc_.wandRegionToMask(flow_, layer, pointAt(1), combine, antiAlias, settings, false);
      break;
    // The long form's geometry: the region's size, its offset, the seed.
    case 2:
    case 5: {
      const TPoint size = pointAt(0);
      ok = doc_.fillRegionOnLayerGrow(flow_, layer, pointAt(2), pointAt(1), SSize{size.X, size.Y}, antiAlias,
                                      subcode == 5, *stroke_, settings, false);
      break;
    }
    default: {
      const TPoint size = pointAt(0);
      ok = doc_.wandRegionToMaskEx(flow_, layer, pointAt(2), pointAt(1), SSize{size.X, size.Y}, combine, antiAlias,
                                   settings, false);
      break;
    }
  }
  return done(ok, kRefreshLayout | kRefreshNavigator);
}

}  // namespace pg
