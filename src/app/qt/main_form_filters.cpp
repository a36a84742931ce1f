// The Filter menu: each filter through its command routine and dialog, and
// Filter > Repeat (with Alt held, the dialog opens again).
#include <QAction>
#include <QGuiApplication>

#include "app/command_gates.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "canvas/canvas_shared.h"
#include "canvas/draw_window.h"
#include "canvas/qt/draw_window_widget.h"
#include "document/layer_data.h"
#include "document/paper.h"
#include "filters/filter_table.h"
#include "filters/qt/filter_dialogs.h"
#include "toolwin/qt/gradient_pick_list.h"
#include "toolwin/qt/tool_form.h"

namespace pg {

void TMainForm::bindFilterCommands() {
  TMainActions& a = *actions_;
  auto dialogFor = [this](TDrawWindowWidget* widget) {
    SFilterDialogHost host;
    host.owner = widget;
    host.showModal = [this](QDialog& d) { return showModalDialog(d); };
    host.target.refresh = [widget] { widget->update(); };
    host.target.visibleLayerRect = [widget](TRect& r) {
      TPaper& p = widget->window().paper();
      const CLayerData* layer = p.getLayer(p.currentLayerIndex());
      if (layer == nullptr) return false;
      r = widget->window().visibleRect();
      // Document to layer-image coordinates.
      r = TRect{r.Left + layer->offsetX, r.Top + layer->offsetY, r.Right + layer->offsetX, r.Bottom + layer->offsetY};
      return r.Right > r.Left && r.Bottom > r.Top;
    };
    host.layerProtect = [widget]() -> uint8_t {
      TPaper& p = widget->window().paper();
      const CLayerData* layer = p.getLayer(p.currentLayerIndex());
      return layer != nullptr && layer->protectAlpha ? 1 : 0;
    };
    host.toolColours = [this](uint32_t& foreground, uint32_t& background) {
      foreground = canvas_->mainColor();
      background = canvas_->secondColor();
    };
    // The gradient map picks from the tool window's gradients.
    host.gradientList = [this](QWidget* parent, std::function<void()> changed) -> QWidget* {
      if (toolForm_ == nullptr) return nullptr;
      return new TGradientPickList(toolForm_->gradients(), std::move(changed), parent);
    };
    return makeFilterDialog(std::move(host));
  };
  auto open = [this](TDrawWindowWidget* widget) {
    return widget != nullptr && commandGateOpen(ECommandGate::G0, gateInputs(widget->window(), batchMode_));
  };
  auto finish = [](TDrawWindowWidget* widget, FilterResult r) {
    if (r == FilterResult::Done) widget->window().setModified(true);
    widget->update();
  };
  for (const SFilterEntry& e : filterTable()) {
    if (e.action == nullptr || !filterCommandAvailable(e)) continue;
    a.bind(
        e.action,
        [this, &e, open, dialogFor, finish] {
          TDrawWindowWidget* widget = activeDrawWindow();
          if (!open(widget)) return;
          TDrawWindow& w = widget->window();
          const FilterResult r =
              filterCommand(w.paper(), w.flow(), w.paper().currentLayerIndex(), e, false, dialogFor(widget));
          finish(widget, r);
          actions_->updateAll();
        },
        [this, open, &e] { return SActionState{open(activeDrawWindow()) && filterCanRunNow(e)}; });
  }
  a.bind(
      "ActFilterRepeat",
      [this, open, dialogFor, finish] {
        TDrawWindowWidget* widget = activeDrawWindow();
        if (!open(widget) || !hasLastFilter()) return;
        TDrawWindow& w = widget->window();
        const bool reopen = QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier;
        const FilterResult r =
            repeatLastFilter(w.paper(), w.flow(), w.paper().currentLayerIndex(), !reopen, dialogFor(widget));
        finish(widget, r);
      },
      [this, open] {
        // The item names the last filter once there is one.
        if (QAction* repeat = actions_->action("ActFilterRepeat")) {
          const std::string_view last = lastFilterAction();
          const std::string caption = last.empty() ? std::string() : repeatCaption(actionCaption(last).toStdString());
          const QString text = caption.empty() ? actionCaption("ActFilterRepeat") : QString::fromStdString(caption);
          if (repeat->text() != text) repeat->setText(text);
        }
        return SActionState{open(activeDrawWindow()) && hasLastFilter()};
      });
}

}  // namespace pg
