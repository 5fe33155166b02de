// Any bytes as Conf.dat: an empty file is no file; one that is not one whole record is damaged and
// nothing of it is taken; one that is read gives texts within their fields and flags of 0 or 1, and
// saves back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/ConfigRecord.h"
#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static char root[] = "/tmp/orvale-fuzz-confdat-XXXXXX";
    if (mkdtemp(root) == nullptr) std::abort();
    setenv("ORVALE_DEVICE_ROOT", root, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvale;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!platform::writeWholeFile(platform::hostPath(kConfigPath), bytes, 0600)) std::abort();
    ConfigRecord record;
    const ConfigLoad state = record.read();
    if (state == ConfigLoad::Missing) {
        if (size != 0) std::abort();
        return 0;
    }
    if (state == ConfigLoad::Damaged) {
        if (record.bytes() != ConfigRecord().bytes()) std::abort();
        return 0;
    }
    if (size != ConfigRecord::kSize) std::abort();
    for (auto t : {ConfigText::ServerUrl, ConfigText::UserName, ConfigText::Password, ConfigText::ProgramPath}) {
        if (record.text(t).size() > ConfigRecord::maxTextLength(t)) std::abort();
    }
    if (!record.save()) std::abort();
    ConfigRecord again;
    if (again.read() != ConfigLoad::Loaded || again.bytes() != record.bytes()) std::abort();
    return 0;
}
