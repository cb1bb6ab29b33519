#pragma once
// What an SNPP client may name in PAGE: a subscriber or a group of the directory, by name in
// any case (Windows-1252 letters, accented ones too), or a subscriber by PIN. Plain C++.

#include <optional>
#include <string>
#include <string_view>

class DirectoryStore;

// The record's exact name; none when nothing has that name or PIN. A subscriber's name wins
// over a group's of the same spelling, a name over a PIN, as vorlapage --to decides.
std::optional<std::string> ResolvePagerId(const DirectoryStore& store, std::string_view pagerId);
