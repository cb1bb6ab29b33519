#include "text_exchange/char_ring.h"

namespace rkl {

void TCharRing::SetStorage(unsigned char* storage, int capacity, int initial_tail) {
    const bool usable = storage != nullptr && capacity >= 2;
    storage_ = usable ? storage : nullptr;
    capacity_ = usable ? capacity : 0;
    head_ = 0;
    // One cell always stays free, so that a full ring and an empty one differ.
    tail_ = !usable || initial_tail < 0 ? 0 : (initial_tail >= capacity ? capacity - 1 : initial_tail);
}

void TCharRing::Push(unsigned char c) {
    if (storage_ == nullptr) return;
    storage_[tail_] = c;
    tail_ = (tail_ + 1) % capacity_;
    if (tail_ == head_) head_ = (head_ + 1) % capacity_;
}

int TCharRing::Count() const {
    const int count = tail_ - head_;
    return count < 0 ? count + capacity_ : count;
}

unsigned char TCharRing::FromNewest(int k) const {
    if (k < 0 || k >= Count()) return 0;
    return storage_[(tail_ - 1 - k + capacity_) % capacity_];
}

unsigned char TCharRing::FromOldest(int k) const {
    if (k < 0 || k >= Count()) return 0;
    return storage_[(head_ + k) % capacity_];
}

}  // namespace rkl
