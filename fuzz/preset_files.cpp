// Feeds arbitrary bytes to every preset reader: gradient sets and their
// chunk, pen shapes and their chunk, pen methods, and the four palette
// formats. Every count, size and name length in them is untrusted: a reader
// must answer one of its codes, never read past the data, and leave only
// items that keep their invariants. What was read must also write back and
// read again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "brush/gradient_mngr.h"
#include "core/chunk_head.h"
#include "core/streams.h"
#include "io/gradient_file.h"
#include "io/palette_file.h"
#include "io/pen_method_file.h"
#include "io/pen_shape_file.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "platform/message_service.h"

namespace {

using namespace pg;
using Bytes = std::vector<uint8_t>;

void check(bool ok) {
  if (!ok) std::abort();
}

bool knownCode(FileResult code) {
  switch (code) {
    case kRcOk: case kRcOutOfMemory: case kRcException: case kRcShortRead: case kRcSeekFailed:
    case kRcChunkPastEnd: case kRcVersion: case kRcTooLarge: case kRcThumbFormat: case kRcPictureKind:
    case kRcWrongTag: case kRcHeaderSize: case kRcBadGradient: case kRcNothing: case kRcItemRefused:
      return true;
    default:
      return false;
  }
}

template <typename Write>
Bytes written(Write write) {
  CMemoryStream out;
  check(write(out) == kRcOk);
  return out.bytes();
}

// A gradient the reader accepted is compact, has two stops or more and fits
// a stop group; written and read again it writes the same bytes.
void checkGradient(const CGradObj& g) {
  const CColorSlotGroup& s = g.Stops;
  check(s.usedCount() >= 2 && s.lastIndex() == s.usedCount() - 1 && s.lastIndex() < kColorSlotLimit);
  check(s.isUsable());
  const Bytes once = written([&](CStream& out) { return writeGradientChunk(out, s, g.Repeat); });
  CFixedMemStream in(once.data(), int64_t(once.size()));
  CColorSlotGroup again(16);
  SGradRepeat repeat;
  check(readGradientChunk(in, again, repeat) == kRcOk);
  check(written([&](CStream& out) { return writeGradientChunk(out, again, repeat); }) == once);
}

void checkPenShape(const CPenShapeObj& shape) {
  if (shape.isImageNib()) {
    check(shape.image()->Width > 0 && shape.image()->Height > 0);
    check(shape.scaleMin() <= shape.scale() && shape.scale() <= shape.scaleMax());
  }
  const Bytes once = written([&](CStream& out) { return writePenShapeChunk(out, shape); });
  CFixedMemStream in(once.data(), int64_t(once.size()));
  SChunkHead head;
  check(readChunkHead(in, head) == kRcOk);
  CPenShapeObj again;
  SPresetPictureBudget budget;
  check(readPenShapeChunk(in, head, again, budget) == kRcOk);
  check(again.params() == shape.params() && again.isImageNib() == shape.isImageNib());
}

void checkPenMethod(const CPenMethodObj& method) {
  const Bytes once = written([&](CStream& out) { return writePenMethodChunk(out, method); });
  CFixedMemStream in(once.data(), int64_t(once.size()));
  SChunkHead head;
  check(readChunkHead(in, head) == kRcOk);
  std::unique_ptr<CPenMethodObj> again;
  SPresetPictureBudget budget;
  check(readPenMethodChunk(in, head, again, budget) == kRcOk);
  check(written([&](CStream& out) { return writePenMethodChunk(out, *again); }) == once);
}

void gradients(const uint8_t* data, size_t size) {
  for (bool append : {false, true}) {
    CGradMngr list(true);
    list.addBuiltins();
    CFixedMemStream in(data, int64_t(size));
    check(knownCode(readGradientSet(in, list, append, nullptr, "fuzz.kgs")));
    for (int32_t i = 0; i < list.count(); ++i)
      if (!list.isFixed(i)) checkGradient(*list.getItem(i));
  }
  CFixedMemStream in(data, int64_t(size));
  CColorSlotGroup stops(16);
  SGradRepeat repeat;
  const FileResult code = readGradientChunk(in, stops, repeat);
  check(knownCode(code));
  if (code == kRcOk) {
    CGradObj g;
    g.Stops = stops;
    g.Repeat = repeat;
    checkGradient(g);
  }
}

void penShapes(const uint8_t* data, size_t size) {
  CPenShapeMngr list;
  CFixedMemStream in(data, int64_t(size));
  check(knownCode(readPenShapeSet(in, list, false, "fuzz.psh")));
  for (int32_t i = 0; i < list.count(); ++i) checkPenShape(*list.getItem(i));
  check(list.count() == 0 || list.isValidIndex(list.currentIndex()));
}

void penMethods(const uint8_t* data, size_t size) {
  CPenMethodMngr list;
  CFixedMemStream in(data, int64_t(size));
  check(knownCode(readPenMethodSet(in, list, false, "fuzz.pmt")));
  for (int32_t i = 0; i < list.count(); ++i) checkPenMethod(*list.getItem(i));
  PenMethodSlots slots;
  if (list.getSlots(slots))
    for (int32_t s : slots) check(list.isValidIndex(s));
  list.addMissingKinds();
  check(list.hasAllKinds());
}

void palettes(const uint8_t* data, size_t size) {
  SPaletteData kpl, aco, text;
  if (parseKplPalette(data, size, kpl)) {
    check(kpl.colours.size() <= size / 4);
    const Bytes out = written([&](CStream& s) { return writeKplPalette(s, kpl.colours, {8, 8, 1, 1}) ? kRcOk : kRcShortWrite; });
    SPaletteData again;
    check(parseKplPalette(out.data(), out.size(), again) && again.colours == kpl.colours);
  }
  if (parseAcoPalette(data, size, aco)) {
    check(aco.colours.size() <= size / 10);
    check(aco.cmykCount <= int64_t(aco.colours.size()));
  }
  parseTextPalette(std::string_view(reinterpret_cast<const char*>(data), size), text);
  check(text.colours.size() <= size);
  const Bytes out = written([&](CStream& s) { return writeTextPalette(s, text.colours, {8, 8, 1, 1}, "\r") ? kRcOk : kRcShortWrite; });
  SPaletteData again;
  parseTextPalette(std::string_view(reinterpret_cast<const char*>(out.data()), out.size()), again);
  for (size_t i = 0; i < text.colours.size(); ++i) check((again.colours[i] & 0xFFFFFFu) == (text.colours[i] & 0xFFFFFFu));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static RecordingMessageService messages;
  static ScopedMessageService scoped(messages);
  messages.clear();
  gradients(data, size);
  penShapes(data, size);
  penMethods(data, size);
  palettes(data, size);
  return 0;
}
