#include "ui/Strings.h"

#include "platform/StringTable.h"

namespace orvale::ui {

QString uiText(StringId id) { return QString::fromStdU16String(platform::loadString(id)); }

}  // namespace orvale::ui
