// Reads arbitrary bytes as a version 1.1 document into a fresh document. A
// file that is refused leaves the document untouched; one that is read gives
// a document of 1..10,000 pixels a side whose layers cover it, and a
// recording that either passed whole or was cleared.
#include <cstdint>
#include <cstdlib>

#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/layer_mngr.h"
#include "document/paper.h"
#include "io/legacy_document.h"
#include "record/legacy_event_packet.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pg;
  TPaper doc(nullptr, DocServices{});
  (void)doc.setSize(nullptr, 3, 2);  // a small document: fails only without memory
  TEventPacket packet;
  const SLegacyImportResult r = importLegacyBytes(data, size, "fuzz.lgb", doc, packet);
  const bool read = r.status == LegacyImport::Layers || r.status == LegacyImport::NoLayers ||
                    r.status == LegacyImport::Broken;
  if (!read) {
    check(doc.width == 3 && doc.height == 2);
    check(packet.size() == 0);
    return 0;
  }
  check(doc.width >= 1 && doc.width <= 10000 && doc.height >= 1 && doc.height <= 10000);
  check(doc.layerCount() >= 1 && doc.layerCount() <= 256);
  check(doc.isValidLayer(doc.currentLayerIndex()));
  for (int32_t i = 0; i < doc.layerCount(); ++i) {
    const CLayerData& l = *doc.getLayer(i);
    check(l.image && l.image->width() >= doc.width && l.image->height() >= doc.height);
  }
  if (r.eventsRefused) check(packet.size() == 0);
  SLegacyStreamInfo info;
  if (packet.size() > 0) check(TEventPacket().adopt(packet.bytes().data(), packet.size(), info));
  return 0;
}
