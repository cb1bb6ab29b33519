#ifndef RKL_TEXT_EXCHANGE_RECV_TEXT_SET_H
#define RKL_TEXT_EXCHANGE_RECV_TEXT_SET_H

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "text_exchange/char_ring.h"

namespace rkl {

// One of the 35 receive-text slots.
struct TRecvText {
    // Leading characters (of the reversed text) shared with the next armed text in sorted
    // order; 0 for the last; -1 when not armed.
    int sharedLength = -1;
    // Place in the sorted order; -1 when not armed.
    int sortedPosition = -1;
    int index = 0;
    std::string label;
    // The expected text, last character first (at most 255 characters, never a NUL).
    std::string reversedText;

    bool IsArmed() const { return sortedPosition >= 0; }
    // The k-th character of the reversed text; 0 beyond its end.
    unsigned char ReversedChar(int k) const {
        return k >= 0 && k < static_cast<int>(reversedText.size())
                   ? static_cast<unsigned char>(reversedText[k])
                   : 0;
    }
    std::string Text() const { return {reversedText.rbegin(), reversedText.rend()}; }
};

// The armed receive texts of a handle and the matcher that RECV runs after every received
// byte. The armed texts are kept sorted by their reversed form (bytes compared as signed
// 8-bit values, a text that is a prefix of another before it, equal texts in arming order),
// each with the length it shares with the next one, so one ordered pass over the list finds
// the answer: the shortest armed text that the received bytes end with, and of equal texts
// the one armed first.
//
// RECVTEXT slot label text is: check the slot (0..34), label and text, then
// DisarmFrom(slot) and AddText(slot, label, text) (or Arm(slot, label, text), which is both).
// RECV calls MatchBuffer(match buffer) after each push and jumps to the label it answers.
class TRecvTextSet {
public:
    static constexpr int kSlotCount = 35;
    static constexpr int kMaxTextLength = 255;
    // Receives the two "switch default" trace lines; the owner decides (debug bit 16) whether
    // they go anywhere. May be empty.
    using Trace = std::function<void(const char* text)>;

    // What CompareChar answers.
    static constexpr int kSame = 1;           // the characters at k agree
    static constexpr int kTextEnds = 2;       // the armed text ends at k: it matches
    static constexpr int kBufferLess = 3;     // the buffer sorts before the armed text at k
    static constexpr int kBufferGreater = 4;  // after it (or the armed text ends, when that
                                              // does not count as a match)

    explicit TRecvTextSet(Trace trace = {});

    void SetTrace(Trace trace) { trace_ = std::move(trace); }

    // Arms `slot` with `label` and `text` at its sorted place. Does nothing (false) when the
    // slot is out of range or already armed. The text is cut at a NUL and at 255 characters,
    // the label at 255. Nothing is allocated beyond the two strings, so the arming cannot fail
    // half-way.
    bool AddText(int slot, std::string_view label, std::string_view text);
    // Puts the (disarmed) slot at sorted place `position`, with `shared_with_next` as its own
    // shared length and `shared_with_previous` as the new shared length of the text before it.
    void InsertText(int slot, int position, int shared_with_next, int shared_with_previous);
    // Disarms the slot (nothing when it is not armed or out of range).
    void RemoveText(int slot);
    // Disarms slot, slot + 1, ..., 34.
    void DisarmFrom(int slot);
    // RECVTEXT after its argument checks: DisarmFrom(slot), then AddText.
    bool Arm(int slot, std::string_view label, std::string_view text);

    // Compares the k-th newest byte of `ring` with the k-th character of the armed text's
    // reversed form. An exhausted ring sorts before every character, as a shorter text does.
    static int CompareChar(const TCharRing& ring, const TRecvText& text, int k, bool end_means_match);

    // The armed text that the bytes in `ring` end with (see above), or null.
    const TRecvText* MatchBuffer(const TCharRing& ring) const;

    int armedCount() const { return armed_count_; }
    // The slot at sorted place `position`, or -1.
    int SortedSlot(int position) const {
        return position >= 0 && position < kSlotCount ? sorted_[position] : -1;
    }
    const TRecvText& Slot(int slot) const { return slots_[slot]; }

private:
    static bool ValidSlot(int slot) { return slot >= 0 && slot < kSlotCount; }
    void TraceLine(const char* text) const {
        if (trace_) trace_(text);
    }

    std::array<TRecvText, kSlotCount> slots_;
    std::array<int, kSlotCount> sorted_;
    int armed_count_ = 0;
    Trace trace_;
};

}  // namespace rkl

#endif
