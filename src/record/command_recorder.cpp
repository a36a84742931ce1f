#include "record/command_recorder.h"

#include <algorithm>
#include <ctime>
#include <exception>
#include <initializer_list>
#include <vector>

#include "core/ring_buffers.h"
#include "record/event_store.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"
#include "record/state_recorder.h"

namespace pg {

namespace {

// A fixed body under construction; unused bytes stay zero.
class Body {
 public:
  void u8(size_t at, uint32_t v) { b_[at] = uint8_t(v); }
  void u16(size_t at, uint32_t v) { writeLE16(&b_[at], uint16_t(v)); }
  void u32(size_t at, uint32_t v) { writeLE32(&b_[at], v); }
  void i32(size_t at, int32_t v) { writeLE32(&b_[at], uint32_t(v)); }
  void point(size_t at, TPoint p) {
    i32(at, p.X);
    i32(at + 4, p.Y);
  }
  void point(size_t at, const TPointF* p) {
    if (p == nullptr) return;
    writeF32(&b_[at], p->X);
    writeF32(&b_[at + 4], p->Y);
  }
  void rect(size_t at, const SRectXYWH& r) {
    i32(at, r.X);
    i32(at + 4, r.Y);
    i32(at + 8, r.Width);
    i32(at + 12, r.Height);
  }
  const uint8_t* data() const { return b_.data(); }
  uint8_t* data() { return b_.data(); }

 private:
  std::array<uint8_t, 96> b_{};
};

bool inList(uint8_t subcode, std::initializer_list<int> list) {
  return std::find(list.begin(), list.end(), int(subcode)) != list.end();
}

// A region cut out of a channel and packed for a fill packet.
struct SPackedRegion {
  SRectXYWH rect;
  uint32_t unpacked = 0;
  uint32_t packed = 0;
  std::vector<uint8_t> data;  // padded to even
};

bool packRegion(const TChannel& channel, const SRectXYWH& bounds, SPackedRegion& out) {
  out.rect = bounds;
  if (!channel.clipRectWH(out.rect)) return false;
  SByteGrid grid;
  if (!byteGridFromChannel(grid, channel, out.rect)) return false;
  const int64_t bytes = byteGridByteSize(grid);
  if (bytes <= 0 || bytes > int64_t(UINT32_MAX)) return false;
  out.unpacked = uint32_t(bytes);
  return packForPacket(grid.Data.get(), uint64_t(bytes), out.data, out.packed) &&
         out.data.size() <= kRegionPackedMax;
}

// The f32 pairs of a point list.
std::vector<uint8_t> pointBytes(const TPointF* points, int32_t count) {
  std::vector<uint8_t> out(size_t(count) * 8);
  for (int32_t i = 0; i < count; ++i) {
    writeF32(&out[size_t(i) * 8], points[i].X);
    writeF32(&out[size_t(i) * 8 + 4], points[i].Y);
  }
  return out;
}

}  // namespace

void systemTimeUtc(std::chrono::system_clock::time_point when, uint8_t* out16) {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(when.time_since_epoch()).count();
  int64_t seconds = ms / 1000;
  int64_t millis = ms % 1000;
  if (millis < 0) {
    millis += 1000;
    --seconds;
  }
  const std::time_t t = std::time_t(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  const uint16_t fields[8] = {uint16_t(tm.tm_year + 1900), uint16_t(tm.tm_mon + 1), uint16_t(tm.tm_wday),
                              uint16_t(tm.tm_mday),        uint16_t(tm.tm_hour),    uint16_t(tm.tm_min),
                              uint16_t(tm.tm_sec),         uint16_t(millis)};
  for (int i = 0; i < 8; ++i) writeLE16(out16 + 2 * i, fields[i]);
}

CCommandRecorder::CCommandRecorder(CEventMngr& store, CStateRecorder& state, const IDocStateSource& doc)
    : store_(store), state_(state), doc_(doc), clock_([] { return std::chrono::system_clock::now(); }) {}

// ---- writing ----------------------------------------------------------------------

bool CCommandRecorder::writeCommand(uint8_t type, uint8_t subcode, const uint8_t* body, uint32_t size) {
  return writeCommandData(type, subcode, body, size, nullptr, 0);
}

bool CCommandRecorder::writeCommandData(uint8_t type, uint8_t subcode, const uint8_t* body, uint32_t size,
                                        const uint8_t* data, uint32_t dataSize) {
  if (dataSize > 0 && data == nullptr) {
    store_.rollbackOpenEvent();
    return false;
  }
  if (!store_.writePacketOpen(type, subcode, dataSize, data, size, body)) return false;
  if (store_.commit()) return true;
  // The index could not take the event: nothing of it may stay open for
  // the next command to commit.
  store_.rollbackOpenEvent();
  return false;
}

void CCommandRecorder::layerStructureChanged() { store_.clearCached(kStateLayerMask); }

bool CCommandRecorder::writeNamed(uint8_t type, uint8_t subcode, int32_t index, std::string_view name) {
  try {
    const std::vector<uint8_t> text = packetString(name);
    std::vector<uint8_t> body(4 + text.size());
    writeLE16(body.data(), uint16_t(index));
    writeLE16(body.data() + 2, uint16_t(text.size()));
    std::copy(text.begin(), text.end(), body.begin() + 4);
    return writeCommand(type, subcode, body.data(), uint32_t(body.size()));
  } catch (const std::exception&) {
    store_.rollbackOpenEvent();
    return false;
  }
}

bool CCommandRecorder::writePoints(uint8_t type, uint8_t subcode, const uint8_t* head, uint32_t headSize,
                                   const TPointF* points, int32_t count) {
  try {
    const std::vector<uint8_t> data = pointBytes(points, count);
    return writeCommandData(type, subcode, head, headSize, data.data(), uint32_t(data.size()));
  } catch (const std::exception&) {
    store_.rollbackOpenEvent();
    return false;
  }
}

// ---- document events --------------------------------------------------------------

bool CCommandRecorder::recordReset() {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  uint8_t time[16];
  systemTimeUtc(clock_(), time);
  if (!store_.writeDataPacket(kDataStartTime, sizeof time, time)) return false;
  return writeCommand(kPktDocument, kDocReset, nullptr, 0);
}

bool CCommandRecorder::recordImageCreate(int32_t width, int32_t height, bool transparent, bool canvasColourOff,
                                         int32_t resolution, int32_t layerHeight, int32_t layerWidth) {
  if (!store_.isRecording()) return true;
  if (!state_.recordVersion()) return false;
  Body b;
  b.i32(0, width);
  b.i32(4, height);
  b.i32(8, layerWidth);
  b.i32(12, layerHeight);
  b.i32(16, resolution);
  b.u8(20, canvasColourOff ? 0 : 255);
  b.u8(21, transparent ? 0 : 255);
  return writeCommand(kPktDocument, kDocImageCreate, b.data(), 28);
}

bool CCommandRecorder::recordPaperColor(uint32_t pixel) {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u32(0, pixel & 0x00FFFFFFu);
  return writeCommand(kPktDocument, kDocPaperColor, b.data(), 4);
}

bool CCommandRecorder::recordCanvasResize(int32_t width, int32_t height, uint8_t anchorLow, uint8_t anchorHigh) {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u8(0, anchorLow);
  b.u8(1, anchorHigh);
  b.i32(2, width);
  b.i32(6, height);
  return writeCommand(kPktDocument, kDocCanvasResize, b.data(), 10);
}

bool CCommandRecorder::recordImageScale(int32_t width, int32_t height, uint8_t subcode, uint16_t mode) {
  if (subcode != kDocLayersZoom && subcode != kDocImageScale) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(0, mode);
  b.i32(2, width);
  b.i32(6, height);
  return writeCommand(kPktDocument, subcode, b.data(), 10);
}

bool CCommandRecorder::recordImageCrop(uint16_t first, const TRect& rect, uint16_t second) {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(0, first);
  b.u16(2, second);
  b.i32(4, rect.Left);
  b.i32(8, rect.Top);
  b.i32(12, rect.Right);
  b.i32(16, rect.Bottom);
  return writeCommand(kPktDocument, kDocCrop, b.data(), 20);
}

bool CCommandRecorder::recordDocumentEvent(uint8_t subcode) {
  // 32-35 (all layers) are the in-place transforms that the document's
  // all-layers variant records; the catalogue and replay know them.
  if (!inList(subcode, {4, 5, 16, 17, 18, 19, 32, 33, 34, 35})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  return writeCommand(kPktDocument, subcode, nullptr, 0);
}

bool CCommandRecorder::recordMergeVisible(uint8_t subcode, uint16_t first, uint16_t second, uint32_t third,
                                          uint32_t fourth) {
  if (subcode != kDocMergeVisible) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(0, first);
  b.u16(2, second);
  b.u32(4, third);
  b.u32(8, fourth);
  return writeCommand(kPktDocument, subcode, b.data(), 12);
}

bool CCommandRecorder::recordDocumentEventValue(int32_t layer, uint16_t value, uint8_t subcode) {
  if (!inList(subcode, {kDocShowAllLayers, kDocShowOnlyLayer, kDocFlipVisibility})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(0, uint32_t(layer));
  b.u16(2, value);
  if (!writeCommand(kPktDocument, subcode, b.data(), 4)) return false;
  layerStructureChanged();
  return true;
}

// ---- layer commands ---------------------------------------------------------------

bool CCommandRecorder::recordLayerNewEx(int32_t index, uint32_t first, uint32_t second, uint8_t third,
                                        uint8_t fourth, bool flag0, bool flag1) {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(0, uint32_t(index));
  b.u32(2, first);
  b.u32(6, second);
  b.u8(10, third);
  b.u8(11, fourth);
  b.u16(12, (flag0 ? 1u : 0u) | (flag1 ? 2u : 0u));
  if (!writeCommand(kPktLayer, 0, b.data(), 14)) return false;
  layerStructureChanged();
  return true;
}

bool CCommandRecorder::recordLayerNew(int32_t index, uint32_t first, uint32_t second, uint8_t third, uint8_t fourth,
                                      bool flag0, bool flag1, uint32_t fifth, std::string_view name) {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  try {
    const std::vector<uint8_t> text = packetString(name);
    std::vector<uint8_t> body(42 + text.size(), 0);
    uint8_t* p = body.data();
    writeLE16(p, uint16_t(index));
    writeLE32(p + 2, first);
    writeLE32(p + 6, second);
    p[18] = third;
    p[19] = fourth;
    writeLE16(p + 20, uint16_t((flag0 ? 1 : 0) | (flag1 ? 2 : 0)));
    writeLE32(p + 22, fifth);
    writeLE16(p + 40, uint16_t(text.size()));
    std::copy(text.begin(), text.end(), body.begin() + 42);
    if (!writeCommand(kPktLayer, 11, p, uint32_t(body.size()))) return false;
  } catch (const std::exception&) {
    store_.rollbackOpenEvent();
    return false;
  }
  layerStructureChanged();
  return true;
}

bool CCommandRecorder::recordLayerCommand(int32_t index, uint16_t argument, uint8_t subcode) {
  if (!inList(subcode, {1, 2, 3, 4, 5, 8, 9, 24, 25, 32, 33, 34, 35, 36, 37})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(0, uint32_t(index));
  b.u16(2, argument);
  if (!writeCommand(kPktLayer, subcode, b.data(), 4)) return false;
  if (inList(subcode, {1, 3, 4, 5})) layerStructureChanged();
  return true;
}

bool CCommandRecorder::recordLayerCommandEx(int32_t index, uint16_t argument, uint8_t subcode, uint32_t first,
                                            uint32_t second) {
  if (!inList(subcode, {10, 38, 39, 48, 49, 50, 51})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(0, uint32_t(index));
  b.u16(2, argument);
  b.u32(4, first);
  b.u32(8, second);
  if (!writeCommand(kPktLayer, subcode, b.data(), 12)) return false;
  if (subcode == 10) layerStructureChanged();
  return true;
}

namespace {

// The 6-byte attribute record of a layer.
void attributeRecord(Body& b, int32_t index, const SLayerAttrValues& a) {
  b.u16(0, uint32_t(index));
  b.u8(2, a.blendMode);
  b.u8(3, a.opacity);
  b.u16(4, (a.visible ? 1u : 0u) | (a.protectAlpha ? 2u : 0u) | (a.effect ? 16u : 0u));
}

}  // namespace

bool CCommandRecorder::recordLayerAttribute(int32_t index, uint32_t value, uint8_t subcode) {
  if (!inList(subcode, {16, 17, 18, 20})) return false;
  if (!store_.isRecording()) return true;
  SLayerAttrValues a;
  if (!doc_.layerAttributes(index, a)) return false;
  switch (subcode) {
    case 16: a.blendMode = uint8_t(value); break;
    case 17: a.opacity = uint8_t(value); break;
    case 18: a.visible = value != 0; break;
    default: a.protectAlpha = value != 0; break;
  }
  if (!state_.recordDocumentState()) return false;
  Body b;
  attributeRecord(b, index, a);
  if (!writeCommand(kPktLayer, subcode, b.data(), 6)) return false;
  if (subcode == 18) layerStructureChanged();
  return true;
}

bool CCommandRecorder::recordLayerEffect(int32_t index, bool effect, uint32_t seed, uint8_t effectValue) {
  if (!store_.isRecording()) return true;
  SLayerAttrValues a;
  if (!doc_.layerAttributes(index, a)) return false;
  a.effect = effect;
  if (!state_.recordDocumentState()) return false;
  Body b;
  attributeRecord(b, index, a);
  b.u8(6, effectValue);
  b.u32(8, seed);
  return writeCommand(kPktLayer, 21, b.data(), 18);
}

bool CCommandRecorder::recordLayerOffset(int32_t index, TPoint delta) { return writeOffset(index, 0, 0, delta, 6); }

bool CCommandRecorder::recordLayerOffsetApply(int32_t index, uint8_t first, uint8_t second, TPoint delta) {
  return writeOffset(index, first, second, delta, 7);
}

bool CCommandRecorder::writeOffset(int32_t index, uint8_t first, uint8_t second, TPoint delta, uint8_t subcode) {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(0, uint32_t(index));
  b.u8(2, first);
  b.u8(3, second);
  b.point(4, delta);
  return writeCommand(kPktLayer, subcode, b.data(), 12);
}

bool CCommandRecorder::recordLayerMaskOffset(int32_t index, uint16_t argument, TPoint delta) {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(0, uint32_t(index));
  b.u16(2, argument);
  b.point(4, delta);
  return writeCommand(kPktLayer, 12, b.data(), 20);
}

bool CCommandRecorder::recordLayerMaskOffsetApply(int32_t index, uint16_t argument, TPoint delta, uint16_t value) {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(0, uint32_t(index));
  b.u16(2, argument);
  b.point(4, delta);
  b.u16(12, value);
  return writeCommand(kPktLayer, 13, b.data(), 20);
}

bool CCommandRecorder::recordLayerName(int32_t index, std::string_view name) {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  return writeNamed(kPktLayer, 19, index, name);
}

// ---- link groups ------------------------------------------------------------------

bool CCommandRecorder::recordLayerLink(int32_t layer, bool up, const uint16_t* values, uint16_t count) {
  if (count > 0 && values == nullptr) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFullState()) return false;
  Body b;
  b.u16(0, uint32_t(layer));
  b.u16(2, count);
  b.u8(6, 1);
  b.u8(7, 2);
  b.u32(12, 2u * count);
  try {
    std::vector<uint8_t> data(size_t(count) * 2);
    for (uint16_t i = 0; i < count; ++i) writeLE16(&data[size_t(i) * 2], values[i]);
    return writeCommandData(kPktLayerList, up ? 1 : 0, b.data(), 24, data.data(), uint32_t(data.size()));
  } catch (const std::exception&) {
    store_.rollbackOpenEvent();
    return false;
  }
}

bool CCommandRecorder::recordLayerListOp(uint8_t subcode, int32_t layer, uint16_t value, uint32_t first,
                                         uint32_t second) {
  if (!inList(subcode, {8, 11, 12, 13, 16})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFullState()) return false;
  Body b;
  b.u16(0, uint32_t(layer));
  b.u16(2, value);
  b.u32(4, first);
  b.u32(8, second);
  return writeCommand(kPktLayerList, subcode, b.data(), 12);
}

bool CCommandRecorder::recordLayerListOpEx(uint8_t subcode, int32_t layer, uint16_t value, TPoint delta,
                                           uint32_t first, uint32_t second) {
  if (!inList(subcode, {9, 10})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFullState()) return false;
  Body b;
  b.u16(0, uint32_t(layer));
  b.u16(2, value);
  b.point(4, delta);
  b.u32(12, first);
  b.u32(16, second);
  return writeCommand(kPktLayerList, subcode, b.data(), 20);
}

// ---- layer images -----------------------------------------------------------------

bool CCommandRecorder::writeImage(uint8_t type, uint8_t subcode, int32_t layer, const TMTC& image,
                                  std::string_view name, const uint8_t* attributes72, bool commit) {
  if (image.Bits == nullptr || image.RowOffsets == nullptr || image.Width <= 0 || image.Height <= 0) {
    store_.rollbackOpenEvent();
    return false;
  }
  try {
    const std::vector<uint8_t> text = name.empty() ? std::vector<uint8_t>{} : packetString(name);
    const uint64_t pixelBytes = uint64_t(image.ByteSize());
    const uint64_t rowBytes = uint64_t(image.Width) * 4;
    const uint64_t total = (attributes72 != nullptr ? 72u : 0u) + text.size() + pixelBytes;
    if (total > UINT32_MAX) {
      store_.rollbackOpenEvent();
      return false;
    }
    std::vector<uint8_t> head(22);
    uint8_t* h = head.data();  // not kept past the inserts below
    writeLE16(h, uint16_t(layer));
    writeLE32(h + 2, uint32_t(image.Width));
    writeLE32(h + 6, uint32_t(image.Height));
    h[10] = 32;
    h[11] = attributes72 != nullptr ? 1 : 0;
    writeLE32(h + 12, uint32_t(total));
    writeLE16(h + 16, uint16_t(text.size()));
    writeLE32(h + 18, uint32_t(pixelBytes));
    if (attributes72 != nullptr) head.insert(head.end(), attributes72, attributes72 + 72);
    head.insert(head.end(), text.begin(), text.end());

    // The pixels go as they lie when the rows follow one another; otherwise
    // row by row through a copy.
    bool contiguous = true;
    for (int32_t y = 0; y < image.Height && contiguous; ++y)
      contiguous = image.rowAddress(y) == image.Bits + uint64_t(y) * rowBytes;
    std::vector<uint8_t> copy;
    const uint8_t* pixels = image.Bits;
    if (!contiguous) {
      copy.resize(size_t(pixelBytes));
      for (int32_t y = 0; y < image.Height; ++y)
        std::copy_n(image.rowAddress(y), size_t(rowBytes), copy.begin() + ptrdiff_t(uint64_t(y) * rowBytes));
      pixels = copy.data();
    }
    if (!commit)
      return store_.writePacketOpen(type, subcode, uint32_t(pixelBytes), pixels, uint32_t(head.size()), head.data());
    return writeCommandData(type, subcode, head.data(), uint32_t(head.size()), pixels, uint32_t(pixelBytes));
  } catch (const std::exception&) {
    store_.rollbackOpenEvent();
    return false;
  }
}

bool CCommandRecorder::recordLayerImage(int32_t index, const TMTC& image, uint8_t subcode, std::string_view name,
                                        const uint8_t* attributes72) {
  if (subcode > 2) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  if (!writeImage(kPktLayerImage, subcode, index, image, name, attributes72, true)) return false;
  layerStructureChanged();
  return true;
}

// ---- region fills -----------------------------------------------------------------

bool CCommandRecorder::writeFill(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                                 const TPoint* seed, const TChannel& region, const SRectXYWH& bounds) {
  uint8_t kind = 0;
  switch (subcode) {
    case 0: case 4: kind = 0; break;
    case 1: kind = 1; break;
    case 16: kind = 2; break;
    case 17: kind = 3; break;
    default: kind = 6; break;  // 32
  }
  try {
    SPackedRegion packed;
    if (!packRegion(region, bounds, packed)) {
      store_.rollbackOpenEvent();
      return false;
    }
    // A target that is no layer has no offset.
    SLayerAttrValues layer;
    if (!doc_.layerAttributes(target, layer)) layer = SLayerAttrValues{};
    Body b;
    b.u16(0, uint32_t(target));
    b.u16(2, argument);
    b.point(4, TPoint{layer.offsetX, layer.offsetY});
    if (seed != nullptr) b.point(12, *seed);
    b.u8(kRegion54Kind, kind);
    b.u8(21, args.combine);
    b.u8(22, args.target);
    b.u8(23, args.antiAlias ? 1 : 0);
    b.u16(24, args.limit);
    b.rect(kRegion54Bounds, packed.rect);
    b.u32(kRegion54PackedEven, uint32_t(packed.data.size()));
    b.u32(kRegion54Unpacked, packed.unpacked);
    b.u32(kRegion54Packed, packed.packed);
    return writeCommandData(kPktRegionFill, subcode, b.data(), kRegion54Header, packed.data.data(),
                            uint32_t(packed.data.size()));
  } catch (const std::exception&) {
    store_.rollbackOpenEvent();
    return false;
  }
}

bool CCommandRecorder::recordFillRegion(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                                        const TPoint* seed, const TChannel& region, const SRectXYWH& bounds) {
  if (!inList(subcode, {0, 1, 4, 16, 17, 32})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFullState()) return false;
  if (!writeFill(target, argument, subcode, args, seed, region, bounds)) return false;
  layerStructureChanged();
  return true;
}

bool CCommandRecorder::recordFillRegionEx(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                                          const std::array<TPoint, 3>& points, const TChannel& region,
                                          const SRectXYWH& bounds) {
  if (!inList(subcode, {2, 3, 5})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFullState()) return false;
  try {
    SPackedRegion packed;
    if (!packRegion(region, bounds, packed)) {
      store_.rollbackOpenEvent();
      return false;
    }
    Body b;
    b.u16(0, uint32_t(target));
    b.u16(2, argument);
    for (size_t i = 0; i < 3; ++i) b.point(4 + 8 * i, points[i]);
    b.u8(kRegion72Kind, subcode == 3 ? 5 : 4);
    b.u8(37, args.combine);
    b.u8(38, args.target);
    b.u8(39, args.antiAlias ? 1 : 0);
    b.u16(40, args.limit);
    b.rect(kRegion72Bounds, packed.rect);
    b.u32(kRegion72PackedEven, uint32_t(packed.data.size()));
    b.u32(kRegion72Unpacked, packed.unpacked);
    b.u32(kRegion72Packed, packed.packed);
    if (!writeCommandData(kPktRegionFill, subcode, b.data(), kRegion72Header, packed.data.data(),
                          uint32_t(packed.data.size())))
      return false;
  } catch (const std::exception&) {
    store_.rollbackOpenEvent();
    return false;
  }
  layerStructureChanged();
  return true;
}

bool CCommandRecorder::recordTextFill(int32_t target, uint16_t argument, uint8_t subcode, const SLogFont& font,
                                      uint16_t lineSpacing, uint16_t charSpacing, std::string_view text, TPoint point,
                                      const TChannel& coverage, const SRectXYWH& bounds) {
  if (subcode != 16 && subcode != 17) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFont(font, lineSpacing, charSpacing) || !state_.recordText(text)) return false;
  return recordFillRegion(target, argument, subcode, SFillArgs{}, &point, coverage, bounds);
}

bool CCommandRecorder::recordColorRangeMask(int32_t layer, uint16_t argument, const std::array<uint8_t, 20>& range,
                                            const uint8_t* entries, uint32_t entryCount, const TChannel& region,
                                            const SRectXYWH& bounds) {
  if (entryCount > 0 && entries == nullptr) return false;
  const uint64_t length = range.size() + uint64_t(entryCount) * 8;
  if (length > UINT32_MAX - 4) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFullState()) return false;
  try {
    std::vector<uint8_t> data(range.begin(), range.end());
    if (entryCount > 0) data.insert(data.end(), entries, entries + uint64_t(entryCount) * 8);
    uint8_t head[4];
    writeLE32(head, uint32_t(length));
    if (!store_.writePacketOpen(kPktState, kStateColorRange, uint32_t(length), data.data(), 4, head)) return false;
  } catch (const std::exception&) {
    store_.rollbackOpenEvent();
    return false;
  }
  if (!writeFill(layer, argument, 32, SFillArgs{}, nullptr, region, bounds)) return false;
  layerStructureChanged();
  return true;
}

// ---- layer area edits -------------------------------------------------------------

bool CCommandRecorder::recordLayerEdit(int32_t index, uint32_t argument, uint8_t subcode, const TPointF* first,
                                       const TPointF* second) {
  if (!inList(subcode, {0, 1, 2, 3, 5, 6})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFullState()) return false;
  if (subcode == 2 && state_.recordGradient(true) == kItemFailed) return false;
  Body b;
  b.u16(0, uint32_t(index));
  b.u32(2, argument);
  b.point(6, first);
  b.point(14, second);
  return writeCommand(kPktLayerEdit, subcode, b.data(), 22);
}

bool CCommandRecorder::recordPolygonFill(int32_t index, const TPointF* points, int32_t count) {
  if (count < 0 || count > 0xFFFF || (count > 0 && points == nullptr)) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFullState()) return false;
  Body b;
  b.u16(0, uint32_t(index));
  b.u16(2, uint32_t(count));
  return writePoints(kPktLayerEdit, 4, b.data(), 4, points, count);
}

// ---- masks ------------------------------------------------------------------------

bool CCommandRecorder::recordMaskCommand(int32_t layer, uint16_t argument, uint8_t subcode) {
  if (!inList(subcode, {0, 1, 2, 3, 4, 5, 6, 11, 20, 21})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(kMaskBodyLayer, uint32_t(layer));
  b.u16(kMaskBodyArgument, argument);
  if (!writeCommand(kPktMask, subcode, b.data(), 4)) return false;
  if (inList(subcode, {0, 2, 4, 5, 11})) layerStructureChanged();
  return true;
}

bool CCommandRecorder::recordMaskCommandEx(int32_t layer, uint16_t argument, uint8_t subcode, uint32_t first,
                                           uint32_t second) {
  if (!inList(subcode, {7, 8, 9, 10, 13, 14, 22, 24, 25, 26})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(kMaskBodyLayer, uint32_t(layer));
  b.u16(kMaskBodyArgument, argument);
  b.u32(4, first);
  b.u32(8, second);
  if (!writeCommand(kPktMask, subcode, b.data(), 12)) return false;
  if (inList(subcode, {7, 9, 22, 24})) layerStructureChanged();
  return true;
}

bool CCommandRecorder::recordMaskShape(int32_t layer, uint16_t argument, uint8_t subcode, uint8_t combine,
                                       TPointF first, TPointF second) {
  if (!inList(subcode, {16, 17, 19})) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(kMaskBodyLayer, uint32_t(layer));
  b.u16(kMaskBodyArgument, argument);
  b.u8(4, combine);
  b.point(6, &first);
  b.point(14, &second);
  return writeCommand(kPktMask, subcode, b.data(), 22);
}

bool CCommandRecorder::recordMaskPolygon(int32_t layer, uint16_t argument, uint8_t combine, const TPointF* points,
                                         int32_t count) {
  if (count < 0 || count > 0xFFFF || (count > 0 && points == nullptr)) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  Body b;
  b.u16(kMaskBodyLayer, uint32_t(layer));
  b.u16(kMaskBodyArgument, argument);
  b.u8(4, combine);
  b.u16(6, uint32_t(count));
  return writePoints(kPktMask, 18, b.data(), 8, points, count);
}

bool CCommandRecorder::recordMaskName(int32_t mask, std::string_view name) {
  if (!store_.isRecording()) return true;
  if (!state_.recordDocumentState()) return false;
  return writeNamed(kPktMask, 12, mask, name);
}

// ---- filters ----------------------------------------------------------------------

bool CCommandRecorder::writeFilter(uint8_t type, int32_t layer, uint16_t argument, const uint32_t* values,
                                   int32_t count, uint8_t code) {
  // Each packet type takes only its own filters' codes.
  const SPacketSizeRule rule = packetSizeRule(type, code);
  if (rule.rule != BodyRule::Fixed || rule.base != 4 + 4 * count) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFullState()) return false;
  Body b;
  b.u16(0, uint32_t(layer));
  b.u16(2, argument);
  for (int32_t i = 0; i < count; ++i) b.u32(4 + 4 * size_t(i), values[i]);
  return writeCommand(type, code, b.data(), rule.base);
}

bool CCommandRecorder::recordFilter(int32_t layer, uint16_t argument, uint8_t code) {
  return writeFilter(kPktFilter0, layer, argument, nullptr, 0, code);
}

bool CCommandRecorder::recordFilter2(int32_t layer, uint16_t argument, const std::array<uint32_t, 2>& values,
                                     uint8_t code) {
  return writeFilter(kPktFilter2, layer, argument, values.data(), 2, code);
}

bool CCommandRecorder::recordFilter4(int32_t layer, uint16_t argument, const std::array<uint32_t, 4>& values,
                                     uint8_t code) {
  return writeFilter(kPktFilter4, layer, argument, values.data(), 4, code);
}

bool CCommandRecorder::recordFilter6(int32_t layer, uint16_t argument, const std::array<uint32_t, 6>& values,
                                     uint8_t code) {
  return writeFilter(kPktFilter6, layer, argument, values.data(), 6, code);
}

bool CCommandRecorder::recordFilterRecord(uint8_t code, const SEventRecord& record, const uint8_t* data) {
  if (!inList(code, {kFltRecLegacy, kFltRecCustom5x5, kFltRecGradientMap, kFltRecLighting})) return false;
  const uint16_t length = eventRecordDataLength(record);
  if (length > 0 && data == nullptr) return false;
  if (!store_.isRecording()) return true;
  if (!state_.recordFullState()) return false;
  return writeCommandData(kPktFilterRecord, code, record.data(), kEventRecordBytes, data, length);
}

bool CCommandRecorder::recordFilterWithImages(int32_t layer, uint16_t value, const std::array<uint8_t, 63>& params,
                                              uint16_t field18, uint16_t field20, const SFilterImage& first,
                                              const SFilterImage& second) {
  if (!store_.isRecording()) return true;
  SEventRecord record;
  if (!initEventHeader(record, uint16_t(layer), value, uint16_t(params.size()), 1)) return false;
  writeLE16(record.data() + 18, field18);
  writeLE16(record.data() + 20, field20);
  if (!state_.recordFullState()) return false;
  if (first.image != nullptr &&
      !writeImage(kPktState, kStateFilterImage1, layer, *first.image, first.name, nullptr, false))
    return false;
  if (second.image != nullptr &&
      !writeImage(kPktState, kStateFilterImage2, layer, *second.image, second.name, nullptr, false))
    return false;
  return writeCommandData(kPktFilterRecord, kFltRecFloor, record.data(), kEventRecordBytes, params.data(),
                          uint32_t(params.size()));
}

}  // namespace pg
