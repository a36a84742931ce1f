#pragma once
// Version 1.1 event streams for tests, written record by record through the
// stream's own writer: a builder of payloads for the codes the tests use.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "record/legacy_event_packet.h"

namespace pg::test {

class LegacyStream {
 public:
  // A stream that starts with the canvas size record 512.
  explicit LegacyStream(uint16_t width = 64, uint16_t height = 48) { canvas(512, width, height); }

  LegacyStream& record(uint16_t code, std::vector<uint8_t> payload) {
    ok_ = packet_.appendRecord(code, payload.data(), payload.size()) && ok_;
    return *this;
  }
  LegacyStream& canvas(uint16_t code, uint16_t width, uint16_t height) {
    std::vector<uint8_t> p;
    u16(p, width);
    u16(p, height);
    if (code == 514) p.push_back(4);
    return record(code, std::move(p));
  }
  // A stroke of kind 0..4 on a layer in a colour (0xRRGGBB) and a width, its
  // points (x, y, pressure x 1024), the first in the header.
  LegacyStream& stroke(uint16_t kind, uint8_t layer, uint32_t rgb, uint16_t width256,
                       std::initializer_list<std::array<int16_t, 3>> points) {
    std::vector<uint8_t> p = {layer, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 1};
    for (const uint16_t v : {uint16_t(0), width256, uint16_t(256), uint16_t(0), uint16_t(0), uint16_t(256)}) u16(p, v);
    const auto* it = points.begin();
    for (int16_t v : *it) u16(p, uint16_t(v));
    u16(p, uint16_t(points.size() - 1));
    for (++it; it != points.end(); ++it)
      for (int16_t v : *it) u16(p, uint16_t(v));
    return record(kind, std::move(p));
  }
  // A polygon fill (297: the layer's neutral colour; 304: an RGB colour).
  LegacyStream& polygon(uint8_t layer, const uint32_t* rgb, std::initializer_list<std::pair<int16_t, int16_t>> points) {
    std::vector<uint8_t> p = {layer};
    if (rgb != nullptr) p.insert(p.end(), {uint8_t(*rgb >> 16), uint8_t(*rgb >> 8), uint8_t(*rgb)});
    u16(p, uint16_t(points.size()));
    for (const auto& [x, y] : points) {
      u16(p, uint16_t(x));
      u16(p, uint16_t(y));
    }
    return record(rgb != nullptr ? 304 : 297, std::move(p));
  }
  LegacyStream& end() {
    packet_.appendEnd();
    return *this;
  }

  bool ok() const { return ok_; }
  const std::vector<uint8_t>& bytes() const { return packet_.bytes(); }

  static void u16(std::vector<uint8_t>& p, uint16_t v) {
    p.push_back(uint8_t(v));
    p.push_back(uint8_t(v >> 8));
  }

 private:
  TEventPacket packet_;
  bool ok_ = true;
};

}  // namespace pg::test
