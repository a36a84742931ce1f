#include "app/qt/quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace pg {

namespace {

int gSignalFds[2] = {-1, -1};  // [0] written by the handler, [1] read by the notifier
struct sigaction gPreviousTerm {};
struct sigaction gPreviousInt {};

void onQuitSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // Async-signal-safe; a full pipe only means a close is already pending.
  [[maybe_unused]] ssize_t n = ::write(gSignalFds[0], &byte, 1);
  errno = saved;
}

}  // namespace

CQuitSignals::CQuitSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (gSignalFds[0] >= 0) return;  // one owner per process
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gSignalFds) != 0) {
    gSignalFds[0] = gSignalFds[1] = -1;
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(gSignalFds[1], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &CQuitSignals::drain);
  struct sigaction action {};
  action.sa_handler = onQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  installed_ = ::sigaction(SIGTERM, &action, &gPreviousTerm) == 0 && ::sigaction(SIGINT, &action, &gPreviousInt) == 0;
}

CQuitSignals::~CQuitSignals() {
  if (!notifier_) return;
  ::sigaction(SIGTERM, &gPreviousTerm, nullptr);
  ::sigaction(SIGINT, &gPreviousInt, nullptr);
  notifier_.reset();
  ::close(gSignalFds[0]);
  ::close(gSignalFds[1]);
  gSignalFds[0] = gSignalFds[1] = -1;
}

void CQuitSignals::drain() {
  char bytes[16];
  bool any = false;
  while (::read(gSignalFds[1], bytes, sizeof bytes) > 0) any = true;
  if (any && onSignal_) onSignal_();
}

}  // namespace pg
