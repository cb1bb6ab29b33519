#pragma once
// Orders rows stably by small keys (ranks, as many as the rows at most) in one counting pass.
// A radix sort over such keys makes two or more passes over rows that carry their positions;
// here the counts and the rows' new places are arrays of 32-bit words that stay in cache far
// longer, which is what a list of a hundred thousand rows runs short of.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorla {

class StableCountingSort {
public:
    // Sorts `positions` by keyOf[position] (each below `keyLimit`); rows with equal keys keep
    // their order.
    void Sort(std::vector<uint32_t>& positions, const std::vector<uint32_t>& keyOf, size_t keyLimit) {
        keys_.resize(positions.size());
        next_.assign(keyLimit + 1, 0);
        for (size_t row = 0; row < positions.size(); ++row) {
            keys_[row] = keyOf[positions[row]];
            ++next_[keys_[row] + 1];
        }
        for (size_t key = 1; key < next_.size(); ++key)
            next_[key] += next_[key - 1];
        sorted_.resize(positions.size());
        for (size_t row = 0; row < positions.size(); ++row)
            sorted_[next_[keys_[row]]++] = positions[row];
        positions.swap(sorted_);
    }

private:
    // Kept between sorts, so a long list does not fault in fresh pages at every click.
    std::vector<uint32_t> keys_;  // row by row, in the current order
    std::vector<uint32_t> next_;  // per key, the next place
    std::vector<uint32_t> sorted_;
};

}  // namespace vorla
