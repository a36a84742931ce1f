#include "platform/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <mutex>
#include <random>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace pg {

namespace {

constexpr int64_t kMaxIo = int64_t{1} << 30;  // one system call moves at most this much

// Repeats io (read or write) until count bytes moved, the end of the file or
// an error; an interrupted call is repeated.
template <class Byte, class Io>
int64_t moveFully(int fd, Byte* p, int64_t count, Io io) {
  int64_t done = 0;
  while (done < count) {
    ssize_t r = io(fd, p + done, static_cast<size_t>(std::min(count - done, kMaxIo)));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += r;
  }
  return done;
}

}  // namespace

int64_t readFully(int fd, void* buffer, int64_t count) {
  return moveFully(fd, static_cast<uint8_t*>(buffer), count, ::read);
}

int64_t readFullyAt(int fd, int64_t offset, void* buffer, int64_t count, void* ahead, int64_t aheadCapacity,
                    int64_t& aheadGot) {
  auto* p = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  aheadGot = 0;
  while (done < count) {
    const int64_t want = std::min(count - done, kMaxIo);
    iovec parts[2] = {{p + done, static_cast<size_t>(want)},
                      {ahead, static_cast<size_t>(std::clamp<int64_t>(aheadCapacity, 0, kMaxIo))}};
    // The read-ahead only once the last piece of the request is asked for.
    const int pieces = want == count - done && ahead != nullptr && aheadCapacity > 0 ? 2 : 1;
    const ssize_t r = ::preadv(fd, parts, pieces, static_cast<off_t>(offset + done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    if (r > want) {
      aheadGot = r - want;
      done += want;
      break;
    }
    done += r;
  }
  return done;
}

int64_t writeFully(int fd, const void* buffer, int64_t count) {
  return moveFully(fd, static_cast<const uint8_t*>(buffer), count, ::write);
}

namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";

// The temporaries this process has open, so that clearing stale ones never
// touches a save under way in another thread.
std::mutex& liveMutex() {
  static std::mutex m;
  return m;
}
std::set<std::string>& liveTemporaries() {
  static std::set<std::string> names;
  return names;
}

// The process id in a temporary's name ("<target>.tmp-<pid>-<anything>"), or 0
// when the name is none of ours.
pid_t temporaryOwner(std::string_view name, std::string_view targetBase) {
  if (name.size() <= targetBase.size() + kTemporaryMark.size() || name.substr(0, targetBase.size()) != targetBase ||
      name.substr(targetBase.size(), kTemporaryMark.size()) != kTemporaryMark)
    return 0;
  std::string_view rest = name.substr(targetBase.size() + kTemporaryMark.size());
  int64_t pid = 0;
  size_t i = 0;
  for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && i < 10; ++i) pid = pid * 10 + (rest[i] - '0');
  if (i == 0 || i >= rest.size() || rest[i] != '-' || pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return 0;
  return static_cast<pid_t>(pid);
}

// Removes the temporaries beside target that a save of ours killed half-way
// left behind: those of processes that have ended, and those with this
// process's id that this process did not open (an earlier process had the id).
void removeStaleTemporaries(const std::string& target) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const pid_t self = ::getpid();
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t owner = temporaryOwner(entry->d_name, base);
    if (owner == 0) continue;
    const std::string path = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + entry->d_name;
    bool isStale;
    if (owner == self) {
      std::lock_guard<std::mutex> lock(liveMutex());
      isStale = liveTemporaries().count(path) == 0;
    } else {
      isStale = ::kill(owner, 0) != 0 && errno == ESRCH;
    }
    if (isStale) stale.push_back(path);
  }
  ::closedir(dir);
  for (const std::string& path : stale) ::unlink(path.c_str());
}

}  // namespace

int openReplacement(const std::string& target, std::string& temporary) {
  try {
    removeStaleTemporaries(target);
    static std::atomic<unsigned> counter{0};
    // Exclusive creation under a name no earlier process can have left: the
    // process id (for the stale check), a counter and random bits; a clash
    // with a leftover is retried under a new name.
    thread_local std::mt19937_64 random{std::random_device{}() ^ (uint64_t(::getpid()) << 32)};
    for (int attempt = 0; attempt < 16; ++attempt) {
      char suffix[80];
      std::snprintf(suffix, sizeof suffix, "%.*s%ld-%u-%016llx", int(kTemporaryMark.size()), kTemporaryMark.data(),
                    static_cast<long>(::getpid()), counter++, static_cast<unsigned long long>(random()));
      std::string name = target + suffix;
      std::unique_lock<std::mutex> lock(liveMutex());
      int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0) {
        if (errno == EEXIST) continue;
        return -1;
      }
      liveTemporaries().insert(name);
      lock.unlock();
      // The replacement keeps the permissions of the file it replaces.
      struct stat st {};
      if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd, st.st_mode & 07777);
      temporary = std::move(name);
      return fd;
    }
  } catch (...) {
  }
  return -1;
}

bool finishReplacement(int fd, const std::string& temporary, const std::string& target, bool ok) {
  if (ok && ::fsync(fd) != 0) ok = false;
  if (fd >= 0 && ::close(fd) != 0) ok = false;
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temporary.c_str());
  std::lock_guard<std::mutex> lock(liveMutex());
  liveTemporaries().erase(temporary);
  return ok;
}

}  // namespace pg
