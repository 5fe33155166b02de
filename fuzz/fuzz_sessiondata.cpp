// Any bytes as "syncsessiondata": reading never runs past the text, and what is written from what
// was read reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/SessionDataStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using orvale::SessionDataStore;
    const auto entries = SessionDataStore::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto written = SessionDataStore::parse(SessionDataStore::serialize(entries));
    // Once written, the file is at its fixed point: the next session reads what this one wrote.
    if (SessionDataStore::parse(SessionDataStore::serialize(written)) != written) std::abort();
    return 0;
}
