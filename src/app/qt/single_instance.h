#pragma once
// One normal instance per user: a lock file named after the mutex
// "Za4 Darorazozoz", and a local server named after the message "Pg2 query"
// that answers the instance query and takes the paths a second start hands
// over (the protocol is app/instance_protocol.h).
//
// Both live in $XDG_RUNTIME_DIR (the temporary folder when it is unset), and
// both names carry the user id. The lock holder listens; a lock left by a
// killed process is taken over (its process is gone), and so is the socket
// file it left behind.
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace pg {

QString instanceRuntimeFolder();
// The lock file and the server of the user in a folder.
QString instanceLockPath(const QString& folder = instanceRuntimeFolder());
QString instanceServerName(const QString& folder = instanceRuntimeFolder());

enum class InstanceLock : uint8_t {
  Acquired,  // this is the first instance
  Held,      // another running process holds it
  Failed,    // the lock file cannot be made: go on without single-instance protection
};

// The receiving side.
class CInstanceServer : public QObject {
  Q_OBJECT
 public:
  explicit CInstanceServer(QObject* parent = nullptr);
  ~CInstanceServer() override;

  // The reply to the query follows the modes of this process.
  void setModes(bool batchMode, bool viewerMode);
  // A handed-over path (absolute, checked); answers whether it was taken.
  std::function<bool(const QString& path)> onFile;
  // Bring the main window to the front.
  std::function<void()> onRaise;

  // Starts listening under the name. With replaceStale (only the lock holder
  // may) a socket file already there is replaced: it can only have been left
  // by a killed process. Without it, an existing name makes listen fail.
  [[nodiscard]] bool listen(const QString& name, bool replaceStale);
  void close();
  bool isListening() const;

 private:
  void accept();

  std::unique_ptr<QLocalServer> server_;
  uint32_t reply_ = 0;
};

// The starting side.
class CSingleInstance {
 public:
  explicit CSingleInstance(const QString& lockPath = instanceLockPath());
  ~CSingleInstance();

  InstanceLock acquire();
  void release();
  bool holdsLock() const { return held_; }

 private:
  QLockFile lock_;
  bool held_ = false;
};

// The query reply of whoever listens under the name; 0 when nobody answers.
[[nodiscard]] uint32_t queryRunningInstance(const QString& serverName, int timeoutMs);

enum class HandOver : uint8_t { NoInstance, Done, Failed };

// When a normal instance answers the query, hands the paths to it in order
// (each answered before the next is sent) and asks it to come to the front.
HandOver handOverToRunningInstance(const QString& serverName, const std::vector<std::string>& paths,
                                   int connectTimeoutMs, int replyTimeoutMs);

}  // namespace pg
