#pragma once
// The trace of tests: installed with core::ScopedTrace, it keeps every line.

#include "core/base/trace.h"

#include <string>
#include <vector>

namespace core {

class MemoryTrace final : public TraceSink {
public:
    void append(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

} // namespace core
