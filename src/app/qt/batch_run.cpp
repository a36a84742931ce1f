#include "app/qt/batch_run.h"

#include <QEventLoop>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/batch_render.h"
#include "core/planes.h"
#include "platform/debug_output.h"

namespace pg {

namespace {

// The replayed picture, for as long as the viewer waits.
std::unique_ptr<QLabel> showPicture(const TMTC& picture, const QString& title) {
  if (!hasPixels(picture)) return nullptr;
  QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
  for (int32_t y = 0; y < picture.Height; ++y)
    std::copy_n(picture.pixelAt(0, y), picture.Width, reinterpret_cast<uint32_t*>(image.scanLine(y)));
  auto label = std::make_unique<QLabel>();
  label->setWindowTitle(title);
  label->setPixmap(QPixmap::fromImage(image));
  label->show();
  return label;
}

}  // namespace

int runBatch(const CommandLine& commandLine) {
  const StartupState& state = commandLine.state;
  // One recording a run: further files are left alone.
  const std::string& source = commandLine.files.front();
  for (size_t i = 1; i < commandLine.files.size(); ++i)
    debugOutput("batch: only the first file is replayed; left out: " + commandLine.files[i]);

  TMTC picture;
  const SBatchOutcome outcome = runBatchReplay(source, state, state.viewerMode ? &picture : nullptr);
  if (state.viewerMode && state.batchWaitSeconds > 0) {
    const std::unique_ptr<QLabel> view = showPicture(picture, QString::fromStdString(fileTitle(source)));
    QEventLoop loop;
    QTimer::singleShot(std::min(state.batchWaitSeconds, kMaxBatchWaitSeconds) * 1000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return static_cast<int>(outcome.code);
}

}  // namespace pg
