#include "io/pen_shape_file.h"

#include <algorithm>
#include <memory>

#include "core/byte_cursor.h"
#include "core/planes.h"
#include "io/preset_pen_shapes.h"
#include "io/thumbnail_chunk.h"

namespace pg {

namespace {

constexpr uint32_t kTagPenShapeFile = kTagPenShapeHeader;  // "PSST"
// The set's header: the count and the current nib.
void penShapeSetHeaderFields(CByteCursor& c, SPresetSetHeader& h) {
  presetSetHeadFields(c, h);
  c.zeros(3).field(h.count).field(h.current).zeros(16);
}
constexpr SPresetSetFormat kPenShapeSetFormat{kTagPenShapeFile, kPenShapeFileVersion, penShapeSetHeaderFields,
                                              kTagPenShape, kResPenShapeSetWord};
// The nib image's scramble: groups of 7, every 4th byte keyed.
constexpr uint8_t kNibGroup = 7;
constexpr uint8_t kNibStep = 3;

uint16_t field16(int32_t v) { return uint16_t(std::clamp<int32_t>(v, 0, 0xFFFF)); }

class PenShapeChunkParser final : public PresetChunkParser {
 public:
  explicit PenShapeChunkParser(CPenShapeMngr& list) : list_(list) {}

  [[nodiscard]] FileResult parseChunk(CStream& stream, const SChunkHead& head, int64_t) override {
    if (!item_) item_ = std::make_unique<CPenShapeObj>();
    return readPenShapeChunk(stream, head, *item_, budget_);
  }
  [[nodiscard]] bool offerItem() override { return list_.add(std::move(item_)) >= 0; }

 private:
  CPenShapeMngr& list_;
  std::unique_ptr<CPenShapeObj> item_;
  SPresetPictureBudget budget_;
};

// The 120-byte nib record after the chunk head "PSHP"; a nib picture follows
// for an image nib.
struct SPenShapeWire {
  uint16_t kind = 0;
  uint16_t nameLength = 0;
  uint16_t version = kPenShapeRecordVersion;
  uint16_t gradeType = 0, gradeValue1 = 0, gradeValue2 = 0;
  uint16_t size = 0, minSize = 0, aspect = 0, angle = 0;
  uint32_t edgeHard = 0;
  uint16_t scale = 0, scaleMin = 0, scaleMax = 0;  // image nibs only
};

void penShapeRecordFields(CByteCursor& c, SPenShapeWire& r) {
  c.field(r.kind).field(r.nameLength).field(r.version).zeros(10).field(r.gradeType).zeros(2);
  c.field(r.gradeValue1).field(r.gradeValue2).zeros(16);
  c.field(r.size).field(r.minSize).field(r.aspect).field(r.angle).zeros(16).field(r.edgeHard).zeros(20);
  c.field(r.scale).zeros(2).field(r.scaleMin).field(r.scaleMax).zeros(24);
}

}  // namespace

FileResult readPenShapeChunk(CStream& stream, const SChunkHead& head, CPenShapeObj& shape, SPresetPictureBudget& budget) {
  const int64_t remaining = int64_t{head.size} - kPenShapeRecordBytes;
  if (remaining < 0) return kRcChunkPastEnd;
  const int64_t chunkEnd = stream.position() + int64_t{head.size};
  uint8_t rec[kPenShapeRecordBytes];
  SPenShapeWire w;
  if (!stream.readExact(rec, kPenShapeRecordBytes) || !readRecord(rec, kPenShapeRecordBytes, w, penShapeRecordFields))
    return kRcShortRead;
  const uint32_t nameLength = w.nameLength;
  if (int64_t{nameLength} > remaining) return kRcChunkPastEnd;
  // The name is read past: a nib keeps none.
  if (chunkEnd > stream.size() || stream.seek(chunkEnd, SeekOrigin::Begin) != chunkEnd) return kRcShortRead;
  if (w.version > kPenShapeRecordVersion) return kRcVersion;

  SPenShapeRecord r;
  r.grade.type = uint8_t(w.gradeType);  // one byte is stored, in a 16-bit field
  r.grade.value1 = w.gradeValue1;
  r.grade.value2 = w.gradeValue2;
  r.shape.size = w.size;
  r.shape.minSize = w.minSize;
  r.shape.aspect = w.aspect;
  r.shape.angle = w.angle;
  r.edge.hard = int32_t(w.edgeHard);
  const int32_t scale = w.scale;

  switch (w.kind) {
    case CPenShapeObj::kParametric:
      shape.setParametric(&r.grade, &r.shape, &r.edge);
      return kRcOk;
    case CPenShapeObj::kImageNib: {
      FileResult code = checkPresetPicture(stream, 1, budget);
      if (code != kRcOk) return code;
      SThumbnailDesc desc;
      TChannel picture;
      int64_t length = 0;
      code = readChannelThumbnail(stream, desc, picture, length);
      if (code != kRcOk) return code;
      shape.setParametric(&r.grade, &r.shape, &r.edge);
      if (!shape.setImage(picture, false)) return kRcItemRefused;
      shape.setScale(scale);
      return kRcOk;
    }
    default:
      return kRcPictureKind;
  }
}

FileResult writePenShapeChunk(CStream& stream, const CPenShapeObj& shape) {
  if (shape.kind() > CPenShapeObj::kImageNib) return kRcBadGradient;
  const bool image = shape.isImageNib();
  const SPenShapeRecord& r = shape.params();
  SPenShapeWire w;
  w.kind = image ? CPenShapeObj::kImageNib : CPenShapeObj::kParametric;
  w.gradeType = uint16_t(r.grade.type & 0xFF);
  w.gradeValue1 = field16(r.grade.value1);
  w.gradeValue2 = field16(r.grade.value2);
  w.size = field16(r.shape.size);
  w.minSize = field16(r.shape.minSize);
  w.aspect = field16(r.shape.aspect);
  w.angle = field16(r.shape.angle);
  w.edgeHard = uint32_t(r.edge.hard);
  if (image) {
    w.scale = field16(shape.scale());
    w.scaleMin = field16(shape.scaleMin());
    w.scaleMax = field16(shape.scaleMax());
  }
  uint8_t rec[kChunkHeadBytes + kPenShapeRecordBytes];
  storeChunkHead(rec, {kTagPenShape, uint32_t(kPenShapeRecordBytes)});
  if (!writeRecord(rec + kChunkHeadBytes, kPenShapeRecordBytes, w, penShapeRecordFields)) return kRcShortWrite;
  if (!stream.writeExact(rec, sizeof rec)) return kRcShortWrite;
  if (!image) return kRcOk;
  const TChannel& picture = *shape.image();
  SThumbnailDesc desc;
  desc.format = kThumbnailScrambled;
  desc.kind = kPictureNib;
  desc.group = kNibGroup;
  desc.key = kThumbnailKey;
  desc.step = kNibStep;
  desc.sourceWidth = desc.width = uint32_t(picture.Width);
  desc.sourceHeight = desc.height = uint32_t(picture.Height);
  return writeThumbnailChunk(stream, desc, picture.Bits);
}

FileResult loadPenShapeFile(const std::string& path, CPenShapeMngr& list, bool append) {
  return readPresetFile(path, [&](CStream& in) { return readPenShapeSet(in, list, append, path); });
}

FileResult readPenShapeSet(CStream& in, CPenShapeMngr& list, bool append, const std::string& path) {
  SPresetSetHeader header;
  PenShapeChunkParser parser(list);
  const auto begin = [&] {
    if (!append) list.clear();
  };
  const auto end = [&](int32_t) {
    if (!append) {
      list.select(std::min<int32_t>(header.current, list.count() - 1));
      list.setFileName(path);
    }
    list.setModified(append);
  };
  return readPresetSet(in, kPenShapeSetFormat, parser, header, begin, end);
}

FileResult savePenShapeFile(const std::string& path, CPenShapeMngr& list) {
  const auto fillHeader = [&](SPresetSetHeader& header) {
    header.current = uint16_t(std::max(list.currentIndex(), 0));
  };
  const auto writeItem = [&](CStream& out, int32_t i) { return writePenShapeChunk(out, *list.getItem(i)); };
  const FileResult code = writePresetSet(path, kPenShapeSetFormat, list.count(), fillHeader, writeItem);
  if (code != kRcOk) return code;
  list.setFileName(path);
  list.setModified(false);
  return kRcOk;
}

}  // namespace pg
