#pragma once
// The layer panel (blend mode, opacity, protect transparency, the layer
// list, new and delete) and the mask panel (the mask list, new and delete)
// over the toolkit-free CLayerPanel. The opacity slider and field preview
// their value while they are dragged or edited and commit it once.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string_view>
#include <memory>

#include "toolwin/layer_lists.h"
#include "toolwin/layer_panel.h"

class QAction;
class QComboBox;
class QMenu;
class QSlider;
class QSpinBox;
class QTimer;
class QToolButton;

namespace pg {

class TItemListView;
class TPgGlyphLabel;

class TLayerPanelView : public QWidget {
  Q_OBJECT
 public:
  explicit TLayerPanelView(QWidget* parent = nullptr);
  ~TLayerPanelView() override;

  CLayerPanel& panel() { return *panel_; }
  CLayerList& layers() { return layers_; }
  CMaskList& masks() { return masks_; }
  // The window whose document both lists show (nullptr: none).
  void bind(TDrawWindow* window);
  // Reads everything again from the document.
  void refresh();
  // The mask panel's own widget (the tool window puts it into its panel).
  QWidget* maskPanel() const { return maskPanel_.data(); }

  QComboBox* blendMode() const { return blend_; }
  QSlider* opacitySlider() const { return opacitySlider_; }
  QSpinBox* opacityEdit() const { return opacityEdit_; }
  // The opacity's value label (the tool window binds it: a drag previews
  // and commits once, like the slider).
  TPgGlyphLabel* opacityLabel() const { return opacityLabel_; }
  QToolButton* newButton() const { return newLayer_; }
  QToolButton* deleteButton() const { return deleteLayer_; }
  QToolButton* newMaskButton() const { return newMask_; }
  QToolButton* deleteMaskButton() const { return deleteMask_; }
  TItemListView* layerListView() const { return layerView_; }
  TItemListView* maskListView() const { return maskView_; }

  // The two lists' context menus over the main window's actions (by name);
  // refresh brings the actions' enabling up to date before a menu opens.
  void bindPanelMenus(std::function<QAction*(std::string_view name)> action, std::function<void()> refresh);
  QMenu* layerMenu() const { return layerMenu_; }
  QMenu* maskMenu() const { return maskMenu_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void show(const SLayerPanelState& s);
  void showMasks(const SMaskPanelState& s);

  CLayerList layers_;
  CMaskList masks_;
  std::unique_ptr<CLayerPanel> panel_;
  QComboBox* blend_ = nullptr;
  QSlider* opacitySlider_ = nullptr;
  QSpinBox* opacityEdit_ = nullptr;
  TPgGlyphLabel* opacityLabel_ = nullptr;
  QToolButton* protect_ = nullptr;
  QToolButton* newLayer_ = nullptr;
  QToolButton* deleteLayer_ = nullptr;
  TItemListView* layerView_ = nullptr;
  QPointer<QWidget> maskPanel_;
  TItemListView* maskView_ = nullptr;
  QToolButton* newMask_ = nullptr;
  QToolButton* deleteMask_ = nullptr;
  QTimer* timer_ = nullptr;
  QMenu* layerMenu_ = nullptr;
  QMenu* maskMenu_ = nullptr;
  bool maskMergeAsked_ = false;
  bool showing_ = false;
};

}  // namespace pg
