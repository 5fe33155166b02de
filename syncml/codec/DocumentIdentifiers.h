#pragma once
// Public identifiers and namespace names by version index (1 = 1.0, 2 = 1.1).
#include <cstdint>
#include <string_view>

namespace orvale {

inline std::string_view syncmlPublicId(std::uint8_t version) {
    return version == 1 ? "-//SYNCML//DTD SyncML 1.0//EN" : version == 2 ? "-//SYNCML//DTD SyncML 1.1//EN" : "???";
}
inline std::string_view devInfPublicId(std::uint8_t version) {
    return version == 1 ? "-//SYNCML//DTD DevInf 1.0//EN" : version == 2 ? "-//SYNCML//DTD DevInf 1.1//EN" : "???";
}
inline std::string_view syncmlNamespaceName(std::uint8_t version) {
    return version == 1 ? "SYNCML:SYNCML1.0" : version == 2 ? "SYNCML:SYNCML1.1" : std::string_view();
}

}  // namespace orvale
