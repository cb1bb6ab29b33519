#pragma once
// Which of the Caps Lock, Num Lock and Scroll Lock keys are on, for the status bar's CAP,
// NUM and SCRL panes. Qt has no portable call for it: under X11 the keyboard's indicator
// lights answer; elsewhere the state is unknown and the panes stay grey.

#include <optional>

namespace vorla {

struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

std::optional<LockKeys> CurrentLockKeys();

}  // namespace vorla
