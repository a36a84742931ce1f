#include "toolwin/qt/value_label_binding.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QPointer>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

#include "ui/qt/glyph_label.h"

namespace pg {

void bindValueLabel(TPgGlyphLabel& label, const CValueLabels& rules, SValueLabelBinding binding) {
  // A value label is dragged sideways, as its field's slider runs.
  label.setDragAxis(Qt::Horizontal);
  label.OnBeginDrag = [&rules, binding](TPgGlyphLabel*, float& start) { start = rules.beginDrag(binding); };
  label.OnDrag = [&rules, binding](TPgGlyphLabel*, float value) { rules.drag(binding, value); };
  label.OnEndDrag = [&rules, binding](TPgGlyphLabel*) { rules.endDrag(binding); };
  label.OnDblClick = [&rules, binding](TPgGlyphLabel*) { rules.doubleClick(binding); };
}

namespace {

// The label's value model over a number field; a child of the label.
class TFieldValueModel : public QObject {
 public:
  TFieldValueModel(TPgGlyphLabel& label, QAbstractSpinBox& field, float defaultValue)
      : QObject(&label), label_(&label), field_(&field), default_(defaultValue) {
    // The label shows and hides with its field, and works while the field does.
    field.installEventFilter(this);
    label.setHidden(field.isHidden());
    label.setEnabled(field.isEnabled());
    setObjectName(QStringLiteral("FieldValueModel"));
    model.onChange = [this](TNumMngr& m) {
      if (syncing_ || !field_) return;
      syncing_ = true;
      if (auto* d = qobject_cast<QDoubleSpinBox*>(field_.data()))
        d->setValue(m.value());
      else if (auto* i = qobject_cast<QSpinBox*>(field_.data()))
        i->setValue(static_cast<int>(std::lround(m.value())));
      syncing_ = false;
    };
    if (auto* d = qobject_cast<QDoubleSpinBox*>(&field))
      connect(d, &QDoubleSpinBox::valueChanged, this, [this] { pull(); });
    else if (auto* i = qobject_cast<QSpinBox*>(&field))
      connect(i, &QSpinBox::valueChanged, this, [this] { pull(); });
    pull();
  }

  // The field's range and value (a field may change its range with the brush).
  void pull() {
    if (syncing_ || !field_) return;
    double value = 0, lo = 0, hi = 0;
    if (auto* d = qobject_cast<QDoubleSpinBox*>(field_.data())) {
      value = d->value(), lo = d->minimum(), hi = d->maximum();
    } else if (auto* i = qobject_cast<QSpinBox*>(field_.data())) {
      value = i->value(), lo = i->minimum(), hi = i->maximum();
    }
    syncing_ = true;
    // The field's own limits come in order.
    (void)model.setRange(static_cast<float>(value), static_cast<float>(lo), static_cast<float>(hi));
    model.setValueDefault(std::clamp(default_, static_cast<float>(lo), static_cast<float>(hi)));
    syncing_ = false;
  }

  TNumMngr model;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // The filter sits on the field alone; it is not asked for the spin box it
    // was, since the field still sends events while it is destroyed, when it is
    // only a plain widget.
    if (label_ && watched->isWidgetType()) {
      switch (event->type()) {
        case QEvent::ShowToParent: label_->show(); break;
        case QEvent::HideToParent: label_->hide(); break;
        case QEvent::EnabledChange: label_->setEnabled(static_cast<QWidget*>(watched)->isEnabled()); break;
        default: break;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QPointer<TPgGlyphLabel> label_;
  QPointer<QAbstractSpinBox> field_;
  float default_;
  bool syncing_ = false;
};

}  // namespace

void bindSpinValueLabel(TPgGlyphLabel& label, QAbstractSpinBox& field, const CValueLabels& rules, float defaultValue,
                        SValueLabelBinding binding) {
  delete label.findChild<TFieldValueModel*>(QStringLiteral("FieldValueModel"), Qt::FindDirectChildrenOnly);
  auto* holder = new TFieldValueModel(label, field, defaultValue);
  binding.model = &holder->model;
  // Each drag and reset starts from what the field shows now.
  auto begin = binding.onBegin;
  binding.onBegin = [holder, begin] {
    holder->pull();
    if (begin) begin();
  };
  bindValueLabel(label, rules, binding);
  label.OnDblClick = [&rules, holder, binding](TPgGlyphLabel*) {
    holder->pull();
    rules.doubleClick(binding);
  };
}

}  // namespace pg
