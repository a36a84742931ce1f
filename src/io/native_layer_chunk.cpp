#include "io/native_layer_chunk.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/byte_cursor.h"
#include "core/chunk_head.h"
#include "core/limits.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "io/native_header.h"
#include "io/native_tile_blocks.h"
#include "platform/message_service.h"

namespace pg {

namespace {

constexpr uint16_t kLayerVisible = 0x1;
constexpr uint16_t kLayerProtectAlpha = 0x2;
constexpr uint16_t kLayerDissolve = 0x20;
constexpr uint32_t kLayerEdge = 32;
constexpr uint32_t kImageBackground = 0x00FFFFFF;

// The name as stored: at most 65,534 bytes, so that its length with the
// terminating zero fits the 16-bit field.
size_t storedNameBytes(const CLayerData& layer) { return std::min<size_t>(layer.name.size(), 65534); }

// The 80 bytes of a layer record "KLYR" as stored; the name follows.
struct SLayerWire {
  uint32_t tag = kTagLayer;
  uint32_t size = 0;
  uint32_t index = 0;
  uint16_t flags = 0;
  uint8_t blendMode = 0;
  uint8_t opacity = 0;
  uint32_t tileWidth = kLayerEdge, tileHeight = kLayerEdge;
  uint32_t columns = 0, rows = 0;
  uint32_t imageWidth = 0, imageHeight = 0;
  uint32_t offsetX = 0, offsetY = 0;
  uint32_t width = 0, height = 0;
  uint32_t background = kImageBackground;
  uint16_t nameBytes = 0;  // with the terminating zero
  uint16_t version = 0;    // 1 past normal blending, which older readers refuse
  uint8_t dissolveAmount = 0;
  uint32_t seed = 0;
};

void layerRecordFields(CByteCursor& c, SLayerWire& r) {
  c.field(r.tag).field(r.size).field(r.index).field(r.flags).field(r.blendMode).field(r.opacity);
  c.field(r.tileWidth).field(r.tileHeight).field(r.columns).field(r.rows).field(r.imageWidth).field(r.imageHeight);
  c.field(r.offsetX).field(r.offsetY).field(r.width).field(r.height).field(r.background);
  c.field(r.nameBytes).field(r.version).field(r.dissolveAmount).zeros(3).field(r.seed).zeros(8);
}

}  // namespace

uint64_t layerRecordBytes(const CLayerData& layer) {
  return uint64_t(kLayerRecordBytes) + paddedTo4(storedNameBytes(layer) + 1);
}

FileResult writeLayerRecord(CStream& stream, const CLayerData& layer, uint16_t extraFlags) {
  const size_t nameBytes = storedNameBytes(layer);
  std::vector<uint8_t> record(size_t(layerRecordBytes(layer)), 0);
  SLayerWire w;
  w.size = uint32_t(record.size() - kChunkHeadBytes);
  w.index = uint32_t(std::max(layer.index, 0));
  w.flags = kLayerAlwaysSet | extraFlags;
  if (layer.visible) w.flags |= kLayerVisible;
  if (layer.protectAlpha) w.flags |= kLayerProtectAlpha;
  if (layer.dissolve) w.flags |= kLayerDissolve;
  w.blendMode = layer.blendMode;
  w.opacity = layer.opacity;
  const CBlockVMTC* image = layer.image.get();
  w.columns = image ? uint32_t(image->columns()) : 0;
  w.rows = image ? uint32_t(image->rows()) : 0;
  w.imageWidth = uint32_t(layer.imageWidth());
  w.imageHeight = uint32_t(layer.imageHeight());
  w.offsetX = uint32_t(layer.offsetX);
  w.offsetY = uint32_t(layer.offsetY);
  w.width = uint32_t(layer.width);
  w.height = uint32_t(layer.height);
  w.nameBytes = uint16_t(nameBytes + 1);
  w.version = layer.blendMode <= lbmNormal ? 0 : 1;
  w.dissolveAmount = layer.dissolveAmount;
  w.seed = layer.randomState.Seed;
  if (!writeRecord(record.data(), kLayerRecordBytes, w, layerRecordFields)) return kRcShortWrite;
  std::memcpy(record.data() + kLayerRecordBytes, layer.name.data(), nameBytes);
  return stream.writeExact(record.data(), int64_t(record.size())) ? kRcOk : kRcShortWrite;
}

FileResult writeLayerChunks(CStream& stream, const CLayerData& layer) {
  if (!layer.hasImage() || layer.image->tileEdge() != int32_t(kLayerEdge)) return kRcTileFormat;
  try {
    if (const FileResult code = writeLayerRecord(stream, layer); code != kRcOk) return code;
  } catch (const std::bad_alloc&) {
    return kRcOutOfMemory;
  }
  return writeTileBlocks(stream, *layer.image, kLayerTileBlocks);
}

namespace {

// The record's fields that make the layer, checked before anything is made.
struct LayerRecord {
  uint32_t index;
  uint16_t flags;
  uint8_t blendMode;
  uint8_t opacity;
  int32_t imageWidth;
  int32_t imageHeight;
  uint32_t columns;
  uint32_t rows;
  int32_t offsetX;
  int32_t offsetY;
  int32_t width;
  int32_t height;
  uint8_t dissolveAmount;
  uint32_t seed;
};

// f holds the record from its head on.
[[nodiscard]] FileResult parseRecord(const uint8_t* f, LayerRecord& out) {
  SLayerWire r;
  if (!readRecord(f, kLayerRecordBytes, r, layerRecordFields)) return kRcShortRead;
  if (r.version >= 2) return kRcVersion;
  if (r.tileWidth != kLayerEdge || r.tileHeight != kLayerEdge) return kRcTileFormat;
  const uint32_t w = r.imageWidth;
  const uint32_t h = r.imageHeight;
  if (w < 1 || h < 1 || w > uint32_t(kMaxImageWidth) || h > uint32_t(kMaxImageHeight)) return kRcLayerCreate;
  // The grid the blocks are numbered over must be the image's.
  if (r.columns != (w + kLayerEdge - 1) / kLayerEdge || r.rows != (h + kLayerEdge - 1) / kLayerEdge)
    return kRcTileOutside;
  out.index = r.index;
  out.flags = r.flags;
  // A mode this system does not know is read as the nearest it knows.
  out.blendMode = uint8_t(std::min<uint32_t>(r.blendMode, kLayerBlendModeCount - 1));
  out.opacity = r.opacity;
  out.imageWidth = int32_t(w);
  out.imageHeight = int32_t(h);
  out.columns = r.columns;
  out.rows = r.rows;
  out.offsetX = clampStoredOffset(int32_t(r.offsetX));
  out.offsetY = clampStoredOffset(int32_t(r.offsetY));
  // The nominal size is kept as stored: a layer's image may be smaller than
  // it (a small new layer, a moved one), and the document read back must be
  // the one that was saved. A size no layer can have refuses the layer.
  if (r.width < 1 || r.height < 1 || r.width > uint32_t(kMaxImageWidth) || r.height > uint32_t(kMaxImageHeight))
    return kRcLayerCreate;
  out.width = int32_t(r.width);
  out.height = int32_t(r.height);
  out.dissolveAmount = r.dissolveAmount;
  out.seed = r.seed;
  return kRcOk;
}

// Reads the name and the tiles into the layer made for the record.
[[nodiscard]] FileResult fillLayer(CStream& stream, CLayerData& layer, const LayerRecord& rec, uint32_t size, IProgress& progress) {
  layer.offsetX = rec.offsetX;
  layer.offsetY = rec.offsetY;
  layer.width = rec.width;
  layer.height = rec.height;
  layer.protectAlpha = (rec.flags & kLayerProtectAlpha) != 0;
  if (rec.flags & kLayerAlwaysSet) {
    layer.dissolve = (rec.flags & kLayerDissolve) != 0;
    layer.dissolveAmount = rec.dissolveAmount;
    layer.seedRandom(rec.seed);
  }
  layer.setLinkLevel(0);
  const uint32_t nameBytes = size - kLayerRecordRest;
  if (const FileResult code = readCountedString(stream, nameBytes, layer.name, nameBytes); code != kRcOk) return code;
  progress.setText(formatRes(kResNativeLoadingText, {layer.name}));
  if (const FileResult code = readTileBlocks(stream, *layer.image, kLayerTileBlocks); code != kRcOk) return code;
  layer.image->compact();
  (void)layer.fitThumbnail();  // a thumbnail that fails stays stale
  (void)layer.updateThumbnail();  // as above
  return kRcOk;
}

}  // namespace

FileResult readLayerChunk(CStream& stream, CLayerMngr& layers, uint32_t size, IProgress& progress) {
  int32_t at = -1;
  FileResult code = kRcOk;
  try {
    uint8_t record[kLayerRecordBytes] = {};
    LayerRecord rec{};
    if (size < kLayerRecordRest)
      code = kRcHeaderSize;
    else if (!stream.readExact(record + kChunkHeadBytes, kLayerRecordRest))
      code = kRcShortRead;
    else
      code = parseRecord(record, rec);
    if (code == kRcOk) {
      // A full list is refused here, before the list itself would warn; so
      // is an image whose tiles the rest of the file cannot hold.
      if (!tileBlocksCanFollow(stream, size - kLayerRecordRest, rec.columns, rec.rows)) {
        code = kRcShortRead;
      } else if (!layers.canAddLayer()) {
        code = kRcLayerCreate;
      } else {
        const int32_t index = int32_t(std::min<uint32_t>(rec.index, uint32_t(layers.count())));
        at = layers.insertLayer(index, rec.imageWidth, rec.imageHeight, rec.blendMode, false, rec.opacity,
                                (rec.flags & 0x1) != 0);
        code = at < 0 ? kRcLayerCreate : fillLayer(stream, *layers.getLayer(at), rec, size, progress);
      }
    }
  } catch (const std::bad_alloc&) {
    code = kRcOutOfMemory;
  } catch (...) {
    code = kRcException;
  }
  // A layer that could not be read whole does not stay half-made.
  if (code != kRcOk && at >= 0) (void)layers.deleteLayer(at);  // at was inserted by this read
  progress.step(1);
  return code;
}

}  // namespace pg
