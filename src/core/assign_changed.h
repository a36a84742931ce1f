#pragma once
// The setter step that every control and model repeats: store a new value and
// say whether it differed, so that the caller redraws or announces only a
// real change.

namespace pg {

// Stores `value` in `field`; true when the field held something else before.
template <class T, class U>
[[nodiscard]] bool assignIfChanged(T& field, const U& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace pg
