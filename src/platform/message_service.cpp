#include "platform/message_service.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "platform/debug_output.h"
#include "platform/format_directives.h"
#include "platform/string_table.h"

namespace pg {

namespace {

// Message texts break lines with carriage returns; a terminal wants line feeds.
std::string asLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
    } else if (i + 1 == text.size() || text[i + 1] != '\n') {
      out += '\n';
    }
  }
  return out;
}

// Used while no service is installed and in batch mode: nobody can answer.
class FallbackMessageService final : public MessageService {
 public:
  void warning(const std::string& text) override { debugOutput("warning: " + asLines(text)); }
  void information(const std::string& text) override { debugOutput("information: " + asLines(text)); }
  int question(const std::string& text, MessageButtons buttons) override {
    debugOutput("question (answered by default): " + asLines(text));
    return refusingAnswer(buttons);
  }
};

FallbackMessageService& fallback() {
  static FallbackMessageService service;
  return service;
}

MessageService*& installed() {
  static MessageService* service = nullptr;
  return service;
}

bool& batchFlag() {
  static bool batch = false;
  return batch;
}

// The service the routines use right now.
MessageService& target() {
  if (batchFlag()) return fallback();
  return messageService();
}

// A floating-point value for an integer conversion: truncated, clamped to the
// 64-bit range, NaN as 0 (the plain cast is undefined outside the range).
long long doubleToInteger(double d) {
  if (!(d == d)) return 0;
  if (d >= 9.2233720368547758e18) return std::numeric_limits<long long>::max();
  if (d <= -9.2233720368547758e18) return std::numeric_limits<long long>::min();
  return static_cast<long long>(d);
}

}  // namespace

MessageService* setMessageService(MessageService* service) {
  MessageService* previous = installed();
  installed() = service;
  return previous;
}

MessageService& messageService() {
  MessageService* service = installed();
  return service ? *service : fallback();
}

void setMessageBatchMode(bool batch) { batchFlag() = batch; }

int refusingAnswer(MessageButtons buttons) { return buttons == MessageButtons::OkCancel ? kMrCancel : kMrNo; }

std::string warningCaption() { return formatText("%s (%s)", {resString(kResWarningCaption), kProductName}); }

void showWarning(const std::string& text) { target().warning(text); }
void showMessageBox(const std::string& text) { showWarning(text); }
void showInfo(const std::string& text) { target().information(text); }
int askYesNoCancel(const std::string& text) { return target().question(text, MessageButtons::YesNoCancel); }
int askConfirm(const std::string& text, MessageButtons buttons) { return target().question(text, buttons); }

std::string formatText(std::string_view format, const std::vector<FormatArg>& args) {
  std::string out;
  out.reserve(format.size() + 16);
  size_t next = 0;
  size_t i = 0;
  while (i < format.size()) {
    char c = format[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    const FormatSpec parsed = parseFormatSpec(format, i);
    const std::string_view written = parsed.written;
    const char conv = parsed.conversion;
    const std::string& flags = parsed.flags;
    const int width = parsed.width, precision = parsed.precision;
    if (conv == 0) {
      out.append(written);
      break;
    }
    if (std::string_view("diuxXceEfgGs").find(conv) == std::string_view::npos || next >= args.size()) {
      out.append(written);
      continue;
    }
    const auto& value = args[next].value();
    // Only what the C library defines for the conversion reaches snprintf:
    // '#' is undefined for d, i, u and c, '0' and a precision for c.
    const bool isChar = conv == 'c';
    const bool isDecimal = conv == 'd' || conv == 'i' || conv == 'u';
    std::string spec = "%";
    for (char f : std::string_view("-+ #0")) {
      if (flags.find(f) == std::string::npos) continue;
      if (f == '#' && (isChar || isDecimal)) continue;
      if (isChar && f != '-') continue;
      spec += f;
    }
    if (width >= 0) spec += std::to_string(width);
    if (precision >= 0 && !isChar) spec += "." + std::to_string(precision);

    char buf[2 * kMaxFormatField + 64];
    int n = -1;
    switch (conv) {
      case 'd':
      case 'i':
      case 'u':
      case 'x':
      case 'X':
      case 'c': {
        long long v;
        if (auto p = std::get_if<int64_t>(&value)) {
          v = *p;
        } else if (auto d = std::get_if<double>(&value)) {
          v = doubleToInteger(*d);
        } else {
          out.append(written);
          ++next;
          continue;
        }
        if (conv == 'c') {
          spec += 'c';
          n = std::snprintf(buf, sizeof buf, spec.c_str(), int(static_cast<unsigned char>(v)));
        } else if (conv == 'd' || conv == 'i') {
          spec += "lld";
          n = std::snprintf(buf, sizeof buf, spec.c_str(), v);
        } else {
          spec += "ll";
          spec += conv;
          n = std::snprintf(buf, sizeof buf, spec.c_str(), static_cast<unsigned long long>(v));
        }
        break;
      }
      case 'e':
      case 'E':
      case 'f':
      case 'g':
      case 'G': {
        double v;
        if (auto p = std::get_if<double>(&value)) {
          v = *p;
        } else if (auto q = std::get_if<int64_t>(&value)) {
          v = double(*q);
        } else {
          out.append(written);
          ++next;
          continue;
        }
        spec += conv;
        n = std::snprintf(buf, sizeof buf, spec.c_str(), v);
        break;
      }
      case 's': {
        std::string text;
        if (auto p = std::get_if<std::string>(&value)) {
          text = *p;
        } else if (auto q = std::get_if<int64_t>(&value)) {
          text = std::to_string(*q);
        } else {
          std::snprintf(buf, sizeof buf, "%g", std::get<double>(value));
          text = buf;
        }
        if (precision >= 0 && size_t(precision) < text.size()) text.resize(size_t(precision));
        if (width >= 0 && text.size() < size_t(width)) {
          std::string pad(size_t(width) - text.size(), ' ');
          text = flags.find('-') != std::string::npos ? text + pad : pad + text;
        }
        out += text;
        ++next;
        continue;
      }
    }
    ++next;
    if (n > 0) out.append(buf, std::min<size_t>(size_t(n), sizeof buf - 1));
  }
  return out;
}

std::string formatRes(uint32_t id, const std::vector<FormatArg>& args) { return formatText(resString(id), args); }

void RecordingMessageService::warning(const std::string& text) {
  shown_.push_back({MessageKind::Warning, text, MessageButtons::YesNo});
}

void RecordingMessageService::information(const std::string& text) {
  shown_.push_back({MessageKind::Information, text, MessageButtons::YesNo});
}

int RecordingMessageService::question(const std::string& text, MessageButtons buttons) {
  shown_.push_back({MessageKind::Question, text, buttons});
  if (!answers_.empty()) {
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  return defaultAnswer_ ? defaultAnswer_ : refusingAnswer(buttons);
}

}  // namespace pg
