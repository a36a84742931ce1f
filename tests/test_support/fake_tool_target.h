#pragma once
// A document window for the tool window's tests: it records what the tool
// window asks of it.
#include <functional>
#include <string>
#include <vector>

#include "toolwin/tool_target.h"

namespace pg::testing {

class FakeToolTarget : public IToolTarget {
 public:
  bool ready = true;
  bool replaying = false;
  // "handlers <tool id>[ end]" and "cursor", in order.
  std::vector<std::string> calls;
  std::vector<SToolParams> params;
  // Runs inside selectToolHandlers, as a window that switches tools on its own would.
  std::function<void()> duringHandlers;

  bool documentReady() const override { return ready; }
  bool isReplaying() const override { return replaying; }
  void selectToolHandlers(ToolId tool, bool endPrevious) override {
    calls.push_back("handlers " + std::to_string(byteOf(tool)) + (endPrevious ? " end" : ""));
    if (duringHandlers) duringHandlers();
  }
  void updateCursorAtPointer() override { calls.push_back("cursor"); }
  void applyToolParams(const SToolParams& p) override { params.push_back(p); }
};

}  // namespace pg::testing
