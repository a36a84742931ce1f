#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <utility>

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

int64_t writeFully(int fd, const void* buffer, int64_t count) {
  return moveFully(fd, static_cast<const uint8_t*>(buffer), count, ::write);
}

int openReplacement(const std::string& target, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".tmp-%ld-%u", static_cast<long>(::getpid()), counter++);
  std::string name = target + suffix;
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  // The replacement keeps the permissions of the file it replaces.
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd, st.st_mode & 07777);
  temporary = std::move(name);
  return fd;
}

bool finishReplacement(int fd, const std::string& temporary, const std::string& target, bool ok) {
  if (ok && ::fsync(fd) != 0) ok = false;
  if (fd >= 0 && ::close(fd) != 0) ok = false;
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace pg
