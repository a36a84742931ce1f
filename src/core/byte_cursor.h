#pragma once
// The one way our fixed-layout binary records are read and written: the
// headers and chunks of our files, recorded packets and clipboard formats.
//
// A CByteCursor walks a span of bytes in one direction, reading or writing,
// little-endian, with every access checked against the span: an access past
// the end fails the cursor, touches nothing (a read leaves its field as it
// was, a write writes nothing) and every later access fails as well, so that
// a record is checked once, with ok(), after all its fields.
//
// Each record is described once, by a function that lists its fields in
// order and serves both directions:
//
//   struct SBlockHead { uint32_t tag = 0, length = 0, offset = 0; };
//   void blockHeadFields(CByteCursor& c, SBlockHead& r) {
//     c.field(r.tag).field(r.length).field(r.offset).zeros(8);
//   }
//
// readRecord fills a record from bytes and writeRecord turns one into bytes,
// through the same list, so that the two can never disagree on the layout.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace pg {

class CByteCursor {
 public:
  // A cursor that reads the size bytes at data.
  // (Reading never writes through the pointer.)
  static CByteCursor reading(const uint8_t* data, size_t size) {
    return CByteCursor(const_cast<uint8_t*>(data), size, false);
  }
  // A cursor that writes the size bytes at data.
  static CByteCursor writing(uint8_t* data, size_t size) { return CByteCursor(data, size, true); }

  [[nodiscard]] bool writes() const { return writes_; }
  // No access so far went past the end of the span.
  [[nodiscard]] bool ok() const { return ok_; }
  size_t position() const { return pos_; }
  size_t size() const { return size_; }
  size_t remaining() const { return ok_ ? size_ - pos_ : 0; }

  // One field: an integer of its own width, a float or a double (IEEE bits),
  // or an enumeration of its underlying width.
  template <class T>
    requires(std::is_arithmetic_v<T> || std::is_enum_v<T>)
  CByteCursor& field(T& value) {
    if constexpr (std::is_enum_v<T>) {
      auto raw = static_cast<std::underlying_type_t<T>>(value);
      field(raw);
      if (!writes_ && ok_) value = static_cast<T>(raw);
    } else if constexpr (std::is_same_v<T, bool>) {
      uint8_t raw = value ? 1 : 0;
      field(raw);
      if (!writes_ && ok_) value = raw != 0;
    } else if constexpr (std::is_floating_point_v<T>) {
      using Bits = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
      Bits bits = std::bit_cast<Bits>(value);
      field(bits);
      if (!writes_ && ok_) value = std::bit_cast<T>(bits);
    } else {
      using U = std::make_unsigned_t<T>;
      uint8_t* p = take(sizeof(T));
      if (p == nullptr) return *this;
      if (writes_) {
        const U v = static_cast<U>(value);
        for (size_t i = 0; i < sizeof(T); ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
      } else {
        U v = 0;
        for (size_t i = 0; i < sizeof(T); ++i) v = static_cast<U>(v | static_cast<U>(U(p[i]) << (8 * i)));
        value = static_cast<T>(v);
      }
    }
    return *this;
  }

  // n bytes of zeros when writing; skipped unread when reading.
  CByteCursor& zeros(size_t n) {
    uint8_t* p = take(n);
    if (p != nullptr && writes_) std::memset(p, 0, n);
    return *this;
  }

  // n raw bytes, copied out of or into the span.
  CByteCursor& bytes(uint8_t* data, size_t n) {
    uint8_t* p = take(n);
    if (p == nullptr || n == 0) return *this;
    if (writes_)
      std::memcpy(p, data, n);
    else
      std::memcpy(data, p, n);
    return *this;
  }

  // Moves to an offset of the span (at most its size).
  CByteCursor& at(size_t offset) {
    if (!ok_ || offset > size_) {
      ok_ = false;
    } else {
      pos_ = offset;
    }
    return *this;
  }

 private:
  CByteCursor(uint8_t* data, size_t size, bool writes) : data_(data), size_(data ? size : 0), writes_(writes) {}

  // The next n bytes, or nullptr (and the cursor failed) when they pass the end.
  uint8_t* take(size_t n) {
    if (!ok_ || n > size_ - pos_) {
      ok_ = false;
      return nullptr;
    }
    uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }

  uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool writes_;
  bool ok_ = true;
};

// Reads a record from the size bytes at data through its field list; false
// (the record partly filled) when the bytes end before the fields do.
template <class Record, class Fields>
[[nodiscard]] bool readRecord(const uint8_t* data, size_t size, Record& record, Fields fields) {
  CByteCursor c = CByteCursor::reading(data, size);
  fields(c, record);
  return c.ok();
}

// Writes a record into the size bytes at data through its field list; false
// when they are too few for its fields (nothing past them is written).
template <class Record, class Fields>
[[nodiscard]] bool writeRecord(uint8_t* data, size_t size, const Record& record, Fields fields) {
  Record copy = record;  // the field list takes the record by reference for both directions
  CByteCursor c = CByteCursor::writing(data, size);
  fields(c, copy);
  return c.ok();
}

// A record from bytes that hold all its fields (a buffer of the record's own
// size, checked by the caller): nothing can run short, so there is no result
// to check.
template <class Record, class Fields>
Record recordFromBytes(const uint8_t* data, size_t size, Fields fields) {
  Record record;
  (void)readRecord(data, size, record, fields);  // the size covers the fields
  return record;
}

}  // namespace pg
