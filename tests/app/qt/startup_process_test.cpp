// The real program, started as separate processes under the offscreen
// platform with their own configuration and runtime folders.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "app/instance_protocol.h"
#include "app/qt/single_instance.h"
#include "app/qt/startup.h"
#include "test_support/qt_app.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

namespace fs = std::filesystem;

// Generous: the machine may be busy. Nothing is timed, only awaited.
constexpr int kWaitMs = 60000;

bool waitUntil(const std::function<bool()>& condition) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > kWaitMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(20);
  }
  return true;
}

std::string slurp(const fs::path& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class StartupProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensureQtApp();
    config = dir.path() / "config";
    runtime = dir.path() / "run";
    work = dir.path() / "work";
    fs::create_directories(config);
    fs::create_directories(work);
    fs::create_directory(runtime);
    ::chmod(runtime.c_str(), 0700);
  }
  void TearDown() override {
    for (auto& p : processes) {
      if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(kWaitMs);
      }
    }
  }

  // Starts the program (or another copy of it) with the arguments.
  QProcess& start(const QStringList& args, const QString& program = QStringLiteral(PIGMORA_PROGRAM)) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.string()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
    env.insert("PIGMORA_TRACE", "1");
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(QString::fromStdString(work.string()));
    p->start(program, args);
    EXPECT_TRUE(p->waitForStarted(kWaitMs));
    processes.push_back(std::move(p));
    return *processes.back();
  }

  QString serverName() const { return instanceServerName(QString::fromStdString(runtime.string())); }
  fs::path settingsFile() const { return config / "Harbelle" / "Pigmora4" / "settings"; }

  bool answers() { return queryRunningInstance(serverName(), 1000) == kReplyNormal; }

  // Stderr gathered so far.
  std::string errors(QProcess& p) {
    std::string& seen = stderrOf[&p];
    seen += p.readAllStandardError().toStdString();
    return seen;
  }
  bool saysOnStderr(QProcess& p, const std::string& text) {
    return waitUntil([&] { return errors(p).find(text) != std::string::npos || p.state() == QProcess::NotRunning; }) &&
           errors(p).find(text) != std::string::npos;
  }

  // SIGTERM, then the exit code of a normal exit (-1 for a crash or no exit).
  int terminate(QProcess& p) {
    p.terminate();
    if (!p.waitForFinished(kWaitMs) || p.exitStatus() != QProcess::NormalExit) return -1;
    return p.exitCode();
  }
  int finish(QProcess& p) {
    if (!p.waitForFinished(kWaitMs) || p.exitStatus() != QProcess::NormalExit) return -1;
    return p.exitCode();
  }

  testing::TempFolder dir;
  fs::path config, runtime, work;
  std::vector<std::unique_ptr<QProcess>> processes;
  std::map<QProcess*, std::string> stderrOf;
};

TEST_F(StartupProcessTest, StartsAnswersAndSavesThePreferencesOnSigterm) {
  // A stored value out of range comes back clamped; one in range survives.
  fs::create_directories(settingsFile().parent_path());
  std::ofstream(settingsFile()) << "PigmoraSettings 1\n"
                                   "key \"Software/Harbelle/Pigmora4/fileIO\"\n"
                                   "int \"jpegQType\" 9\n"
                                   "int \"jpegQuality\" 55\n"
                                   "end\n";
  QProcess& first = start({});
  ASSERT_TRUE(waitUntil([&] { return answers(); })) << errors(first);
  EXPECT_EQ(terminate(first), 0) << errors(first);
  const std::string saved = slurp(settingsFile());
  EXPECT_NE(saved.find("int \"jpegQuality\" 55\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("int \"jpegQType\" 4\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("key \"Software/Harbelle/Pigmora4/window\""), std::string::npos);
  // The lock and the socket went with the process.
  EXPECT_TRUE(fs::is_empty(runtime));
}

TEST_F(StartupProcessTest, ASecondStartHandsItsFilesToTheFirstAndEnds) {
  QProcess& first = start({});
  ASSERT_TRUE(waitUntil([&] { return answers(); })) << errors(first);
  QProcess& second = start({"pictures/one.kci", "-t", "", "/abs/two.png"});
  EXPECT_EQ(finish(second), 0) << errors(second);
  const std::string one = "pigmora: hand-over " + (work / "pictures/one.kci").string() + "\n";
  const std::string two = "pigmora: hand-over /abs/two.png\n";
  ASSERT_TRUE(saysOnStderr(first, two)) << errors(first);
  const std::string log = errors(first);
  ASSERT_NE(log.find(one), std::string::npos) << log;
  EXPECT_LT(log.find(one), log.find(two));
  // The second start made no window of its own.
  EXPECT_EQ(errors(second).find("pigmora: ready"), std::string::npos);
  // A start without files only brings the first to the front.
  QProcess& third = start({});
  EXPECT_EQ(finish(third), 0) << errors(third);
  EXPECT_EQ(errors(third).find("pigmora: ready"), std::string::npos);
  EXPECT_EQ(terminate(first), 0);
}

TEST_F(StartupProcessTest, ALockLeftByAKilledProcessDoesNotStopTheNextStart) {
  QProcess& first = start({});
  ASSERT_TRUE(waitUntil([&] { return answers(); })) << errors(first);
  first.kill();
  ASSERT_TRUE(first.waitForFinished(kWaitMs));
  EXPECT_FALSE(fs::is_empty(runtime));  // the lock file and the socket stay behind
  QProcess& next = start({});
  ASSERT_TRUE(waitUntil([&] { return answers(); })) << errors(next);
  EXPECT_EQ(terminate(next), 0);
}

TEST_F(StartupProcessTest, AnUnknownSwitchInBatchModeGoesToStderrAndStartUpGoesOn) {
  QProcess& p = start({"-zz", "-render"});
  ASSERT_TRUE(saysOnStderr(p, "pigmora: ready")) << errors(p);
  EXPECT_NE(errors(p).find("unknown command line switch!"), std::string::npos);
  EXPECT_NE(errors(p).find("arg = -zz"), std::string::npos);
  // A batch process takes no lock and does not listen.
  EXPECT_TRUE(fs::is_empty(runtime));
  EXPECT_EQ(terminate(p), 0);
}

TEST_F(StartupProcessTest, AMissingOrDamagedLanguageModuleEndsWithItsMessage) {
  // A copy of the program in a folder of its own, beside no module, then a damaged one.
  const fs::path bin = dir.path() / "bin";
  fs::create_directory(bin);
  const fs::path program = bin / "pigmora";
  std::error_code ec;
  fs::create_hard_link(PIGMORA_PROGRAM, program, ec);
  if (ec) fs::copy_file(PIGMORA_PROGRAM, program);
  const QString copy = QString::fromStdString(program.string());
  const std::string message = "Failed to load \"" + (bin / "pigmora.enu").string() + "\"!";
  {
    QProcess& p = start({"-render"}, copy);
    EXPECT_EQ(finish(p), kExitLanguageModule);
    EXPECT_NE(errors(p).find(message), std::string::npos) << errors(p);
  }
  std::ofstream(bin / "pigmora.enu") << "\x89PNG not a string table\n\x01\x02";
  {
    QProcess& p = start({"-render"}, copy);
    EXPECT_EQ(finish(p), kExitLanguageModule);
    EXPECT_NE(errors(p).find(message), std::string::npos) << errors(p);
  }
  // The preferences were never in use: nothing was saved.
  EXPECT_FALSE(fs::exists(settingsFile()));
}

}  // namespace
}  // namespace pg
