#pragma once
// SIGTERM and SIGINT end the program through the main window's normal close
// path, so that the preferences are saved. The handler only writes one byte
// to a socket pair; a notifier on the other end runs the close on the
// user-interface thread, where Qt may be called.
#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace pg {

class CQuitSignals : public QObject {
  Q_OBJECT
 public:
  // onSignal runs on the user-interface thread for every signal received.
  explicit CQuitSignals(std::function<void()> onSignal, QObject* parent = nullptr);
  // Puts the previous handlers back.
  ~CQuitSignals() override;

  // False when the socket pair or the handlers could not be set up.
  bool installed() const { return installed_; }

 private:
  void drain();

  std::function<void()> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool installed_ = false;
};

}  // namespace pg
