#include "app/qt/widget_dock_view.h"

#include <QRegularExpression>
#include "ui/dock_model.h"
#include "ui/qt/dock_float_manager.h"
#include <QVBoxLayout>

namespace pg {

TWidgetDockView::TWidgetDockView(const QString& name, const QString& caption, QWidget* content, QWidget* parent)
    : TCustomDockView(name, parent), content_(content) {
  setCaption(caption);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content);
  // The panel opens at its content's size and never folds it away; a panel
  // is never lower than the base height of every panel, so that a list
  // shows more than a row or two however little its content asks.
  QSize size = content->sizeHint().expandedTo(content->minimumSize()).expandedTo(QSize(0, kDockViewHeight));
  setMinimumSize(content->minimumSize().expandedTo(QSize(0, size.height())));
  resize(size);
}

QSize TWidgetDockView::sizeHint() const { return content_->sizeHint(); }

QString plainCaption(QString caption) {
  static const QRegularExpression accel(QStringLiteral("\\(&.\\)"));
  caption.remove(accel);
  caption.remove(QLatin1Char('&'));
  return caption.trimmed();
}

}  // namespace pg
