#pragma once
// A test whose clipboard is in process memory and whose clipboard file lives
// in a folder of its own, both put back when the test ends.
#include <gtest/gtest.h>

#include "platform/clipboard.h"
#include "test_support/temp_folder.h"

namespace pg::testing {

class MemoryClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = setClipboard(&clip_);
    setClipboardFile(dir_.file("pgClip.bmp"));
  }
  void TearDown() override {
    setClipboard(previous_);
    setClipboardFile("");
  }
  CMemoryClipboard clip_;
  IClipboard* previous_ = nullptr;
  TempFolder dir_;
};

}  // namespace pg::testing
