#ifndef RKL_TEXT_EXCHANGE_CONTROL_CHAR_NAMES_H
#define RKL_TEXT_EXCHANGE_CONTROL_CHAR_NAMES_H

#include <string>

namespace rkl {

// The five-character trace names of the codes 0 to 31 ("<NUL>" ... "<US >").
extern const char* const kControlCharNames[32];

// One sent or received character as the character traces show it: a code below 32 as its
// name, a carriage return as its name followed by a carriage return (so a trace viewer
// breaks the line where the modem did), any other byte as itself.
std::string FormatTraceChar(unsigned char c);

}  // namespace rkl

#endif
