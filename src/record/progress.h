#pragma once
// The progress window of long file operations (saving and loading native and
// event files): a title line, a message line, a bar and a percentage. The
// operation opens it, updates it as it goes and closes it by letting go of it.
// The window itself belongs to the user interface, which installs a
// ProgressService; without one every operation gets a progress that shows
// nothing, so the file routines run the same with or without a window.
#include <cstdint>
#include <memory>
#include <string>

namespace pg {

// The numbers a progress window shows: the total is at least 1, and the
// percentage is min(position * 100 / total, 100) in integer division.
class CProgressCounter {
 public:
  void setTotal(int64_t total, int64_t position);
  void setPosition(int64_t position) { position_ = position; }
  void step(int64_t n) { position_ += n; }
  int64_t total() const { return total_; }
  int64_t position() const { return position_; }
  int percent() const;

 private:
  int64_t total_ = 1;
  int64_t position_ = 0;
};

class IProgress {
 public:
  virtual ~IProgress() = default;
  // The window caption; an empty text stands for the application's title.
  virtual void setCaption(const std::string& text) = 0;
  virtual void setTitle(const std::string& text) = 0;
  virtual void setText(const std::string& text) = 0;
  // total := max(total, 1), then setPosition(position).
  virtual void setTotal(int64_t total, int64_t position) = 0;
  virtual void step(int64_t n) = 0;
  virtual void setPosition(int64_t position) = 0;
};

// Shows nothing.
class NullProgress final : public IProgress {
 public:
  void setCaption(const std::string&) override {}
  void setTitle(const std::string&) override {}
  void setText(const std::string&) override {}
  void setTotal(int64_t, int64_t) override {}
  void step(int64_t) override {}
  void setPosition(int64_t) override {}
};

// One shared do-nothing progress, for callers that have no window.
IProgress& nullProgress();

// Opens progress windows for the file routines.
class ProgressService {
 public:
  virtual ~ProgressService() = default;
  // A shown window with the total (at least 1), position 0, the title and
  // the message; the window closes when the result is let go.
  [[nodiscard]] virtual std::unique_ptr<IProgress> showProgress(int64_t total, const std::string& title,
                                                  const std::string& message) = 0;
};

// Installs the process-wide service (not owned) and answers the previous one;
// nullptr brings back the do-nothing default.
ProgressService* setProgressService(ProgressService* service);

// A window from the installed service; never null.
[[nodiscard]] std::unique_ptr<IProgress> showProgressDlg(int64_t total, const std::string& title, const std::string& message);

}  // namespace pg
