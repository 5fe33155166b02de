#include "ui/LogViewer.h"

#include "app/LicenceText.h"
#include "app/RunLog.h"
#include "ui/Strings.h"

namespace orvale::ui {

LogViewer::LogViewer(QWidget* parent)
    : TextViewer(QStringLiteral("log"), uiText(kStrLogTitle), QString::fromStdU16String(readRunLog()), parent) {}

LicenceViewer::LicenceViewer(QWidget* parent)
    : TextViewer(QStringLiteral("licence"), uiText(kStrLicenseTitle), QString::fromStdU16String(readLicenceText()),
                 parent) {}

}  // namespace orvale::ui
