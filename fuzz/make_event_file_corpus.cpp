// Writes the seed corpus of the event_file fuzz target into the folder given
// as the argument: small files written by the event writers, and truncated
// and corrupted ones; prints the reader's result for each. Build target make_event_file_corpus; run it as
//   build/fuzz/make_event_file_corpus fuzz/corpus/event_file
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/chunk_head.h"
#include "core/streams.h"
#include "record/event_file.h"
#include "record/event_store.h"
#include "record/packet_catalogue.h"

namespace {

using namespace pg;
using Bytes = std::vector<uint8_t>;

std::string gFolder;

// Writes one seed and prints the reader's result for it.
void save(const char* name, const Bytes& bytes) {
  std::ofstream out(gFolder + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  CEventMngr store(nullptr);
  if (!store.startRecording(nullptr, nullptr, 4, 4)) std::abort();
  CFixedMemStream in(bytes.data(), int64_t(bytes.size()));
  std::printf("%-28s %3d\n", name, int{fileResultNumber(readEvents(in, &store, nullProgress()))});
}

// A recording of n events, each a data packet of `data` zero bytes and a
// layer command.
void record(CEventMngr& store, int events, uint32_t data) {
  if (!store.startRecording(nullptr, nullptr, 40, 40)) std::abort();
  const Bytes zeros(data, 0);
  for (int i = 0; i < events; ++i) {
    const uint8_t body[4] = {uint8_t(i), 0, 0, 0};
    if (!store.writeDataPacket(5, data, data ? zeros.data() : nullptr) ||
        !store.writePacket(kPktLayer, 1, 0, nullptr, 4, body))
      std::abort();
  }
}

Bytes packed(const CEventMngr& store) {
  CMemoryStream out;
  if (writeEvents(out, store, 640, 480, nullProgress()) != kRcOk) std::abort();
  return out.bytes();
}

Bytes container(const CEventMngr& store) {
  CMemoryStream out;
  if (writeEventContainer(out, store, 640, 480) != kRcOk) std::abort();
  return out.bytes();
}

Bytes thumbnail() {
  Bytes t(48 + 16, 0);
  putChunkU32(t.data(), kTagThumbnail);
  putChunkU32(t.data() + 4, 40 + 16);
  t[8] = 1;
  return t;
}

Bytes concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes cut(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + long(n)); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  gFolder = argv[1];

  CEventMngr small(nullptr);
  record(small, 3, 20);
  CEventMngr twoBlocks(nullptr);
  record(twoBlocks, 2, 40000);  // 80,000 bytes: the second block is partial
  CEventMngr empty(nullptr);
  record(empty, 0, 0);

  const Bytes one = packed(small);
  const Bytes two = packed(twoBlocks);
  const size_t secondBlock = 56 + 8 + chunkU32(two.data() + 56 + 4);

  save("valid_packed", one);
  save("valid_packed_thumbnail", concat(thumbnail(), one));
  save("valid_packed_two_blocks", two);
  save("valid_container", container(small));
  save("valid_container_empty", container(empty));

  save("broken_empty", {});
  save("broken_cut_header", cut(one, 50));
  save("broken_cut_block_head", cut(two, secondBlock + 12));
  save("broken_cut_packed", cut(two, two.size() - 3));
  save("broken_cut_container", cut(container(twoBlocks), 2000));
  Bytes b = one;
  putChunkU16(b.data() + 16, 44);
  save("broken_version_44", b);
  b = container(small);
  putChunkU16(b.data() + 18, 1);
  save("broken_container_reserved", b);
  b = two;
  b[secondBlock] = 'X';
  save("broken_block_tag", b);
  b = two;
  putChunkU32(b.data() + secondBlock + 8, 1);
  save("broken_block_offset", b);
  b = two;
  putChunkU32(b.data() + 40, 7);
  save("broken_block_count", b);
  b = two;
  b[secondBlock + 28 + 10] ^= 0xFF;
  save("broken_packed_data", b);
  b = one;
  putChunkU32(b.data() + 44, 4096);
  save("broken_segment_size", b);
  b = thumbnail();
  putChunkU32(b.data() + 4, 8);
  save("broken_thumbnail_size", concat(b, one));
  b = container(small);
  b[40 + 14] = 0x63;  // the first command becomes a packet type nobody knows
  save("broken_unwalkable", b);
  return 0;
}
