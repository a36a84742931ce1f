#pragma once
// One dockable panel. Derived panels add their content; the float manager
// moves the panel between panes and floating forms.
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

#include "ui/memory_graphic.h"

namespace pg {

class TDockFloatForm;
class TDockFloatManager;

class TCustomDockView : public QWidget {
  Q_OBJECT
 public:
  // name: the panel's key in the saved layout (letters, digits, '_').
  explicit TCustomDockView(const QString& name, QWidget* parent = nullptr);
  ~TCustomDockView() override;

  const QString& dockName() const { return name_; }
  const QString& caption() const { return caption_; }
  void setCaption(const QString& text);
  QMenu* popupMenu() const { return menu_; }
  void setPopupMenu(QMenu* menu);
  // The caption as drawn on an active and an inactive tab.
  const TMemoryGraphic& captionImage(bool active) const { return active ? activeCaption_ : inactiveCaption_; }

  // The user's choice to show the panel, and the fold of its pane.
  bool shown() const;
  void setShown(bool shown);
  bool collapsed() const;
  void setHidden(bool collapsed);
  // 0 shown, 1 hidden, 2 folded, 3 not in a visible form.
  int showState() const;

  TDockFloatForm* floatForm() const;
  TDockFloatManager* floatViewManager() const;

  // Fired after the panel painted itself.
  std::function<void(TCustomDockView*)> OnPaint;

  // Set by the float manager when the panel is registered.
  void attach(TDockFloatManager* manager, int32_t id);
  int32_t dockId() const { return id_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  virtual void doPaint();

 private:
  void renderCaptions();

  QString name_;
  QString caption_;
  TMemoryGraphic inactiveCaption_{18, 18, uiClear};
  TMemoryGraphic activeCaption_{1, 1, uiClear};
  QPointer<QMenu> menu_;
  QPointer<TDockFloatManager> manager_;
  int32_t id_ = -1;
};

}  // namespace pg
