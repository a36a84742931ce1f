// Walks arbitrary bytes as a stream of event packets, flat and through the
// segments of an event store, and runs the store's undo walk over them: every
// length in a stream is untrusted, and no walk may read past the data.
#include <cstdint>
#include <cstdlib>

#include "record/event_store.h"
#include "record/packet_walker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pg;
  if (size > (1u << 20)) return 0;

  SWalkResult flat = walkPackets(data, size, [&](const SPacketInfo& p) {
    if (p.end() > size) std::abort();
    return true;
  });
  if (flat.offset > size || (flat.wellFormed() && flat.offset != size)) std::abort();

  // The same bytes in small segments, so that packets and length fields
  // straddle segment boundaries.
  CEventMngr store(nullptr, 64, 0);
  if (!store.startRecording(nullptr, nullptr, 4, 4)) std::abort();
  uint32_t base = store.writePosition();  // the version item
  if (size > 0 && store.append(data, uint32_t(size)) != size) std::abort();
  SWalkResult segmented = walkPackets(store.source(), base, store.writePosition());
  if (segmented.status != flat.status || segmented.packets != flat.packets ||
      segmented.offset - base != flat.offset)
    std::abort();

  // The bytes as one committed event, undone, redone and dropped again.
  if (!store.commit()) std::abort();
  store.firstCommandOfLastEvent();
  if (!store.undoEvent()) std::abort();
  if (store.writePosition() != 0) std::abort();
  if (!store.redoEvent()) std::abort();
  if (store.writePosition() != base + size) std::abort();
  if (!store.dropLastEvent()) std::abort();
  return 0;
}
