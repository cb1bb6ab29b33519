#include "text_exchange/control_char_names.h"

namespace rkl {

const char* const kControlCharNames[32] = {
    "<NUL>", "<SOH>", "<STX>", "<ETX>", "<EOT>", "<ENQ>", "<ACK>", "<BEL>", "<BS >", "<HT >", "<LF >",
    "<VT >", "<FF >", "<CR >", "<SO >", "<SI >", "<DLE>", "<DC1>", "<DC2>", "<DC3>", "<DC4>", "<NAK>",
    "<SYN>", "<ETB>", "<CAN>", "<EM >", "<SUB>", "<ESC>", "<FS >", "<GS >", "<RS >", "<US >",
};

std::string FormatTraceChar(unsigned char c) {
    if (c >= 32) return std::string(1, static_cast<char>(c));
    std::string text = kControlCharNames[c];
    if (c == '\r') text += '\r';
    return text;
}

}  // namespace rkl
