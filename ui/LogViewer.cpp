#include "ui/LogViewer.h"

#include "app/LicenceText.h"
#include "app/RunLog.h"
#include "ui/Strings.h"

namespace orvale::ui {

LogViewer::LogViewer(QWidget* parent)
    : TextViewer(QStringLiteral("log"), uiText(StringId::LogTitle), QString::fromStdU16String(readRunLog()), parent) {}

LicenceViewer::LicenceViewer(QWidget* parent)
    : TextViewer(QStringLiteral("licence"), uiText(StringId::LicenseTitle), QString::fromStdU16String(readLicenceText()),
                 parent) {}

}  // namespace orvale::ui
