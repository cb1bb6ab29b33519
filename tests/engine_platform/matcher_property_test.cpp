// The matcher against a brute-force reference: random arming, disarming and receiving, and
// after every received byte the answer must be the shortest armed text that the received
// bytes end with, of equal texts the one armed first.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/text_exchange/recv_text_set.h"
#include "tests/engine_platform/matcher_checks.h"

namespace rkl {
namespace {

struct ReferenceSlot {
    bool armed = false;
    std::string text;
    std::string label;
    long long armed_at = 0;
};

class Reference {
public:
    void Arm(int slot, const std::string& label, const std::string& text) {
        for (int s = slot; s < TRecvTextSet::kSlotCount; ++s)
            slots_[s].armed = false;
        slots_[slot] = {true, text, label, ++clock_};
    }
    void Add(int slot, const std::string& label, const std::string& text) {
        slots_[slot] = {true, text, label, ++clock_};
    }
    void Disarm(int slot) { slots_[slot].armed = false; }
    void Receive(unsigned char c) {
        received_ += static_cast<char>(c);
        if (received_.size() > 255) received_.erase(0, received_.size() - 255);
    }
    void Clear() { received_.clear(); }

    std::optional<int> Match() const {
        std::optional<int> best;
        for (int s = 0; s < TRecvTextSet::kSlotCount; ++s) {
            const ReferenceSlot& slot = slots_[s];
            if (!slot.armed || slot.text.size() > received_.size()) continue;
            if (received_.compare(received_.size() - slot.text.size(), slot.text.size(), slot.text) != 0)
                continue;
            if (!best || slot.text.size() < slots_[*best].text.size() ||
                (slot.text.size() == slots_[*best].text.size() && slot.armed_at < slots_[*best].armed_at))
                best = s;
        }
        return best;
    }
    long long ArmedAt(int slot) const { return slots_[slot].armed_at; }
    const std::string& Received() const { return received_; }
    const std::vector<std::string> ArmedTexts() const {
        std::vector<std::string> texts;
        for (const ReferenceSlot& slot : slots_)
            if (slot.armed) texts.push_back(slot.text);
        return texts;
    }

private:
    std::array<ReferenceSlot, TRecvTextSet::kSlotCount> slots_;
    std::string received_;
    long long clock_ = 0;
};

// Texts drawn from a small alphabet with high bytes, built so that equal texts, suffixes of
// one another and long shared tails are common.
class TextSource {
public:
    explicit TextSource(unsigned seed) : random_(seed) {}

    unsigned char Byte() {
        static constexpr unsigned char kAlphabet[] = {'A',  'B',  'C',  '\r', '\n',
                                                      0x7F, 0x80, 0xC9, 0xFF, 0x01};
        return kAlphabet[Below(sizeof kAlphabet)];
    }
    std::string Text(const std::vector<std::string>& armed) {
        const int kind = Below(10);
        if (!armed.empty() && kind < 3) {
            const std::string& base = armed[Below(armed.size())];
            if (kind == 0) return base;                                                        // equal
            if (kind == 1 && base.size() > 1) return base.substr(Below(base.size() - 1) + 1);  // suffix
            std::string longer = base;  // extended at the front
            for (int n = 1 + Below(3); n > 0; --n)
                longer.insert(longer.begin(), static_cast<char>(Byte()));
            return longer;
        }
        std::string text;
        for (int n = 1 + Below(kind == 9 ? 12 : 4); n > 0; --n)
            text += static_cast<char>(Byte());
        return text;
    }
    int Below(std::size_t n) { return static_cast<int>(random_() % n); }

private:
    std::mt19937 random_;
};

void RunRandomSequence(unsigned seed, int steps) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TextSource source(seed);
    Reference reference;
    std::array<unsigned char, 256> storage{};
    TCharRing ring(storage.data(), 256);
    TRecvTextSet set;
    int matches = 0;

    for (int step = 0; step < steps; ++step) {
        const int action = source.Below(100);
        if (action < 12) {
            const int slot = source.Below(TRecvTextSet::kSlotCount);
            const std::string text = source.Text(reference.ArmedTexts());
            const std::string label = "L" + std::to_string(step);
            ASSERT_TRUE(set.Arm(slot, label, text));
            reference.Arm(slot, label, text);
        } else if (action < 20) {
            // Arm without the disarming of higher slots, so that many slots stay armed.
            const int slot = source.Below(TRecvTextSet::kSlotCount);
            if (!set.Slot(slot).IsArmed()) {
                const std::string text = source.Text(reference.ArmedTexts());
                ASSERT_TRUE(set.AddText(slot, "A" + std::to_string(step), text));
                reference.Add(slot, "A" + std::to_string(step), text);
            }
        } else if (action < 25) {
            const int slot = source.Below(TRecvTextSet::kSlotCount);
            set.RemoveText(slot);
            reference.Disarm(slot);
        } else if (action < 26) {
            ring.Clear();
            reference.Clear();
        } else {
            const unsigned char c = source.Byte();
            ring.Push(c);
            reference.Receive(c);
            const TRecvText* got = set.MatchBuffer(ring);
            const std::optional<int> want = reference.Match();
            ASSERT_EQ(got != nullptr, want.has_value()) << "step " << step;
            if (want) {
                ASSERT_EQ(got->index, *want) << "step " << step;
                ++matches;
            }
            continue;
        }
        ASSERT_TRUE(testing::SetIsConsistent(
            set, [&](int a, int b) { return reference.ArmedAt(a) < reference.ArmedAt(b); }))
            << "step " << step;
    }
    // A sequence that never matched would prove nothing.
    EXPECT_GT(matches, steps / 50);
}

TEST(MatcherProperty, AgreesWithBruteForceOnRandomSequences) {
    for (unsigned seed = 1; seed <= 40; ++seed)
        RunRandomSequence(seed, 5000);
}

}  // namespace
}  // namespace rkl
