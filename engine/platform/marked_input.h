#ifndef RKL_PLATFORM_MARKED_INPUT_H
#define RKL_PLATFORM_MARKED_INPUT_H

namespace rkl::platform {

// Undoes the marking a terminal in PARMRK mode applies to its input. A byte received with a
// parity or framing error arrives as 0xFF 0x00 byte, and a genuine 0xFF as 0xFF 0xFF; without
// the marks the driver would hand over such a byte as 0, which RECV drops, so an answer from
// a line with a parity mismatch could never match. Here every byte comes out as received.
class MarkedInput {
public:
    // Takes the next byte from the driver; true when it completes one received byte (`out`).
    bool Feed(unsigned char in, unsigned char& out) {
        switch (state_) {
            case State::Plain:
                if (in == 0xFF) {
                    state_ = State::AfterEscape;
                    return false;
                }
                break;
            case State::AfterEscape:
                if (in == 0x00) {
                    state_ = State::Marked;
                    return false;
                }
                // 0xFF 0xFF is a received 0xFF; any other pair cannot come from the driver: keep the
                // second byte rather than lose the line.
                break;
            case State::Marked:
                break;
        }
        state_ = State::Plain;
        out = in;
        return true;
    }
    void Reset() { state_ = State::Plain; }

private:
    enum class State { Plain, AfterEscape, Marked };
    State state_ = State::Plain;
};

}  // namespace rkl::platform

#endif
