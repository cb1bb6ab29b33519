#pragma once

// Builds transmission blocks the way the paging program's sender cuts a page: the PIN,
// CR, the text and a closing CR laid out as one run, cut every 249 characters, with
// ETX at the end of the page, ETB after a block that ends on a field boundary and US
// inside a field. The simulator must take every one of them.
#include <string>
#include <vector>

#include "tools/pagingsim/tap_block.h"

namespace pagingsim::testing {

inline std::vector<std::string> SenderBlocks(const std::string& pin, const std::string& text,
                                             int blocks_per_page = 0) {
    const int p = static_cast<int>(pin.size());
    const int e = static_cast<int>(text.size());
    if (blocks_per_page == 0) blocks_per_page = (e + p + 2 + 248) / 249;
    std::vector<std::string> blocks;
    for (int j = 0; j < blocks_per_page; ++j) {
        std::string data;
        int s = -p - 1 + 249 * j;
        const int limit = s + 249;
        if (s < -1) {
            const int stop = std::min(limit, -1);
            data += pin.substr(static_cast<std::size_t>(s + p + 1), static_cast<std::size_t>(stop - s));
            s = stop;
        }
        if (s < limit && s < 0) {
            data += '\r';
            ++s;
        }
        if (s < limit && s < e) {
            const int stop = std::min(limit, e);
            data += text.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(stop - s));
            s = stop;
        }
        if (s < limit && s <= e) data += '\r';
        char terminator = tap::kEtx;
        if (j + 1 < blocks_per_page)
            terminator = (!data.empty() && data.back() == '\r') ? tap::kEtb : tap::kUs;
        blocks.push_back(EncodeTapBlock(data, terminator));
    }
    return blocks;
}

}  // namespace pagingsim::testing
