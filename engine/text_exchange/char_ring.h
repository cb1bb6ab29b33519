#ifndef RKL_TEXT_EXCHANGE_CHAR_RING_H
#define RKL_TEXT_EXCHANGE_CHAR_RING_H

namespace rkl {

// A ring of bytes over storage that someone else owns (the handle's 256-byte match buffer, or
// a text being armed). It holds at most capacity - 1 bytes; pushing into a full ring drops
// the oldest. A ring without storage (capacity below 2) holds nothing and ignores pushes.
class TCharRing {
public:
    TCharRing() = default;
    // `initial_tail` bytes of `storage` count as already pushed, oldest first.
    TCharRing(unsigned char* storage, int capacity, int initial_tail = 0) {
        SetStorage(storage, capacity, initial_tail);
    }

    void SetStorage(unsigned char* storage, int capacity, int initial_tail = 0);
    void Clear() { head_ = tail_ = 0; }
    void Push(unsigned char c);
    int Count() const;
    // k = 0 is the newest byte; 0 when k is outside 0..Count()-1.
    unsigned char FromNewest(int k) const;
    // k = 0 is the oldest byte; 0 when k is outside 0..Count()-1.
    unsigned char FromOldest(int k) const;
    int capacity() const { return capacity_; }

private:
    unsigned char* storage_ = nullptr;
    int head_ = 0;  // oldest
    int tail_ = 0;  // next write
    int capacity_ = 0;
};

}  // namespace rkl

#endif
