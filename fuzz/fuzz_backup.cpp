// Any bytes as a folder's backup file: the reader says what is wrong or gives the backup, within the
// file's bounds, and a backup it gives holds what its header counts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "stores/backup/BackupFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    orvale::backup::readBackupHeader(file);
    const orvale::backup::ParsedBackup parsed = orvale::backup::parseBackup(file);
    if (!parsed.backup && parsed.problem.empty()) std::abort();
    return 0;
}
