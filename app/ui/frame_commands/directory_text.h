#pragma once
// The directory's lists as plain text, for mailing them: services, subscribers, groups with
// their members, and preset messages, one record a line with tab-separated fields. Service
// passwords are left out: a mail leaves the user's hands.

#include <string>

class DirectoryStore;

// 8-bit text (Windows-1252) with LF line ends.
std::string DirectoryListsText(const DirectoryStore& store);
