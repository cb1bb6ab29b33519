#pragma once
// "vorlapage --mail": one mail on standard input, as an MTA's pipe alias delivers it, paged
// through vorlapage's own way of queueing and sending. Exit codes are the MTA's (sysexits):
// 0 taken, 64 bad arguments, 65 no usable text, 67 nobody of the directory addressed, 75 the
// directory is busy or a page could not be queued or sent, so the MTA tries again later.

#include <optional>

// None when the arguments do not ask for --mail (vorlapage then goes on as usual).
std::optional<int> RunMailRequest(int argc, char** argv);
