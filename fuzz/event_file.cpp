// Reads arbitrary bytes as an event file (or a native file's events chunk),
// and as the raw stream inside an unpacked container. Every field is
// untrusted: the reader must answer one of its codes, never read past the
// data, leave the recorder untouched when it fails, and load a stream only
// when it walks whole.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/streams.h"
#include "record/event_file.h"
#include "record/event_store.h"
#include "record/packet_catalogue.h"
#include "record/packet_walker.h"

namespace {

using namespace pg;
using Bytes = std::vector<uint8_t>;

void check(bool ok) {
  if (!ok) std::abort();
}

bool knownCode(FileResult code) {
  switch (code) {
    case kRcOk: case kRcOutOfMemory: case kRcException: case kRcShortRead: case kRcSeekFailed:
    case kRcVersion: case kRcPictureKind: case kRcWrongTag: case kRcHeaderSize: case kRcBadEventBlock:
    case kRcNoRecorder: case kRcStreamShort: case kRcNoEvents: case kRcSegmentSize: case kRcUnpackedLength:
      return true;
    default:
      return false;
  }
}

Bytes streamOf(const CEventMngr& store) {
  Bytes b(store.writePosition());
  if (!b.empty()) check(store.readRange(0, b.data(), uint32_t(b.size())) == b.size());
  return b;
}

// A recorder with one committed event, as a document has before it loads.
void prepare(CEventMngr& store) {
  check(store.startRecording(nullptr, nullptr, 4, 4));
  const uint8_t body[4] = {1, 0, 0, 0};
  check(store.writePacket(kPktLayer, 1, 0, nullptr, 4, body));
}

// What a successful read must have left.
void checkLoaded(const CEventMngr& store) {
  check(store.writePosition() == store.committedEnd());
  check(walkPackets(store.source(), 0, store.writePosition()).wellFormed());
  // Written back and read again, the stream stays the same.
  CMemoryStream out;
  const FileResult written = store.committedEnd() > 0 ? writeEvents(out, store, 1, 1, nullProgress())
                                                   : writeEventContainer(out, store, 1, 1);
  check(written == kRcOk);
  CEventMngr again(nullptr);
  prepare(again);
  CFixedMemStream in(out.memory(), out.size());
  check(readEvents(in, &again, nullProgress()) == kRcOk);
  check(streamOf(again) == streamOf(store));
  check(again.committedCount() == store.committedCount());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;

  // The bytes as a file, or as a native file's chunk at the position.
  {
    CEventMngr store(nullptr);
    prepare(store);
    const Bytes before = streamOf(store);
    const uint32_t count = store.committedCount();
    CFixedMemStream in(data, int64_t(size));
    const FileResult code = readEventsFromNative(in, &store, nullProgress());
    check(knownCode(code));
    if (code == kRcOk) {
      check(in.position() <= int64_t(size));
      checkLoaded(store);
    } else {
      check(in.position() == 0);
      check(streamOf(store) == before && store.committedEnd() == before.size() && store.committedCount() == count);
    }
  }

  // The bytes as the raw stream of a container: loaded exactly when they walk.
  {
    Bytes file(kEventContainerBytes, 0);
    putChunkU32(file.data(), kTagEventsRaw);
    putChunkU32(file.data() + 4, uint32_t(paddedTo4(size) + 32));
    file[16] = uint8_t(kEventStreamVersion);
    putChunkU32(file.data() + 28, uint32_t(size));
    file.insert(file.end(), data, data + size);
    file.resize(kEventContainerBytes + paddedTo4(size), 0);
    CEventMngr store(nullptr);
    prepare(store);
    CFixedMemStream in(file.data(), int64_t(file.size()));
    const FileResult code = readEvents(in, &store, nullProgress());
    const bool walks = walkPackets(data, size).wellFormed();
    check(code == (walks ? kRcOk : kRcBadEventBlock));
    if (walks) {
      check(streamOf(store) == Bytes(data, data + size));
      check(in.position() == int64_t(file.size()));
      checkLoaded(store);
    }
  }
  return 0;
}
