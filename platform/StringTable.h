#pragma once
// The program's numbered strings, as the device's resource table held them. Every screen, the run
// summary and the progress texts take their words from here so that one text has one source.
#include <string>

#include "platform/StringId.h"

namespace orvale::platform {

// The text of string `id`; empty text for a string the table does not hold.
const std::u16string& loadString(StringId id);

}  // namespace orvale::platform
