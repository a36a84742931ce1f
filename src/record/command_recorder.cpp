#include "record/command_recorder.h"

#include <algorithm>
#include <ctime>
#include <exception>
#include <vector>

#include "core/byte_cursor.h"
#include "core/ring_buffers.h"
#include "record/event_store.h"
#include "record/packet_catalogue.h"
#include "record/state_packets.h"
#include "record/state_recorder.h"

namespace pg {

// The recorder call that writes a command; a call writes only the packets
// of its own rows.
enum class CommandCall : uint8_t {
  Reset, ImageCreate, PaperColor, CanvasResize, ImageScale, Crop, DocumentEvent, MergeVisible, DocumentValue,
  LayerNewEx, LayerNew, LayerCommand, LayerCommandEx, LayerAttribute, LayerEffect, LayerOffset, LayerOffsetApply,
  LayerMaskOffset, LayerMaskOffsetApply, LayerName, LayerLink, ListOp, ListOpEx, LayerImage, Fill, FillEx,
  LayerEdit, PolygonFill, MaskCommand, MaskCommandEx, MaskShape, MaskPolygon, MaskName, Filter, FilterRecord,
  FilterWithImages,
};

// The body of one command under construction: its fixed part through the
// cursor (unwritten bytes zero), then any bytes of the body that follow it
// (a name, attributes), then the packet's data.
class CCommandBody {
 public:
  explicit CCommandBody(size_t fixedSize) : fields_(CByteCursor::writing(fixed_.data(), fixedSize)) {}

  CByteCursor& fields() { return fields_; }
  // The fixed part was written whole, to its last byte.
  [[nodiscard]] bool fixedComplete() const { return fields_.ok() && fields_.position() == fields_.size(); }
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
  std::array<uint8_t, 80> fixed_{};
  CByteCursor fields_;
};

namespace {

enum class StateSet : uint8_t { Version, Document, Full };

// One command: the call that writes it, its packet type and subcode, the
// state set recorded before it, the size of its fixed body, and whether it
// changes the layer structure (the current layer and mask are then recorded
// again before the next command).
struct SCommandRow {
  CommandCall call;
  uint8_t type;
  uint8_t subcode;
  StateSet state;
  uint8_t body;
  bool structural;
};

// A filter row stands for every code of its packet type whose fixed size the
// catalogue gives as the row's.
constexpr uint8_t kEveryFilterCode = 0;

using C = CommandCall;
constexpr StateSet kVer = StateSet::Version, kDoc = StateSet::Document, kFull = StateSet::Full;

constexpr SCommandRow kCommands[] = {
    // document (type 2)
    {C::Reset, kPktDocument, kDocReset, kDoc, 0, false},
    {C::ImageCreate, kPktDocument, kDocImageCreate, kVer, 28, false},
    {C::PaperColor, kPktDocument, kDocPaperColor, kDoc, 4, false},
    {C::CanvasResize, kPktDocument, kDocCanvasResize, kDoc, 10, false},
    {C::ImageScale, kPktDocument, kDocLayersZoom, kDoc, 10, false},
    {C::ImageScale, kPktDocument, kDocImageScale, kDoc, 10, false},
    {C::Crop, kPktDocument, kDocCrop, kDoc, 20, false},
    {C::DocumentEvent, kPktDocument, 4, kDoc, 0, false},
    {C::DocumentEvent, kPktDocument, 5, kDoc, 0, false},
    // 16-19 the visible layers; 32-35 every layer, the in-place transforms
    // of the document's all-layers variant
    {C::DocumentEvent, kPktDocument, 16, kDoc, 0, false},
    {C::DocumentEvent, kPktDocument, 17, kDoc, 0, false},
    {C::DocumentEvent, kPktDocument, 18, kDoc, 0, false},
    {C::DocumentEvent, kPktDocument, 19, kDoc, 0, false},
    {C::DocumentEvent, kPktDocument, 32, kDoc, 0, false},
    {C::DocumentEvent, kPktDocument, 33, kDoc, 0, false},
    {C::DocumentEvent, kPktDocument, 34, kDoc, 0, false},
    {C::DocumentEvent, kPktDocument, 35, kDoc, 0, false},
    {C::MergeVisible, kPktDocument, kDocMergeVisible, kDoc, 12, false},
    {C::DocumentValue, kPktDocument, kDocShowAllLayers, kDoc, 4, true},
    {C::DocumentValue, kPktDocument, kDocShowOnlyLayer, kDoc, 4, true},
    {C::DocumentValue, kPktDocument, kDocFlipVisibility, kDoc, 4, true},
    // layers (type 4)
    {C::LayerNewEx, kPktLayer, 0, kDoc, 14, true},
    {C::LayerNew, kPktLayer, 11, kDoc, 42, true},
    {C::LayerCommand, kPktLayer, 1, kDoc, 4, true},
    {C::LayerCommand, kPktLayer, 2, kDoc, 4, false},
    {C::LayerCommand, kPktLayer, 3, kDoc, 4, true},
    {C::LayerCommand, kPktLayer, 4, kDoc, 4, true},
    {C::LayerCommand, kPktLayer, 5, kDoc, 4, true},
    {C::LayerCommand, kPktLayer, 8, kDoc, 4, false},
    {C::LayerCommand, kPktLayer, 9, kDoc, 4, false},
    {C::LayerCommand, kPktLayer, 24, kDoc, 4, false},
    {C::LayerCommand, kPktLayer, 25, kDoc, 4, false},
    {C::LayerCommand, kPktLayer, 32, kDoc, 4, false},
    {C::LayerCommand, kPktLayer, 33, kDoc, 4, false},
    {C::LayerCommand, kPktLayer, 34, kDoc, 4, false},
    {C::LayerCommand, kPktLayer, 35, kDoc, 4, false},
    {C::LayerCommand, kPktLayer, 36, kDoc, 4, false},
    {C::LayerCommand, kPktLayer, 37, kDoc, 4, false},
    {C::LayerCommandEx, kPktLayer, 10, kDoc, 12, true},
    {C::LayerCommandEx, kPktLayer, 38, kDoc, 12, false},
    {C::LayerCommandEx, kPktLayer, 39, kDoc, 12, false},
    {C::LayerCommandEx, kPktLayer, 48, kDoc, 12, false},
    {C::LayerCommandEx, kPktLayer, 49, kDoc, 12, false},
    {C::LayerCommandEx, kPktLayer, 50, kDoc, 12, false},
    {C::LayerCommandEx, kPktLayer, 51, kDoc, 12, false},
    {C::LayerAttribute, kPktLayer, 16, kDoc, 6, false},
    {C::LayerAttribute, kPktLayer, 17, kDoc, 6, false},
    {C::LayerAttribute, kPktLayer, 18, kDoc, 6, true},
    {C::LayerAttribute, kPktLayer, 20, kDoc, 6, false},
    {C::LayerEffect, kPktLayer, 21, kDoc, 18, false},
    {C::LayerOffset, kPktLayer, 6, kDoc, 12, false},
    {C::LayerOffsetApply, kPktLayer, 7, kDoc, 12, false},
    {C::LayerMaskOffset, kPktLayer, 12, kDoc, 20, false},
    {C::LayerMaskOffsetApply, kPktLayer, 13, kDoc, 20, false},
    {C::LayerName, kPktLayer, 19, kDoc, 4, false},
    // link groups (type 5)
    {C::LayerLink, kPktLayerList, 0, kFull, 24, false},
    {C::LayerLink, kPktLayerList, 1, kFull, 24, false},
    {C::ListOp, kPktLayerList, 8, kFull, 12, false},
    {C::ListOp, kPktLayerList, 11, kFull, 12, false},
    {C::ListOp, kPktLayerList, 12, kFull, 12, false},
    {C::ListOp, kPktLayerList, 13, kFull, 12, false},
    {C::ListOp, kPktLayerList, 16, kFull, 12, false},
    {C::ListOpEx, kPktLayerList, 9, kFull, 20, false},
    {C::ListOpEx, kPktLayerList, 10, kFull, 20, false},
    // layer images (type 12)
    {C::LayerImage, kPktLayerImage, 0, kDoc, 22, true},
    {C::LayerImage, kPktLayerImage, 1, kDoc, 22, true},
    {C::LayerImage, kPktLayerImage, 2, kDoc, 22, true},
    // region fills (type 13)
    {C::Fill, kPktRegionFill, 0, kFull, kRegion54Header, true},
    {C::Fill, kPktRegionFill, 1, kFull, kRegion54Header, true},
    {C::Fill, kPktRegionFill, 4, kFull, kRegion54Header, true},
    {C::Fill, kPktRegionFill, 16, kFull, kRegion54Header, true},
    {C::Fill, kPktRegionFill, 17, kFull, kRegion54Header, true},
    {C::Fill, kPktRegionFill, 32, kFull, kRegion54Header, true},
    {C::FillEx, kPktRegionFill, 2, kFull, kRegion72Header, true},
    {C::FillEx, kPktRegionFill, 3, kFull, kRegion72Header, true},
    {C::FillEx, kPktRegionFill, 5, kFull, kRegion72Header, true},
    // layer area edits (type 6)
    {C::LayerEdit, kPktLayerEdit, 0, kFull, 22, false},
    {C::LayerEdit, kPktLayerEdit, 1, kFull, 22, false},
    {C::LayerEdit, kPktLayerEdit, 2, kFull, 22, false},
    {C::LayerEdit, kPktLayerEdit, 3, kFull, 22, false},
    {C::LayerEdit, kPktLayerEdit, 5, kFull, 22, false},
    {C::LayerEdit, kPktLayerEdit, 6, kFull, 22, false},
    {C::PolygonFill, kPktLayerEdit, 4, kFull, 4, false},
    // masks (type 10)
    {C::MaskCommand, kPktMask, 0, kDoc, 4, true},
    {C::MaskCommand, kPktMask, 1, kDoc, 4, false},
    {C::MaskCommand, kPktMask, 2, kDoc, 4, true},
    {C::MaskCommand, kPktMask, 3, kDoc, 4, false},
    {C::MaskCommand, kPktMask, 4, kDoc, 4, true},
    {C::MaskCommand, kPktMask, 5, kDoc, 4, true},
    {C::MaskCommand, kPktMask, 6, kDoc, 4, false},
    {C::MaskCommand, kPktMask, 11, kDoc, 4, true},
    {C::MaskCommand, kPktMask, 20, kDoc, 4, false},
    {C::MaskCommand, kPktMask, 21, kDoc, 4, false},
    {C::MaskCommandEx, kPktMask, 7, kDoc, 12, true},
    {C::MaskCommandEx, kPktMask, 8, kDoc, 12, false},
    {C::MaskCommandEx, kPktMask, 9, kDoc, 12, true},
    {C::MaskCommandEx, kPktMask, 10, kDoc, 12, false},
    {C::MaskCommandEx, kPktMask, 13, kDoc, 12, false},
    {C::MaskCommandEx, kPktMask, 14, kDoc, 12, false},
    {C::MaskCommandEx, kPktMask, 22, kDoc, 12, true},
    {C::MaskCommandEx, kPktMask, 24, kDoc, 12, true},
    {C::MaskCommandEx, kPktMask, 25, kDoc, 12, false},
    {C::MaskCommandEx, kPktMask, 26, kDoc, 12, false},
    {C::MaskShape, kPktMask, 16, kDoc, 22, false},
    {C::MaskShape, kPktMask, 17, kDoc, 22, false},
    {C::MaskShape, kPktMask, 19, kDoc, 22, false},
    {C::MaskPolygon, kPktMask, 18, kDoc, 8, false},
    {C::MaskName, kPktMask, 12, kDoc, 4, false},
    // filters (types 32-35 by their catalogue codes, and 38)
    {C::Filter, kPktFilter0, kEveryFilterCode, kFull, 4, false},
    {C::Filter, kPktFilter2, kEveryFilterCode, kFull, 12, false},
    {C::Filter, kPktFilter4, kEveryFilterCode, kFull, 20, false},
    {C::Filter, kPktFilter6, kEveryFilterCode, kFull, 28, false},
    {C::FilterRecord, kPktFilterRecord, kFltRecLegacy, kFull, kEventRecordBytes, false},
    {C::FilterRecord, kPktFilterRecord, kFltRecCustom5x5, kFull, kEventRecordBytes, false},
    {C::FilterRecord, kPktFilterRecord, kFltRecGradientMap, kFull, kEventRecordBytes, false},
    {C::FilterRecord, kPktFilterRecord, kFltRecLighting, kFull, kEventRecordBytes, false},
    {C::FilterWithImages, kPktFilterRecord, kFltRecFloor, kFull, kEventRecordBytes, false},
};

// The row of a call's command, or null when the call does not write it.
[[nodiscard]] const SCommandRow* findCommand(CommandCall call, uint8_t type, uint8_t subcode) {
  for (const SCommandRow& row : kCommands) {
    if (row.call != call || row.type != type) continue;
    if (row.call == CommandCall::Filter) {
      // Each filter packet type takes only its own filters' codes.
      const SPacketSizeRule rule = packetSizeRule(type, subcode);
      return rule.rule == BodyRule::Fixed && rule.base == row.body ? &row : nullptr;
    }
    if (row.subcode == subcode) return &row;
  }
  return nullptr;
}

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

// Field writers of the fixed bodies.
void pointFields(CByteCursor& c, TPoint p) {
  int32_t x = p.X, y = p.Y;
  c.field(x).field(y);
}

// A point of a shape; none writes zeros.
void pointFields(CByteCursor& c, const TPointF* p) {
  if (p == nullptr) {
    c.zeros(8);
    return;
  }
  float x = p->X, y = p->Y;
  c.field(x).field(y);
}

void rectFields(CByteCursor& c, const SRectXYWH& r) {
  int32_t x = r.X, y = r.Y, w = r.Width, h = r.Height;
  c.field(x).field(y).field(w).field(h);
}

// u16 layer (or other target), u16 argument: the start of most bodies.
void targetFields(CByteCursor& c, int32_t layer, uint16_t argument) {
  uint16_t index = uint16_t(layer);
  c.field(index).field(argument);
}

void valueFields(CByteCursor& c, const SCommandValues& v) {
  uint32_t value = v.value, option = v.option;
  c.field(value).field(option);
}

// The 6-byte attribute record of a layer.
void attributeFields(CByteCursor& c, int32_t index, const SLayerAttrValues& a) {
  uint16_t layer = uint16_t(index);
  uint8_t mode = a.blendMode, opacity = a.opacity;
  uint16_t flags = uint16_t((a.visible ? 1u : 0u) | (a.protectAlpha ? 2u : 0u) | (a.effect ? 16u : 0u));
  c.field(layer).field(mode).field(opacity).field(flags);
}

// The head of a layer or filter image: u16 layer, u32 width, u32 height,
// u8 32, u8 1 when the attribute block follows, u32 length of what follows
// the head, u16 name length, u32 pixel bytes.
struct SImageHead {
  uint16_t layer = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t bits = 32;
  uint8_t hasAttributes = 0;
  uint32_t following = 0;
  uint16_t nameLength = 0;
  uint32_t pixelBytes = 0;
};

void imageHeadFields(CByteCursor& c, SImageHead& r) {
  c.field(r.layer).field(r.width).field(r.height).field(r.bits).field(r.hasAttributes).field(r.following);
  c.field(r.nameLength).field(r.pixelBytes);
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
void fillTailFields(CByteCursor& c, uint8_t kind, const SFillArgs& args, const SPackedRegion& packed, size_t gap) {
  uint8_t combine = args.combine, target = args.target, antiAlias = args.antiAlias ? 1 : 0;
  uint16_t limit = args.limit;
  c.field(kind).field(combine).field(target).field(antiAlias).field(limit).zeros(gap);
  rectFields(c, packed.rect);
  uint32_t even = uint32_t(packed.data.size()), unpacked = packed.unpacked, packedBytes = packed.packed;
  c.field(even).field(unpacked).field(packedBytes);
}

// The f32 pairs of a point list.
std::vector<uint8_t> pointBytes(const TPointF* points, int32_t count) {
  std::vector<uint8_t> out(size_t(count) * 8);
  CByteCursor c = CByteCursor::writing(out.data(), out.size());
  for (int32_t i = 0; i < count; ++i) pointFields(c, &points[i]);
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

bool CCommandRecorder::record(CommandCall call, uint8_t type, uint8_t subcode,
                              const std::function<bool(CCommandBody&)>& write) {
  const SCommandRow* row = findCommand(call, type, subcode);
  if (row == nullptr) return false;
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
    CCommandBody body(row->body);
    if (!write(body) || !body.fixedComplete()) return false;
    if (body.dataSize > 0 && body.data == nullptr) return false;
    const uint8_t* payload = body.fixed();
    std::vector<uint8_t> joined;
    if (!body.rest.empty()) {
      joined.assign(body.fixed(), body.fixed() + row->body);
      joined.insert(joined.end(), body.rest.begin(), body.rest.end());
      payload = joined.data();
    }
    const uint32_t payloadSize = uint32_t(row->body + body.rest.size());
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

bool CCommandRecorder::writeNamed(CommandCall call, uint8_t type, uint8_t subcode, int32_t index,
                                  std::string_view name) {
  return record(call, type, subcode, [&](CCommandBody& b) {
    b.rest = packetString(name);
    uint16_t length = uint16_t(b.rest.size());
    targetFields(b.fields(), index, length);
    return true;
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
    uint8_t canvas = canvasColourOff ? 0 : 255, opaque = transparent ? 0 : 255;
    b.fields().field(width).field(height).field(layerWidth).field(layerHeight).field(resolution);
    b.fields().field(canvas).field(opaque).zeros(6);
    return true;
  });
}

bool CCommandRecorder::recordPaperColor(uint32_t pixel) {
  return record(C::PaperColor, kPktDocument, kDocPaperColor, [&](CCommandBody& b) {
    uint32_t colour = pixel & 0x00FFFFFFu;
    b.fields().field(colour);
    return true;
  });
}

bool CCommandRecorder::recordCanvasResize(int32_t width, int32_t height, uint8_t anchorLow, uint8_t anchorHigh) {
  return record(C::CanvasResize, kPktDocument, kDocCanvasResize, [&](CCommandBody& b) {
    b.fields().field(anchorLow).field(anchorHigh).field(width).field(height);
    return true;
  });
}

bool CCommandRecorder::recordImageScale(int32_t width, int32_t height, uint8_t subcode, uint16_t mode) {
  return record(C::ImageScale, kPktDocument, subcode, [&](CCommandBody& b) {
    b.fields().field(mode).field(width).field(height);
    return true;
  });
}

bool CCommandRecorder::recordImageCrop(uint16_t layer, uint16_t argument, const TRect& rect) {
  return record(C::Crop, kPktDocument, kDocCrop, [&](CCommandBody& b) {
    int32_t left = rect.Left, top = rect.Top, right = rect.Right, bottom = rect.Bottom;
    b.fields().field(layer).field(argument).field(left).field(top).field(right).field(bottom);
    return true;
  });
}

bool CCommandRecorder::recordDocumentEvent(uint8_t subcode) {
  return record(C::DocumentEvent, kPktDocument, subcode, [](CCommandBody&) { return true; });
}

bool CCommandRecorder::recordMergeVisible(uint8_t subcode, int32_t layer, uint16_t argument,
                                          const SCommandValues& values) {
  return record(C::MergeVisible, kPktDocument, subcode, [&](CCommandBody& b) {
    targetFields(b.fields(), layer, argument);
    valueFields(b.fields(), values);
    return true;
  });
}

bool CCommandRecorder::recordDocumentEventValue(int32_t layer, uint16_t value, uint8_t subcode) {
  return record(C::DocumentValue, kPktDocument, subcode, [&](CCommandBody& b) {
    targetFields(b.fields(), layer, value);
    return true;
  });
}

// ---- layer commands ---------------------------------------------------------------

namespace {

// u32 width, u32 height: the size of a new layer.
void newLayerSize(CByteCursor& c, const SNewLayer& l) {
  uint32_t width = l.width, height = l.height;
  c.field(width).field(height);
}

// u8 opacity, u8 blend mode, u16 flags (bit 0 visible, bit 1 protect alpha).
void newLayerLook(CByteCursor& c, const SNewLayer& l) {
  uint8_t opacity = l.opacity, mode = l.blendMode;
  uint16_t flags = uint16_t((l.visible ? 1u : 0u) | (l.protectAlpha ? 2u : 0u));
  c.field(opacity).field(mode).field(flags);
}

}  // namespace

bool CCommandRecorder::recordLayerNewEx(int32_t index, const SNewLayer& layer) {
  return record(C::LayerNewEx, kPktLayer, 0, [&](CCommandBody& b) {
    uint16_t at = uint16_t(index);
    b.fields().field(at);
    newLayerSize(b.fields(), layer);
    newLayerLook(b.fields(), layer);
    return true;
  });
}

bool CCommandRecorder::recordLayerNew(int32_t index, const SNewLayer& layer, std::string_view name) {
  return record(C::LayerNew, kPktLayer, 11, [&](CCommandBody& b) {
    b.rest = packetString(name);
    uint16_t at = uint16_t(index), nameLength = uint16_t(b.rest.size());
    uint32_t colour = layer.colour;
    b.fields().field(at);
    newLayerSize(b.fields(), layer);
    b.fields().zeros(8);
    newLayerLook(b.fields(), layer);
    b.fields().field(colour).zeros(14).field(nameLength);
    return true;
  });
}

bool CCommandRecorder::recordLayerCommand(int32_t index, uint16_t argument, uint8_t subcode) {
  return record(C::LayerCommand, kPktLayer, subcode, [&](CCommandBody& b) {
    targetFields(b.fields(), index, argument);
    return true;
  });
}

bool CCommandRecorder::recordLayerCommandEx(int32_t index, uint16_t argument, uint8_t subcode,
                                            const SCommandValues& values) {
  return record(C::LayerCommandEx, kPktLayer, subcode, [&](CCommandBody& b) {
    targetFields(b.fields(), index, argument);
    valueFields(b.fields(), values);
    return true;
  });
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
    attributeFields(b.fields(), index, a);
    return true;
  });
}

bool CCommandRecorder::recordLayerEffect(int32_t index, bool effect, uint32_t seed, uint8_t effectValue) {
  return record(C::LayerEffect, kPktLayer, 21, [&](CCommandBody& b) {
    SLayerAttrValues a;
    if (!doc_.layerAttributes(index, a)) return false;
    a.effect = effect;
    attributeFields(b.fields(), index, a);
    b.fields().field(effectValue).zeros(1).field(seed).zeros(6);
    return true;
  });
}

bool CCommandRecorder::recordLayerOffset(int32_t index, TPoint delta) {
  return writeOffset(C::LayerOffset, 6, index, 0, 0, delta);
}

bool CCommandRecorder::recordLayerOffsetApply(int32_t index, uint8_t offsetClass, uint8_t option, TPoint delta) {
  return writeOffset(C::LayerOffsetApply, 7, index, offsetClass, option, delta);
}

bool CCommandRecorder::writeOffset(CommandCall call, uint8_t subcode, int32_t index, uint8_t offsetClass,
                                   uint8_t option, TPoint delta) {
  return record(call, kPktLayer, subcode, [&](CCommandBody& b) {
    uint16_t at = uint16_t(index);
    b.fields().field(at).field(offsetClass).field(option);
    pointFields(b.fields(), delta);
    return true;
  });
}

bool CCommandRecorder::recordLayerMaskOffset(int32_t index, uint16_t argument, TPoint delta) {
  return record(C::LayerMaskOffset, kPktLayer, 12, [&](CCommandBody& b) {
    targetFields(b.fields(), index, argument);
    pointFields(b.fields(), delta);
    b.fields().zeros(8);
    return true;
  });
}

bool CCommandRecorder::recordLayerMaskOffsetApply(int32_t index, uint16_t argument, TPoint delta, uint16_t value) {
  return record(C::LayerMaskOffsetApply, kPktLayer, 13, [&](CCommandBody& b) {
    targetFields(b.fields(), index, argument);
    pointFields(b.fields(), delta);
    b.fields().field(value).zeros(6);
    return true;
  });
}

bool CCommandRecorder::recordLayerName(int32_t index, std::string_view name) {
  return writeNamed(C::LayerName, kPktLayer, 19, index, name);
}

// ---- link groups ------------------------------------------------------------------

bool CCommandRecorder::recordLayerLink(int32_t layer, bool up, const uint16_t* values, uint16_t count) {
  if (count > 0 && values == nullptr) return false;
  return record(C::LayerLink, kPktLayerList, up ? 1 : 0, [&](CCommandBody& b) {
    uint8_t one = 1, two = 2;
    uint32_t dataBytes = 2u * count;
    targetFields(b.fields(), layer, count);
    b.fields().zeros(2).field(one).field(two).zeros(4).field(dataBytes).zeros(8);
    std::vector<uint8_t> data(size_t(count) * 2);
    CByteCursor c = CByteCursor::writing(data.data(), data.size());
    for (uint16_t i = 0; i < count; ++i) {
      uint16_t v = values[i];
      c.field(v);
    }
    b.ownData(std::move(data));
    return c.ok();
  });
}

bool CCommandRecorder::recordLayerListOp(uint8_t subcode, int32_t layer, uint16_t value,
                                         const SCommandValues& values) {
  return record(C::ListOp, kPktLayerList, subcode, [&](CCommandBody& b) {
    targetFields(b.fields(), layer, value);
    valueFields(b.fields(), values);
    return true;
  });
}

bool CCommandRecorder::recordLayerListOpEx(uint8_t subcode, int32_t layer, uint16_t value, TPoint delta,
                                           const SCommandValues& values) {
  return record(C::ListOpEx, kPktLayerList, subcode, [&](CCommandBody& b) {
    targetFields(b.fields(), layer, value);
    pointFields(b.fields(), delta);
    valueFields(b.fields(), values);
    return true;
  });
}

// ---- layer images -----------------------------------------------------------------

bool CCommandRecorder::recordLayerImage(int32_t index, const TMTC& image, uint8_t subcode, std::string_view name,
                                        const uint8_t* attributes72) {
  return record(C::LayerImage, kPktLayerImage, subcode, [&](CCommandBody& b) {
    SImagePacket packet;
    if (!imagePacket(index, image, name, attributes72, packet)) return false;
    imageHeadFields(b.fields(), packet.head);
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
  targetFields(b.fields(), target, argument);
  pointFields(b.fields(), TPoint{layer.offsetX, layer.offsetY});
  pointFields(b.fields(), seed != nullptr ? *seed : TPoint{});
  fillTailFields(b.fields(), kind, args, packed, 0);
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
    targetFields(b.fields(), target, argument);
    for (const TPoint& p : points) pointFields(b.fields(), p);
    b.fields().zeros(8);
    fillTailFields(b.fields(), subcode == 3 ? 5 : 4, args, packed, 2);
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
    uint16_t at = uint16_t(index);
    b.fields().field(at).field(argument);
    pointFields(b.fields(), start);
    pointFields(b.fields(), end);
    return true;
  });
}

bool CCommandRecorder::recordPolygonFill(int32_t index, const TPointF* points, int32_t count) {
  if (count < 0 || count > 0xFFFF || (count > 0 && points == nullptr)) return false;
  return record(C::PolygonFill, kPktLayerEdit, 4, [&](CCommandBody& b) {
    targetFields(b.fields(), index, uint16_t(count));
    b.ownData(pointBytes(points, count));
    return true;
  });
}

// ---- masks ------------------------------------------------------------------------

bool CCommandRecorder::recordMaskCommand(int32_t layer, uint16_t argument, uint8_t subcode) {
  return record(C::MaskCommand, kPktMask, subcode, [&](CCommandBody& b) {
    targetFields(b.fields(), layer, argument);
    return true;
  });
}

bool CCommandRecorder::recordMaskCommandEx(int32_t layer, uint16_t argument, uint8_t subcode,
                                           const SCommandValues& values) {
  return record(C::MaskCommandEx, kPktMask, subcode, [&](CCommandBody& b) {
    targetFields(b.fields(), layer, argument);
    valueFields(b.fields(), values);
    return true;
  });
}

bool CCommandRecorder::recordMaskShape(int32_t layer, uint16_t argument, uint8_t subcode, uint8_t combine,
                                       TPointF start, TPointF end) {
  return record(C::MaskShape, kPktMask, subcode, [&](CCommandBody& b) {
    targetFields(b.fields(), layer, argument);
    b.fields().field(combine).zeros(1);
    pointFields(b.fields(), &start);
    pointFields(b.fields(), &end);
    return true;
  });
}

bool CCommandRecorder::recordMaskPolygon(int32_t layer, uint16_t argument, uint8_t combine, const TPointF* points,
                                         int32_t count) {
  if (count < 0 || count > 0xFFFF || (count > 0 && points == nullptr)) return false;
  return record(C::MaskPolygon, kPktMask, 18, [&](CCommandBody& b) {
    uint16_t n = uint16_t(count);
    targetFields(b.fields(), layer, argument);
    b.fields().field(combine).zeros(1).field(n);
    b.ownData(pointBytes(points, count));
    return true;
  });
}

bool CCommandRecorder::recordMaskName(int32_t mask, std::string_view name) {
  return writeNamed(C::MaskName, kPktMask, 12, mask, name);
}

// ---- filters ----------------------------------------------------------------------

bool CCommandRecorder::writeFilter(uint8_t type, int32_t layer, uint16_t argument, const uint32_t* values,
                                   size_t count, uint8_t code) {
  return record(C::Filter, type, code, [&](CCommandBody& b) {
    targetFields(b.fields(), layer, argument);
    for (size_t i = 0; i < count; ++i) {
      uint32_t v = values[i];
      b.fields().field(v);
    }
    return true;
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
    SEventRecord copy = record;
    b.fields().bytes(copy.data(), copy.size());
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
  if (!writeRecord(head.data(), head.size(), packet.head, imageHeadFields)) return false;
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
    b.fields().bytes(header.data(), 18).field(field18).field(field20).bytes(header.data() + 22, header.size() - 22);
    b.data = params.data();
    b.dataSize = uint32_t(params.size());
    return true;
  });
}

}  // namespace pg
