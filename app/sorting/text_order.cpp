#include "sorting/text_order.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "sorting/stable_radix_sort.h"

namespace vorla {

// Texts are ordered eight bytes at a time: each text's next eight folded bytes, from the depth
// its range shares, become one integer (first byte highest, missing bytes zero), and the range
// is sorted by those integers in linear radix passes. Only texts whose integers tie are read
// further. A text's bytes are thus read in order, about once per eight bytes it shares with
// others, so the work grows with the texts; bucketing byte by byte would visit every text
// once per distinguishing byte, and a longer list has more of those.
//
// The sort moves 32-bit indices of the texts, never the texts themselves: the arrays it
// shuffles stay a quarter of the size, which keeps a long list's passes in cache.
class TextSorter::Work {
public:
    // Sorts; afterwards text(slot) is the slot's text in ascending order and groupStarts[slot]
    // says whether it differs from the one before it.
    void Run(const std::vector<TextRef>& texts, const ByteFold& fold) {
        texts_ = texts.data();
        fold_ = &fold;
        exact_ = IsIdentity(fold);
        const size_t count = texts.size();
        if (capacity_ < count) {
            // Written before they are read: not cleared, which alone would cost a pass.
            keys_ = std::make_unique_for_overwrite<uint64_t[]>(count);
            nextKeys_ = std::make_unique_for_overwrite<uint64_t[]>(count);
            moved_ = std::make_unique_for_overwrite<uint32_t[]>(count);
            capacity_ = count;
        }
        indices_.resize(count);
        for (size_t slot = 0; slot < count; ++slot)
            indices_[slot] = static_cast<uint32_t>(slot);
        groupStarts.assign(count, 0);
        if (count > 0) {
            groupStarts[0] = 1;
            pending_.push_back({0, count, 0});
        }
        while (!pending_.empty()) {
            const Range range = pending_.back();
            pending_.pop_back();
            SortRange(range);
        }
    }

    uint32_t index(size_t slot) const { return indices_[slot]; }
    const TextRef& text(size_t slot) const { return texts_[indices_[slot]]; }

    std::vector<char> groupStarts;

private:
    static constexpr size_t kKeyBytes = 8;
    static constexpr size_t kSmallRange = 64;  // below this a comparison sort of the integers is quicker

    struct Range {
        size_t begin, end, depth;  // the texts in slots [begin, end) agree on their first `depth` bytes
    };
    struct Keyed {
        uint64_t key;
        uint32_t index;
    };

    static bool IsIdentity(const ByteFold& fold) {
        for (size_t i = 0; i < fold.size(); ++i)
            if (fold[i] != i) return false;
        return true;
    }

    uint64_t KeyAt(const TextRef& text, size_t depth) const {
        if (exact_ && depth + kKeyBytes <= text.length) {
            uint64_t key;
            std::memcpy(&key, text.bytes + depth, sizeof key);
            return std::endian::native == std::endian::little ? __builtin_bswap64(key) : key;
        }
        uint64_t key = 0;
        const size_t end = std::min<size_t>(text.length, depth + kKeyBytes);
        size_t i = depth;
        if (exact_)
            for (; i < end; ++i)
                key = key << 8 | text.bytes[i];
        else
            for (; i < end; ++i)
                key = key << 8 | (*fold_)[text.bytes[i]];
        // Missing bytes count as zero; a text that has ended before `depth` is all zero (and
        // a shift by the whole width would be undefined).
        const size_t missing = depth + kKeyBytes - i;
        return missing == 0 ? key : missing >= kKeyBytes ? 0 : key << 8 * missing;
    }

    // Sixteen bytes are read per text, so a beginning of up to eight shared bytes (a common
    // word, the zeros of a length) is stepped over without reading the texts again: the
    // integer then starts after it. Longer shared beginnings are read past in steps.
    void SortRange(Range range) {
        if (range.end - range.begin < 2) return;
        uint64_t varying;
        for (;;) {
            uint64_t allHigh = ~uint64_t(0), anyHigh = 0, allLow = ~uint64_t(0), anyLow = 0;
            for (size_t slot = range.begin; slot < range.end; ++slot) {
                const TextRef& text = texts_[indices_[slot]];
                const uint64_t high = KeyAt(text, range.depth), low = KeyAt(text, range.depth + kKeyBytes);
                keys_[slot] = high;
                nextKeys_[slot] = low;
                allHigh &= high;
                anyHigh |= high;
                allLow &= low;
                anyLow |= low;
            }
            const uint64_t varyingHigh = allHigh ^ anyHigh, varyingLow = allLow ^ anyLow;
            const size_t shared = varyingHigh != 0  ? std::countl_zero(varyingHigh) / 8
                                  : varyingLow != 0 ? kKeyBytes + std::countl_zero(varyingLow) / 8
                                                    : 2 * kKeyBytes;
            if (shared == 0) {
                varying = varyingHigh;
                break;
            }
            if (shared <= kKeyBytes) {
                const unsigned bits = static_cast<unsigned>(8 * shared);
                auto join = [bits](uint64_t high, uint64_t low) {
                    return bits == 64 ? low : high << bits | low >> (64 - bits);
                };
                for (size_t slot = range.begin; slot < range.end; ++slot)
                    keys_[slot] = join(keys_[slot], nextKeys_[slot]);
                varying = join(varyingHigh, varyingLow);
                range.depth += shared;
                break;
            }
            if (shared == 2 * kKeyBytes) {  // all equal so far: read on, or the lengths decide
                SettleTies(range.begin, range.end, range.depth + kKeyBytes);
                return;
            }
            range.depth += shared;
        }
        if (range.end - range.begin <= kSmallRange)
            SortSmallRange(range);
        else
            SortLargeRange(range, varying);
        // Runs of equal integers are the only texts still unordered among themselves.
        size_t run = range.begin;
        for (size_t slot = range.begin + 1; slot <= range.end; ++slot) {
            if (slot < range.end && keys_[slot] == keys_[run]) continue;
            groupStarts[run] = 1;
            SettleTies(run, slot, range.depth);
            run = slot;
        }
    }

    void SortSmallRange(const Range& range) {
        pairs_.clear();
        for (size_t slot = range.begin; slot < range.end; ++slot)
            pairs_.push_back({keys_[slot], indices_[slot]});
        std::sort(pairs_.begin(), pairs_.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
        for (size_t slot = range.begin; slot < range.end; ++slot) {
            keys_[slot] = pairs_[slot - range.begin].key;
            indices_[slot] = pairs_[slot - range.begin].index;
        }
    }

    // Bits that no text of the range changes are left out of the integers first, so the radix
    // sort makes as few passes as the differences need (digits vary only in their low bits)
    // and an integer usually shares one word with its slot. Integers so shortened are equal
    // exactly when the whole ones are.
    void SortLargeRange(const Range& range, uint64_t varying) {
        const size_t size = range.end - range.begin;
        unsigned shifts[kKeyBytes], widths[kKeyBytes];
        uint64_t masks[kKeyBytes];
        unsigned fields = 0, bits = 0;
        for (unsigned byte = 0; byte < kKeyBytes; ++byte) {
            const unsigned shift = 8 * (kKeyBytes - 1 - byte);
            const unsigned changing = static_cast<unsigned>(varying >> shift) & 0xFF;
            if (changing == 0) continue;
            const unsigned low = static_cast<unsigned>(std::countr_zero(changing));
            const unsigned width = static_cast<unsigned>(std::bit_width(changing)) - low;
            shifts[fields] = shift + low;
            widths[fields] = width;
            masks[fields] = (uint64_t(1) << width) - 1;
            bits += width;
            ++fields;
        }
        uint64_t* const keys = keys_.get() + range.begin;
        auto compact = [&](uint32_t at) {
            uint64_t packed = 0;
            for (unsigned f = 0; f < fields; ++f)
                packed = packed << widths[f] | ((keys[at] >> shifts[f]) & masks[f]);
            return packed;
        };
        order_.resize(size);
        for (size_t i = 0; i < size; ++i)
            order_[i] = static_cast<uint32_t>(i);
        radix_.Load(bits, size, order_, compact);
        uint32_t* const indices = indices_.data() + range.begin;
        radix_.Sort(false, [&](size_t row, uint32_t at, uint64_t key) {
            moved_[row] = indices[at];
            keys[row] = key;
        });
        std::copy(moved_.get(), moved_.get() + size, indices);
    }

    // The texts in slots [begin, end) agree on every byte before `next` (a missing byte
    // counting as zero). Where one goes on past that, they are sorted further from there;
    // otherwise each ends there or before and the shorter is the smaller (it is the other's
    // beginning), so equal lengths are equal texts.
    void SettleTies(size_t begin, size_t end, size_t depth) {
        if (end - begin < 2) return;
        const size_t next = depth + kKeyBytes;
        uint32_t* const first = indices_.data() + begin;
        uint32_t* const last = indices_.data() + end;
        if (std::any_of(first, last, [&](uint32_t index) { return texts_[index].length > next; })) {
            pending_.push_back({begin, end, next});
            return;
        }
        std::sort(first, last, [&](uint32_t a, uint32_t b) { return texts_[a].length < texts_[b].length; });
        for (size_t slot = begin + 1; slot < end; ++slot)
            if (text(slot).length != text(slot - 1).length) groupStarts[slot] = 1;
    }

    const TextRef* texts_ = nullptr;
    const ByteFold* fold_ = nullptr;
    bool exact_ = false;
    std::vector<uint32_t> indices_;  // slot by slot, the index of its text
    size_t capacity_ = 0;
    std::unique_ptr<uint64_t[]> keys_;      // slot by slot, its text's integer at the range's depth
    std::unique_ptr<uint64_t[]> nextKeys_;  // and the eight bytes after those
    std::unique_ptr<uint32_t[]> moved_;     // indices on their way to their sorted slots
    std::vector<Range> pending_;            // a work list: long shared beginnings must not nest calls
    std::vector<uint32_t> order_;
    std::vector<Keyed> pairs_;
    StableRadixSort radix_;
};

TextSorter::TextSorter() : work_(std::make_unique<Work>()) {}
TextSorter::~TextSorter() = default;

uint32_t TextSorter::Rank(const std::vector<TextRef>& texts, const ByteFold& fold, size_t positionCount,
                          std::vector<uint32_t>& ranks) {
    work_->Run(texts, fold);
    ranks.assign(positionCount, 0);
    // Texts usually come in position order; then a slot's index is its position and the
    // texts need not be read again in sorted, that is scattered, order.
    bool inPositionOrder = true;
    for (size_t i = 0; i < texts.size() && inPositionOrder; ++i)
        inPositionOrder = texts[i].at == i;
    uint32_t rank = 0;
    for (size_t slot = 0; slot < texts.size(); ++slot) {
        rank += slot > 0 && work_->groupStarts[slot];
        ranks[inPositionOrder ? work_->index(slot) : work_->text(slot).at] = rank;
    }
    return texts.empty() ? 0 : rank + 1;
}

uint32_t RankTexts(const std::vector<TextRef>& texts, const ByteFold& fold, size_t positionCount,
                   std::vector<uint32_t>& ranks) {
    return TextSorter().Rank(texts, fold, positionCount, ranks);
}

}  // namespace vorla
