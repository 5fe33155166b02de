#pragma once
// Bounds on what one item may hold. Items come from the server, so the parser must stay small and
// fast whatever it is fed; real contacts and calendar entries are far below every one of these. A text
// that goes beyond any of them is treated as malformed: it parses to no document.
#include <cstddef>

namespace orvale::versit_limits {

// Bytes fed into one parse (a contact with a large picture is a few hundred kilobytes).
inline constexpr std::size_t kMaxInputBytes = 16u * 1024 * 1024;
// BEGIN blocks open at once (VCALENDAR > VEVENT > VALARM is three).
inline constexpr std::size_t kMaxDepth = 16;
// BEGIN blocks in one document.
inline constexpr std::size_t kMaxComponents = 1024;
// Properties, parameters and values together: each costs far more memory than the bytes that
// spell it ("A:;;;;" is six bytes and five values).
inline constexpr std::size_t kMaxElements = 65536;

}  // namespace orvale::versit_limits
