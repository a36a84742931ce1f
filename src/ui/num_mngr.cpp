#include "ui/num_mngr.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/assign_changed.h"

namespace pg {

INumListener::~INumListener() {
  if (associate_) associate_->removeListener(this);
}

void INumListener::setAssociate(TNumMngr* model) {
  if (associate_ != model) {
    if (associate_) associate_->removeListener(this);
    associate_ = model;
    if (model) model->addListener(this);
  }
  numRefresh();
}

TNumMngr::~TNumMngr() {
  while (!listeners_.empty()) {
    INumListener* l = listeners_.back();
    listeners_.pop_back();
    l->associate_ = nullptr;
    l->numRefresh();
  }
}

int32_t TNumMngr::addListener(INumListener* l) {
  if (!l) return -1;
  removeListener(l);
  listeners_.push_back(l);
  l->associate_ = this;
  return static_cast<int32_t>(listeners_.size() - 1);
}

int32_t TNumMngr::removeListener(INumListener* l) {
  if (!l) return -1;
  const auto it = std::find(listeners_.begin(), listeners_.end(), l);
  if (it == listeners_.end()) return -1;
  const auto index = static_cast<int32_t>(it - listeners_.begin());
  listeners_.erase(it);
  if (l->associate_ == this) l->associate_ = nullptr;
  return index;
}

void TNumMngr::refreshAll(INumListener* except) {
  // A refresh may detach listeners; walk a copy and skip the ones gone.
  const std::vector<INumListener*> copy = listeners_;
  for (INumListener* l : copy)
    if (l && l != except && std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end()) l->numRefresh();
}

void TNumMngr::doChange() {
  if (onChange) onChange(*this);
}

float TNumMngr::clampValue(float x) const { return std::min(valueMax_, std::max(valueMin_, x)); }

float TNumMngr::setValueFrom(INumListener* sender, float x) {
  if (x == value_) return value_;
  if (loading_) {
    value_ = x;
  } else {
    const float p = wrapMax_ - wrapMin_;
    // An empty or inverted wrap range (the bound setters allow both) cannot
    // wrap anything: the value is clamped instead of divided by zero.
    if (wrapAround_ && p > 0.0f) {
      const float q = std::trunc(x / p);
      float v = x - q * p;
      if (v < wrapMin_)
        v = v + p;
      else if (v > wrapMax_)
        v = v - p;
      value_ = v;
    } else {
      value_ = clampValue(x);
    }
  }
  refreshAll(sender);
  doChange();
  return value_;
}

void TNumMngr::increment(bool large) {
  float step = Amount;
  if (UseCenter) step = value_ < valueCenter_ ? AmountLow : AmountHigh;
  if (large) step *= 10.0f;
  setValueFrom(nullptr, value_ + step);
}

void TNumMngr::decrement(bool large) {
  float step = Amount;
  if (UseCenter) step = value_ <= valueCenter_ ? AmountLow : AmountHigh;
  if (large) step *= 10.0f;
  setValueFrom(nullptr, value_ - step);
}

bool TNumMngr::setRange(float value, float minimum, float maximum) {
  if (minimum > maximum) return false;
  valueMin_ = minimum;
  valueMax_ = maximum;
  const float v = std::min(valueMax_, std::max(valueMin_, value));
  if (v == value_)
    doChange();
  else
    setValue(v);
  return true;
}

float TNumMngr::getRatio() const {
  const float lo = wrapAround_ ? wrapMin_ : valueMin_;
  const float hi = wrapAround_ ? wrapMax_ : valueMax_;
  // Empty ranges or halves have no position; answer their start (or the
  // middle with a centre) instead of dividing by zero.
  if (!UseCenter) return hi > lo ? (value_ - lo) / (hi - lo) : 0.0f;
  const float c = valueCenter_;
  if (value_ < c) return c > lo ? (value_ - lo) * 0.5f / (c - lo) : 0.0f;
  if (value_ == c) return 0.5f;
  return hi > c ? (value_ - c) * 0.5f / (hi - c) + 0.5f : 1.0f;
}

void TNumMngr::setRatio(float r) {
  const float lo = wrapAround_ ? wrapMin_ : valueMin_;
  const float hi = wrapAround_ ? wrapMax_ : valueMax_;
  if (!UseCenter) {
    setValue((hi - lo) * r + lo);
    return;
  }
  const float c = valueCenter_;
  if (r < 0.5f)
    setValue((c - lo) * r * 2.0f + lo);
  else if (r == 0.5f)
    setValue(c);
  else
    setValue((hi - c) * (r - 0.5f) * 2.0f + c);
}

void TNumMngr::setValueMin(float x) {
  if (!assignIfChanged(valueMin_, x)) return;
  if (!loading_) {
    if (wrapMin_ < valueMin_) wrapMin_ = valueMin_;
    if (valueMax_ < valueMin_) valueMax_ = valueMin_;
    if (value_ < valueMin_) setValue(valueMin_);
  }
  refreshAll(nullptr);
}

void TNumMngr::setValueMax(float x) {
  if (!assignIfChanged(valueMax_, x)) return;
  if (!loading_) {
    if (wrapMax_ > valueMax_) wrapMax_ = valueMax_;
    if (valueMin_ > valueMax_) valueMin_ = valueMax_;
    if (value_ > valueMax_) setValue(valueMax_);
  }
  refreshAll(nullptr);
}

void TNumMngr::setValueDefault(float x) {
  if (x == valueDefault_) return;
  valueDefault_ = loading_ ? x : clampValue(x);
  refreshAll(nullptr);
}

void TNumMngr::setValueCenter(float x) {
  if (x == valueCenter_) return;
  valueCenter_ = loading_ ? x : clampValue(x);
}

void TNumMngr::setWrapMin(float x) {
  if (!assignIfChanged(wrapMin_, x)) return;
  if (!loading_) {
    if (valueMin_ > wrapMin_) valueMin_ = wrapMin_;
    if (wrapMax_ < wrapMin_) wrapMax_ = wrapMin_;
  }
  refreshAll(nullptr);
}

void TNumMngr::setWrapMax(float x) {
  if (!assignIfChanged(wrapMax_, x)) return;
  if (!loading_) {
    if (wrapMin_ > wrapMax_) wrapMin_ = wrapMax_;
    if (valueMax_ < wrapMax_) valueMax_ = wrapMax_;
  }
  refreshAll(nullptr);
}

void TNumMngr::setWrapAround(bool on) {
  if (assignIfChanged(wrapAround_, on)) refreshAll(nullptr);
}

// ---- text ------------------------------------------------------------------------

std::optional<float> parseNumber(std::string_view text, bool allowNegative, char decimalSep) {
  std::string kept;
  bool decimals = true;
  for (const char ch : text) {
    bool keep = false;
    if (ch >= '0' && ch <= '9') {
      keep = true;
    } else if (ch == '-' && allowNegative) {
      keep = true;
    } else if (ch == decimalSep) {
      keep = decimals;
      decimals = false;
    }
    if (keep) {
      kept.push_back(ch == decimalSep ? '.' : ch);
      allowNegative = false;
    }
  }
  if (kept.empty() || kept == "-" || kept == ".") return std::nullopt;
  float out = 0.0f;
  const char* end = kept.data() + kept.size();
  const auto [ptr, ec] = std::from_chars(kept.data(), end, out);
  // "-." and the like do not convert; the text is simply not a number yet.
  if (ec != std::errc() || ptr != end) {
    if (ec == std::errc::result_out_of_range && ptr == end) return kept[0] == '-' ? -HUGE_VALF : HUGE_VALF;
    return std::nullopt;
  }
  return out;
}

float valueFromText(TNumMngr& model, std::string_view text, char decimalSep) {
  const auto n = parseNumber(text, model.isSigned(), decimalSep);
  return n ? model.setValueFrom(nullptr, *n) : model.value();
}

std::string formatValue(std::string_view format, float value, char decimalSep) {
  // Find the one floating-point conversion: %[flags][width][.precision]f.
  size_t pct = format.find('%');
  while (pct != std::string_view::npos && pct + 1 < format.size() && format[pct + 1] == '%')
    pct = format.find('%', pct + 2);
  int width = 0;
  int precision = 6;
  size_t end = std::string_view::npos;
  if (pct != std::string_view::npos) {
    size_t i = pct + 1;
    while (i < format.size() && (format[i] == '-' || format[i] == '+' || format[i] == ' ' || format[i] == '0')) ++i;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9' && width < 64) width = width * 10 + (format[i++] - '0');
    if (i < format.size() && format[i] == '.') {
      ++i;
      precision = 0;
      while (i < format.size() && format[i] >= '0' && format[i] <= '9' && precision < 20)
        precision = precision * 10 + (format[i++] - '0');
    }
    if (i < format.size() && (format[i] == 'f' || format[i] == 'F')) end = i + 1;
  }
  char buf[96];
  if (end == std::string_view::npos) {
    std::snprintf(buf, sizeof buf, "%.0f", static_cast<double>(value));
    return buf;
  }
  std::snprintf(buf, sizeof buf, "%*.*f", std::min(width, 40), std::min(precision, 20), static_cast<double>(value));
  std::string number = buf;
  if (decimalSep != '.') std::replace(number.begin(), number.end(), '.', decimalSep);
  // The text around the conversion, "%%" standing for "%".
  auto literal = [](std::string_view t) {
    std::string s;
    for (size_t i = 0; i < t.size(); ++i) {
      s.push_back(t[i]);
      if (t[i] == '%' && i + 1 < t.size() && t[i + 1] == '%') ++i;
    }
    return s;
  };
  return literal(format.substr(0, pct)) + number + literal(format.substr(end));
}

bool acceptNumChar(std::string_view text, char32_t ch, bool allowNegative, char decimalSep) {
  if (ch < U' ') return true;
  if (ch >= U'0' && ch <= U'9') return true;
  if (ch == U'-') return allowNegative;
  if (ch == static_cast<unsigned char>(decimalSep)) return text.find(decimalSep) == std::string_view::npos;
  return false;
}

}  // namespace pg
