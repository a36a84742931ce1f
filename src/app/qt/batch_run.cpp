#include "app/qt/batch_run.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "app/batch_render.h"
#include "core/planes.h"
#include "document/paper.h"
#include "platform/debug_output.h"

namespace pg {

namespace {

// Replay time per tick of the viewer: the picture is shown again between
// ticks, so the replay runs nearly at full speed and stays visible.
constexpr uint32_t kViewerStepMs = 40;

// The viewer's window: the replayed picture scaled to fit the window (its
// aspect kept, never enlarged past 1:1 unless the window is larger),
// centred on the workspace grey.
class TBatchViewer final : public QWidget {
 public:
  explicit TBatchViewer(const QString& title) {
    setWindowTitle(title);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  // Takes the document's composite as the picture to show.
  void showPicture(const TMTC& picture) {
    if (!hasPixels(picture)) return;
    if (image_.width() != picture.Width || image_.height() != picture.Height)
      image_ = QImage(picture.Width, picture.Height, QImage::Format_RGB32);
    for (int32_t y = 0; y < picture.Height; ++y)
      std::copy_n(picture.pixelAt(0, y), picture.Width, reinterpret_cast<uint32_t*>(image_.scanLine(y)));
    update();
  }
  // A first size: the picture's, within most of the screen.
  void fitTo(int32_t width, int32_t height) {
    QSize avail(1024, 768);
    if (const QScreen* s = QGuiApplication::primaryScreen()) avail = s->availableGeometry().size() * 0.8;
    QSize want(std::max(width, 64), std::max(height, 64));
    if (want.width() > avail.width() || want.height() > avail.height()) want.scale(avail, Qt::KeepAspectRatio);
    resize(want);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xCC, 0xCC, 0xCC));
    if (image_.isNull()) return;
    const QSize shown = image_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(target, image_);
  }

 private:
  QImage image_;
};

void waitSeconds(int32_t seconds) {
  if (seconds <= 0) return;
  QEventLoop loop;
  QTimer::singleShot(std::min(seconds, kMaxBatchWaitSeconds) * 1000, &loop, &QEventLoop::quit);
  loop.exec();
}

// The viewer mode: the replay shown as it runs, then the wait of the
// command line with the finished picture, then the result.
int runViewer(const std::string& source, const StartupState& state) {
  CBatchReplay run(source, state);
  if (!run.open()) {
    const SBatchOutcome outcome = run.finish();
    waitSeconds(state.batchWaitSeconds);
    return static_cast<int>(outcome.code);
  }
  TBatchViewer viewer(QString::fromStdString(fileTitle(source)));
  TPaper& doc = run.document();
  viewer.fitTo(doc.width(), doc.height());
  run.composeDocument();
  viewer.showPicture(doc.composite());
  viewer.show();
  QEventLoop loop;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const bool more = run.step(kViewerStepMs);
    run.composeDocument();
    viewer.showPicture(doc.composite());
    if (!more) {
      tick.stop();
      loop.quit();
    }
  });
  tick.start(0);
  loop.exec();
  const SBatchOutcome outcome = run.finish();
  viewer.showPicture(doc.composite());
  waitSeconds(state.batchWaitSeconds);
  return static_cast<int>(outcome.code);
}

}  // namespace

int runBatch(const CommandLine& commandLine) {
  const StartupState& state = commandLine.state;
  // One recording a run: further files are left alone.
  const std::string& source = commandLine.files.front();
  for (size_t i = 1; i < commandLine.files.size(); ++i)
    debugOutput("batch: only the first file is replayed; left out: " + commandLine.files[i]);
  if (state.viewerMode) return runViewer(source, state);
  return static_cast<int>(runBatchReplay(source, state).code);
}

}  // namespace pg
