#pragma once
// Orders and ranks 8-bit texts byte by byte through a case-folding table, eight bytes at a
// time with radix passes: each text is read about as far as it differs from the others, so
// the work grows with the texts rather than with n log n comparisons. A rank per list
// position then lets a stable radix sort order rows by text in linear passes.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorla {

using ByteFold = std::array<unsigned char, 256>;

enum class CaseRule {
    kExact,        // bytes as they are
    kAscii,        // A-Z as a-z; other bytes kept (their case depends on a code page)
    kWindows1252,  // A-Z and the Windows-1252 accented capitals as small letters
};

constexpr ByteFold MakeByteFold(CaseRule rule) {
    ByteFold table{};
    for (int i = 0; i < 256; ++i) {
        unsigned char c = static_cast<unsigned char>(i);
        const bool ascii = c >= 'A' && c <= 'Z';
        const bool accented = c >= 0xC0 && c <= 0xDE && c != 0xD7;
        if ((rule != CaseRule::kExact && ascii) || (rule == CaseRule::kWindows1252 && accented))
            c = static_cast<unsigned char>(c + 32);
        table[i] = c;
    }
    return table;
}
inline constexpr ByteFold kExactBytes = MakeByteFold(CaseRule::kExact);
inline constexpr ByteFold kAsciiFold = MakeByteFold(CaseRule::kAscii);
inline constexpr ByteFold kWindows1252Fold = MakeByteFold(CaseRule::kWindows1252);

// One text to order: its bytes (not owned; they must outlive the sort) and the list position
// of its record.
struct TextRef {
    const unsigned char* bytes;
    uint32_t length;
    uint32_t at;

    static TextRef Of(std::string_view text, uint32_t at) {
        return {reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()), at};
    }
};

// Ranks texts in ascending order. Keeps its work arrays from one call to the next, so a long
// list ordered again and again (a click on a column, then another) does not fault in megabytes
// of fresh memory every time.
class TextSorter {
public:
    TextSorter();
    ~TextSorter();
    TextSorter(const TextSorter&) = delete;
    TextSorter& operator=(const TextSorter&) = delete;

    // Gives each text's position its rank in ascending order, counting from 0, equal texts
    // sharing one, in `ranks` (sized `positionCount`; positions without a text get 0);
    // returns how many ranks there are.
    uint32_t Rank(const std::vector<TextRef>& texts, const ByteFold& fold, size_t positionCount,
                  std::vector<uint32_t>& ranks);

    // An empty list for the caller to fill and pass in, keeping its memory between sorts.
    std::vector<TextRef>& EmptyList() {
        list_.clear();
        return list_;
    }

private:
    class Work;
    std::unique_ptr<Work> work_;
    std::vector<TextRef> list_;
};

// TextSorter::Rank with a sorter of its own, for lists ranked once.
uint32_t RankTexts(const std::vector<TextRef>& texts, const ByteFold& fold, size_t positionCount,
                   std::vector<uint32_t>& ranks);

}  // namespace vorla
