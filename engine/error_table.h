// The engine's own error codes and the texts set with them. A "%s" in a text is
// replaced by the name or word concerned.
#pragma once

#include <cstdint>

namespace rkl {

struct ErrorDef {
    int32_t code;
    const char* text;
};

inline constexpr ErrorDef kAlreadyRunning{-1, "Already Running"};
inline constexpr ErrorDef kCanceled{-2, "Canceled"};
inline constexpr ErrorDef kDecNoVariable{-3, "Dec: No Variable \"%s\""};
inline constexpr ErrorDef kEndOfFile{-4, "End Of File"};
inline constexpr ErrorDef kEntryHasNoLabel{-5, "Entry \"%s\" Has No Label"};
inline constexpr ErrorDef kEntryNotFound{-6, "Entry \"%s\" Not Found"};
inline constexpr ErrorDef kIncNoVariable{-7, "Inc: No Variable \"%s\""};
inline constexpr ErrorDef kInsertEntryFailed{-8, "Insert Entry \"%s\" Failed"};
inline constexpr ErrorDef kInsertLabelFailed{-9, "Insert Label \"%s\" Failed"};
inline constexpr ErrorDef kInsertVariableFailed{-10, "Insert Variable \"%s\" Failed"};
inline constexpr ErrorDef kInterruptParameter{-11, "Interrupt: Parameter Error"};
inline constexpr ErrorDef kInvalidCommand{-12, "Invalid Command \"%s\""};
inline constexpr ErrorDef kJumpNoLabel{-13, "Jump: No Label \"%s\""};
inline constexpr ErrorDef kJumpSubNoLabel{-14, "JumpSub: No Label \"%s\""};
inline constexpr ErrorDef kNewEntryFailed{-15, "New Entry \"%s\" Failed"};
inline constexpr ErrorDef kNewEntryListFailed{-16, "New Entry List Failed"};
inline constexpr ErrorDef kNewLabelFailed{-17, "New Label \"%s\" Failed"};
inline constexpr ErrorDef kNewLabelListFailed{-18, "New Label List Failed"};
inline constexpr ErrorDef kNewMatchBufferFailed{-19, "New Match Buffer Failed"};
inline constexpr ErrorDef kNewOffsetFailed{-20, "New Offset Failed"};
inline constexpr ErrorDef kNewRecvTextFailed{-21, "New Recv Text Failed"};
inline constexpr ErrorDef kNewReturnStackFailed{-22, "New Return Stack Failed"};
inline constexpr ErrorDef kNewVariableFailed{-24, "New Variable \"%s\" Failed"};
inline constexpr ErrorDef kNewVariableListFailed{-25, "New Variable List Failed"};
inline constexpr ErrorDef kNoEntryName{-26, "No Entry Name"};
inline constexpr ErrorDef kNoLabelName{-27, "No Label Name"};
inline constexpr ErrorDef kPullOffsetFailed{-28, "Pull Offset Failed"};
inline constexpr ErrorDef kPushOffsetFailed{-29, "Push Offset Failed"};
inline constexpr ErrorDef kRecvTextInvalidIndex{-30, "RecvText: Invalid Index"};
inline constexpr ErrorDef kRecvTextNoLabel{-31, "RecvText: No Label"};
inline constexpr ErrorDef kRecvTextNoText{-32, "RecvText: No Text"};
inline constexpr ErrorDef kSetNoVariable{-33, "Set: No Variable"};
inline constexpr ErrorDef kSetNoValue{-34, "Set: No Variable Value For \"%s\""};
inline constexpr ErrorDef kUnsetNoVariable{-35, "Unset: No Variable \"%s\""};
inline constexpr ErrorDef kBreakError{-101, "Break: Error"};
inline constexpr ErrorDef kClosePortNoLabel{-102, "ClosePort: No Error Label"};
inline constexpr ErrorDef kDtrError{-103, "DTR: Error"};
inline constexpr ErrorDef kDtrParameter{-104, "DTR: Parameter Error"};
inline constexpr ErrorDef kFlushTxError{-105, "Flush: Error TX Queue or Device"};
inline constexpr ErrorDef kFlushRxError{-105, "Flush: Error RX Queue or Device"};
inline constexpr ErrorDef kNewMatchBufferDataFailed{-106, "New Match Buffer Data Failed"};
inline constexpr ErrorDef kSerHShakeError{-114, "SerHShake: Error"};
inline constexpr ErrorDef kSerHShakeParameter{-115, "SerHShake: Parameter Error"};
inline constexpr ErrorDef kSerHShakeXonXoff{-116, "SerHShake: XOn/XOff Error"};
inline constexpr ErrorDef kSerResetDataBits{-118, "SerReset: Data Bits Error"};
inline constexpr ErrorDef kSerResetError{-119, "SerReset: Error"};
inline constexpr ErrorDef kSerResetParity{-120, "SerReset: Parity Error"};
inline constexpr ErrorDef kSerResetStopBits{-121, "SerReset: Stop Bits Error"};
inline constexpr ErrorDef kSerSetBufError{-122, "SerSetBuf: Error setting buffer size"};

// Codes of this build that the original table does not have. -200 marks a command
// whose platform support is not in this build yet, so a script that uses it stops
// instead of silently doing nothing; -201 answers calls made with a null handle.
inline constexpr ErrorDef kNotAvailable{-200, "Not Available: \"%s\""};
inline constexpr ErrorDef kNoHandle{-201, "No Handle"};
// The port's device went away while open (a USB adapter pulled out, a pseudo-terminal whose
// other side closed): SEND and RECV stop with it until the next OPENPORT opens it afresh.
inline constexpr ErrorDef kPortLost{-202, "Port Lost: \"%s\""};
// A telephony provider that never answers: the waits of TAPIOPENPORT and TAPICLOSEPORT end
// at their time limit (the number of seconds is the %s), and a call that ends before it
// connects is told apart from one that is merely slow.
inline constexpr ErrorDef kTelephonyNoReply{-203, "Telephony: No Reply From The Line In %s Seconds"};
inline constexpr ErrorDef kTelephonyNotConnected{-204, "Telephony: Call Not Connected In %s Seconds"};
inline constexpr ErrorDef kTelephonyCallEnded{-205, "Telephony: Call Ended Before It Connected"};
// A call on the handle failed inside the library (memory ran out, or any other fault of this
// code): the entry stops with one of these instead of the fault reaching the host.
inline constexpr ErrorDef kOutOfMemory{-206, "Out Of Memory"};
inline constexpr ErrorDef kInternalError{-207, "Internal Error: \"%s\""};

}  // namespace rkl
