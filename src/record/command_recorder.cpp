#include "record/command_recorder.h"

#include <algorithm>
#include <ctime>
#include <exception>
#include <vector>

#include "core/byte_cursor.h"
#include "core/ring_buffers.h"
#include "record/event_store.h"
#include "record/packet_bodies.h"
#include "record/packet_catalogue.h"
#include "record/packet_table.h"
#include "record/state_packets.h"
#include "record/state_recorder.h"

namespace pg {

// The body of one command under construction: its fixed part through the
// field list of the packet's form, then any bytes of the body that follow it
// (a name, attributes), then the packet's data.
class CCommandBody {
 public:
  explicit CCommandBody(const SPacketRow& row) : row_(row) {}

  // Writes the fixed part through the body's field list; false when the
  // body is not the form of the packet or does not fill it exactly.
  template <class Body>
  [[nodiscard]] bool put(const Body& body) {
    if (Body::kForm != row_.form) return false;
    Body copy = body;
    CByteCursor c = CByteCursor::writing(fixed_.data(), row_.size.base);
    Body::fields(c, copy);
    complete_ = c.ok() && c.position() == row_.size.base;
    return complete_;
  }
  [[nodiscard]] bool fixedComplete() const { return complete_ || row_.size.base == 0; }
  [[nodiscard]] const uint8_t* fixed() const { return fixed_.data(); }

  std::vector<uint8_t> rest;          // body bytes after the fixed part
  const uint8_t* data = nullptr;      // the data after the body
  uint32_t dataSize = 0;
  std::vector<uint8_t> owned;         // data the body builds itself

  void ownData(std::vector<uint8_t> bytes) {
    owned = std::move(bytes);
    data = owned.data();
    dataSize = uint32_t(owned.size());
  }

 private:
  const SPacketRow& row_;
  std::array<uint8_t, 80> fixed_{};
  bool complete_ = false;
};

namespace {

using C = RecorderCall;

// Rolls the event under way back unless the command was committed, so that
// whatever failed, nothing of it stays open for the next command to commit.
class COpenEventGuard {
 public:
  explicit COpenEventGuard(CEventMngr& store) : store_(store) {}
  COpenEventGuard(const COpenEventGuard&) = delete;
  COpenEventGuard& operator=(const COpenEventGuard&) = delete;
  ~COpenEventGuard() {
    if (!committed_ && store_.writePosition() != store_.committedEnd()) store_.rollbackOpenEvent();
  }
  void committed() { committed_ = true; }

 private:
  CEventMngr& store_;
  bool committed_ = false;
};

SPointFBody pointF(const TPointF* p) { return p != nullptr ? SPointFBody{p->X, p->Y} : SPointFBody{}; }

// The 6-byte attribute record of a layer.
void attributeBody(SAttributeBody& r, int32_t index, const SLayerAttrValues& a) {
  r.layer = uint16_t(index);
  r.blendMode = a.blendMode;
  r.opacity = a.opacity;
  r.flags = uint16_t((a.visible ? kBodyFlagVisible : 0) | (a.protectAlpha ? kBodyFlagProtectAlpha : 0) |
                     (a.effect ? kBodyFlagEffect : 0));
}

void newLayerBody(SNewLayerBody& r, int32_t index, const SNewLayer& l) {
  r.layer = uint16_t(index);
  r.width = l.width;
  r.height = l.height;
  r.opacity = l.opacity;
  r.blendMode = l.blendMode;
  r.flags = uint16_t((l.visible ? kBodyFlagVisible : 0) | (l.protectAlpha ? kBodyFlagProtectAlpha : 0));
}

constexpr size_t kImageHeadBytes = 22;

// An image as a packet: the head, the attribute block and the name that
// follow it, and its pixels (rows top-down, copied when they do not follow
// one another in memory).
struct SImagePacket {
  SImageHead head;
  std::vector<uint8_t> rest;
  std::vector<uint8_t> copy;
  const uint8_t* pixels = nullptr;
};

[[nodiscard]] bool imagePacket(int32_t layer, const TMTC& image, std::string_view name, const uint8_t* attributes72,
                 SImagePacket& out) {
  if (image.Bits == nullptr || image.RowOffsets == nullptr || image.Width <= 0 || image.Height <= 0) return false;
  const std::vector<uint8_t> text = name.empty() ? std::vector<uint8_t>{} : packetString(name);
  const uint64_t pixelBytes = uint64_t(image.ByteSize());
  const uint64_t rowBytes = uint64_t(image.Width) * 4;
  const uint64_t total = (attributes72 != nullptr ? 72u : 0u) + text.size() + pixelBytes;
  if (total > UINT32_MAX) return false;
  out.head = SImageHead{uint16_t(layer),           uint32_t(image.Width),        uint32_t(image.Height), 32,
                        attributes72 != nullptr ? uint8_t(1) : uint8_t(0), uint32_t(total),
                        uint16_t(text.size()),     uint32_t(pixelBytes)};
  if (attributes72 != nullptr) out.rest.assign(attributes72, attributes72 + 72);
  out.rest.insert(out.rest.end(), text.begin(), text.end());
  bool contiguous = true;
  for (int32_t y = 0; y < image.Height && contiguous; ++y)
    contiguous = image.rowAddress(y) == image.Bits + uint64_t(y) * rowBytes;
  out.pixels = image.Bits;
  if (!contiguous) {
    out.copy.resize(size_t(pixelBytes));
    for (int32_t y = 0; y < image.Height; ++y)
      std::copy_n(image.rowAddress(y), size_t(rowBytes), out.copy.begin() + ptrdiff_t(uint64_t(y) * rowBytes));
    out.pixels = out.copy.data();
  }
  return true;
}

// A region cut out of a channel and packed for a fill packet.
struct SPackedRegion {
  SRectXYWH rect;
  uint32_t unpacked = 0;
  uint32_t packed = 0;
  std::vector<uint8_t> data;  // padded to even
};

[[nodiscard]] bool packRegion(const TChannel& channel, const SRectXYWH& bounds, SPackedRegion& out) {
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

// The fill values and the packed region's bounds and lengths, which end both
// forms of the fill body.
void fillTail(SRegionBody& r, uint8_t kind, const SFillArgs& args, const SPackedRegion& packed) {
  r.kind = kind;
  r.combine = args.combine;
  r.targetByte = args.target;
  r.antiAlias = args.antiAlias ? 1 : 0;
  r.limit = args.limit;
  r.x = packed.rect.X;
  r.y = packed.rect.Y;
  r.width = packed.rect.Width;
  r.height = packed.rect.Height;
  r.packedEven = uint32_t(packed.data.size());
  r.unpacked = packed.unpacked;
  r.packed = packed.packed;
}

// The f32 pairs of a point list.
std::vector<uint8_t> pointBytes(const TPointF* points, int32_t count) {
  std::vector<uint8_t> out(size_t(count) * 8);
  CByteCursor c = CByteCursor::writing(out.data(), out.size());
  for (int32_t i = 0; i < count; ++i) {
    SPointFBody p = pointF(&points[i]);
    SPointFBody::fields(c, p);
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

bool CCommandRecorder::record(RecorderCall call, uint8_t type, uint8_t subcode,
                              const std::function<bool(CCommandBody&)>& write) {
  // A call writes only the packets of its own rows.
  const SPacketRow* row = packetRow(type, subcode);
  if (row == nullptr || row->call != call || call == RecorderCall::None) return false;
  if (!store_.isRecording()) return true;
  COpenEventGuard guard(store_);
  try {
    bool ok = false;
    switch (row->state) {
      case StateSet::Version: ok = state_.recordVersion(); break;
      case StateSet::Document: ok = state_.recordDocumentState(); break;
      case StateSet::Full: ok = state_.recordFullState(); break;
    }
    if (!ok) return false;
    CCommandBody body(*row);
    if (!write(body) || !body.fixedComplete()) return false;
    if (body.dataSize > 0 && body.data == nullptr) return false;
    const uint8_t* payload = body.fixed();
    std::vector<uint8_t> joined;
    if (!body.rest.empty()) {
      joined.assign(body.fixed(), body.fixed() + row->size.base);
      joined.insert(joined.end(), body.rest.begin(), body.rest.end());
      payload = joined.data();
    }
    const uint32_t payloadSize = uint32_t(row->size.base + body.rest.size());
    if (!store_.writePacketOpen(type, subcode, body.dataSize, body.data, payloadSize, payload)) return false;
    // The index could not take the event: the guard drops it whole.
    if (!store_.commit()) return false;
  } catch (const std::exception&) {
    return false;
  }
  guard.committed();
  if (row->structural) layerStructureChanged();
  return true;
}

void CCommandRecorder::layerStructureChanged() { store_.clearCached(kStateLayerMask); }

bool CCommandRecorder::writeNamed(RecorderCall call, uint8_t type, uint8_t subcode, int32_t index,
                                  std::string_view name) {
  return record(call, type, subcode, [&](CCommandBody& b) {
    b.rest = packetString(name);
    return b.put(SNamedBody{uint16_t(index), uint16_t(b.rest.size())});
  });
}

// ---- document events --------------------------------------------------------------

bool CCommandRecorder::recordReset() {
  return record(C::Reset, kPktDocument, kDocReset, [&](CCommandBody&) {
    uint8_t time[16];
    systemTimeUtc(clock_(), time);
    return store_.writeDataPacket(kDataStartTime, sizeof time, time);
  });
}

bool CCommandRecorder::recordImageCreate(int32_t width, int32_t height, bool transparent, bool canvasColourOff,
                                         int32_t resolution, int32_t layerHeight, int32_t layerWidth) {
  return record(C::ImageCreate, kPktDocument, kDocImageCreate, [&](CCommandBody& b) {
    SImageCreateBody r;
    r.width = width;
    r.height = height;
    r.layerWidth = layerWidth;
    r.layerHeight = layerHeight;
    r.resolution = resolution;
    r.canvas = canvasColourOff ? 0 : 255;
    r.opaque = transparent ? 0 : 255;
    return b.put(r);
  });
}

bool CCommandRecorder::recordPaperColor(uint32_t pixel) {
  return record(C::PaperColor, kPktDocument, kDocPaperColor, [&](CCommandBody& b) {
    return b.put(SColourBody{pixel & 0x00FFFFFFu});
  });
}

bool CCommandRecorder::recordCanvasResize(int32_t width, int32_t height, uint8_t anchorLow, uint8_t anchorHigh) {
  return record(C::CanvasResize, kPktDocument, kDocCanvasResize, [&](CCommandBody& b) {
    return b.put(SResizeBody{anchorLow, anchorHigh, width, height});
  });
}

bool CCommandRecorder::recordImageScale(int32_t width, int32_t height, uint8_t subcode, uint16_t mode) {
  return record(C::ImageScale, kPktDocument, subcode, [&](CCommandBody& b) {
    return b.put(SScaleBody{mode, width, height});
  });
}

bool CCommandRecorder::recordImageCrop(uint16_t layer, uint16_t argument, const TRect& rect) {
  return record(C::Crop, kPktDocument, kDocCrop, [&](CCommandBody& b) {
    return b.put(SCropBody{layer, argument, SRectBody{rect.Left, rect.Top, rect.Right, rect.Bottom}});
  });
}

bool CCommandRecorder::recordDocumentEvent(uint8_t subcode) {
  return record(C::DocumentEvent, kPktDocument, subcode, [](CCommandBody&) { return true; });
}

bool CCommandRecorder::recordMergeVisible(uint8_t subcode, int32_t layer, uint16_t argument,
                                          const SCommandValues& values) {
  return writeTargetValues(C::MergeVisible, kPktDocument, subcode, layer, argument, values);
}

bool CCommandRecorder::recordDocumentEventValue(int32_t layer, uint16_t value, uint8_t subcode) {
  return writeTarget(C::DocumentValue, kPktDocument, subcode, layer, value);
}

// ---- layer commands ---------------------------------------------------------------

bool CCommandRecorder::recordLayerNewEx(int32_t index, const SNewLayer& layer) {
  return record(C::LayerNewEx, kPktLayer, 0, [&](CCommandBody& b) {
    SNewLayerBody r;
    newLayerBody(r, index, layer);
    return b.put(r);
  });
}

bool CCommandRecorder::writeTarget(RecorderCall call, uint8_t type, uint8_t subcode, int32_t index,
                                   uint16_t argument) {
  return record(call, type, subcode,
                [&](CCommandBody& b) { return b.put(STargetBody{uint16_t(index), argument}); });
}

bool CCommandRecorder::writeTargetValues(RecorderCall call, uint8_t type, uint8_t subcode, int32_t index,
                                         uint16_t argument, const SCommandValues& values) {
  return record(call, type, subcode, [&](CCommandBody& b) {
    return b.put(SValuesBody{uint16_t(index), argument, values.value, values.option});
  });
}

bool CCommandRecorder::recordLayerNew(int32_t index, const SNewLayer& layer, std::string_view name) {
  return record(C::LayerNew, kPktLayer, 11, [&](CCommandBody& b) {
    b.rest = packetString(name);
    SNamedLayerBody r;
    newLayerBody(r, index, layer);
    r.colour = layer.colour;
    r.nameLength = uint16_t(b.rest.size());
    return b.put(r);
  });
}

bool CCommandRecorder::recordLayerCommand(int32_t index, uint16_t argument, uint8_t subcode) {
  return writeTarget(C::LayerCommand, kPktLayer, subcode, index, argument);
}

bool CCommandRecorder::recordLayerCommandEx(int32_t index, uint16_t argument, uint8_t subcode,
                                            const SCommandValues& values) {
  return writeTargetValues(C::LayerCommandEx, kPktLayer, subcode, index, argument, values);
}

bool CCommandRecorder::recordLayerAttribute(int32_t index, uint32_t value, uint8_t subcode) {
  return record(C::LayerAttribute, kPktLayer, subcode, [&](CCommandBody& b) {
    SLayerAttrValues a;
    if (!doc_.layerAttributes(index, a)) return false;
    switch (subcode) {
      case 16: a.blendMode = uint8_t(value); break;
      case 17: a.opacity = uint8_t(value); break;
      case 18: a.visible = value != 0; break;
      default: a.protectAlpha = value != 0; break;
    }
    SAttributeBody r;
    attributeBody(r, index, a);
    return b.put(r);
  });
}

bool CCommandRecorder::recordLayerEffect(int32_t index, bool effect, uint32_t seed, uint8_t effectValue) {
  return record(C::LayerEffect, kPktLayer, 21, [&](CCommandBody& b) {
    SLayerAttrValues a;
    if (!doc_.layerAttributes(index, a)) return false;
    a.effect = effect;
    SEffectBody r;
    attributeBody(r, index, a);
    r.effectValue = effectValue;
    r.seed = seed;
    return b.put(r);
  });
}

bool CCommandRecorder::recordLayerOffset(int32_t index, TPoint delta) {
  return writeOffset(C::LayerOffset, 6, index, 0, 0, delta);
}

bool CCommandRecorder::recordLayerOffsetApply(int32_t index, uint8_t offsetClass, uint8_t option, TPoint delta) {
  return writeOffset(C::LayerOffsetApply, 7, index, offsetClass, option, delta);
}

bool CCommandRecorder::writeOffset(RecorderCall call, uint8_t subcode, int32_t index, uint8_t offsetClass,
                                   uint8_t option, TPoint delta) {
  return record(call, kPktLayer, subcode, [&](CCommandBody& b) {
    return b.put(SOffsetBody{uint16_t(index), offsetClass, option, delta.X, delta.Y});
  });
}

bool CCommandRecorder::recordLayerMaskOffset(int32_t index, uint16_t argument, TPoint delta) {
  return record(C::LayerMaskOffset, kPktLayer, 12, [&](CCommandBody& b) {
    return b.put(SGroupOffsetBody{uint16_t(index), argument, delta.X, delta.Y, 0});
  });
}

bool CCommandRecorder::recordLayerMaskOffsetApply(int32_t index, uint16_t argument, TPoint delta, uint16_t value) {
  return record(C::LayerMaskOffsetApply, kPktLayer, 13, [&](CCommandBody& b) {
    return b.put(SGroupOffsetBody{uint16_t(index), argument, delta.X, delta.Y, value});
  });
}

bool CCommandRecorder::recordLayerName(int32_t index, std::string_view name) {
  return writeNamed(C::LayerName, kPktLayer, 19, index, name);
}

// ---- link groups ------------------------------------------------------------------

bool CCommandRecorder::recordLayerLink(int32_t layer, bool up, const uint16_t* values, uint16_t count) {
  if (count > 0 && values == nullptr) return false;
  return record(C::LayerLink, kPktLayerList, up ? 1 : 0, [&](CCommandBody& b) {
    SLinkBody r;
    r.layer = uint16_t(layer);
    r.count = count;
    r.dataBytes = 2u * count;
    std::vector<uint8_t> data(size_t(count) * 2);
    CByteCursor c = CByteCursor::writing(data.data(), data.size());
    for (uint16_t i = 0; i < count; ++i) {
      uint16_t v = values[i];
      c.field(v);
    }
    b.ownData(std::move(data));
    return c.ok() && b.put(r);
  });
}

bool CCommandRecorder::recordLayerListOp(uint8_t subcode, int32_t layer, uint16_t value,
                                         const SCommandValues& values) {
  return writeTargetValues(C::ListOp, kPktLayerList, subcode, layer, value, values);
}

bool CCommandRecorder::recordLayerListOpEx(uint8_t subcode, int32_t layer, uint16_t value, TPoint delta,
                                           const SCommandValues& values) {
  return record(C::ListOpEx, kPktLayerList, subcode, [&](CCommandBody& b) {
    return b.put(SGroupMoveBody{uint16_t(layer), value, delta.X, delta.Y, values.value, values.option});
  });
}

// ---- layer images -----------------------------------------------------------------

bool CCommandRecorder::recordLayerImage(int32_t index, const TMTC& image, uint8_t subcode, std::string_view name,
                                        const uint8_t* attributes72) {
  return record(C::LayerImage, kPktLayerImage, subcode, [&](CCommandBody& b) {
    SImagePacket packet;
    if (!imagePacket(index, image, name, attributes72, packet)) return false;
    if (!b.put(packet.head)) return false;
    b.rest = std::move(packet.rest);
    if (!packet.copy.empty()) {
      b.ownData(std::move(packet.copy));
    } else {
      b.data = packet.pixels;
      b.dataSize = packet.head.pixelBytes;
    }
    return true;
  });
}

// ---- region fills -----------------------------------------------------------------

namespace {

// The 54-byte fill body and its packed region as data. A target that is no
// layer has no offset.
[[nodiscard]] bool fillBody(CCommandBody& b, const IDocStateSource& doc, uint8_t subcode, int32_t target, uint16_t argument,
              const SFillArgs& args, const TPoint* seed, const TChannel& region, const SRectXYWH& bounds) {
  SPackedRegion packed;
  if (!packRegion(region, bounds, packed)) return false;
  uint8_t kind = 0;
  switch (subcode) {
    case 0: case 4: kind = 0; break;
    case 1: kind = 1; break;
    case 16: kind = 2; break;
    case 17: kind = 3; break;
    default: kind = 6; break;  // 32
  }
  SLayerAttrValues layer;
  if (!doc.layerAttributes(target, layer)) layer = SLayerAttrValues{};
  SRegion54Body r;
  r.target = uint16_t(target);
  r.argument = argument;
  r.points[0] = SPointBody{layer.offsetX, layer.offsetY};
  if (seed != nullptr) r.points[1] = SPointBody{seed->X, seed->Y};
  fillTail(r, kind, args, packed);
  if (!b.put(r)) return false;
  b.ownData(std::move(packed.data));
  return true;
}

}  // namespace

bool CCommandRecorder::recordFillRegion(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                                        const TPoint* seed, const TChannel& region, const SRectXYWH& bounds) {
  return record(C::Fill, kPktRegionFill, subcode, [&](CCommandBody& b) {
    return fillBody(b, doc_, subcode, target, argument, args, seed, region, bounds);
  });
}

bool CCommandRecorder::recordFillRegionEx(int32_t target, uint16_t argument, uint8_t subcode, const SFillArgs& args,
                                          const std::array<TPoint, 3>& points, const TChannel& region,
                                          const SRectXYWH& bounds) {
  return record(C::FillEx, kPktRegionFill, subcode, [&](CCommandBody& b) {
    SPackedRegion packed;
    if (!packRegion(region, bounds, packed)) return false;
    SRegion72Body r;
    r.target = uint16_t(target);
    r.argument = argument;
    for (size_t i = 0; i < points.size(); ++i) r.points[i] = SPointBody{points[i].X, points[i].Y};
    fillTail(r, subcode == 3 ? 5 : 4, args, packed);
    if (!b.put(r)) return false;
    b.ownData(std::move(packed.data));
    return true;
  });
}

bool CCommandRecorder::recordTextFill(int32_t target, uint16_t argument, uint8_t subcode, const SLogFont& font,
                                      uint16_t lineSpacing, uint16_t charSpacing, std::string_view text, TPoint point,
                                      const TChannel& coverage, const SRectXYWH& bounds, uint8_t combine) {
  if (subcode != 16 && subcode != 17) return false;
  if (!store_.isRecording()) return true;
  // The font and the text go before the fill's own state.
  COpenEventGuard guard(store_);
  if (!state_.recordFont(font, lineSpacing, charSpacing) || !state_.recordText(text)) return false;
  if (!recordFillRegion(target, argument, subcode, SFillArgs{.combine = combine}, &point, coverage, bounds)) return false;
  guard.committed();
  return true;
}

bool CCommandRecorder::recordColorRangeMask(int32_t layer, uint16_t argument, const std::array<uint8_t, 20>& range,
                                            const uint8_t* entries, uint32_t entryCount, const TChannel& region,
                                            const SRectXYWH& bounds) {
  if (entryCount > 0 && entries == nullptr) return false;
  const uint64_t length = range.size() + uint64_t(entryCount) * 8;
  if (length > UINT32_MAX - 4) return false;
  // The range record and its entries go between the state and the fill.
  return record(C::Fill, kPktRegionFill, 32, [&](CCommandBody& b) {
    std::vector<uint8_t> data(range.begin(), range.end());
    if (entryCount > 0) data.insert(data.end(), entries, entries + uint64_t(entryCount) * 8);
    uint8_t head[4];
    writeLE32(head, uint32_t(length));
    if (!store_.writePacketOpen(kPktState, kStateColorRange, uint32_t(length), data.data(), 4, head)) return false;
    return fillBody(b, doc_, 32, layer, argument, SFillArgs{}, nullptr, region, bounds);
  });
}

// ---- layer area edits -------------------------------------------------------------

bool CCommandRecorder::recordLayerEdit(int32_t index, uint32_t argument, uint8_t subcode, const TPointF* start,
                                       const TPointF* end) {
  return record(C::LayerEdit, kPktLayerEdit, subcode, [&](CCommandBody& b) {
    if (subcode == 2 && state_.recordGradient(true) == ItemResult::Failed) return false;
    return b.put(SEditBody{uint16_t(index), argument, pointF(start), pointF(end)});
  });
}

bool CCommandRecorder::recordPolygonFill(int32_t index, const TPointF* points, int32_t count) {
  if (count < 0 || count > 0xFFFF || (count > 0 && points == nullptr)) return false;
  return record(C::PolygonFill, kPktLayerEdit, 4, [&](CCommandBody& b) {
    b.ownData(pointBytes(points, count));
    return b.put(SPolygonBody{uint16_t(index), uint16_t(count)});
  });
}

// ---- masks ------------------------------------------------------------------------

bool CCommandRecorder::recordMaskCommand(int32_t layer, uint16_t argument, uint8_t subcode) {
  return writeTarget(C::MaskCommand, kPktMask, subcode, layer, argument);
}

bool CCommandRecorder::recordMaskCommandEx(int32_t layer, uint16_t argument, uint8_t subcode,
                                           const SCommandValues& values) {
  return writeTargetValues(C::MaskCommandEx, kPktMask, subcode, layer, argument, values);
}

bool CCommandRecorder::recordMaskShape(int32_t layer, uint16_t argument, uint8_t subcode, uint8_t combine,
                                       TPointF start, TPointF end) {
  return record(C::MaskShape, kPktMask, subcode, [&](CCommandBody& b) {
    return b.put(SMaskShapeBody{uint16_t(layer), argument, combine, pointF(&start), pointF(&end)});
  });
}

bool CCommandRecorder::recordMaskPolygon(int32_t layer, uint16_t argument, uint8_t combine, const TPointF* points,
                                         int32_t count) {
  if (count < 0 || count > 0xFFFF || (count > 0 && points == nullptr)) return false;
  return record(C::MaskPolygon, kPktMask, 18, [&](CCommandBody& b) {
    b.ownData(pointBytes(points, count));
    return b.put(SMaskPolygonBody{uint16_t(layer), argument, combine, uint16_t(count)});
  });
}

bool CCommandRecorder::recordMaskName(int32_t mask, std::string_view name) {
  return writeNamed(C::MaskName, kPktMask, 12, mask, name);
}

// ---- filters ----------------------------------------------------------------------

bool CCommandRecorder::writeFilter(uint8_t type, int32_t layer, uint16_t argument, const uint32_t* values,
                                   size_t count, uint8_t code) {
  return record(C::Filter, type, code, [&](CCommandBody& b) {
    std::array<uint32_t, 6> words{};
    std::copy_n(values, std::min(count, words.size()), words.begin());
    switch (count) {
      case 0: return b.put(SFilterBody<0>{uint16_t(layer), argument, words});
      case 2: return b.put(SFilterBody<2>{uint16_t(layer), argument, words});
      case 4: return b.put(SFilterBody<4>{uint16_t(layer), argument, words});
      default: return b.put(SFilterBody<6>{uint16_t(layer), argument, words});
    }
  });
}

bool CCommandRecorder::recordFilter(int32_t layer, uint16_t argument, uint8_t code) {
  return writeFilter(kPktFilter0, layer, argument, nullptr, 0, code);
}

bool CCommandRecorder::recordFilter2(int32_t layer, uint16_t argument, const std::array<uint32_t, 2>& values,
                                     uint8_t code) {
  return writeFilter(kPktFilter2, layer, argument, values.data(), values.size(), code);
}

bool CCommandRecorder::recordFilter4(int32_t layer, uint16_t argument, const std::array<uint32_t, 4>& values,
                                     uint8_t code) {
  return writeFilter(kPktFilter4, layer, argument, values.data(), values.size(), code);
}

bool CCommandRecorder::recordFilter6(int32_t layer, uint16_t argument, const std::array<uint32_t, 6>& values,
                                     uint8_t code) {
  return writeFilter(kPktFilter6, layer, argument, values.data(), values.size(), code);
}

bool CCommandRecorder::recordFilterRecord(uint8_t code, const SEventRecord& record, const uint8_t* data) {
  const uint16_t length = eventRecordDataLength(record);
  if (length > 0 && data == nullptr) return false;
  return this->record(C::FilterRecord, kPktFilterRecord, code, [&](CCommandBody& b) {
    if (!b.put(SEventRecordBody{record})) return false;
    b.data = data;
    b.dataSize = length;
    return true;
  });
}

bool CCommandRecorder::writeStateImage(uint8_t subcode, int32_t layer, const SFilterImage& image) {
  if (image.image == nullptr) return true;
  SImagePacket packet;
  if (!imagePacket(layer, *image.image, image.name, nullptr, packet)) return false;
  std::vector<uint8_t> head(kImageHeadBytes);
  if (!writeRecord(head.data(), head.size(), packet.head, SImageHead::fields)) return false;
  head.insert(head.end(), packet.rest.begin(), packet.rest.end());
  return store_.writePacketOpen(kPktState, subcode, packet.head.pixelBytes, packet.pixels, uint32_t(head.size()),
                                head.data());
}

bool CCommandRecorder::recordFilterWithImages(int32_t layer, uint16_t value, const std::array<uint8_t, 63>& params,
                                              uint16_t field18, uint16_t field20, const SFilterImage& image1,
                                              const SFilterImage& image2) {
  // The images go between the state and the record.
  return record(C::FilterWithImages, kPktFilterRecord, kFltRecFloor, [&](CCommandBody& b) {
    SEventRecord header;
    if (!initEventHeader(header, uint16_t(layer), value, uint16_t(params.size()), 1)) return false;
    if (!writeStateImage(kStateFilterImage1, layer, image1) || !writeStateImage(kStateFilterImage2, layer, image2))
      return false;
    writeLE16(header.data() + 18, field18);
    writeLE16(header.data() + 20, field20);
    if (!b.put(SEventRecordBody{header})) return false;
    b.data = params.data();
    b.dataSize = uint32_t(params.size());
    return true;
  });
}

}  // namespace pg
