// The tool window's list panels beyond the tool buttons: the brush-set
// panel, the menus of the brush-set, swatch and gradient lists, the swatch
// colour picker, the lists' stored display styles and the value labels of
// every panel.
#include <QMenu>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/message_service.h"
#include "toolwin/navigator_model.h"
#include "toolwin/nib_radius_mapping.h"
#include "toolwin/qt/item_list_view.h"
#include "toolwin/qt/layer_panel_view.h"
#include "toolwin/qt/navigator_panel_view.h"
#include "toolwin/qt/panel_menu_builder.h"
#include "toolwin/qt/tool_form.h"
#include "toolwin/qt/tool_options_panel.h"
#include "toolwin/qt/value_label_binding.h"
#include "ui/qt/colour_pickers.h"
#include "ui/qt/glyph_label.h"

namespace pg {

namespace {

bool confirmDelete(const std::string& question) { return askConfirm(question, MessageButtons::YesNo) == kMrYes; }

// The menu opens on a right click anywhere on the list.
void popupOnRightClick(TItemListView* view, QMenu* menu) {
  view->OnContextItem = [menu](int32_t, QPoint global) { menu->popup(global); };
  view->OnContextArea = [menu](QPoint global) { menu->popup(global); };
}

}  // namespace

void TToolForm::buildBrushSetPanel() {
  CPenMethodList& set = toolOptions_.brushSetList();
  set.setAcceptBits(3);
  // The brush set shows the collection itself: its indices are the set's own.
  // A cancelled editor changes nothing.
  set.OnEditItem = [this, &set](int32_t i) { (void)editBrush(set.managerIndexOf(i)); };
  set.OnNewItem = [this] { (void)newBrush(); };  // a cancelled editor adds nothing
  brushSetPanel_ = new QWidget();
  brushSetPanel_->setObjectName(QStringLiteral("BrushListView"));
  auto* column = new QVBoxLayout(brushSetPanel_);
  column->setContentsMargins(0, 0, 0, 0);
  brushSetView_ = new TItemListView(set, brushSetPanel_);
  brushSetView_->setObjectName(QStringLiteral("BrushSetList"));
  column->addWidget(brushSetView_, 1);
}

bool TToolForm::pickSwatchColour(SColorRec& colour) {
  return RunColorDialog ? RunColorDialog(colour) : pickColorDialog(colour, window());
}

void TToolForm::buildListMenus() {
  // The swatches' new colour and a double click on a swatch go through the
  // colour picker.
  swatches_.setAcceptBits(3);
  swatches_.OnNewItem = [this] {
    SColorRec c = rgbaToColorRec(model_.activeColor());
    // A refused insert changes nothing.
    if (pickSwatchColour(c)) (void)swatches_.insertColor(swatches_, swatches_.getCount(), colorRecToRgba(c, 255), true);
  };
  swatches_.OnEditItem = [this](int32_t i) {
    SColorRec c = rgbaToColorRec(swatches_.colorAt(i));
    if (pickSwatchColour(c)) swatches_.setColorAt(i, colorRecToRgba(c, 255));
  };
  // The panel's menu over a list and the set behind it.
  auto listMenu = [](TItemListView* view, PanelMenu kind, IPanelItemList* list, IPresetSetCommands* set,
                     const char* name) {
    QMenu* menu = buildPanelMenu(view, kind, [list, set] {
      SPanelMenuContext c;
      c.list = list;
      c.set = set;
      c.confirm = confirmDelete;
      return c;
    });
    menu->setObjectName(QString::fromLatin1(name));
    popupOnRightClick(view, menu);
    return menu;
  };
  swatchMenu_ = listMenu(swatchView_, PanelMenu::Swatch, &swatchListMenu_, &swatchSetMenu_, "PopSwatch");
  brushMenu_ = listMenu(brushSetView_, PanelMenu::Brush, &brushSetListMenu_, &brushSetMenu_, "PopBrush");

  // The gradient tool's option list: the option menu over the gradients.
  if (!optionsPanel_ || !optionsPanel_->gradientList()) return;
  gradientMenu_ = buildPanelMenu(optionsPanel_->gradientList(), PanelMenu::Option, [this] {
    SPanelMenuContext c = optionMenuContext();
    c.list = &gradientListMenu_;
    c.set = &gradientSetMenu_;
    c.gradientTool = true;
    return c;
  });
  gradientMenu_->setObjectName(QStringLiteral("PopOption"));
  popupOnRightClick(optionsPanel_->gradientList(), gradientMenu_);
}

void TToolForm::bindValueLabels() {
  if (optionsPanel_) {
    for (const TToolOptionsPanel::SValueLabelSlot& s : optionsPanel_->valueLabelSlots()) {
      SValueLabelBinding b;
      if (s.nibRadius) {
        b.inFilter = nibRadiusInFilter;
        b.outFilter = nibRadiusOutFilter;
      }
      bindSpinValueLabel(*s.label, *s.field, valueLabels_, s.defaultValue, b);
    }
  }
  if (navigatorPanel_) {
    SValueLabelBinding scale;
    scale.inFilter = [](double r) { return dispScaleInFilter(r); };
    scale.outFilter = [](double p) { return dispScaleOutFilter(p, false); };
    bindSpinValueLabel(*navigatorPanel_->scaleLabel(), *navigatorPanel_->scaleEdit(), valueLabels_, 100.0f, scale);
    bindSpinValueLabel(*navigatorPanel_->rotationLabel(), *navigatorPanel_->rotationEdit(), valueLabels_, 0.0f);
  }
  if (layerPanel_) {
    // A drag on the opacity label is one edit: previewed while it lasts,
    // committed once when it ends; so is a double click.
    SValueLabelBinding opacity;
    CLayerPanel* panel = &layerPanel_->panel();
    opacity.onBegin = [panel] { panel->opacityStart(); };
    opacity.onEnd = [panel] { panel->opacityEnd(); };
    TPgGlyphLabel& label = *layerPanel_->opacityLabel();
    bindSpinValueLabel(label, *layerPanel_->opacityEdit(), valueLabels_, 100.0f, opacity);
    auto reset = label.OnDblClick;
    label.OnDblClick = [panel, reset](TPgGlyphLabel* sender) {
      panel->opacityStart();
      if (reset) reset(sender);
      panel->opacityEnd();
    };
  }
}

void TToolForm::setListStyles(const SListStyles& styles) {
  // setDisplayStyle refuses a style the list does not take (a stored -1 too).
  (void)swatches_.setDisplayStyle(styles.swatches);
  (void)toolOptions_.brushSetList().setDisplayStyle(styles.brushSet);  // as above
  if (layerPanel_) {
    if (layerPanel_->layers().setDisplayStyle(styles.layers)) layerPanel_->layers().refitThumbnails();
    (void)layerPanel_->masks().setDisplayStyle(styles.masks);  // as above
  }
}

TToolForm::SListStyles TToolForm::listStyles() const {
  SListStyles s;
  s.swatches = swatches_.displayStyle();
  s.brushSet = toolOptions_.brushSetList().displayStyle();
  if (layerPanel_) {
    s.layers = layerPanel_->layers().displayStyle();
    s.masks = layerPanel_->masks().displayStyle();
  }
  return s;
}

}  // namespace pg
