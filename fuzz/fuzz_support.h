#pragma once
// What the fuzz targets share: a check that ends the run like a crash, a
// message service that shows nothing (a message per input would slow the run
// and fill its log) and refuses every question, and a memory budget.
#include <cstdlib>
#include <string>

#include "core/block_pool.h"
#include "core/mem_utils.h"
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
// block (a plane, a composite, a working image) of more than 16 MiB is
// refused, and so is every tile past 16,384 (64 MiB) taken while it lives.
// A large document then takes the program's own out-of-memory paths instead
// of seconds of every run.
class MemoryBudget {
 public:
  static constexpr size_t kLargestBlock = size_t{16} << 20;
  static constexpr int64_t kTiles = 16384;
  MemoryBudget() {
    (void)setAllocFailHook([](size_t bytes) { return bytes > kLargestBlock; });
    tilePool().setFailAfter(kTiles);
  }
  ~MemoryBudget() {
    tilePool().setFailAfter(-1);
    (void)setAllocFailHook(nullptr);
  }
  MemoryBudget(const MemoryBudget&) = delete;
  MemoryBudget& operator=(const MemoryBudget&) = delete;
};

}  // namespace pg::fuzz
