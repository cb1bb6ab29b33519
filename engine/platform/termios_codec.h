#ifndef RKL_PLATFORM_TERMIOS_CODEC_H
#define RKL_PLATFORM_TERMIOS_CODEC_H

// Internal to the platform layer (and its tests): the translation between the settings
// record and termios, kept free of any device so that it can be checked exhaustively.

#include <termios.h>

#include <cstdint>

#include "platform/serial_settings.h"

namespace rkl::platform::detail {

// The termios speed constant for a rate in bits per second; false for a nonstandard rate.
bool SpeedForRate(std::uint32_t rate, speed_t& speed);
// The rate for a termios speed constant; 0 when unknown.
std::uint32_t RateForSpeed(speed_t speed);

// Turns `t` (normally what the device holds now) into raw mode with the record's settings.
// A rate outside the table leaves the speed fields alone (the caller sets such rates through
// the arbitrary-rate interface). Returns 0 or EINVAL for a member value that termios cannot
// express.
int EncodeTermios(const SerialSettings& settings, termios& t);

// Fills the members that termios holds; the others keep their values.
void DecodeTermios(const termios& t, SerialSettings& settings);

}  // namespace rkl::platform::detail

#endif
