#include "core/chunk_head.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <ostream>

#include "core/byte_cursor.h"
#include "core/mem_utils.h"

namespace pg {

std::ostream& operator<<(std::ostream& out, FileResult r) { return out << int{fileResultNumber(r)}; }

namespace {

void chunkHeadFields(CByteCursor& c, SChunkHead& h) { c.field(h.tag).field(h.size); }

}  // namespace

SChunkHead parseChunkHead(const uint8_t* bytes) {
  return recordFromBytes<SChunkHead>(bytes, kChunkHeadBytes, chunkHeadFields);
}

void storeChunkHead(uint8_t* bytes, const SChunkHead& head) {
  // The buffer is the head's own size: its fields fit.
  (void)writeRecord(bytes, kChunkHeadBytes, head, chunkHeadFields);
}

FileResult readChunkHead(CStream& stream, SChunkHead& head) {
  uint8_t bytes[kChunkHeadBytes];
  if (!stream.readExact(bytes, kChunkHeadBytes)) return kRcShortRead;
  head = parseChunkHead(bytes);
  return kRcOk;
}

FileResult writeChunkHead(CStream& stream, const SChunkHead& head) {
  uint8_t bytes[kChunkHeadBytes];
  storeChunkHead(bytes, head);
  return stream.writeExact(bytes, kChunkHeadBytes) ? kRcOk : kRcShortWrite;
}

FileResult checkChunkTag(const SChunkHead& head, uint32_t tag) { return head.tag == tag ? kRcOk : kRcWrongTag; }

FileResult checkChunkHead(const SChunkHead& head, uint32_t tag, uint32_t size) {
  if (head.tag != tag) return kRcWrongTag;
  return head.size == size ? kRcOk : kRcHeaderSize;
}

FileResult writeChunkPadding(CStream& stream, uint64_t length) {
  static constexpr uint8_t kZeros[4] = {};
  const int64_t pad = int64_t(paddedTo4(length) - length);
  return stream.writeExact(kZeros, pad) ? kRcOk : kRcShortWrite;
}

FileResult readCountedString(CStream& stream, uint32_t n, std::string& text, int64_t limit) {
  // The count comes from the file: it is held against what the file and the
  // chunk really have before any memory is taken for it.
  if (limit >= 0 && int64_t{n} > limit) return kRcChunkPastEnd;
  if (int64_t{n} > stream.remaining()) return kRcShortRead;
  const size_t bytes = size_t{n} + 4;
  auto* buffer = static_cast<char*>(allocBlock(bytes));
  if (!buffer) return kRcOutOfMemory;
  FileResult code = kRcOk;
  if (!stream.readExact(buffer, n)) {
    code = kRcShortRead;
  } else {
    buffer[n] = 0;
    try {
      text.assign(buffer, std::strlen(buffer));
    } catch (const std::bad_alloc&) {
      code = kRcOutOfMemory;
    }
  }
  freeBlock(buffer);
  return code;
}

SPresetLoopResult readPresetChunks(CStream& stream, uint32_t tag, int32_t wanted, PresetChunkParser& parser) {
  SPresetLoopResult result;
  while (wanted > 0 && stream.remaining() > 0) {
    SChunkHead head;
    if (readChunkHead(stream, head) != kRcOk) {
      result.code = kRcShortRead;
      return result;
    }
    const int64_t chunkStart = stream.position();
    if (int64_t{head.size} > stream.remaining()) {
      result.code = kRcSeekFailed;
      return result;
    }
    const int64_t chunkEnd = chunkStart + int64_t{head.size};
    int64_t next = chunkEnd;
    if (head.tag == tag) {
      // A failed item, a refused one or an exception inside either ends
      // only this chunk.
      try {
        if (parser.parseChunk(stream, head, chunkStart) == kRcOk) {
          next = std::max(chunkEnd, stream.position());
          if (parser.offerItem()) {
            ++result.itemsRead;
            --wanted;
          }
        }
      } catch (...) {
      }
    }
    if (stream.seek(next, SeekOrigin::Begin) != next) {
      result.code = kRcSeekFailed;
      return result;
    }
  }
  return result;
}

}  // namespace pg
