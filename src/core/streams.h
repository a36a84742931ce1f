#pragma once
// Byte streams: files and memory blocks.
//
// CStream is the small interface the readers and writers of planes, presets,
// recordings and native files work through; CFileStream, CMemoryStream and
// CFixedMemStream are its three kinds. TMyFile is a thin unbuffered file with
// all-or-nothing reads and writes, and TMyMemory the growable byte buffer with
// separate read and write positions on which the legacy 16-bit event packets
// are built and parsed.
//
// Every write that replaces a file goes to a temporary file in the same folder,
// which is renamed over the target only when the writer closes it with every
// write complete; an abandoned or failed writer leaves the target untouched.
// Sizes, counts and positions are 64-bit; a negative count is refused.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

enum class SeekOrigin { Begin, Current, End };

class CStream {
 public:
  virtual ~CStream() = default;
  CStream() = default;
  CStream(const CStream&) = delete;
  CStream& operator=(const CStream&) = delete;

  // Reads up to count bytes at the position and answers how many were read.
  [[nodiscard]] virtual int64_t read(void* buffer, int64_t count) = 0;
  // Writes up to count bytes at the position and answers how many were written.
  [[nodiscard]] virtual int64_t write(const void* buffer, int64_t count) = 0;
  // Moves the position; answers the new position, or -1 (position unchanged)
  // when the target would lie before the start or the stream cannot seek there.
  [[nodiscard]] virtual int64_t seek(int64_t offset, SeekOrigin origin) = 0;
  [[nodiscard]] virtual int64_t position() const = 0;
  [[nodiscard]] virtual int64_t size() const = 0;

  // True only when all count bytes were read (or written).
  [[nodiscard]] bool readExact(void* buffer, int64_t count) { return count >= 0 && read(buffer, count) == count; }
  [[nodiscard]] bool writeExact(const void* buffer, int64_t count) { return count >= 0 && write(buffer, count) == count; }
  // Bytes between the position and the end (0 when the position is past it).
  [[nodiscard]] int64_t remaining() const;
};

// A file opened for reading, or created for writing through a temporary file.
class CFileStream final : public CStream {
 public:
  enum class Mode {
    Read,    // an existing file, read-only
    Create,  // a new file replacing any existing one when committed
  };

  // Answers nullptr when the file cannot be opened (or the temporary created).
  static std::unique_ptr<CFileStream> open(const std::string& name, Mode mode);
  // Discards an uncommitted written file (see commit).
  ~CFileStream() override;

  [[nodiscard]] int64_t read(void* buffer, int64_t count) override;
  [[nodiscard]] int64_t write(const void* buffer, int64_t count) override;
  [[nodiscard]] int64_t seek(int64_t offset, SeekOrigin origin) override;
  [[nodiscard]] int64_t position() const override { return position_; }
  [[nodiscard]] int64_t size() const override;

  // A written file: flushes the temporary and renames it over the target when
  // no write failed; otherwise removes it. A read file: closes it. Answers
  // whether the file now holds everything written. Later calls answer the
  // first result again.
  [[nodiscard]] bool commit();
  // A written file: removes the temporary, leaving the target as it was.
  void discard();
  // True when a write, seek or flush of a written file has failed.
  [[nodiscard]] bool failed() const { return failed_; }
  [[nodiscard]] bool isWriter() const { return mode_ == Mode::Create; }

 private:
  CFileStream(int fd, Mode mode, std::string target, std::string temporary, int64_t size);
  int fd_;
  Mode mode_;
  std::string target_;
  std::string temporary_;
  int64_t position_ = 0;
  int64_t size_ = 0;  // the written file's size, or the read file's when it was opened
  // A read file: the bytes that followed the last read from the file, so that
  // the small reads of heads and records cost no system call each.
  std::unique_ptr<uint8_t[]> ahead_;
  int64_t aheadStart_ = 0;  // their place in the file
  int64_t aheadBytes_ = 0;
  bool failed_ = false;
  std::optional<bool> result_;
};

// A growable memory stream that owns its bytes; a write past the end extends it.
class CMemoryStream final : public CStream {
 public:
  CMemoryStream() = default;
  [[nodiscard]] int64_t read(void* buffer, int64_t count) override;
  [[nodiscard]] int64_t write(const void* buffer, int64_t count) override;
  [[nodiscard]] int64_t seek(int64_t offset, SeekOrigin origin) override;
  [[nodiscard]] int64_t position() const override { return position_; }
  [[nodiscard]] int64_t size() const override { return static_cast<int64_t>(bytes_.size()); }

  const uint8_t* memory() const { return bytes_.data(); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  // Sets the size (new bytes are zero); false when the memory cannot be had.
  [[nodiscard]] bool setSize(int64_t size);

 private:
  std::vector<uint8_t> bytes_;
  int64_t position_ = 0;
};

// A stream over a block the caller owns: it never grows, moves or frees it.
// Over a read-only block every write is refused; over a writable block a
// write that would pass the end of the block is refused whole.
class CFixedMemStream final : public CStream {
 public:
  CFixedMemStream(const void* block, int64_t size);
  CFixedMemStream(void* block, int64_t size);

  [[nodiscard]] int64_t read(void* buffer, int64_t count) override;
  [[nodiscard]] int64_t write(const void* buffer, int64_t count) override;
  [[nodiscard]] int64_t seek(int64_t offset, SeekOrigin origin) override;
  [[nodiscard]] int64_t position() const override { return position_; }
  [[nodiscard]] int64_t size() const override { return size_; }

  const uint8_t* memory() const { return block_; }
  // Answers the block and leaves the stream empty.
  const uint8_t* detach();

 private:
  const uint8_t* block_;
  uint8_t* writable_;
  int64_t size_;
  int64_t position_ = 0;
};

// A thin unbuffered file. Reads and writes answer true only when complete.
// A file opened for writing is written to a temporary file that close()
// renames over the target when every write succeeded; destroying it without
// close() discards what was written.
class TMyFile {
 public:
  TMyFile() = default;
  ~TMyFile();
  TMyFile(const TMyFile&) = delete;
  TMyFile& operator=(const TMyFile&) = delete;

  // Opens an existing file read-only at offset 0; false when it cannot be opened.
  [[nodiscard]] bool openRead(const std::string& name);
  // Starts a new file that replaces name on close(); false on failure.
  [[nodiscard]] bool openWrite(const std::string& name);
  [[nodiscard]] bool read(void* buffer, int64_t count);
  [[nodiscard]] bool write(const void* buffer, int64_t count);
  // Four bytes as a little-endian integer; 0 when they could not all be read.
  int32_t readInt32();
  // Closes the file; a written file replaces its target now. Answers false when
  // a written file could not be completed (the target is then left as it was).
  // Closing a closed file does nothing and answers true.
  [[nodiscard]] bool close();
  [[nodiscard]] bool isOpen() const { return file_ != nullptr; }

 private:
  std::unique_ptr<CFileStream> file_;
};

// A growable byte buffer with a read position and a size (the write position).
// Growth adds max(needed, GrowStep) bytes, GrowStep being the initial capacity.
// Reads are checked: a read that would pass Size (or start before the block)
// answers 0, leaves the read position and sets readFailed().
class TMyMemory {
 public:
  // A block of initial bytes; when it cannot be had the buffer starts empty
  // and the first write tries again.
  explicit TMyMemory(int64_t initial);
  TMyMemory(const TMyMemory&) = delete;
  TMyMemory& operator=(const TMyMemory&) = delete;

  // Makes room for n more bytes after Size; false when the memory cannot be had.
  [[nodiscard]] bool reserve(int64_t n);
  // Appends count bytes.
  [[nodiscard]] bool write(const void* buffer, int64_t count);
  // Stores a 16-bit little-endian value at Size + offset. Offset 0 appends it;
  // a negative offset patches a word written before without moving Size.
  // False (nothing written) for a positive offset or one before the start.
  [[nodiscard]] bool writeWord(uint16_t value, int64_t offset = 0);
  // Checked reads at ReadPos + offset; offset 0 advances ReadPos, any other
  // offset only peeks.
  [[nodiscard]] uint8_t readByte(int64_t offset = 0);
  uint16_t readWord(int64_t offset = 0);
  int16_t readSmallInt(int64_t offset = 0);
  // Moves ReadPos by n (negative steps back); for n > 0 first reserves n bytes.
  // False (nothing moved) when it would step before the start or the memory
  // cannot be had.
  [[nodiscard]] bool skip(int64_t n);
  // Size += n after bytes were written directly at endPointer(); false when
  // the result would leave 0..Capacity.
  [[nodiscard]] bool extend(int64_t n);
  [[nodiscard]] bool setSize(int64_t n);
  void rewind() { readPos_ = 0; }
  // ReadPos and Size to 0; the block and Capacity are kept.
  void clear();
  // Replaces the contents with the whole file; false (contents kept) when the
  // file cannot be opened or read completely.
  [[nodiscard]] bool loadFromFile(const std::string& name);

  uint8_t* memory() { return data_.get(); }
  const uint8_t* memory() const { return data_.get(); }
  const uint8_t* readPointer() const { return data_.get() + readPos_; }
  uint8_t* endPointer() { return data_.get() + size_; }
  [[nodiscard]] int64_t remaining() const { return size_ - readPos_; }

  [[nodiscard]] int64_t readPos() const { return readPos_; }
  [[nodiscard]] int64_t size() const { return size_; }
  [[nodiscard]] int64_t capacity() const { return capacity_; }
  [[nodiscard]] int64_t growStep() const { return growStep_; }
  // Sticky: a checked read failed since the last clear().
  [[nodiscard]] bool readFailed() const { return readFailed_; }

 private:
  [[nodiscard]] bool peekAt(int64_t offset, int64_t width, int64_t& at);

  std::unique_ptr<uint8_t[]> data_;
  int64_t readPos_ = 0;
  int64_t capacity_ = 0;
  int64_t size_ = 0;
  int64_t growStep_ = 0;
  bool readFailed_ = false;
};

// Size in bytes of a named file; -1 when it cannot be had.
[[nodiscard]] int64_t getFileSize(const std::string& name);
// A file stream on the name with the mode; nullptr when it cannot be opened.
std::unique_ptr<CFileStream> openFileStream(const std::string& name, CFileStream::Mode mode);
// Writes the characters of s (no length, no terminator); true when all were written.
[[nodiscard]] bool writeStringToStream(CStream& stream, std::string_view s);
// Copies n bytes forward, first byte first (overlapping blocks copy like a
// forward byte loop).
void memCopyBytes(const void* src, void* dst, int64_t n);
// A new zero-filled block of size bytes filled by one read from the stream;
// nullopt when the block cannot be had or the read is short.
std::optional<std::vector<uint8_t>> streamToGlobalMem(CStream& stream, int64_t size);

}  // namespace pg
