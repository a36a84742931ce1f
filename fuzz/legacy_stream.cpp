// Checks arbitrary bytes as a version 1.1 event stream. A stream that passes
// must be walked record by record through the readers up to its end code,
// every reader staying inside it; a stream that fails leaves the packet as
// it was.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "brush/stroke_settings.h"
#include "record/legacy_event_packet.h"

namespace {

using namespace pg;

void check(bool ok) {
  if (!ok) std::abort();
}

// Reads one record after its code, by what the code is.
void readPayload(TEventPacket& packet, uint16_t code, TStroke& stroke) {
  SLegacyCodeLayout layout;
  check(legacyCodeLayout(code, layout));
  if (code <= 4) {
    SLegacyPoint p;
    check(packet.readStrokeBegin(stroke, p));
    bool last = !packet.insideStroke();
    while (!last) check(packet.readPoint(p, last));
    return;
  }
  if (layout.itemBytes > 0) {
    check(packet.skipBytes(layout.fixedBytes));
    std::vector<SLegacyPoint> points;
    check(packet.readPointList(points));
    return;
  }
  check(packet.skipBytes(layout.fixedBytes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TEventPacket packet;
  const std::vector<uint8_t> before = {0x00, 0x02, 0x10, 0x00, 0x10, 0x00, 0xFF, 0xFF};
  SLegacyStreamInfo info;
  check(packet.adopt(before.data(), before.size(), info));
  if (!packet.adopt(data, size, info)) {
    check(packet.bytes() == before);
    return 0;
  }
  check(info.canvasWidth >= 0 && info.canvasWidth <= 65535 && info.canvasHeight >= 0 && info.canvasHeight <= 65535);
  TStroke stroke;
  for (;;) {
    uint16_t code = 0;
    check(packet.readCode(code));
    if (code == kLegacyEndCode) break;
    readPayload(packet, code, stroke);
  }
  check(packet.readPosition() <= packet.size());
  return 0;
}
