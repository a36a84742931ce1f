#pragma once
// The main window's status bar: seven panels of fixed widths but the fourth,
// which takes the rest. A left click reports the panel under the point and the
// screen point where its pop-up menu opens.
#include <QStatusBar>
#include <QString>
#include <array>

#include "app/status_bar_model.h"

namespace pg {

class TStatusPanels : public QStatusBar {
  Q_OBJECT
 public:
  explicit TStatusPanels(QWidget* parent = nullptr);

  void setPanelText(int panel, const QString& text);
  QString panelText(int panel) const;

 signals:
  void panelClicked(int panel, QPoint popupAt);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::array<QString, kStatusPanelCount> texts_;
};

}  // namespace pg
