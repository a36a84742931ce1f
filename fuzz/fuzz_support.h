#pragma once
// What the fuzz targets share: a check that ends the run like a crash, a
// message service that shows nothing (a message per input would slow the run
// and fill its log) and refuses every question, and a memory budget.
#include <cstdlib>
#include <string>

#include "core/block_pool.h"
#include "core/mem_utils.h"
#include "core/parallel.h"
#include "document/tool_window_link.h"
#include "platform/message_service.h"

namespace pg::fuzz {

inline void check(bool ok) {
  if (!ok) std::abort();
}

class SilentMessages final : public MessageService {
 public:
  void warning(const std::string&) override {}
  void information(const std::string&) override {}
  int question(const std::string&, MessageButtons buttons) override { return refusingAnswer(buttons); }
};

// Installs one SilentMessages for the process (the first call does it).
inline void silenceMessages() {
  static SilentMessages silent;
  static const bool installed = (setMessageService(&silent), true);
  (void)installed;
}

// While one lives, the process has the memory of a small machine: a single
// block (a plane, a composite, a working image) of more than 1 MiB is
// refused, and so is every tile past 16,384 (64 MiB) taken while it lives.
// A document past 512 x 512 pixels then takes the program's own
// out-of-memory paths when it is set up (after its file was read) instead
// of tens of milliseconds of every run in setting up and drawing it; the
// readers' own buffers stay within the block (one thread reading a native
// file holds one buffer of packed tiles at a time).
//
// It also sets the process up for one input after another rather than for a
// person at a screen, none of which changes what a reader accepts or makes:
// work runs on the calling thread (the fuzzer runs one input at a time, and
// handing a small job to other threads costs more than the job); tile memory
// comes page by page as it is written instead of being made present a chunk
// at a time; and list thumbnails are 8 pixels on a side, so that every layer
// and mask a file holds is not averaged into 48 x 48 pixels of its own.
class MemoryBudget {
 public:
  static constexpr size_t kLargestBlock = size_t{1} << 20;
  static constexpr int64_t kTiles = 16384;
  MemoryBudget() : workers_(setParallelWorkers(1)), link_(setToolWindowLink(&smallThumbnails())) {
    (void)setAllocFailHook([](size_t bytes) { return bytes > kLargestBlock; });
    tilePool().setFailAfter(kTiles);
  }
  ~MemoryBudget() {
    tilePool().setFailAfter(-1);
    (void)setAllocFailHook(nullptr);
    (void)setToolWindowLink(link_);
    (void)setParallelWorkers(workers_);
  }
  MemoryBudget(const MemoryBudget&) = delete;
  MemoryBudget& operator=(const MemoryBudget&) = delete;

 private:
  class SmallThumbnails final : public CToolWindowLink {
   public:
    int32_t layerThumbHeight() const override { return 8; }
    int32_t maskThumbHeight() const override { return 8; }
  };
  static SmallThumbnails& smallThumbnails() {
    static SmallThumbnails link;
    return link;
  }

  const int workers_;
  CToolWindowLink* const link_;
  const CTilePoolFirstWriteScope firstWrite_;
};

}  // namespace pg::fuzz
