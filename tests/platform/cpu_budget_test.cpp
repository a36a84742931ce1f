// The processors the worker threads may use: the affinity mask and the
// control group's CPU quota, the quota read from a fixture of the files the
// kernel shows.
#include "platform/cpu_budget.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "test_support/temp_folder.h"

namespace pg {
namespace {

namespace fs = std::filesystem;

// A fake root: "/proc/self/cgroup" and the files below "/sys/fs/cgroup".
class CgroupFixture {
 public:
  void write(const std::string& path, const std::string& text) {
    const fs::path full = folder_.path() / path;
    fs::create_directories(full.parent_path());
    std::ofstream(full) << text;
  }
  std::string root() const { return folder_.path().string(); }

 private:
  testing::TempFolder folder_;
};

TEST(CpuBudget, QuotaInProcessorsRoundsUp) {
  struct Case {
    int64_t quota, period;
    int cpus;
  };
  const Case cases[] = {{-1, 100000, 0}, {0, 100000, 0},      {100000, 0, 0},          {100000, 100000, 1},
                        {150000, 100000, 2}, {50000, 100000, 1}, {400000, 100000, 4}, {INT64_MAX, 1, 1 << 20}};
  for (const Case& c : cases) EXPECT_EQ(quotaCpus(c.quota, c.period), c.cpus) << c.quota << "/" << c.period;
}

TEST(CpuBudget, UnifiedHierarchyTakesTheSmallestQuotaOnTheWayUp) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    int cpus;
  };
  const std::string group = "sys/fs/cgroup/box/job/";
  const Case cases[] = {
      {"no quota anywhere", {{group + "cpu.max", "max 100000\n"}, {"sys/fs/cgroup/box/cpu.max", "max 100000\n"}}, 0},
      {"the group's own", {{group + "cpu.max", "250000 100000\n"}}, 3},
      {"a tighter parent", {{group + "cpu.max", "400000 100000\n"}, {"sys/fs/cgroup/box/cpu.max", "200000 100000\n"}}, 2},
      {"a looser parent", {{group + "cpu.max", "100000 100000\n"}, {"sys/fs/cgroup/box/cpu.max", "800000 100000\n"}}, 1},
      {"damaged text", {{group + "cpu.max", "lots\n"}, {"sys/fs/cgroup/box/cpu.max", "2x 100000\n"}}, 0},
  };
  for (const Case& c : cases) {
    CgroupFixture f;
    f.write("proc/self/cgroup", "0::/box/job\n");
    f.write(group + "cgroup.procs", "1\n");
    for (const auto& [path, text] : c.files) f.write(path, text);
    EXPECT_EQ(cgroupCpuQuota(f.root()), c.cpus) << c.name;
  }
}

TEST(CpuBudget, AGroupNotBelowTheMountReadsTheMountItself) {
  // Inside a container the process's group is often the mount's root, and
  // its path names a group the container cannot see.
  for (const char* path : {"/", "/outside/the/view", "/../../elsewhere"}) {
    CgroupFixture f;
    f.write("proc/self/cgroup", std::string("0::") + path + "\n");
    f.write("sys/fs/cgroup/cpu.max", "300000 100000\n");
    EXPECT_EQ(cgroupCpuQuota(f.root()), 3) << path;
  }
}

TEST(CpuBudget, OlderCpuControllerReadsQuotaAndPeriod) {
  struct Case {
    const char* name;
    const char* cgroupLine;
    const char* mount;
    const char* quota;
    int cpus;
  };
  const Case cases[] = {
      {"joined mount", "4:cpu,cpuacct:/job\n", "sys/fs/cgroup/cpu,cpuacct", "200000\n", 2},
      {"own mount", "4:cpuacct,cpu:/job\n", "sys/fs/cgroup/cpu", "50000\n", 1},
      {"no limit", "4:cpu,cpuacct:/job\n", "sys/fs/cgroup/cpu,cpuacct", "-1\n", 0},
      {"another controller only", "5:memory:/job\n", "sys/fs/cgroup/cpu,cpuacct", "200000\n", 0},
  };
  for (const Case& c : cases) {
    CgroupFixture f;
    f.write("proc/self/cgroup", std::string("7:pids:/job\n") + c.cgroupLine + "0::/job\n");
    f.write(std::string(c.mount) + "/cpu.cfs_period_us", "100000\n");
    f.write(std::string(c.mount) + "/job/cpu.cfs_period_us", "100000\n");
    f.write(std::string(c.mount) + "/job/cpu.cfs_quota_us", c.quota);
    EXPECT_EQ(cgroupCpuQuota(f.root()), c.cpus) << c.name;
  }
}

TEST(CpuBudget, MissingFilesMeanNoQuota) {
  CgroupFixture f;
  EXPECT_EQ(cgroupCpuQuota(f.root()), 0);
  f.write("proc/self/cgroup", "garbage without colons\n0::relative\n");
  EXPECT_EQ(cgroupCpuQuota(f.root()), 0);
}

TEST(CpuBudget, AffinityMaskLimitsTheCount) {
  cpu_set_t old;
  ASSERT_EQ(sched_getaffinity(0, sizeof old, &old), 0);
  int first = 0;
  while (first < CPU_SETSIZE && !CPU_ISSET(first, &old)) ++first;
  ASSERT_LT(first, CPU_SETSIZE);
  EXPECT_EQ(affinityCpus(), CPU_COUNT(&old));
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(first, &one);
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  const int limited = affinityCpus();
  const int usable = usableCpus();
  ASSERT_EQ(sched_setaffinity(0, sizeof old, &old), 0);
  EXPECT_EQ(limited, 1);
  EXPECT_EQ(usable, 1);
}

}  // namespace
}  // namespace pg
