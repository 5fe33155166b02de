// Any bytes as an anchor file's line, and any bytes as the labels a server sends: reading never
// fails other than by the anchor's own exception, and a label stored is read back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "stores/SyncAnchor.h"
#include "stores/SyncAnchorException.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using orvale::SyncAnchor;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        SyncAnchor::parse(text);
    } catch (const orvale::SyncAnchorException&) {
    }
    // The input split at its first NUL into our label and the server's.
    const std::size_t cut = text.find('\0');
    const std::string label(text.substr(0, cut));
    const std::string remote(cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1));
    if (label.empty() || remote.empty()) return 0;
    const SyncAnchor stored(label, remote, 1700000000);
    const std::string line = stored.toStoredText();
    if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos) std::abort();
    const SyncAnchor back = SyncAnchor::parse(line);
    if (back.getLabel() != label || back.getRemoteLabel() != remote || back.getTime() != 1700000000) std::abort();
    return 0;
}
