#pragma once

#include <cstddef>

// A hint that a large block about to be filled be backed by huge pages: a level's bytes and its
// biggest arrays run to tens of megabytes, and faulting them in 4 KiB at a time costs more
// than reading them. Blocks under a huge page, and systems without them, are left as they are.
namespace HugePages {

void advise(const void* data, std::size_t bytes);

} // namespace HugePages
