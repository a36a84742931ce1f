#include "io/native_output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <new>

#include "platform/file_io.h"

namespace pg {

CNativeOutputFile::CNativeOutputFile(int fd, std::string target, std::string temporary)
    : fd_(fd), target_(std::move(target)), temporary_(std::move(temporary)) {}

std::unique_ptr<CNativeOutputFile> CNativeOutputFile::create(const std::string& target) {
  if (target.empty()) return nullptr;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
  std::string temporary;
  const int fd = openReplacement(target, temporary);
  if (fd < 0) return nullptr;
  std::unique_ptr<CNativeOutputFile> file(new (std::nothrow) CNativeOutputFile(fd, target, temporary));
  if (!file) (void)finishReplacement(fd, temporary, target, false);  // only removes the temporary
  return file;
}

// A file not finished by its writer is removed; the target stays.
CNativeOutputFile::~CNativeOutputFile() { (void)finish(false); }

int64_t CNativeOutputFile::write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (finished_ || position_ > std::numeric_limits<int64_t>::max() - count) {
    failed_ = true;
    return 0;
  }
  const int64_t w = writeFully(fd_, buffer, count);
  if (w != count) failed_ = true;
  position_ += w;
  size_ = std::max(size_, position_);
  startWriteBack();
  return w;
}

void CNativeOutputFile::startWriteBack() {
  // The disk takes what is written while the rest is still being packed:
  // the final sync then waits only for the last stretch. A hint only, so a
  // refusal changes nothing (the sync at the end still makes it durable).
  if (position_ - writeBackFrom_ < kWriteBackStretch) return;
  (void)::sync_file_range(fd_, static_cast<off_t>(writeBackFrom_), static_cast<off_t>(position_ - writeBackFrom_),
                          SYNC_FILE_RANGE_WRITE);
  writeBackFrom_ = position_;
}

int64_t CNativeOutputFile::seek(int64_t offset, SeekOrigin origin) {
  if (finished_) return -1;
  const int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? position_ : size_;
  if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) || base + offset < 0) return -1;
  const int64_t target = base + offset;
  if (::lseek(fd_, static_cast<off_t>(target), SEEK_SET) != static_cast<off_t>(target)) {
    failed_ = true;
    return -1;
  }
  position_ = target;
  return position_;
}

bool CNativeOutputFile::cutBack(int64_t position) {
  if (finished_ || position < 0 || position > size_) {
    failed_ = true;
    return false;
  }
  if (::ftruncate(fd_, static_cast<off_t>(position)) != 0 ||
      ::lseek(fd_, static_cast<off_t>(position), SEEK_SET) != static_cast<off_t>(position)) {
    failed_ = true;
    return false;
  }
  size_ = position_ = position;
  writeBackFrom_ = std::min(writeBackFrom_, position_);
  return true;
}

bool CNativeOutputFile::finish(bool ok) {
  if (finished_) return false;
  finished_ = true;
  return finishReplacement(fd_, temporary_, target_, ok && !failed_);
}

}  // namespace pg
