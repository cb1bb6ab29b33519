#pragma once

#include <cstddef>

// How deeply objects may nest inside one another (an object written in full inside another
// one's fields). Both the writer and the reader recurse once per level, so the limit keeps
// the stack bounded for any input; a real directory nests only a few levels (service,
// subscriber, group, member) unless group memberships chain across the whole directory.
inline constexpr size_t kMaxObjectNesting = 4000;
