#include "app/qt/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include "app/instance_protocol.h"
#include "platform/debug_output.h"

namespace pg {

namespace {

QString perUser(std::string_view name) {
  return QString::fromUtf8(name.data(), qsizetype(name.size())) + QStringLiteral("-") + QString::number(::getuid());
}

// Reads exactly n bytes, waiting up to timeoutMs for each piece.
[[nodiscard]] bool readExactly(QLocalSocket& socket, qint64 n, QByteArray& out, int timeoutMs) {
  out.clear();
  while (out.size() < n) {
    if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(timeoutMs)) return false;
    out += socket.read(n - out.size());
  }
  return true;
}

bool send(QLocalSocket& socket, const std::string& bytes, int timeoutMs) {
  if (socket.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) return false;
  while (socket.bytesToWrite() > 0)
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
  return true;
}

// Sends a request and reads its four-byte reply.
bool request(QLocalSocket& socket, const std::string& bytes, uint32_t& reply, int timeoutMs) {
  QByteArray answer;
  if (!send(socket, bytes, timeoutMs) || !readExactly(socket, 4, answer, timeoutMs)) return false;
  reply = readU32(std::string_view(answer.constData(), size_t(answer.size())));
  return true;
}

[[nodiscard]] bool connectTo(QLocalSocket& socket, const QString& serverName, int timeoutMs) {
  socket.connectToServer(serverName);
  return socket.waitForConnected(timeoutMs);
}

}  // namespace

QString instanceRuntimeFolder() {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (runtime.startsWith('/') && QFileInfo(QString::fromLocal8Bit(runtime)).isDir())
    return QString::fromLocal8Bit(runtime);
  return QDir::tempPath();
}

QString instanceLockPath(const QString& folder) {
  return folder + QStringLiteral("/") + perUser(kInstanceMutexName) + QStringLiteral(".lock");
}

QString instanceServerName(const QString& folder) { return folder + QStringLiteral("/") + perUser(kInstanceQueryName); }

// ------------------------------------------------------------------ server

CInstanceServer::CInstanceServer(QObject* parent) : QObject(parent), reply_(instanceQueryReply(0, false, false)) {}

CInstanceServer::~CInstanceServer() { close(); }

void CInstanceServer::setModes(bool batchMode, bool viewerMode) { reply_ = instanceQueryReply(0, batchMode, viewerMode); }

bool CInstanceServer::listen(const QString& name, bool replaceStale) {
  close();
  // Listening with access options puts the new socket file in place of any
  // old one, served or not: only the lock holder may, and anyone else finds
  // the name taken.
  if (!replaceStale && QFileInfo::exists(name)) {
    debugOutput("instance: " + name.toStdString() + " is taken");
    return false;
  }
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  bool ok = server_->listen(name);
  if (!ok && replaceStale && server_->serverError() == QAbstractSocket::AddressInUseError) {
    // Left by a process that was killed: nobody answers there any more.
    QLocalServer::removeServer(name);
    ok = server_->listen(name);
  }
  if (!ok) {
    debugOutput("instance: cannot listen as " + name.toStdString() + ": " + server_->errorString().toStdString());
    server_.reset();
    return false;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, &CInstanceServer::accept);
  return true;
}

void CInstanceServer::close() {
  if (!server_) return;
  server_->close();
  server_.reset();
}

bool CInstanceServer::isListening() const { return server_ && server_->isListening(); }

void CInstanceServer::accept() {
  while (QLocalSocket* socket = server_ ? server_->nextPendingConnection() : nullptr) {
    // Each connection has its own decoder; it goes with the socket.
    auto decoder = std::make_shared<CInstanceRequestDecoder>();
    auto busy = std::make_shared<bool>(false);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, decoder, busy] {
      // A hand-over may show a message box whose loop delivers more bytes:
      // they wait in the socket until this round is done.
      if (*busy) return;
      *busy = true;
      QPointer<QLocalSocket> alive(socket);
      for (;;) {
        const QByteArray bytes = alive->readAll();
        decoder->feed(std::string_view(bytes.constData(), size_t(bytes.size())));
        const auto result = decoder->next();
        if (result == CInstanceRequestDecoder::Result::NeedMore) {
          if (alive->bytesAvailable() > 0) continue;
          break;
        }
        std::string answer;
        switch (result) {
          case CInstanceRequestDecoder::Result::Query: appendU32(answer, reply_); break;
          case CInstanceRequestDecoder::Result::Raise:
            if (onRaise) onRaise();
            appendU32(answer, 1);
            break;
          case CInstanceRequestDecoder::Result::File: {
            const std::string& path = decoder->path();
            const bool taken = onFile && onFile(QString::fromUtf8(path.data(), qsizetype(path.size())));
            appendU32(answer, taken ? 1 : 0);
            break;
          }
          case CInstanceRequestDecoder::Result::BadFile: appendU32(answer, 0); break;
          default:
            alive->abort();
            return;  // the socket deletes itself once disconnected
        }
        if (!alive) return;
        // A reply that cannot be written leaves the asker to time out and
        // open the file in a window of its own.
        (void)alive->write(answer.data(), qint64(answer.size()));
      }
      *busy = false;
    });
  }
}

// ----------------------------------------------------------------- starting

CSingleInstance::CSingleInstance(const QString& lockPath) : lock_(lockPath) {
  // A running instance's lock never grows stale with age; only a lock whose
  // process is gone is taken over.
  lock_.setStaleLockTime(0);
}

CSingleInstance::~CSingleInstance() { release(); }

InstanceLock CSingleInstance::acquire() {
  if (held_) return InstanceLock::Acquired;
  if (lock_.tryLock(0)) {
    held_ = true;
    return InstanceLock::Acquired;
  }
  return lock_.error() == QLockFile::LockFailedError ? InstanceLock::Held : InstanceLock::Failed;
}

void CSingleInstance::release() {
  if (!held_) return;
  lock_.unlock();
  held_ = false;
}

uint32_t queryRunningInstance(const QString& serverName, int timeoutMs) {
  QLocalSocket socket;
  uint32_t reply = 0;
  if (!connectTo(socket, serverName, timeoutMs) || !request(socket, encodeQuery(), reply, timeoutMs)) return 0;
  return reply;
}

HandOver handOverToRunningInstance(const QString& serverName, const std::vector<std::string>& paths,
                                   int connectTimeoutMs, int replyTimeoutMs) {
  QLocalSocket socket;
  uint32_t reply = 0;
  if (!connectTo(socket, serverName, connectTimeoutMs) ||
      !request(socket, encodeQuery(), reply, connectTimeoutMs) || reply != kReplyNormal)
    return HandOver::NoInstance;
  std::string bytes;
  for (const std::string& path : paths) {
    if (!encodeFile(path, bytes)) continue;
    // Each path is answered once the running instance took it, so that the
    // files arrive in command-line order.
    if (!request(socket, bytes, reply, replyTimeoutMs)) return HandOver::Failed;
    if (reply != 1) debugOutput("instance: the running instance refused " + path);
  }
  if (!request(socket, encodeRaise(), reply, replyTimeoutMs)) return HandOver::Failed;
  socket.disconnectFromServer();
  return HandOver::Done;
}

}  // namespace pg
