#pragma once
// A provider's functions are C: the engine and the program call them through pointers, and a
// C++ exception must not leave them (a C caller cannot catch it, and on its way it would skip
// the caller's clean-up). Each export of a provider written in C++ runs its body through
// GuardedCall, which answers a fault with a code every caller already handles.

#include <cstdint>
#include <new>

#include "platform/telephony/line_error_names.h"

namespace vorla::telephony {

template <typename Body>
int32_t GuardedCall(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return kLineErrNoMem;
    } catch (...) {
        return kLineErrOperationFailed;
    }
}

}  // namespace vorla::telephony
