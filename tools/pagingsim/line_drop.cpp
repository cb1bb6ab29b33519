#include "tools/pagingsim/line_drop.h"

#include "tools/pagingsim/tap_block.h"

namespace pagingsim {

std::size_t LineDrop::Admit(std::string_view bytes) {
    if (dropped_) return 0;
    std::size_t passed = 0;
    for (char c : bytes) {
        if (config_.after_bytes > 0 && delivered_ >= config_.after_bytes) {
            dropped_ = true;
            return passed;
        }
        ++delivered_;
        ++passed;
        if (c == tap::kStx && config_.in_block > 0 && ++blocks_started_ == config_.in_block) {
            // The STX gets through, the rest of the block never does.
            dropped_ = true;
            return passed;
        }
    }
    if (config_.after_bytes > 0 && delivered_ >= config_.after_bytes) dropped_ = true;
    return passed;
}

}  // namespace pagingsim
