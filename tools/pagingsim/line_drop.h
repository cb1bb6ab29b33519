#pragma once

#include <cstddef>
#include <string_view>

namespace pagingsim {

struct LineDropConfig {
    std::size_t after_bytes = 0;  // drop once this many bytes have reached the far end; 0: never
    int in_block = 0;             // drop right after the STX of this block (1 = first); 0: never
    bool Active() const { return after_bytes > 0 || in_block > 0; }
};

// Decides, for one connection, where in the caller's byte stream the line breaks.
class LineDrop {
public:
    explicit LineDrop(LineDropConfig config) : config_(config) {}
    // How many of these bytes get through before the line breaks (all of them when it
    // does not break here). Once Dropped(), nothing gets through.
    std::size_t Admit(std::string_view bytes);
    bool Dropped() const { return dropped_; }

private:
    LineDropConfig config_;
    std::size_t delivered_ = 0;
    int blocks_started_ = 0;
    bool dropped_ = false;
};

}  // namespace pagingsim
