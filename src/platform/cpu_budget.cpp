#include "platform/cpu_budget.h"

#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>
#include <string_view>
#include <thread>
#include <vector>

namespace pg {

namespace {

// The first line of a small file; empty when it cannot be read.
std::string firstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  if (in) std::getline(in, line);
  return line;
}

// A decimal integer filling the whole text (surrounding blanks allowed).
bool parseInt(std::string_view text, int64_t& value) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

// The group folder and each of its ancestors up to the controller's mount,
// deepest first. A path that does not exist below the mount (a container
// that shows its own group as the mount's root) gives the mount alone.
std::vector<std::string> groupFolders(const std::string& mount, std::string path) {
  // A group outside the namespace's view ("/../..") is not below the mount.
  if (path.find("..") != std::string::npos) return {mount};
  std::vector<std::string> folders;
  while (!path.empty() && path.back() == '/') path.pop_back();
  for (;;) {
    folders.push_back(mount + path);
    if (path.empty()) break;
    path.erase(path.rfind('/'));
  }
  return folders;
}

// The smallest quota (in processors) among the folders, 0 for none.
template <typename ReadQuota>
int smallestQuota(const std::vector<std::string>& folders, ReadQuota read) {
  int best = 0;
  for (const std::string& f : folders) {
    const int q = read(f);
    if (q > 0 && (best == 0 || q < best)) best = q;
  }
  return best;
}

// cpu.max of the unified hierarchy: "max 100000" or "<quota> <period>".
int unifiedQuota(const std::string& folder) {
  const std::string line = firstLine(folder + "/cpu.max");
  const size_t gap = line.find(' ');
  if (gap == std::string::npos) return 0;
  int64_t quota = 0, period = 0;
  if (!parseInt(std::string_view(line).substr(0, gap), quota)) return 0;  // "max": no limit
  if (!parseInt(std::string_view(line).substr(gap + 1), period)) return 0;
  return quotaCpus(quota, period);
}

// cpu.cfs_quota_us (-1: no limit) over cpu.cfs_period_us of the older cpu controller.
int legacyQuota(const std::string& folder) {
  int64_t quota = 0, period = 0;
  if (!parseInt(firstLine(folder + "/cpu.cfs_quota_us"), quota)) return 0;
  if (!parseInt(firstLine(folder + "/cpu.cfs_period_us"), period)) return 0;
  return quotaCpus(quota, period);
}

bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace

int quotaCpus(int64_t quotaMicros, int64_t periodMicros) {
  if (quotaMicros <= 0 || periodMicros <= 0) return 0;
  const int64_t cpus = quotaMicros / periodMicros + (quotaMicros % periodMicros != 0 ? 1 : 0);
  return static_cast<int>(std::clamp<int64_t>(cpus, 1, 1 << 20));
}

int cgroupCpuQuota(const std::string& root) {
  std::ifstream in(root + "/proc/self/cgroup");
  if (!in) return 0;
  const std::string fs = root + "/sys/fs/cgroup";
  int best = 0;
  const auto take = [&best](int q) {
    if (q > 0 && (best == 0 || q < best)) best = q;
  };
  // Lines are "<id>:<controllers>:<path>"; the unified hierarchy's is
  // "0::<path>".
  for (std::string line; std::getline(in, line);) {
    const size_t c1 = line.find(':');
    const size_t c2 = c1 == std::string::npos ? c1 : line.find(':', c1 + 1);
    if (c2 == std::string::npos) continue;
    const std::string controllers = line.substr(c1 + 1, c2 - c1 - 1);
    const std::string path = line.substr(c2 + 1);
    if (path.empty() || path.front() != '/') continue;
    if (controllers.empty()) {
      std::vector<std::string> folders = groupFolders(fs, path);
      if (!fileExists(folders.front() + "/cgroup.procs")) folders = {fs};
      take(smallestQuota(folders, unifiedQuota));
      continue;
    }
    std::stringstream list(controllers);
    bool cpu = false;
    for (std::string name; std::getline(list, name, ',');) cpu = cpu || name == "cpu";
    if (!cpu) continue;
    // The older controller is mounted under the joined controller names
    // ("cpu,cpuacct") or as "cpu".
    for (const std::string& mount : {fs + "/" + controllers, fs + "/cpu"}) {
      if (!fileExists(mount + "/cpu.cfs_period_us")) continue;
      std::vector<std::string> folders = groupFolders(mount, path);
      if (!fileExists(folders.front() + "/cpu.cfs_period_us")) folders = {mount};
      take(smallestQuota(folders, legacyQuota));
      break;
    }
  }
  return best;
}

int affinityCpus() {
  // The mask may be larger than cpu_set_t on machines with many processors:
  // grow it until the call fits.
  for (int size = CPU_SETSIZE; size <= (1 << 16); size *= 2) {
    cpu_set_t* set = CPU_ALLOC(size);
    if (set == nullptr) break;
    const size_t bytes = CPU_ALLOC_SIZE(size);
    CPU_ZERO_S(bytes, set);
    const int got = sched_getaffinity(0, bytes, set);
    const int count = got == 0 ? CPU_COUNT_S(bytes, set) : 0;
    CPU_FREE(set);
    if (got == 0) return std::max(count, 1);
    if (errno != EINVAL) break;
  }
  return static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
}

int usableCpus() {
  const int cpus = affinityCpus();
  const int quota = cgroupCpuQuota();
  return quota > 0 ? std::min(cpus, quota) : cpus;
}

}  // namespace pg
