#include "core/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "platform/file_io.h"

namespace pg {

namespace {

// No memory block of this program comes near a terabyte: a larger size is a
// miscomputed or hostile one, refused before the allocator sees it.
constexpr int64_t kMaxBlock = int64_t{1} << 40;

// What a read of a file takes in beyond the bytes asked for: a file's heads
// and records are read a few bytes at a time.
constexpr int64_t kReadAheadBytes = 16 * 1024;

void closeFd(int fd) {
  if (fd >= 0) ::close(fd);
}

// Resolves a seek to an absolute position; -1 when it would lie before 0 or overflow.
int64_t seekTarget(int64_t offset, SeekOrigin origin, int64_t position, int64_t size) {
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? position : size;
  if (offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) return -1;
  int64_t target = base + offset;
  return target < 0 ? -1 : target;
}

}  // namespace

int64_t CStream::remaining() const {
  int64_t r = size() - position();
  return r > 0 ? r : 0;
}

// ---------------------------------------------------------------- CFileStream

CFileStream::CFileStream(int fd, Mode mode, std::string target, std::string temporary, int64_t size)
    : fd_(fd), mode_(mode), target_(std::move(target)), temporary_(std::move(temporary)), size_(size) {}

std::unique_ptr<CFileStream> CFileStream::open(const std::string& name, Mode mode) {
  if (name.empty()) return nullptr;
  if (mode == Mode::Read) {
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      closeFd(fd);
      return nullptr;
    }
    auto stream =
        std::unique_ptr<CFileStream>(new (std::nothrow) CFileStream(fd, mode, name, {}, int64_t(st.st_size)));
    if (stream) stream->ahead_.reset(new (std::nothrow) uint8_t[size_t(kReadAheadBytes)]);
    if (!stream) closeFd(fd);
    return stream;
  }
  // The target must be a place a file can go: refuse a folder there.
  struct stat st {};
  const bool exists = ::stat(name.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return nullptr;
  std::string temporary;
  int fd = openReplacement(name, temporary);
  if (fd < 0) return nullptr;
  auto stream = std::unique_ptr<CFileStream>(new (std::nothrow) CFileStream(fd, mode, name, temporary, 0));
  if (!stream) {
    closeFd(fd);
    ::unlink(temporary.c_str());
  }
  return stream;
}

CFileStream::~CFileStream() {
  if (mode_ == Mode::Create)
    discard();
  else
    (void)commit();  // closing a file that was read cannot fail
}

int64_t CFileStream::read(void* buffer, int64_t count) {
  if (fd_ < 0 || mode_ != Mode::Read || count <= 0) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  if (position_ >= aheadStart_ && position_ < aheadStart_ + aheadBytes_) {
    done = std::min(count, aheadStart_ + aheadBytes_ - position_);
    std::memcpy(out, ahead_.get() + (position_ - aheadStart_), size_t(done));
    position_ += done;
    if (done == count) return done;
  }
  // The rest straight into the caller's buffer, and what follows it into the
  // read-ahead in the same call.
  const int64_t rest = count - done;
  aheadStart_ = position_ + rest;
  aheadBytes_ = 0;
  const int64_t got = ahead_ ? readFullyAt(fd_, position_, out + done, rest, ahead_.get(), kReadAheadBytes, aheadBytes_)
                             : readFullyAt(fd_, position_, out + done, rest, nullptr, 0, aheadBytes_);
  position_ += got;
  return done + got;
}

int64_t CFileStream::write(const void* buffer, int64_t count) {
  if (fd_ < 0 || mode_ != Mode::Create || count < 0) {
    if (count > 0) failed_ = true;
    return 0;
  }
  int64_t w = writeFully(fd_, static_cast<const uint8_t*>(buffer), count);
  if (w != count) failed_ = true;
  position_ += w;
  size_ = std::max(size_, position_);
  return w;
}

int64_t CFileStream::seek(int64_t offset, SeekOrigin origin) {
  if (fd_ < 0) return -1;
  int64_t target = seekTarget(offset, origin, position_, size());
  if (target < 0) return -1;
  if (mode_ == Mode::Read) {
    // Reads say where they read: the descriptor's own position is not used.
    position_ = target;
    return position_;
  }
  off_t at = ::lseek(fd_, static_cast<off_t>(target), SEEK_SET);
  if (at != static_cast<off_t>(target)) {
    if (mode_ == Mode::Create) failed_ = true;
    return -1;
  }
  position_ = target;
  return position_;
}

int64_t CFileStream::size() const { return fd_ < 0 && mode_ == Mode::Read ? 0 : size_; }

bool CFileStream::commit() {
  if (result_) return *result_;
  if (mode_ == Mode::Read) {
    closeFd(fd_);
    fd_ = -1;
    result_ = true;
    return true;
  }
  const bool ok = finishReplacement(fd_, temporary_, target_, !failed_ && fd_ >= 0);
  fd_ = -1;
  if (!ok) failed_ = true;
  result_ = ok;
  return ok;
}

void CFileStream::discard() {
  if (result_) return;
  if (mode_ == Mode::Create) {
    closeFd(fd_);
    fd_ = -1;
    ::unlink(temporary_.c_str());
    result_ = false;
    return;
  }
  (void)commit();  // closing a file that was read cannot fail
}

// -------------------------------------------------------------- CMemoryStream

int64_t CMemoryStream::read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= size()) return 0;
  int64_t n = std::min(count, size() - position_);
  std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t CMemoryStream::write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ > std::numeric_limits<int64_t>::max() - count) return 0;
  int64_t end = position_ + count;
  if (end > size() && !setSize(end)) return 0;
  std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t CMemoryStream::seek(int64_t offset, SeekOrigin origin) {
  int64_t target = seekTarget(offset, origin, position_, size());
  if (target < 0) return -1;
  position_ = target;
  return position_;
}

bool CMemoryStream::setSize(int64_t size) {
  if (size < 0 || size > kMaxBlock) return false;
  try {
    bytes_.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

// ------------------------------------------------------------ CFixedMemStream

CFixedMemStream::CFixedMemStream(const void* block, int64_t size)
    : block_(static_cast<const uint8_t*>(block)), writable_(nullptr), size_(block && size > 0 ? size : 0) {}

CFixedMemStream::CFixedMemStream(void* block, int64_t size)
    : block_(static_cast<const uint8_t*>(block)),
      writable_(static_cast<uint8_t*>(block)),
      size_(block && size > 0 ? size : 0) {}

int64_t CFixedMemStream::read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  int64_t n = std::min(count, size_ - position_);
  std::memcpy(buffer, block_ + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t CFixedMemStream::write(const void* buffer, int64_t count) {
  if (!writable_ || count <= 0 || position_ > size_ || count > size_ - position_) return 0;
  std::memcpy(writable_ + position_, buffer, static_cast<size_t>(count));
  position_ += count;
  return count;
}

int64_t CFixedMemStream::seek(int64_t offset, SeekOrigin origin) {
  int64_t target = seekTarget(offset, origin, position_, size_);
  if (target < 0) return -1;
  position_ = target;
  return position_;
}

const uint8_t* CFixedMemStream::detach() {
  const uint8_t* block = block_;
  block_ = nullptr;
  writable_ = nullptr;
  size_ = 0;
  position_ = 0;
  return block;
}

// -------------------------------------------------------------------- TMyFile

TMyFile::~TMyFile() {
  if (file_ && file_->isWriter()) file_->discard();
}

bool TMyFile::openRead(const std::string& name) {
  (void)close();  // a file still open is closed first; its outcome was for its writer to ask
  file_ = CFileStream::open(name, CFileStream::Mode::Read);
  return file_ != nullptr;
}

bool TMyFile::openWrite(const std::string& name) {
  (void)close();  // a file still open is closed first; its outcome was for its writer to ask
  file_ = CFileStream::open(name, CFileStream::Mode::Create);
  return file_ != nullptr;
}

bool TMyFile::read(void* buffer, int64_t count) { return file_ && file_->readExact(buffer, count); }

bool TMyFile::write(const void* buffer, int64_t count) { return file_ && file_->writeExact(buffer, count); }

int32_t TMyFile::readInt32() {
  uint8_t b[4];
  if (!read(b, 4)) return 0;
  return static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24);
}

bool TMyFile::close() {
  if (!file_) return true;
  bool ok = file_->commit();
  file_.reset();
  return ok;
}

// ------------------------------------------------------------------ TMyMemory

TMyMemory::TMyMemory(int64_t initial) : growStep_(std::max<int64_t>(initial, 0)) {
  if (growStep_ > 0 && growStep_ <= kMaxBlock) {
    data_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(growStep_)]());
    if (data_) capacity_ = growStep_;
  }
}

bool TMyMemory::reserve(int64_t n) {
  if (n <= 0 || size_ + n <= capacity_) return true;
  if (n > std::numeric_limits<int64_t>::max() - size_) return false;
  int64_t grow = std::max(n, growStep_);
  if (grow > std::numeric_limits<int64_t>::max() - capacity_) return false;
  int64_t newCapacity = capacity_ + grow;
  if (newCapacity > kMaxBlock) return false;
  // The new block is taken before the old one is let go, so a failure keeps
  // every byte written so far.
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[static_cast<size_t>(newCapacity)]());
  if (!block) return false;
  if (capacity_ > 0) std::memcpy(block.get(), data_.get(), static_cast<size_t>(capacity_));
  data_ = std::move(block);
  capacity_ = newCapacity;
  return true;
}

bool TMyMemory::write(const void* buffer, int64_t count) {
  if (count < 0 || !reserve(count)) return false;
  if (count > 0) std::memcpy(data_.get() + size_, buffer, static_cast<size_t>(count));
  size_ += count;
  return true;
}

bool TMyMemory::writeWord(uint16_t value, int64_t offset) {
  if (offset > 0 || offset < -size_ || !reserve(2)) return false;
  uint8_t* p = data_.get() + size_ + offset;
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  if (offset == 0) size_ += 2;
  return true;
}

bool TMyMemory::peekAt(int64_t offset, int64_t width, int64_t& at) {
  // The bounds on offset come first, so that no hostile offset can overflow the sums.
  if (offset < -size_ - width || offset > size_ || readPos_ + offset < 0 || readPos_ + offset > size_ - width) {
    readFailed_ = true;
    return false;
  }
  at = readPos_ + offset;
  return true;
}

uint8_t TMyMemory::readByte(int64_t offset) {
  int64_t at;
  if (!peekAt(offset, 1, at)) return 0;
  if (offset == 0) readPos_ += 1;
  return data_[at];
}

uint16_t TMyMemory::readWord(int64_t offset) {
  int64_t at;
  if (!peekAt(offset, 2, at)) return 0;
  if (offset == 0) readPos_ += 2;
  return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
}

int16_t TMyMemory::readSmallInt(int64_t offset) { return static_cast<int16_t>(readWord(offset)); }

bool TMyMemory::skip(int64_t n) {
  if (n > 0 && !reserve(n)) return false;
  if (n < 0 && readPos_ + n < 0) return false;
  if (n > 0 && readPos_ > std::numeric_limits<int64_t>::max() - n) return false;
  readPos_ += n;
  return true;
}

bool TMyMemory::extend(int64_t n) {
  if (n < -size_ || n > capacity_ - size_) return false;
  size_ += n;
  return true;
}

bool TMyMemory::setSize(int64_t n) {
  if (n < 0 || n > capacity_) return false;
  size_ = n;
  return true;
}

void TMyMemory::clear() {
  readPos_ = 0;
  size_ = 0;
  readFailed_ = false;
}

bool TMyMemory::loadFromFile(const std::string& name) {
  TMyFile file;
  if (!file.openRead(name)) return false;
  int64_t size = getFileSize(name);
  if (size < 0 || size > kMaxBlock) return false;
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[static_cast<size_t>(std::max<int64_t>(size, 1))]());
  if (!block || !file.read(block.get(), size)) return false;
  data_ = std::move(block);
  size_ = capacity_ = size;
  readPos_ = 0;
  readFailed_ = false;
  return true;
}

// ------------------------------------------------------------ stream routines

int64_t getFileSize(const std::string& name) {
  struct stat st {};
  if (name.empty() || ::stat(name.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

std::unique_ptr<CFileStream> openFileStream(const std::string& name, CFileStream::Mode mode) {
  return CFileStream::open(name, mode);
}

bool writeStringToStream(CStream& stream, std::string_view s) {
  return stream.writeExact(s.data(), static_cast<int64_t>(s.size()));
}

void memCopyBytes(const void* src, void* dst, int64_t n) {
  auto* s = static_cast<const uint8_t*>(src);
  auto* d = static_cast<uint8_t*>(dst);
  for (int64_t i = 0; i < n; ++i) d[i] = s[i];
}

std::optional<std::vector<uint8_t>> streamToGlobalMem(CStream& stream, int64_t size) {
  if (size < 0 || size > kMaxBlock) return std::nullopt;
  // A block larger than what the stream still holds cannot be filled: refuse
  // it before taking the memory.
  if (size > stream.remaining()) return std::nullopt;
  std::vector<uint8_t> block;
  try {
    block.assign(static_cast<size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  if (!stream.readExact(block.data(), size)) return std::nullopt;
  return block;
}

}  // namespace pg
