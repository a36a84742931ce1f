#pragma once
// The file a native document is written to: a temporary file beside the
// target, renamed over it only when the writer finishes with the file whole,
// so that a failed save leaves the old file as it was. Unlike a plain file
// stream it can be cut back: an item (a layer, a mask, the thumbnail, the
// events) that fails halfway is removed from the file again, and the items
// after it follow where it began.
#include <cstdint>
#include <memory>
#include <string>

#include "core/streams.h"

namespace pg {

class CNativeOutputFile final : public CStream {
 public:
  // Creates the temporary file beside target; nullptr when it cannot be made
  // (or target names a folder).
  [[nodiscard]] static std::unique_ptr<CNativeOutputFile> create(const std::string& target);
  // Removes the temporary file unless finish() renamed it.
  ~CNativeOutputFile() override;

  // Nothing is read back.
  [[nodiscard]] int64_t read(void*, int64_t) override { return 0; }
  [[nodiscard]] int64_t write(const void* buffer, int64_t count) override;
  [[nodiscard]] int64_t seek(int64_t offset, SeekOrigin origin) override;
  [[nodiscard]] int64_t position() const override { return position_; }
  [[nodiscard]] int64_t size() const override { return size_; }

  // The file ends at position (which must not lie past the end) and the
  // position goes there. False when the file could not be shortened; the
  // file then counts as failed.
  [[nodiscard]] bool cutBack(int64_t position);
  // A write, seek or cut failed: the file cannot be trusted any more.
  [[nodiscard]] bool failed() const { return failed_; }

  // With ok and no failure: makes the file durable and renames it over the
  // target. Otherwise removes it. Answers whether the target was replaced.
  [[nodiscard]] bool finish(bool ok);

 private:
  CNativeOutputFile(int fd, std::string target, std::string temporary);
  // Asks the system to start writing the stretch written since the last
  // such request to the disk once it is long enough.
  void startWriteBack();
  static constexpr int64_t kWriteBackStretch = int64_t{16} << 20;
  int fd_;
  std::string target_;
  std::string temporary_;
  int64_t position_ = 0;
  int64_t size_ = 0;
  int64_t writeBackFrom_ = 0;
  bool failed_ = false;
  bool finished_ = false;
};

}  // namespace pg
