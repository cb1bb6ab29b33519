#include "text_exchange/recv_text_set.h"

#include <utility>

namespace rkl {

TRecvTextSet::TRecvTextSet(Trace trace) : trace_(std::move(trace)) {
    for (int i = 0; i < kSlotCount; ++i)
        slots_[i].index = i;
    sorted_.fill(-1);
}

int TRecvTextSet::CompareChar(const TCharRing& ring, const TRecvText& text, int k, bool end_means_match) {
    const unsigned char b = text.ReversedChar(k);
    if (b == 0) return end_means_match ? kTextEnds : kBufferGreater;
    // The end of the buffer sorts before every character. Taking it as a 0 byte compared
    // signed would put it after the bytes 128..255, and then a longer text ending in such a
    // byte would sort (and match) before its own shorter suffix.
    if (k >= ring.Count()) return kBufferLess;
    const auto a = static_cast<signed char>(ring.FromNewest(k));
    const auto sb = static_cast<signed char>(b);
    if (a == sb) return kSame;
    return a < sb ? kBufferLess : kBufferGreater;
}

bool TRecvTextSet::AddText(int slot, std::string_view label, std::string_view text) {
    if (!ValidSlot(slot) || slots_[slot].IsArmed()) return false;
    if (std::size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
    if (text.size() > kMaxTextLength) text = text.substr(0, kMaxTextLength);
    if (label.size() > kMaxTextLength) label = label.substr(0, kMaxTextLength);

    TRecvText& added = slots_[slot];
    added.label.assign(label);
    added.reversedText.assign(text.rbegin(), text.rend());

    // A ring over the text itself, so the new text is compared exactly as received bytes are.
    std::array<unsigned char, kMaxTextLength + 1> storage{};
    const int length = static_cast<int>(text.size());
    for (int i = 0; i < length; ++i)
        storage[i] = static_cast<unsigned char>(text[i]);
    const TCharRing ring(storage.data(), length + 1, length);

    int k = 0;
    int p = 0;
    int shared_with_previous = 0;
    while (p < armed_count_) {
        const int answer = CompareChar(ring, slots_[sorted_[p]], k, false);
        if (answer == kSame) {
            ++k;
        } else if (answer == kBufferLess) {
            break;
        } else if (answer == kBufferGreater) {
            shared_with_previous = k;
            k = 0;
            ++p;
        } else {
            TraceLine("ERROR: AddText: switch default\r");
            break;
        }
    }
    // Past the last text nothing follows, so nothing is shared.
    InsertText(slot, p, p < armed_count_ ? k : 0, shared_with_previous);
    return true;
}

void TRecvTextSet::InsertText(int slot, int position, int shared_with_next, int shared_with_previous) {
    if (!ValidSlot(slot) || slots_[slot].IsArmed() || armed_count_ >= kSlotCount) return;
    if (position < 0 || position > armed_count_) return;
    for (int q = armed_count_; q > position; --q) {
        sorted_[q] = sorted_[q - 1];
        ++slots_[sorted_[q]].sortedPosition;
    }
    if (position > 0) slots_[sorted_[position - 1]].sharedLength = shared_with_previous;
    slots_[slot].sharedLength = shared_with_next;
    slots_[slot].sortedPosition = position;
    sorted_[position] = slot;
    ++armed_count_;
}

void TRecvTextSet::RemoveText(int slot) {
    if (!ValidSlot(slot) || !slots_[slot].IsArmed()) return;
    TRecvText& removed = slots_[slot];
    const int p = removed.sortedPosition;
    // The neighbours now meet: they share the shorter of the two lengths they each shared with
    // the removed text.
    if (p > 0) {
        TRecvText& previous = slots_[sorted_[p - 1]];
        if (previous.sharedLength > removed.sharedLength) previous.sharedLength = removed.sharedLength;
    }
    for (int q = p; q + 1 < armed_count_; ++q) {
        sorted_[q] = sorted_[q + 1];
        --slots_[sorted_[q]].sortedPosition;
    }
    removed.sharedLength = -1;
    removed.sortedPosition = -1;
    removed.label.clear();
    removed.reversedText.clear();
    --armed_count_;
    sorted_[armed_count_] = -1;
}

void TRecvTextSet::DisarmFrom(int slot) {
    for (int s = slot < 0 ? 0 : slot; s < kSlotCount; ++s)
        RemoveText(s);
}

bool TRecvTextSet::Arm(int slot, std::string_view label, std::string_view text) {
    if (!ValidSlot(slot)) return false;
    DisarmFrom(slot);
    return AddText(slot, label, text);
}

const TRecvText* TRecvTextSet::MatchBuffer(const TCharRing& ring) const {
    int k = 0;
    int p = 0;
    while (p < armed_count_) {
        const TRecvText* text = &slots_[sorted_[p]];
        switch (CompareChar(ring, *text, k, true)) {
            case kSame:
                ++k;
                break;
            case kTextEnds:
                return text;
            case kBufferLess:
                return nullptr;
            case kBufferGreater:
                // The texts that share more than k characters with this one fail at the same byte.
                while (p < armed_count_ - 1 && k < slots_[sorted_[p]].sharedLength)
                    ++p;
                if (k != slots_[sorted_[p]].sharedLength) return nullptr;
                ++p;  // the next text agrees with the buffer on the first k bytes: go on from k
                break;
            default:
                TraceLine("ERROR: MatchBuffer: switch default\r");
                return nullptr;
        }
    }
    return nullptr;
}

}  // namespace rkl
