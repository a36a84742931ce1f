#pragma once
// The progress window of long file operations: a title line, a message
// line, a bar and the percentage, repainted at once on every change (the
// operation runs on the user-interface thread and processes no events).
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include <memory>

#include "record/progress.h"

namespace pg {

class TProgressDlg final : public QWidget, public IProgress {
 public:
  TProgressDlg(QWidget* owner, int64_t total, const std::string& title, const std::string& message);

  void setCaption(const std::string& text) override;
  void setTitle(const std::string& text) override;
  void setText(const std::string& text) override;
  void setTotal(int64_t total, int64_t position) override;
  void step(int64_t n) override;
  void setPosition(int64_t position) override;

  QString titleText() const { return title_->text(); }
  QString messageText() const { return message_->text(); }
  QString percentText() const { return percent_->text(); }
  int barValue() const { return bar_->value(); }

 private:
  void showNumbers();
  CProgressCounter counter_;
  QLabel* title_;
  QLabel* message_;
  QLabel* percent_;
  QProgressBar* bar_;
};

// Opens a TProgressDlg over the owner for the file routines.
class TQtProgressService final : public ProgressService {
 public:
  explicit TQtProgressService(QWidget* owner) : owner_(owner) {}
  std::unique_ptr<IProgress> showProgress(int64_t total, const std::string& title,
                                          const std::string& message) override;

 private:
  QWidget* owner_;
};

}  // namespace pg
