#pragma once
// The screens' words, from the program's string table.
#include <QString>

#include "platform/StringId.h"

namespace orvale::ui {

using platform::StringId;

QString uiText(StringId id);

}  // namespace orvale::ui
