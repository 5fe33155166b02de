#pragma once
// Reads the DevInf document that servers send as opaque WBXML bytes inside Results or Put, so the
// engine can read opaque and structured device information alike.
#include <cstddef>
#include <cstdint>

#include "syncml/ToolkitCodes.h"
#include "syncml/ToolkitRecords.h"

namespace orvale {

// On success *out owns a record tree; free it with toolkit::freeDevInfRecord.
ToolkitCode decodeDevInfDocument(const std::uint8_t* data, std::size_t size, DevInfRecord** out);

}  // namespace orvale
