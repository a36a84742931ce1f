#pragma once
// Shared by the preset file tests: preferences held in memory, a builder of
// little-endian byte files, and file helpers.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/chunk_head.h"
#include "core/streams.h"
#include "io/preset_common.h"
#include "io/thumbnail_chunk.h"
#include "platform/message_service.h"
#include "test_support/temp_folder.h"

namespace pg::testing {

using Bytes = std::vector<uint8_t>;

class FakePresetPrefs final : public IPresetPrefs {
 public:
  std::string presetFile(PresetSet set) const override { return get(files, set); }
  void setPresetFile(PresetSet set, const std::string& path) override { files[set] = path; }
  std::string presetFolder(PresetSet set) const override { return get(folders, set); }
  void setPresetFolder(PresetSet set, const std::string& folder) override { folders[set] = folder; }
  std::string programFolder() const override { return program; }
  TColor foregroundColor() const override { return fg; }
  TColor backgroundColor() const override { return bg; }

  std::map<PresetSet, std::string> files;
  std::map<PresetSet, std::string> folders;
  std::string program;
  TColor fg = 0x000000;
  TColor bg = 0xFFFFFF;

 private:
  static std::string get(const std::map<PresetSet, std::string>& m, PresetSet set) {
    auto it = m.find(set);
    return it == m.end() ? std::string() : it->second;
  }
};

// Appends little-endian fields.
class ByteWriter {
 public:
  ByteWriter& u8(uint32_t v) {
    bytes.push_back(uint8_t(v));
    return *this;
  }
  ByteWriter& u16(uint32_t v) { return u8(v).u8(v >> 8); }
  ByteWriter& u32(uint32_t v) { return u16(v).u16(v >> 16); }
  ByteWriter& be16(uint32_t v) { return u8(v >> 8).u8(v); }
  ByteWriter& tag(std::string_view t) {
    for (char c : t) u8(uint8_t(c));
    return *this;
  }
  ByteWriter& zeros(size_t n) {
    bytes.insert(bytes.end(), n, 0);
    return *this;
  }
  ByteWriter& raw(const Bytes& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
  ByteWriter& text(std::string_view t) {
    bytes.insert(bytes.end(), t.begin(), t.end());
    return *this;
  }
  Bytes bytes;
};

inline void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void writeFile(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), std::streamsize(text.size()));
}

inline Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A picture chunk of a kind, width x height pixels of one value.
inline Bytes pictureChunk(uint16_t kind, uint32_t width, uint32_t height, uint8_t value) {
  SThumbnailDesc desc;
  desc.kind = kind;
  desc.key = kThumbnailKey;
  desc.group = 7;
  desc.step = 3;
  desc.sourceWidth = desc.width = width;
  desc.sourceHeight = desc.height = height;
  const std::vector<uint8_t> pixels(size_t(width) * height * pictureBytesPerPixel(kind), value);
  CMemoryStream out;
  EXPECT_EQ(writeThumbnailChunk(out, desc, pixels.data()), kRcOk);
  return out.bytes();
}

// A temporary folder to put files in, and the messages shown meanwhile.
class PresetFileTest : public ::testing::Test {
 protected:
  std::string put(const std::string& name, const Bytes& bytes) {
    const std::string path = dir.file(name);
    writeFile(path, bytes);
    return path;
  }
  std::string put(const std::string& name, std::string_view text) {
    const std::string path = dir.file(name);
    writeFile(path, text);
    return path;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages.shown()) out.push_back(m.text);
    return out;
  }
  TempFolder dir;
  RecordingMessageService messages;
  ScopedMessageService scoped{messages};
};

inline uint16_t le16(const Bytes& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }
inline uint32_t le32(const Bytes& b, size_t at) { return uint32_t(le16(b, at)) | uint32_t(le16(b, at + 2)) << 16; }

}  // namespace pg::testing
