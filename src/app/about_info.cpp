#include "app/about_info.h"

#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace pg {

std::string formatByteCount(uint64_t bytes) {
  char text[64];
  if (bytes < 1024u)
    std::snprintf(text, sizeof text, "%4d B", static_cast<int>(bytes));
  else if (bytes < 1048576u)
    std::snprintf(text, sizeof text, "%4.2f KB", bytes / 1024.0);
  else if (bytes < 1073741824u)
    std::snprintf(text, sizeof text, "%4.2f MB", bytes / 1048576.0);
  else
    std::snprintf(text, sizeof text, "%4.2f GB", bytes / 1073741824.0);
  return text;
}

namespace {

// The value of a "Name:   123 kB" line in bytes; 0 when missing.
uint64_t kibField(const std::string& text, const char* name) {
  std::istringstream in(text);
  std::string line;
  const std::string key = std::string(name) + ":";
  while (std::getline(in, line)) {
    if (line.compare(0, key.size(), key) != 0) continue;
    unsigned long long kib = 0;
    if (std::sscanf(line.c_str() + key.size(), "%llu", &kib) != 1) return 0;
    return kib > (UINT64_MAX >> 10) ? UINT64_MAX : kib << 10;
  }
  return 0;
}

std::string readAll(const char* path) {
  std::ifstream f(path);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

uint64_t usedOf(uint64_t total, uint64_t available) { return available < total ? total - available : 0; }

}  // namespace

SMemoryStatus parseMemoryStatus(const std::string& meminfo, const std::string& selfStatus, uint64_t addressLimit) {
  SMemoryStatus m;
  m.physicalTotal = kibField(meminfo, "MemTotal");
  m.physicalUsed = usedOf(m.physicalTotal, kibField(meminfo, "MemAvailable"));
  m.swapTotal = kibField(meminfo, "SwapTotal");
  m.swapUsed = usedOf(m.swapTotal, kibField(meminfo, "SwapFree"));
  m.virtualUsed = kibField(selfStatus, "VmSize");
  m.virtualTotal = addressLimit != 0 ? addressLimit : m.physicalTotal + m.swapTotal;
  return m;
}

SMemoryStatus readMemoryStatus() {
  rlimit limit{};
  uint64_t address = 0;
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) address = limit.rlim_cur;
  return parseMemoryStatus(readAll("/proc/meminfo"), readAll("/proc/self/status"), address);
}

}  // namespace pg
