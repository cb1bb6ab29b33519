#ifndef TESTS_ENGINE_PLATFORM_PTY_PAIR_H
#define TESTS_ENGINE_PLATFORM_PTY_PAIR_H

#include <string>

namespace rkl::testing {

// A pseudo-terminal standing in for a serial line: the engine opens `device` as its port, the
// test plays the modem on `peer` (the master side).
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return peer_ >= 0; }
    int peer() const { return peer_; }
    const std::string& device() const { return device_; }
    // The test's own descriptor of the device, open since before the engine's: it can read
    // the settings back while the engine holds the port exclusively.
    int device_fd() const { return held_device_; }

    void PeerWrite(const std::string& bytes) const;
    // Everything the peer can read within `wait_ms` of the last byte.
    std::string PeerRead(int wait_ms) const;
    // Hangs the line up, as a modem that drops the call.
    void ClosePeer();

private:
    int peer_ = -1;
    int held_device_ = -1;
    std::string device_;
};

}  // namespace rkl::testing

#endif
