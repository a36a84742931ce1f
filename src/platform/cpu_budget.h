#pragma once
// How many processors this process may keep busy at once: the CPUs its
// affinity mask allows (taskset, a container's cpuset), lowered by the CPU
// time its control group may spend (a container's quota). Sizing the worker
// threads from the machine's whole count would, under such limits, put
// several threads on one CPU, where they only wait for each other.
#include <cstdint>
#include <string>

namespace pg {

// The processors the process may use now, at least 1.
[[nodiscard]] int usableCpus();

// The CPUs of this thread's affinity mask, at least 1.
[[nodiscard]] int affinityCpus();

// The CPU quota of the control group the process belongs to, as a whole
// number of processors rounded up; 0 when there is no quota (or none can be
// read). `root` is prefixed to "/proc/self/cgroup" and "/sys/fs/cgroup/...":
// empty for this system, a fixture's folder in tests. Both the unified
// hierarchy (cpu.max) and the older cpu controller (cpu.cfs_quota_us with
// cpu.cfs_period_us) are read; a group's ancestors limit it too, so the
// smallest quota on the way up counts.
[[nodiscard]] int cgroupCpuQuota(const std::string& root = {});

// quota / period processors rounded up, at least 1; 0 for no limit (a
// quota or period that is not positive).
[[nodiscard]] int quotaCpus(int64_t quotaMicros, int64_t periodMicros);

}  // namespace pg
