#include "ui/frame_commands/tips_file.h"

namespace {
std::optional<TipPick> FirstTipFrom(std::string_view text, size_t at) {
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t next = end + 1;
        if (!line.empty() && line.front() != ';' && line.find_first_not_of(" \t") != std::string_view::npos)
            return TipPick{std::string(line), static_cast<long>(next)};
        at = next;
    }
    return std::nullopt;
}
}  // namespace

std::optional<TipPick> TipAt(std::string_view text, long position) {
    const size_t start =
        position > 0 && static_cast<size_t>(position) < text.size() ? static_cast<size_t>(position) : 0;
    if (auto tip = FirstTipFrom(text, start)) return tip;
    return start == 0 ? std::nullopt : FirstTipFrom(text, 0);
}
