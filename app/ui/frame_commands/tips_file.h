#pragma once
// The tip of the day's text: one tip a line, empty lines and lines starting with ';' skipped.
// Where the next tip starts is kept as a byte offset ("Tip"/"FilePos"), so the tips go round
// one by one from start to start, and a file edited since ("Tip"/"TimeStamp") starts afresh.

#include <optional>
#include <string>
#include <string_view>

struct TipPick {
    std::string tip;
    long nextPosition = 0;  // where the tip after this one is looked for
};

// The first tip at or after `position`, going round to the first tip of the text; none when
// the text holds no tip. A position outside the text counts as the start.
std::optional<TipPick> TipAt(std::string_view text, long position);
