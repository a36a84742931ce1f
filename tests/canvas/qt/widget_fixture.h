#pragma once
// A document window widget shown offscreen over a new 400 x 300 document,
// with mouse, pen and drag helpers that go through Qt's event path.
// The recorder's headers come before Qt's, whose keyword macros they use as names.
#include "document/doc_recorder.h"
// (the line above stays first)
#include <QApplication>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "brush/stroke_settings.h"
#include "canvas/qt/draw_window_widget.h"
#include "core/block_image.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "record/event_store.h"
#include "test_support/qt_app.h"

namespace pg {

struct WidgetFixture {
  WidgetFixture() {
    testing::ensureQtApp();
    widget.reset(TDrawWindowWidget::createNew(shared, "canvas", 400, 300, 72));
    widget->resize(560, 460);
    widget->show();
    QApplication::processEvents();
    shared.toolStroke().setWidth(6.0f);
    shared.setMainColor(0x000000);
  }
  ~WidgetFixture() { widget.reset(); }

  TPaper& doc() { return widget->window().paper(); }
  QWidget* view() { return widget->viewport(); }
  CEventMngr& store() { return static_cast<CDocEventRecorder*>(doc().events())->store(); }
  // The window point of an image point.
  QPoint at(float x, float y) {
    const TPointF w = widget->window().imageToClient({x, y});
    return QPoint(qRound(w.X), qRound(w.Y));
  }
  // The current layer's pixel at an image point.
  uint32_t pixel(int x, int y) {
    const CLayerData* layer = doc().currentLayer();
    return layer->image->getPixel(x + layer->offsetX, y + layer->offsetY);
  }
  std::vector<uint32_t> layerPixels() {
    std::vector<uint32_t> out;
    for (int y = 0; y < doc().height(); ++y)
      for (int x = 0; x < doc().width(); ++x) out.push_back(pixel(x, y));
    return out;
  }
  void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
             Qt::MouseEventSource source = Qt::MouseEventNotSynthesized,
             const QPointingDevice* device = QPointingDevice::primaryPointingDevice()) {
    QMouseEvent e(type, p, p, view()->mapToGlobal(p), button, buttons, QGuiApplication::keyboardModifiers(), source,
                  device);
    QApplication::sendEvent(view(), &e);
  }
  void pen(QEvent::Type type, QPoint p, qreal pressure) {
    const Qt::MouseButton button = type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::TabletRelease ? Qt::NoButton : Qt::LeftButton;
    QTabletEvent e(type, stylus.get(), QPointF(p), view()->mapToGlobal(QPointF(p)), pressure, 0.0f, 0.0f, 0.0f, 0.0,
                   0.0f, Qt::NoModifier, button, buttons);
    QApplication::sendEvent(view(), &e);
  }
  // A drag with QTest's mouse (the real path of a mouse).
  void drag(std::initializer_list<QPoint> path, Qt::MouseButton button = Qt::LeftButton,
            Qt::KeyboardModifiers keys = Qt::NoModifier) {
    // A mouse reports every few pixels: the path is walked in steps of 4.
    auto it = path.begin();
    QTest::mousePress(view(), button, keys, *it);
    QPoint from = *it;
    for (++it; it != path.end(); ++it) {
      const QPoint d = *it - from;
      const int n = std::max(1, std::max(std::abs(d.x()), std::abs(d.y())) / 4);
      for (int i = 1; i <= n; ++i) mouse(QEvent::MouseMove, from + d * i / n, Qt::NoButton, button);
      from = *it;
    }
    QTest::mouseRelease(view(), button, keys, from);
  }

  CCanvasShared shared;
  std::unique_ptr<TDrawWindowWidget> widget;
  std::unique_ptr<QPointingDevice> stylus = std::make_unique<QPointingDevice>(
      "test pen", 4242, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
      QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3);
};

}  // namespace pg
