#pragma once
// What the about box shows besides its picture: the memory of the machine
// and of the process, each as used and total.
#include <cstdint>
#include <string>

namespace pg {

// The about box's byte counts: "%4d B", "%4.2f KB", "%4.2f MB", "%4.2f GB".
std::string formatByteCount(uint64_t bytes);

// The three memory lines of the about box, used and total.
struct SMemoryStatus {
  uint64_t physicalUsed = 0, physicalTotal = 0;
  uint64_t swapUsed = 0, swapTotal = 0;
  uint64_t virtualUsed = 0, virtualTotal = 0;
};
// From the texts of /proc/meminfo and /proc/self/status; the address space
// limit is the process's own (0 when unlimited: then the machine's memory and
// swap together).
SMemoryStatus parseMemoryStatus(const std::string& meminfo, const std::string& selfStatus, uint64_t addressLimit);
SMemoryStatus readMemoryStatus();

}  // namespace pg
