#pragma once
// Message boxes. Every message the program shows goes through four routines:
// a warning box, an information box, a Yes/No/Cancel question and a
// confirmation with a chosen button set. They call the current message
// service: the Qt one in the program, a recording one in tests. Texts come
// from the string table by id and are formatted by formatRes.
//
// In the batch modes (render and viewer) no box may wait for a click: with the
// batch flag set the routines write the text to the debug output instead and
// answer every question with its refusing choice.
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace pg {

// Modal results answered by the questions.
inline constexpr int kMrOk = 1;
inline constexpr int kMrCancel = 2;
inline constexpr int kMrYes = 6;
inline constexpr int kMrNo = 7;

// The button sets of a confirmation.
enum class MessageButtons : uint8_t { YesNo, OkCancel, YesNoCancel };

enum class MessageKind : uint8_t { Warning, Information, Question };

// Resource id of the warning caption ("警告"), and the product name it is
// joined with.
inline constexpr uint32_t kResWarningCaption = 65314;
inline constexpr std::string_view kProductName = "Pigmora";

// What the core needs of the user interface to show a message. Each call
// returns only after the user closed the box.
class MessageService {
 public:
  virtual ~MessageService() = default;
  // Exclamation icon, the single button OK, caption warningCaption().
  virtual void warning(const std::string& text) = 0;
  // Information icon, the single button OK.
  virtual void information(const std::string& text) = 0;
  // Question icon with the given buttons; answers a modal result.
  virtual int question(const std::string& text, MessageButtons buttons) = 0;
};

// Installs the process-wide service (not owned) and answers the previous one;
// nullptr restores the fallback, which writes to the debug output and refuses
// every question (as in batch mode).
MessageService* setMessageService(MessageService* service);
MessageService& messageService();

// The batch flag: set by start-up in the render and viewer modes.
void setMessageBatchMode(bool batch);

// The answer a question gets when nobody can be asked: No for the Yes/No and
// Yes/No/Cancel sets (so that an unattended run goes on without saving or
// overwriting anything), Cancel for OK/Cancel.
int refusingAnswer(MessageButtons buttons);

// The caption of the warning box: "%s (%s)" of resource text 65314 and the
// product name.
std::string warningCaption();

void showWarning(const std::string& text);
void showMessageBox(const std::string& text);  // the body of showWarning
void showInfo(const std::string& text);
int askYesNoCancel(const std::string& text);
int askConfirm(const std::string& text, MessageButtons buttons);

// One value for a placeholder of a format text: an integer of any width, a
// floating-point number or a text.
class FormatArg {
 public:
  template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
  FormatArg(T value) : value_(static_cast<int64_t>(value)) {}
  FormatArg(bool value) : value_(int64_t(value ? 1 : 0)) {}
  FormatArg(double value) : value_(value) {}
  FormatArg(const char* text) : value_(std::string(text ? text : "")) {}
  FormatArg(std::string_view text) : value_(std::string(text)) {}
  FormatArg(std::string text) : value_(std::move(text)) {}

  const std::variant<int64_t, double, std::string>& value() const { return value_; }

 private:
  std::variant<int64_t, double, std::string> value_;
};

// Formats in the runtime's printf-like syntax: %[flags][width][.precision]
// with d, i, u, x, X, c, e, E, f, g, G and s, and %% for a percent sign. Each
// placeholder takes the next value; numbers convert between integer and float
// as the conversion asks, and %s prints a number as text. A placeholder
// without a value, or with a text for a numeric conversion, stays in the
// result as written, so that a bad text from a language module cannot crash
// the program.
std::string formatText(std::string_view format, const std::vector<FormatArg>& args);

// The resource text of the id formatted with the values; empty when the id has
// no text.
std::string formatRes(uint32_t id, const std::vector<FormatArg>& args = {});

// A service for tests: keeps every message and answers questions from a queue
// (then with the default answer, the refusing one unless set).
class RecordingMessageService final : public MessageService {
 public:
  struct Shown {
    MessageKind kind;
    std::string text;
    MessageButtons buttons;  // YesNo for warnings and information (unused)
  };

  void warning(const std::string& text) override;
  void information(const std::string& text) override;
  int question(const std::string& text, MessageButtons buttons) override;

  void queueAnswer(int modalResult) { answers_.push_back(modalResult); }
  void setDefaultAnswer(int modalResult) { defaultAnswer_ = modalResult; }
  const std::vector<Shown>& shown() const { return shown_; }
  void clear() { shown_.clear(); }

 private:
  std::vector<Shown> shown_;
  std::deque<int> answers_;
  int defaultAnswer_ = 0;  // 0: the refusing answer of the button set
};

// Installs a service for the life of a scope and puts the previous one back.
class ScopedMessageService {
 public:
  explicit ScopedMessageService(MessageService& service) : previous_(setMessageService(&service)) {}
  ~ScopedMessageService() { setMessageService(previous_); }
  ScopedMessageService(const ScopedMessageService&) = delete;
  ScopedMessageService& operator=(const ScopedMessageService&) = delete;

 private:
  MessageService* previous_;
};

}  // namespace pg
