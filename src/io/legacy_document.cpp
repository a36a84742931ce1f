#include "io/legacy_document.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/byte_cursor.h"
#include "core/limits.h"
#include "core/plane_ops.h"
#include "core/planes.h"
#include "document/flow_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/paper.h"
#include "platform/string_table.h"
#include "record/legacy_event_packet.h"

namespace pg {

namespace {

constexpr uint32_t kResUnknownFormat = 67800;
constexpr uint32_t kResNotImplemented = 67801;
constexpr uint32_t kResEventsBroken = 67802;
constexpr uint32_t kResFileEndsEarly = 67803;
constexpr int32_t kMaxSide = 10000;
constexpr uint8_t kRunLimit = 125;  // bytes below introduce a run
constexpr uint64_t kLongestRun = kRunLimit - 1;
constexpr uint64_t kRunBytes = 4;  // the run byte and its pixel

[[nodiscard]] SLegacyImportResult outcome(LegacyImport status, uint32_t messageId = 0) {
  SLegacyImportResult r;
  r.status = status;
  if (messageId != 0) r.message = resString(messageId);
  return r;
}

// The list read from the file takes the document's place; the document is
// set up as the header describes it. False when the document could not take
// the size (memory): its layers are then left as they were.
[[nodiscard]] bool install(TPaper& doc, std::unique_ptr<CLayerMngr>& layers, const SLegacyDocHeader& h, const std::string& name) {
  doc.setName(name);
  if (!doc.setSize(nullptr, h.width, h.height)) return false;
  doc.setPaperColorValue(PaperColor::fromPixel(h.paperColor));
  (void)doc.undoExchangeLayerList(layers);  // the list was made by the caller: never null
  if (TFlowImage* flow = doc.flowImage()) doc.loadFlowImage(*flow, doc.layers()->current(), true);
  doc.markReady();
  return true;
}

// The plane's pixels into the layer image of its size, a tile at a time: a
// tile whose pixels are all one colour (most of a picture stored in long
// runs) stays uniform and takes no memory, the others are committed and
// written once. False when memory ran out.
[[nodiscard]] bool placePlane(const TMTC& plane, CBlockVMTC& image) {
  if (image.width() != plane.Width || image.height() != plane.Height) return false;
  const int32_t edge = image.tileEdge();
  for (int32_t row = 0; row < image.rows(); ++row)
    for (int32_t col = 0; col < image.columns(); ++col) {
      const int32_t x0 = col * edge, y0 = row * edge;
      const int32_t w = std::min(edge, plane.Width - x0), h = std::min(edge, plane.Height - y0);
      const uint32_t first = *plane.pixelAt(x0, y0);
      bool uniform = true;
      for (int32_t y = 0; y < h && uniform; ++y) {
        const uint32_t* p = plane.pixelAt(x0, y0 + y);
        uniform = std::all_of(p, p + w, [first](uint32_t v) { return v == first; });
      }
      STileRec& t = *image.tileAtIndex(col, row, false);  // inside the grid
      if (uniform) {
        (void)image.decommitTile(t);  // freeing cannot fail
        t.uniform = first;
        continue;
      }
      // Every byte is written once: the pixels, and beyond the image (a part
      // tile) the colour the tile had, as a commit would have filled it.
      const uint32_t outside = t.uniform;
      if (!image.commitTileForOverwrite(t)) return false;
      uint32_t* memory = image.tilePixels(t);
      for (int32_t y = 0; y < edge; ++y) {
        uint32_t* row = memory + size_t(y) * size_t(edge);
        const int32_t inside = y < h ? w : 0;
        if (inside > 0) std::memcpy(row, plane.pixelAt(x0, y0 + y), size_t(inside) * 4);
        std::fill(row + inside, row + edge, outside);
      }
    }
  return true;
}

}  // namespace

void legacyDocHeaderFields(CByteCursor& c, SLegacyDocHeader& h) {
  c.bytes(reinterpret_cast<uint8_t*>(h.magic), 4)
      .field(h.storage)
      .field(h.width)
      .field(h.height)
      .field(h.paperColor)
      .field(h.lastLayer)
      .field(h.currentLayer)
      .field(h.legacyFlag)
      .zeros(1)
      .field(h.eventBytes)
      .zeros(4);
}

void legacyDocLayerFields(CByteCursor& c, SLegacyDocLayer& l) { c.field(l.kind).field(l.opacity).field(l.visible).zeros(5); }

uint64_t leastLegacyPixelBytes(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  const uint64_t pixels = uint64_t(width) * uint64_t(height);
  return (pixels + kLongestRun - 1) / kLongestRun * kRunBytes;
}

size_t decodeLegacyPixels(const uint8_t* data, size_t size, TMTC& plane) {
  if (!plane.IsAllocated() || plane.Width <= 0 || plane.Height <= 0) return 0;
  const size_t w = size_t(plane.Width);
  const size_t total = w * size_t(plane.Height);
  size_t k = 0, at = 0, x = 0;
  int32_t y = 0;
  uint32_t* row = plane.pixelAt(0, 0);
  // Pixel k is (k % width, k / width): the row is followed, not divided out.
  const auto put = [&](const uint8_t* rgb) {
    row[x] = uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
    ++k;
    if (++x == w) {
      x = 0;
      if (++y < plane.Height) row = plane.pixelAt(0, y);
    }
  };
  while (k < total && at < size) {
    const uint8_t b = data[at++];
    if (b < kRunLimit) {
      if (size - at < 3) break;
      const uint8_t* rgb = data + at;
      at += 3;
      for (uint32_t n = 0; n < b && k < total; ++n) put(rgb);
    } else {
      for (uint32_t n = 0; n < uint32_t(255 - b) && k < total && size - at >= 3; ++n, at += 3) put(data + at);
    }
  }
  return k;
}

SLegacyImportResult importLegacyBytes(const uint8_t* data, size_t size, const std::string& name, TPaper& doc,
                                      TEventPacket& packet) {
  SLegacyDocHeader h;
  if (size >= 4 && std::memcmp(data, kLegacyDocumentMagicV1, 4) == 0)
    return outcome(LegacyImport::FirstVariant, kResNotImplemented);
  if (!readRecord(data, size, h, legacyDocHeaderFields) || std::memcmp(h.magic, kLegacyDocumentMagic, 4) != 0)
    return outcome(LegacyImport::UnknownFormat, kResUnknownFormat);
  if (h.width < 1 || h.width > kMaxSide || h.height < 1 || h.height > kMaxSide)
    return outcome(LegacyImport::BadSize, kResUnknownFormat);

  SLegacyImportResult result = outcome(h.storage == 0 ? LegacyImport::Layers : LegacyImport::NoLayers);
  auto layers = std::make_unique<CLayerMngr>(24);
  layers->setDocumentSize(h.width, h.height);
  size_t at = kLegacyDocHeaderBytes;
  bool cut = false;
  if (h.storage == 0) {
    // One plane for every layer, as the format was written: a layer whose
    // pixels end early keeps what the plane held. A layer whose bytes could
    // not fill the image even in the longest runs does not carry its pixels:
    // the first one refuses the file before the plane and the document are
    // made at the stored size, a later one ends the layers there.
    const uint64_t least = leastLegacyPixelBytes(h.width, h.height);
    TMTC plane;
    for (int32_t i = 0; i <= int32_t(h.lastLayer) && !cut; ++i) {
      SLegacyDocLayer rec;
      uint32_t length = 0;
      CByteCursor c = CByteCursor::reading(data + at, size - at);
      legacyDocLayerFields(c, rec);
      c.field(length);
      const size_t held = c.ok() ? std::min<size_t>(length, size - at - c.position()) : 0;
      if (held < least) {
        if (i == 0) return outcome(LegacyImport::BadSize, kResFileEndsEarly);
        cut = true;
        break;
      }
      if (i == 0) {
        if (!plane.Resize(h.width, h.height)) return outcome(LegacyImport::Unreadable);
        fill(plane, 0);
      }
      at += c.position();
      cut = held < length;
      (void)decodeLegacyPixels(data + at, held, plane);  // a short packet leaves the rest of the plane as filled above
      at += held;
      // A kind this program does not know is laid in the normal mode.
      const int32_t mode = rec.kind < kBlendModeCount ? int32_t{rec.kind} : int32_t{lbmNormal};
      const int32_t index = layers->insertLayer(i, h.width, h.height, mode, false, rec.opacity, rec.visible != 0);
      CLayerData* layer = layers->getLayer(index);
      if (layer == nullptr) return outcome(LegacyImport::Unreadable);
      layers->setCurrent(index);
      // The format stores no names: the layers are numbered from 1.
      (void)layers->setDefaultName(index, 1);  // the index was just inserted
      flipVertical(plane);
      if (!placePlane(plane, *layer->image)) return outcome(LegacyImport::Unreadable);
      if (rec.kind < 3) layer->setAlphaAll(255);
      (void)layer->fitThumbnail();  // a thumbnail that fails stays stale
      (void)layer->updateThumbnail();  // as above
    }
  }
  if (layers->count() == 0) {
    // Nothing could be read: the document keeps one white layer.
    const int32_t index = layers->insertLayer(0, h.width, h.height, lbmNormal, false, 255, true);
    (void)layers->setDefaultName(index, 1);  // a failed insert (-1) names nothing and is found below
    if (CLayerData* layer = layers->getLayer(index)) {
      (void)layer->fitThumbnail();  // a thumbnail that fails stays stale
      (void)layer->updateThumbnail();  // as above
    }
  }
  layers->setCurrent(std::min<int32_t>(h.currentLayer, layers->lastIndex()));
  if (!install(doc, layers, h, name)) return outcome(LegacyImport::Unreadable);

  if (cut) {
    result.status = LegacyImport::Broken;
    result.message = resString(kResFileEndsEarly);
    packet.clear();
    return result;
  }
  if (h.eventBytes != 0) {
    SLegacyStreamInfo info;
    if (h.eventBytes > size - at || !packet.adopt(data + at, h.eventBytes, info)) {
      result.eventsRefused = true;
      result.message = resString(kResEventsBroken);
      packet.clear();
    }
  }
  return result;
}

SLegacyImportResult importLegacyDocument(const std::string& path, TPaper& doc, TEventPacket& packet) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return outcome(LegacyImport::Unreadable);
  const std::streamoff length = in.tellg();
  if (length < 0 || uint64_t(length) > kLegacyDocumentMax) return outcome(LegacyImport::Unreadable);
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(size_t(length));
  } catch (const std::bad_alloc&) {
    return outcome(LegacyImport::Unreadable);
  }
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), length)) return outcome(LegacyImport::Unreadable);
  std::string name = path;
  if (const size_t slash = name.find_last_of('/'); slash != std::string::npos) name = name.substr(slash + 1);
  return importLegacyBytes(bytes.data(), bytes.size(), name, doc, packet);
}

}  // namespace pg
