#pragma once
// The line devices of the simulated telephony provider, read from VORLAPRO_SIM_LINES: the name
// of a file, or the lines themselves separated by ";". One device per line:
//
//   PERMANENT-LINE-ID  DEVICE  [SWITCH=VALUE ...]  NAME ...
//   4097  /tmp/com1  Sim Modem Line
//   4098  /tmp/com2  reply=never  Silent Line
//
// The id is decimal or 0x-hexadecimal; DEVICE is the terminal each call on the line hands out
// (a pagingsim link, a serial device). Words with "=" are switches, the rest the line's name.
// "#" starts a comment. The switches, for trying what a script and the engine do when a line
// misbehaves:
//   open=fail     lineOpen refuses the line (LINEERR_RESOURCEUNAVAIL)
//   call=fail     lineMakeCall refuses the call (LINEERR_CALLUNAVAIL)
//   reply=fail    the call's reply reports LINEERR_OPERATIONFAILED
//   reply=never   the call's reply never comes
//   connect=fail  the call goes to DISCONNECTED instead of CONNECTED
//   connect=never the call stays PROCEEDING
//   drop=never    the reply to a hang-up never comes
//   handoff=path  the call's port is handed out by name (the caller opens it), not opened

#include <cstdint>
#include <string>
#include <vector>

namespace vorla::simline {

enum class Behaviour { Normal, Fail, Never };

struct SimLine {
    uint32_t permanentLineId = 0;
    std::string device;
    std::string name;
    bool openFails = false;
    bool callFails = false;
    Behaviour reply = Behaviour::Normal;
    Behaviour connect = Behaviour::Normal;
    bool dropNeverReplies = false;
    bool handOffByPath = false;
};

struct SimLineConfig {
    std::vector<SimLine> lines;
    std::vector<std::string> errors;  // one per line that could not be read, with its number
};

// `value` is a file name when such a file exists, else the configuration text itself.
SimLineConfig ReadSimLineConfig(const std::string& value);
SimLineConfig ParseSimLineConfig(const std::string& text);

}  // namespace vorla::simline
