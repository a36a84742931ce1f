#pragma once
// Three small owner-drawn controls: TPathLabel (a file path shortened in the
// middle, "*" when modified), TDropDownMenu (an 11 x 11 glyph button that
// drops its menu below itself) and TGraphicTabControl (a row of overlapping
// tabs).
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "ui/appearance_manager.h"
#include "ui/memory_graphic.h"

class QMenu;

namespace pg {

class TPathLabel : public QWidget {
 public:
  explicit TPathLabel(QWidget* parent = nullptr);
  QString path() const { return path_; }
  void setPath(const QString& p);
  bool modified() const { return modified_; }
  void setModified(bool on);
  QString caption() const { return caption_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QString path_, caption_;
  bool modified_ = false;
};

class TDropDownMenu : public QWidget {
 public:
  explicit TDropDownMenu(QWidget* parent = nullptr);
  uint8_t glyphState() const { return state_; }
  bool down() const { return down_; }
  QMenu* PopupMenu = nullptr;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  uint8_t state_ = gsNone;
  bool down_ = false;
};

class TGraphicTabControl : public QWidget {
 public:
  explicit TGraphicTabControl(QWidget* parent = nullptr);
  int32_t addTab(const QString& caption);
  int32_t count() const { return static_cast<int32_t>(tabs_.size()); }
  int32_t activeIndex() const { return active_; }
  void setActiveIndex(int32_t i);
  // The tab drawn at a point, -1 for none.
  int32_t tabAt(QPoint p) const;
  std::function<void()> OnChange;
  const TMemoryGraphic& face() const { return visible_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  struct Tab {
    QString caption;
    std::unique_ptr<TMemoryGraphic> inactive, active;
    int32_t left = 0;
  };
  void relayout();
  std::vector<Tab> tabs_;
  TMemoryGraphic visible_;
  TMemoryGraphic hits_;
  int32_t active_ = 0;
};

}  // namespace pg
