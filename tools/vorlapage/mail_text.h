#pragma once
// One RFC 5322 message, as an MTA's pipe alias hands it over, made into a page: who it was
// addressed to and what the pager shows. Parsed with GMime.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct MailPage {
    // The local parts of To and Cc as directory names: dots and underscores become blanks
    // ("ann.demo@..." is "ann demo"); case is left to the lookup.
    std::vector<std::string> names;
    // UTF-8: the Subject, then the first text/plain part (or an HTML-only part reduced to
    // text), without the signature and quoted lines, blanks folded, cut to the length asked.
    std::string text;
};

// None when the bytes are not a message GMime can read.
std::optional<MailPage> ParseMail(std::string_view bytes, size_t maxLength);

// "ann.demo" and "ann_demo" are "ann demo".
std::string NameFromLocalPart(std::string_view localPart);
