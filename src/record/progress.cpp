#include "record/progress.h"

#include <algorithm>
#include <cstdint>

namespace pg {

namespace {

ProgressService* gService = nullptr;

}  // namespace

void CProgressCounter::setTotal(int64_t total, int64_t position) {
  total_ = std::max<int64_t>(total, 1);
  position_ = position;
}

int CProgressCounter::percent() const {
  // The position is held to 0..total first, and a total too large for
  // position * 100 is divided down instead, so nothing can overflow however
  // many steps were taken.
  const int64_t p = std::clamp<int64_t>(position_, 0, total_);
  if (total_ <= INT64_MAX / 100) return int(p * 100 / total_);
  return int(std::min<int64_t>(p / (total_ / 100), 100));
}

IProgress& nullProgress() {
  static NullProgress progress;
  return progress;
}

ProgressService* setProgressService(ProgressService* service) {
  ProgressService* previous = gService;
  gService = service;
  return previous;
}

std::unique_ptr<IProgress> showProgressDlg(int64_t total, const std::string& title, const std::string& message) {
  std::unique_ptr<IProgress> progress;
  if (gService) progress = gService->showProgress(total, title, message);
  if (!progress) progress = std::make_unique<NullProgress>();
  return progress;
}

}  // namespace pg
