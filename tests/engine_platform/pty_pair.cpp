#include "tests/engine_platform/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace rkl::testing {

PtyPair::PtyPair() {
    int peer = -1;
    int device = -1;
    char name[256] = {};
    if (openpty(&peer, &device, name, nullptr, nullptr) != 0) return;
    // Keep the peer side raw too, so the test sees the bytes the engine wrote.
    termios t{};
    tcgetattr(peer, &t);
    cfmakeraw(&t);
    tcsetattr(peer, TCSANOW, &t);
    peer_ = peer;
    // Held open until the end so that the line does not hang up between the engine's opens.
    held_device_ = device;
    device_ = name;
}

PtyPair::~PtyPair() {
    ClosePeer();
    if (held_device_ >= 0) close(held_device_);
}

void PtyPair::PeerWrite(const std::string& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(peer_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

std::string PtyPair::PeerRead(int wait_ms) const {
    std::string got;
    pollfd entry{peer_, POLLIN, 0};
    while (poll(&entry, 1, wait_ms) > 0 && (entry.revents & POLLIN)) {
        char buffer[256];
        const ssize_t n = read(peer_, buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

void PtyPair::ClosePeer() {
    if (peer_ >= 0) close(peer_);
    peer_ = -1;
}

}  // namespace rkl::testing
