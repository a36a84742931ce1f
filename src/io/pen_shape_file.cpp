#include "io/pen_shape_file.h"

#include <algorithm>
#include <memory>

#include "core/planes.h"
#include "io/preset_pen_shapes.h"
#include "io/thumbnail_chunk.h"

namespace pg {

namespace {

constexpr uint32_t kTagPenShapeFile = kTagPenShapeHeader;  // "PSST"
constexpr SPresetSetFormat kPenShapeSetFormat{kTagPenShapeFile, kPenShapeFileVersion, 12, kTagPenShape,
                                              kResPenShapeSetWord};
// The nib image's scramble: groups of 7, every 4th byte keyed.
constexpr uint8_t kNibGroup = 7;
constexpr uint8_t kNibStep = 3;

uint16_t field16(int32_t v) { return uint16_t(std::clamp<int32_t>(v, 0, 0xFFFF)); }

class PenShapeChunkParser final : public PresetChunkParser {
 public:
  explicit PenShapeChunkParser(CPenShapeMngr& list) : list_(list) {}

  uint8_t parseChunk(CStream& stream, const SChunkHead& head, int64_t) override {
    if (!item_) item_ = std::make_unique<CPenShapeObj>();
    return readPenShapeChunk(stream, head, *item_, budget_);
  }
  bool offerItem() override { return list_.add(std::move(item_)) >= 0; }

 private:
  CPenShapeMngr& list_;
  std::unique_ptr<CPenShapeObj> item_;
  SPresetPictureBudget budget_;
};

}  // namespace

uint8_t readPenShapeChunk(CStream& stream, const SChunkHead& head, CPenShapeObj& shape, SPresetPictureBudget& budget) {
  const int64_t remaining = int64_t{head.size} - kPenShapeRecordBytes;
  if (remaining < 0) return kRcChunkPastEnd;
  const int64_t chunkEnd = stream.position() + int64_t{head.size};
  uint8_t rec[kPenShapeRecordBytes];
  if (!stream.readExact(rec, kPenShapeRecordBytes)) return kRcShortRead;
  const uint32_t nameLength = chunkU16(rec + 2);
  if (int64_t{nameLength} > remaining) return kRcChunkPastEnd;
  // The name is read past: a nib keeps none.
  if (chunkEnd > stream.size() || stream.seek(chunkEnd, SeekOrigin::Begin) != chunkEnd) return kRcShortRead;
  if (chunkU16(rec + 4) > kPenShapeRecordVersion) return kRcVersion;

  SPenShapeRecord r;
  r.grade.type = rec[16];
  r.grade.value1 = chunkU16(rec + 20);
  r.grade.value2 = chunkU16(rec + 22);
  r.shape.size = chunkU16(rec + 40);
  r.shape.minSize = chunkU16(rec + 42);
  r.shape.aspect = chunkU16(rec + 44);
  r.shape.angle = chunkU16(rec + 46);
  r.edge.hard = int32_t(chunkU32(rec + 64));
  const int32_t scale = chunkU16(rec + 88);

  switch (chunkU16(rec)) {
    case CPenShapeObj::kParametric:
      shape.setParametric(&r.grade, &r.shape, &r.edge);
      return kRcOk;
    case CPenShapeObj::kImageNib: {
      uint8_t code = checkPresetPicture(stream, 1, budget);
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

uint8_t writePenShapeChunk(CStream& stream, const CPenShapeObj& shape) {
  if (shape.kind() > CPenShapeObj::kImageNib) return kRcBadGradient;
  const bool image = shape.isImageNib();
  const SPenShapeRecord& r = shape.params();
  uint8_t rec[kChunkHeadBytes + kPenShapeRecordBytes] = {};
  storeChunkHead(rec, {kTagPenShape, uint32_t(kPenShapeRecordBytes)});
  uint8_t* p = rec + kChunkHeadBytes;
  putChunkU16(p, image ? CPenShapeObj::kImageNib : CPenShapeObj::kParametric);
  putChunkU16(p + 4, kPenShapeRecordVersion);
  putChunkU16(p + 16, uint16_t(r.grade.type & 0xFF));
  putChunkU16(p + 20, field16(r.grade.value1));
  putChunkU16(p + 22, field16(r.grade.value2));
  putChunkU16(p + 40, field16(r.shape.size));
  putChunkU16(p + 42, field16(r.shape.minSize));
  putChunkU16(p + 44, field16(r.shape.aspect));
  putChunkU16(p + 46, field16(r.shape.angle));
  putChunkU32(p + 64, uint32_t(r.edge.hard));
  if (image) {
    putChunkU16(p + 88, field16(shape.scale()));
    putChunkU16(p + 92, field16(shape.scaleMin()));
    putChunkU16(p + 94, field16(shape.scaleMax()));
  }
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

uint8_t loadPenShapeFile(const std::string& path, CPenShapeMngr& list, bool append) {
  return readPresetFile(path, [&](CStream& in) { return readPenShapeSet(in, list, append, path); });
}

uint8_t readPenShapeSet(CStream& in, CPenShapeMngr& list, bool append, const std::string& path) {
  uint8_t header[kPresetHeaderBytes];
  PenShapeChunkParser parser(list);
  const auto begin = [&] {
    if (!append) list.clear();
  };
  const auto end = [&](int32_t) {
    if (!append) {
      list.select(std::min<int32_t>(chunkU16(header + 14), list.count() - 1));
      list.setFileName(path);
    }
    list.setModified(append);
  };
  return readPresetSet(in, kPenShapeSetFormat, parser, header, begin, end);
}

uint8_t savePenShapeFile(const std::string& path, CPenShapeMngr& list) {
  const auto fillHeader = [&](uint8_t* header) {
    putChunkU16(header + 14, uint16_t(std::max(list.currentIndex(), 0)));
  };
  const auto writeItem = [&](CStream& out, int32_t i) { return writePenShapeChunk(out, *list.getItem(i)); };
  const uint8_t code = writePresetSet(path, kPenShapeSetFormat, list.count(), fillHeader, writeItem);
  if (code != kRcOk) return code;
  list.setFileName(path);
  list.setModified(false);
  return kRcOk;
}

}  // namespace pg
