#include "app/qt/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#include "app/instance_protocol.h"
#include "test_support/qt_app.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

// Runs the blocking client on a thread while this thread serves, until the
// client is done (the client waits for each reply).
template <class T>
T whileServing(const std::function<T()>& client) {
  std::atomic<bool> done{false};
  T result{};
  std::thread thread([&] {
    result = client();
    done = true;
  });
  QElapsedTimer timer;
  timer.start();
  while (!done && timer.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  thread.join();
  return result;
}

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensureQtApp();
    name = instanceServerName(QString::fromStdString(dir.path().string()));
  }
  testing::TempFolder dir;
  QString name;
};

TEST_F(SingleInstanceTest, TheQueryIsAnsweredByTheModeOfTheProcess) {
  struct Case {
    bool batch, viewer;
    uint32_t reply;
  };
  for (const Case& c : {Case{false, false, kReplyNormal}, Case{true, false, kReplyRender}, Case{true, true, kReplyViewer}}) {
    CInstanceServer server;
    server.setModes(c.batch, c.viewer);
    ASSERT_TRUE(server.listen(name, true));
    EXPECT_EQ(whileServing<uint32_t>([&] { return queryRunningInstance(name, 5000); }), c.reply);
  }
  // Nobody listening: no answer, and nothing to hand over to.
  EXPECT_EQ(queryRunningInstance(name, 500), 0u);
  EXPECT_EQ(handOverToRunningInstance(name, {"/a"}, 500, 500), HandOver::NoInstance);
}

TEST_F(SingleInstanceTest, PathsArriveInOrderAndTheWindowComesToTheFront) {
  CInstanceServer server;
  QStringList got;
  int raised = 0;
  server.onFile = [&](const QString& path) {
    got << path;
    return true;
  };
  server.onRaise = [&] { ++raised; };
  ASSERT_TRUE(server.listen(name, true));
  const std::vector<std::string> paths = {"/pics/one.kci", "/pics/two words.png", "/写真/三.kci"};
  EXPECT_EQ(whileServing<HandOver>([&] { return handOverToRunningInstance(name, paths, 5000, 5000); }),
            HandOver::Done);
  EXPECT_EQ(got, (QStringList{"/pics/one.kci", "/pics/two words.png", "/写真/三.kci"}));
  EXPECT_EQ(raised, 1);
}

TEST_F(SingleInstanceTest, ABatchInstanceIsNeverChosen) {
  CInstanceServer server;
  server.setModes(true, false);
  bool called = false;
  server.onFile = [&](const QString&) { return called = true; };
  ASSERT_TRUE(server.listen(name, true));
  EXPECT_EQ(whileServing<HandOver>([&] { return handOverToRunningInstance(name, {"/x.kci"}, 5000, 5000); }),
            HandOver::NoInstance);
  EXPECT_FALSE(called);
}

TEST_F(SingleInstanceTest, HostileRequestsAreRefusedWithoutReachingTheWindow) {
  CInstanceServer server;
  int files = 0;
  server.onFile = [&](const QString&) { return ++files, true; };
  ASSERT_TRUE(server.listen(name, true));
  struct Outcome {
    uint32_t relative = 99, badUtf8 = 99;
    bool closedOnHugeLength = false;
  };
  const Outcome out = whileServing<Outcome>([&] {
    Outcome o;
    QLocalSocket s;
    s.connectToServer(name);
    if (!s.waitForConnected(5000)) return o;
    auto ask = [&](const std::string& bytes, uint32_t& reply) {
      s.write(bytes.data(), qint64(bytes.size()));
      s.waitForBytesWritten(5000);
      QByteArray answer;
      while (answer.size() < 4 && (s.bytesAvailable() > 0 || s.waitForReadyRead(5000))) answer += s.read(4 - answer.size());
      reply = readU32(std::string_view(answer.constData(), size_t(answer.size())));
    };
    std::string req(1, kRequestFile);
    appendU32(req, 5);
    ask(req + "rel/x", o.relative);
    req.resize(1);
    appendU32(req, 3);
    ask(req + "/\xC3(", o.badUtf8);
    req.resize(1);
    appendU32(req, 0x7FFFFFFF);
    s.write(req.data(), qint64(req.size()));
    s.waitForBytesWritten(5000);
    o.closedOnHugeLength = s.waitForDisconnected(5000) || s.state() == QLocalSocket::UnconnectedState;
    return o;
  });
  EXPECT_EQ(out.relative, 0u);
  EXPECT_EQ(out.badUtf8, 0u);
  EXPECT_TRUE(out.closedOnHugeLength);
  EXPECT_EQ(files, 0);
}

TEST_F(SingleInstanceTest, ASocketLeftByAKilledProcessIsReplacedButALiveOneIsNot) {
  // A socket file nobody serves, as a killed process leaves it.
  const QByteArray path = name.toLocal8Bit();
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.constData(), sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::close(fd);
  CInstanceServer server;
  EXPECT_TRUE(server.listen(name, true));
  EXPECT_EQ(whileServing<uint32_t>([&] { return queryRunningInstance(name, 5000); }), kReplyNormal);
  // A socket that is served is never taken from its server.
  CInstanceServer intruder;
  EXPECT_FALSE(intruder.listen(name, false));
  EXPECT_TRUE(server.isListening());
  EXPECT_EQ(whileServing<uint32_t>([&] { return queryRunningInstance(name, 5000); }), kReplyNormal);
}

TEST_F(SingleInstanceTest, OneProcessHoldsTheLockAtATime) {
  const QString lock = instanceLockPath(QString::fromStdString(dir.path().string()));
  EXPECT_TRUE(lock.endsWith(QStringLiteral("Za4 Darorazozoz-") + QString::number(::getuid()) + ".lock"));
  CSingleInstance first(lock);
  CSingleInstance second(lock);
  EXPECT_EQ(first.acquire(), InstanceLock::Acquired);
  EXPECT_EQ(second.acquire(), InstanceLock::Held);
  first.release();
  EXPECT_EQ(second.acquire(), InstanceLock::Acquired);
  CSingleInstance nowhere(QStringLiteral("/proc/no/such/folder/lock"));
  EXPECT_EQ(nowhere.acquire(), InstanceLock::Failed);
}

}  // namespace
}  // namespace pg
