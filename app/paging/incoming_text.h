#pragma once
// Text from outside the program (a network client, a mail) made into a message as the
// message form would take it: Windows-1252 and no longer than the form holds.

#include <optional>
#include <string>
#include <string_view>

// UTF-8 (plain ASCII included) is converted; bytes that are not UTF-8 are taken to be
// Windows-1252 already, as older clients send them. A character the code page lacks is
// refused with its code point in *error, never turned into '?'; so is a text longer than
// the form's 30,000 characters.
std::optional<std::string> ToMessageText(std::string_view bytes, std::string* error);
