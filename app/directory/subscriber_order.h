#pragma once
// How Subscriber Maintenance orders and finds its rows. Ascending always: names and service
// names without regard to ASCII case, PINs and lengths as decimal numbers (a PIN of any
// length compares by value, never by a converted integer that could overflow).

#include <string_view>
#include <vector>

class CSubscriber;

enum SubscriberColumn { kSubscriberName, kSubscriberPin, kSubscriberSplit, kSubscriberService, kSubscriberColumns };

// Sorts the rows by the column, stably; an unknown column sorts by name.
void SortSubscribers(std::vector<CSubscriber*>& rows, int column);
// <0, 0, >0 as the digit strings compare by value (leading zeros and non-digits after the
// digits do not count).
int CompareDecimalText(std::string_view a, std::string_view b);
// Whether the name or the PIN holds the text, without regard to ASCII case; an empty text
// matches every subscriber.
bool SubscriberMatches(const CSubscriber& subscriber, std::string_view text);
