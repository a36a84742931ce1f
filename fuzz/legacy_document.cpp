// Reads arbitrary bytes as a version 1.1 document into a fresh document, with
// the memory of a small machine. A file that is refused leaves the document
// untouched (unless memory ran out setting it up); one that is read gives
// a document of 1..10,000 pixels a side whose layers cover it, and a
// recording that either passed whole or was cleared.
#include <cstdint>
#include <cstdlib>

#include "core/block_image.h"
#include "document/layer_data.h"
#include "fuzz_support.h"
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
  // The memory of a small machine: larger documents take the
  // out-of-memory paths instead of seconds of every run.
  const fuzz::MemoryBudget budget;
  TPaper doc(nullptr, DocServices{});
  (void)doc.setSize(nullptr, 3, 2);  // a small document: fails only without memory
  TEventPacket packet;
  const SLegacyImportResult r = importLegacyBytes(data, size, "fuzz.lgb", doc, packet);
  const bool read = r.status == LegacyImport::Layers || r.status == LegacyImport::NoLayers ||
                    r.status == LegacyImport::Broken;
  if (!read) {
    // Untouched, unless memory ran out while it was set up at the file's
    // size: every caller discards that document.
    if (r.status != LegacyImport::Unreadable) check(doc.width() == 3 && doc.height() == 2);
    check(packet.size() == 0);
    return 0;
  }
  check(doc.width() >= 1 && doc.width() <= 10000 && doc.height() >= 1 && doc.height() <= 10000);
  check(doc.layerCount() >= 1 && doc.layerCount() <= 256);
  check(doc.isValidLayer(doc.currentLayerIndex()));
  for (int32_t i = 0; i < doc.layerCount(); ++i) {
    const CLayerData& l = *doc.getLayer(i);
    check(l.image && l.image->width() >= doc.width() && l.image->height() >= doc.height());
  }
  if (r.eventsRefused) check(packet.size() == 0);
  SLegacyStreamInfo info;
  if (packet.size() > 0) check(TEventPacket().adopt(packet.bytes().data(), packet.size(), info));
  return 0;
}
