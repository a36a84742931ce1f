#pragma once
// The application-wide event slots (every event on its way to any window,
// shortcuts, loss of activation) as one stack: whoever needs them for a while
// (an open pop-up, an in-place editor, a dock drag) pushes itself and removes
// only itself, so that nested users restore each other correctly. Only the
// top handler hears events; loss of activation travels down as long as the
// handlers let it.
#include <QObject>

#include <vector>

class QEvent;

namespace pg {

class IAppEventHandler {
 public:
  virtual ~IAppEventHandler() = default;
  // An event on its way to `watched`; true swallows it.
  virtual bool appEvent(QObject* watched, QEvent* event) = 0;
  // The application lost the activation; true passes it to the handler below.
  virtual bool appDeactivated() { return true; }
};

class CAppEventRouter final : public QObject {
 public:
  // The one router of the application, made on first use (needs the
  // application object) and destroyed with it.
  static CAppEventRouter& instance();

  void push(IAppEventHandler* handler);
  // Removes the handler wherever it sits; nothing when it is not there.
  void remove(IAppEventHandler* handler);
  IAppEventHandler* top() const { return stack_.empty() ? nullptr : stack_.back(); }
  bool contains(const IAppEventHandler* handler) const;

  // Called when the application loses the activation (also by tests).
  void applicationDeactivated();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit CAppEventRouter(QObject* parent);
  ~CAppEventRouter() override;

  std::vector<IAppEventHandler*> stack_;
  bool filtering_ = false;
};

}  // namespace pg
