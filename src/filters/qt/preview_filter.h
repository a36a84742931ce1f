#pragma once
// The preview frame of the filter dialogs: a small view of the layer at a
// chosen zoom over a checkerboard, a zoom slider whose middle is 100 % with
// the zoom shown beside it, and drag-to-pan. Bound to a filter core and the
// dialog's record, each repaint filters just the pixels shown, on a scratch
// copy, so a canvas preview in the layer stays as it is.
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

#include "core/planes.h"
#include "filters/preview_frame_model.h"

class QLabel;

namespace pg {

class CFlt4Core;
class TGraphicTrackbar;

class TPreviewFilter : public QWidget {
 public:
  explicit TPreviewFilter(QWidget* parent = nullptr);

  // Binds the core and the record the frame filters with; false for an
  // unusable core (the frame then paints nothing).
  [[nodiscard]] bool bindCore(CFlt4Core* core, std::function<std::vector<uint8_t>()> record);
  // How a filter whose kernel takes more than its record's bytes renders
  // the shown part (by default the core renders the bytes).
  using Renderer = std::function<bool(const std::vector<uint8_t>& record, const TRect& rect, TMTC& out)>;
  void setRenderer(Renderer r) { renderer_ = std::move(r); }
  // Repaints: filtered, or unfiltered while the user drags or zooms.
  void drawView();

  CPreviewFrameModel& model() { return model_; }
  TGraphicTrackbar* zoomTrack() const { return track_; }
  const QImage& picture() const { return image_; }
  // Whether the last repaint ran the filter (a refusal keeps the old picture).
  bool filtered() const { return filtered_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void zoomChanged();
  void showZoom();

  CPreviewFrameModel model_;
  CFlt4Core* core_ = nullptr;
  std::function<std::vector<uint8_t>()> record_;
  Renderer renderer_;
  TGraphicTrackbar* track_ = nullptr;
  QLabel* zoomLabel_ = nullptr;
  QTimer dragTimer_;
  TMTC visible_;
  TMTC paint_;
  QImage image_;
  bool inChange_ = false;
  bool filtered_ = false;
};

}  // namespace pg
