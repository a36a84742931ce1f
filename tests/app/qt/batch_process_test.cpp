// The batch modes run as the real program: a recording rendered to its
// picture with the result as the exit status, a file that does not open,
// and the viewer.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "app/batch_fixture.h"
#include "test_support/qt_app.h"

namespace pg::test {
namespace {

constexpr int kWaitMs = 60000;

class BatchProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pg::testing::ensureQtApp();
    fs::create_directories(r.dir.path() / "config");
    fs::create_directories(r.dir.path() / "run");
  }

  // Runs the program to its end; its exit status (-1 for a crash or no end).
  int run(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((r.dir.path() / "config").string()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString((r.dir.path() / "run").string()));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PIGMORA_PROGRAM), args);
    if (!p.waitForStarted(kWaitMs) || !p.waitForFinished(kWaitMs) || p.exitStatus() != QProcess::NormalExit) {
      p.kill();
      p.waitForFinished(kWaitMs);
      return -1;
    }
    errors = p.readAllStandardError().toStdString();
    return p.exitCode();
  }
  QString outSwitch() const { return QString::fromStdString("-o:" + out.string()); }
  QString file(const char* name) const { return QString::fromStdString(r.dir.file(name)); }

  Recorded r;
  fs::path out = r.dir.path() / "out";
  std::string errors;
};

TEST_F(BatchProcessTest, RenderWritesTheReplayedPictureAndEndsWithItsCode) {
  EXPECT_EQ(run({"-render", outSwitch(), file("strokes.ke4")}), 8) << errors;
  const std::string picture = slurp(out / "strokes.bmp");
  ASSERT_FALSE(picture.empty());
  EXPECT_EQ(picture, slurp(r.dir.file("expected.bmp")));
  EXPECT_TRUE(fs::exists(out / "strokes.ke4"));
  // No window was shown and no preference written.
  EXPECT_EQ(errors.find("pigmora: ready"), std::string::npos);
  EXPECT_FALSE(fs::exists(r.dir.path() / "config" / "Harbelle"));
}

TEST_F(BatchProcessTest, AFileThatDoesNotOpenEndsWithTheFailureAndItsMarker) {
  EXPECT_EQ(run({"-render", outSwitch(), file("missing.ke4")}), 10) << errors;
  EXPECT_TRUE(fs::exists(out / "missing.bad"));
  EXPECT_FALSE(fs::exists(out / "missing.bmp"));
}

TEST_F(BatchProcessTest, TheViewerReplaysWaitsAndEnds) {
  EXPECT_EQ(run({"-viewer", "-t:1", outSwitch(), file("strokes.ke4")}), 13) << errors;
  EXPECT_TRUE(fs::is_empty(out));
}

}  // namespace
}  // namespace pg::test
