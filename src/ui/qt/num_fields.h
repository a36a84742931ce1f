#pragma once
// The text controls of a TNumMngr and the in-place editors: TNumEdit (a
// right-aligned edit that updates its model as the user types, steps it with
// the arrow keys and the wheel), TNumLabel (the value as a label), and the
// framed labels TLabelEdit (text) and TNumLabelEdit (numbers) that open one
// of the two shared capture edits over themselves when clicked. A capture
// edit holds the application's event slots while open: Enter, Tab or Space
// accept, Esc cancels, a click elsewhere accepts and is consumed, shortcuts
// with Ctrl or Alt do nothing, and leaving the application accepts.
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <functional>

#include "ui/memory_graphic.h"
#include "ui/num_mngr.h"
#include "ui/qt/app_event_router.h"

namespace pg {

// The locale's decimal separator (a full stop when it is not one byte).
char uiDecimalSep();

class TNumEdit : public QLineEdit, public INumListener {
 public:
  explicit TNumEdit(QWidget* parent = nullptr);
  ~TNumEdit() override;
  QString formatString() const { return format_; }
  void setFormatString(const QString& f);
  void numRefresh() override;
  std::function<void()> OnChange;

  void cut();
  void paste();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  void textEditedByUser(const QString& text);
  QString format_ = QStringLiteral("%1.0f");
};

// Draws a label face (window colour, text, optional frame) into a graphic.
class TNumLabel : public QWidget, public INumListener {
 public:
  explicit TNumLabel(QWidget* parent = nullptr);
  ~TNumLabel() override;
  QString formatString() const { return format_; }
  void setFormatString(const QString& f);
  QString caption() const { return caption_; }
  void numRefresh() override;

 protected:
  void paintEvent(QPaintEvent* e) override;
  // Framed label edits draw a frame and set their text lower.
  virtual bool framed() const { return false; }
  QString caption_ = QStringLiteral("0");

 private:
  QString format_ = QStringLiteral("%1.0f");
};

// Results of a capture edit.
enum : int32_t { kCaptureEditing = 0, kCaptureAccept = 1, kCaptureCancel = 2 };

// The capture behaviour shared by both capture edits.
class TCaptureHandler : public IAppEventHandler {
 public:
  explicit TCaptureHandler(QLineEdit& edit) : edit_(edit) {}
  ~TCaptureHandler() override;
  TCaptureHandler(const TCaptureHandler&) = delete;
  TCaptureHandler& operator=(const TCaptureHandler&) = delete;
  void beginCapture();
  void endCapture();
  bool capturing() const { return capturing_; }
  int32_t result() const { return result_; }
  std::function<void()> OnExit;
  bool appEvent(QObject* watched, QEvent* event) override;
  bool appDeactivated() override;

 private:
  QLineEdit& edit_;
  int32_t result_ = kCaptureEditing;
  bool capturing_ = false;
};

class TCaptureEdit : public QLineEdit {
 public:
  explicit TCaptureEdit(QWidget* parent = nullptr) : QLineEdit(parent), capture(*this) {}
  TCaptureHandler capture;
};

class TCaptureNumEdit : public TNumEdit {
 public:
  explicit TCaptureNumEdit(QWidget* parent = nullptr) : TNumEdit(parent), capture(*this) {}
  TCaptureHandler capture;
};

// The process-wide shared editors, made hidden on first use.
TCaptureEdit& sharedCaptureEdit();
TCaptureNumEdit& sharedCaptureNumEdit();
// Frees them (at exit, between tests).
void freeSharedCaptureEdits();
// Shows a shared editor over a rectangle of a control (control coordinates),
// as a child of the control's parent, focused; and takes it off again.
void showCaptureEditOver(QLineEdit& edit, QWidget& control, const QRect& r);
void parkCaptureEdit(QWidget& edit);
// Opens a shared editor holding `text` over a rectangle of a control: its
// capture's end runs `onExit`, the control is marked editing, and the capture
// begins.
void openCaptureEdit(QLineEdit& edit, TCaptureHandler& capture, QWidget& control, const QRect& r,
                     const QString& text, bool& editing, std::function<void()> onExit);
// Closes the shared numeric editor for its control: the control stops
// editing and `onEditExit` hears of it; then an accepted text sets the
// control's number manager (asked for after that), anything else puts back
// `saved`, the value from before the edit.
void closeCaptureNumEdit(TCaptureNumEdit& edit, bool& editing, const std::function<void()>& onEditExit,
                         const std::function<TNumMngr*()>& associate, float saved);

class TLabelEdit : public QWidget {
 public:
  explicit TLabelEdit(QWidget* parent = nullptr);
  ~TLabelEdit() override;
  QString caption() const { return caption_; }
  void setCaption(const QString& c);
  void setMaxLength(int n) { maxLength_ = n; }
  Qt::Alignment alignment() const { return align_; }
  void setAlignment(Qt::Alignment a);
  bool isEditing() const;

  std::function<void()> OnEditEnter, OnEditExit, OnChange;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  void endEdit();
  QString caption_;
  int maxLength_ = 0;
  Qt::Alignment align_ = Qt::AlignLeft;
  bool editing_ = false;
};

class TNumLabelEdit : public TNumLabel {
 public:
  explicit TNumLabelEdit(QWidget* parent = nullptr);
  ~TNumLabelEdit() override;
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool on) { readOnly_ = on; }
  void setMaxLength(int n) { maxLength_ = n; }
  bool isEditing() const;

  std::function<void()> OnEditEnter, OnEditExit;

 protected:
  bool framed() const override { return true; }
  void mousePressEvent(QMouseEvent* e) override;

 private:
  void endEdit();
  bool readOnly_ = false;
  float saved_ = 0.0f;
  int maxLength_ = 16;
  bool editing_ = false;
};

// Paints a label face (window background, text placed as the label edits
// place it, a grey frame when framed) into the graphic, sized to it.
void paintLabelFace(TMemoryGraphic& g, const QString& text, const QFont& font, Qt::Alignment align, bool framed,
                    bool enabled);

}  // namespace pg
