#pragma once
// About what an element takes encoded: the bound on what a session queues is kept in bytes without
// encoding every queued answer.
#include <cstdint>

#include "syncml/SyncElement.h"

namespace orvale {

// Texts count their length, nested documents through their own records; deeper than any real
// message nests, nothing more is counted.
std::uint64_t encodedSizeEstimate(const SyncElement& element);

}  // namespace orvale
