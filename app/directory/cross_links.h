#pragma once
// The links between records come in pairs: a subscriber names its service and the service
// lists it; a group lists its members and each member lists the group. A file made by hand
// or by another tool can hold only one half of a pair. Every rule that follows a link back
// (deleting, the in-use check of a service) trusts the other half, so the loader makes the
// pairs agree before anything uses them.

#include <cstddef>

struct DirectoryContents;

// Makes every back-link follow the link the program acts on:
//   - a subscriber's Service decides which service it belongs to (pages go through it): each
//     service lists exactly the subscribers that name it, once each;
//   - a group's Members decide who is in the group (group pages go to them, the windows tick
//     them): a member listed twice is kept once, and each subscriber's Groups lists exactly
//     the groups that hold it.
// Kept entries keep their order; missing ones are added. Covers the records the lists hold
// and those reached only through links. Returns how many entries were dropped or added
// (0 for every file the program writes).
size_t RepairCrossLinks(DirectoryContents& contents);
