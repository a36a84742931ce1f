#pragma once
// A dockable panel that shows one content widget filling it: the tool
// buttons and the tool options are such panels until their own panels come.
#include "ui/qt/dock_view.h"

namespace pg {

class TWidgetDockView final : public TCustomDockView {
  Q_OBJECT
 public:
  TWidgetDockView(const QString& name, const QString& caption, QWidget* content, QWidget* parent = nullptr);
  QWidget* content() const { return content_; }
  QSize sizeHint() const override;

 private:
  QWidget* content_;
};

// A caption without its "&" accelerator and its "(&X)" suffix.
QString plainCaption(QString caption);

}  // namespace pg
