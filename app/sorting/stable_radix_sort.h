#pragma once
// Orders rows by unsigned keys, stably (rows with equal keys keep their order), with a
// least-significant-digit radix sort: a fixed number of linear passes whatever the keys, so
// sorting time grows with the number of rows.
//
// The sorter keeps the rows, each a key and a list position, in their current order between
// sorts. Sorting the same keys again (in the other direction, say) therefore reads them in
// order instead of gathering them from wherever the rows point, and the digit counts taken
// when the rows are loaded serve every later sort: a descending sort complements the keys,
// which only mirrors each pass's counts. A row is one 64-bit word, the key above the position,
// when both fit (they do for any log of ordinary spread), else a key and a position side by
// side: half the bytes per row keeps the passes over a long list in cache.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorla {

class StableRadixSort {
public:
    // Takes new rows: one per position of `positions`, in that order, keyed by
    // keyOf(position). Keys have `keyBits` bits (0..64); positions are below `positionCount`.
    template <typename KeyOf>
    void Load(unsigned keyBits, size_t positionCount, const std::vector<uint32_t>& positions, KeyOf keyOf) {
        keyBits_ = keyBits;
        packedLayout_.positionBits =
            static_cast<unsigned>(std::bit_width(std::max<size_t>(positionCount, 2) - 1));
        // As few passes as 11-bit digits need, with the bits spread evenly over them: fewer
        // buckets per pass means fewer places written at once.
        passes_ = (keyBits + 10) / 11;
        digitBits_ = passes_ == 0 ? 1 : (keyBits + passes_ - 1) / passes_;
        descending_ = false;
        packed_ = keyBits + packedLayout_.positionBits <= 64;
        if (packed_)
            Fill(packedLayout_, packedRows_, positions, keyOf);
        else
            Fill(wideLayout_, wideRows_, positions, keyOf);
    }

    // Sorts the rows ascending or descending by key and writes their positions, in the new
    // order, to `positions`.
    void Sort(bool descending, std::vector<uint32_t>& positions) {
        positions.resize(packed_ ? packedRows_.size() : wideRows_.size());
        Sort(descending, [&positions](size_t row, uint32_t at, uint64_t) { positions[row] = at; });
    }

    // Sorts the rows ascending by key and calls visit(row, position, key) for each row in
    // the new order, so a caller that wants more than the positions needs no second pass.
    template <typename Visit>
    void Sort(bool descending, Visit visit) {
        if (packed_)
            Run(packedLayout_, packedRows_, packedScratch_, descending, visit);
        else
            Run(wideLayout_, wideRows_, wideScratch_, descending, visit);
    }

private:
    struct PackedLayout {
        using Row = uint64_t;
        unsigned positionBits = 1;
        Row Make(uint64_t key, uint32_t at) const { return key << positionBits | at; }
        uint64_t Key(Row row) const { return row >> positionBits; }
        uint32_t At(Row row) const {
            return static_cast<uint32_t>(row & ((uint64_t(1) << positionBits) - 1));
        }
        Row FlipKey(Row row, uint64_t keyMask) const { return row ^ (keyMask << positionBits); }
    };
    struct WideLayout {
        struct Row {
            uint64_t key;
            uint32_t at;
        };
        Row Make(uint64_t key, uint32_t at) const { return {key, at}; }
        uint64_t Key(const Row& row) const { return row.key; }
        uint32_t At(const Row& row) const { return row.at; }
        Row FlipKey(Row row, uint64_t keyMask) const { return {row.key ^ keyMask, row.at}; }
    };

    uint64_t KeyMask() const { return keyBits_ >= 64 ? ~uint64_t(0) : (uint64_t(1) << keyBits_) - 1; }
    size_t DigitMask() const { return (size_t(1) << digitBits_) - 1; }
    size_t Digit(uint64_t key, unsigned pass) const {
        return static_cast<size_t>(key >> (pass * digitBits_)) & DigitMask();
    }
    size_t CountIndex(unsigned pass, size_t digit) const { return (size_t(pass) << digitBits_) + digit; }

    // Makes the rows and counts their keys' digits for every pass, once: the counts serve
    // every later sort.
    template <typename Layout, typename KeyOf>
    void Fill(const Layout& layout, std::vector<typename Layout::Row>& rows,
              const std::vector<uint32_t>& positions, KeyOf keyOf) {
        rows.resize(positions.size());
        counts_.assign(size_t(passes_) << digitBits_, 0);
        // Locals, so the loop keeps them in registers rather than rereading members the
        // counts might alias.
        const unsigned passes = passes_, digitBits = digitBits_;
        const uint64_t digitMask = DigitMask();
        uint32_t* counts = counts_.data();
        auto* row = rows.data();
        for (uint32_t at : positions) {
            const uint64_t key = keyOf(at);
            *row++ = layout.Make(key, at);
            for (unsigned pass = 0; pass < passes; ++pass)
                ++counts[(size_t(pass) << digitBits) + ((key >> (pass * digitBits)) & digitMask)];
        }
    }

    // Turns the counts into each pass's first row per digit value, in `offsets_`, and notes
    // the passes that move anything (where more than one digit value occurs).
    void PrepareOffsets(bool descending) {
        offsets_.assign(counts_.size(), 0);
        moving_.clear();
        for (unsigned pass = 0; pass < passes_; ++pass) {
            // Complementing the key complements this pass's digit within the key's bits.
            const size_t flip = descending ? Digit(KeyMask(), pass) : 0;
            size_t kinds = 0;
            uint32_t at = 0;
            for (size_t value = 0; value <= DigitMask(); ++value) {
                const uint32_t n = counts_[CountIndex(pass, value ^ flip)];
                offsets_[CountIndex(pass, value)] = at;
                at += n;
                kinds += n != 0;
            }
            if (kinds > 1) moving_.push_back(pass);
        }
    }

    template <typename Layout, typename Visit>
    void Run(const Layout& layout, std::vector<typename Layout::Row>& rows,
             std::vector<typename Layout::Row>& scratch, bool descending, Visit& visit) {
        // Descending order sorts the complemented keys ascending: equal keys still keep their
        // current order, exactly as a stable sort with the reversed comparison would.
        if (descending != descending_) {
            for (auto& row : rows)
                row = layout.FlipKey(row, KeyMask());
            descending_ = descending;
        }
        PrepareOffsets(descending);
        scratch.resize(rows.size());
        for (unsigned pass : moving_) {
            uint32_t* next = &offsets_[CountIndex(pass, 0)];
            for (const auto& row : rows)
                scratch[next[Digit(layout.Key(row), pass)]++] = row;
            rows.swap(scratch);
        }
        const uint64_t flip = descending ? KeyMask() : 0;
        for (size_t i = 0; i < rows.size(); ++i)
            visit(i, layout.At(rows[i]), layout.Key(rows[i]) ^ flip);
    }

    unsigned keyBits_ = 0;
    unsigned passes_ = 0;
    unsigned digitBits_ = 1;
    bool packed_ = true;
    bool descending_ = false;  // the rows' keys are complemented
    PackedLayout packedLayout_;
    WideLayout wideLayout_;
    std::vector<uint32_t> counts_;   // per pass, how many keys have each digit value
    std::vector<uint32_t> offsets_;  // per pass, the next row for each digit value
    std::vector<unsigned> moving_;
    // The rows in their current order, and a work array kept so a long list does not fault in
    // megabytes of fresh pages at every sort.
    std::vector<uint64_t> packedRows_, packedScratch_;
    std::vector<WideLayout::Row> wideRows_, wideScratch_;
};

}  // namespace vorla
