#include "ui/LogViewer.h"

#include "app/LicenceText.h"
#include "app/DiagnosticLog.h"
#include "app/RunLog.h"
#include "ui/SoftKeyBar.h"
#include "ui/Strings.h"

namespace orvale::ui {

LogViewer::LogViewer(QWidget* parent)
    : TextViewer(QStringLiteral("log"), uiText(StringId::LogTitle), QString::fromStdU16String(readRunLog()), parent) {}

namespace {
QString lastRunLogText() {
    // A log of a very large run is shown from its start; the file holds the rest.
    const auto text = readLastRunLog(1u << 20);
    return text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())) : uiText(StringId::NoRunLog);
}
}  // namespace

RunLogViewer::RunLogViewer(QWidget* parent)
    : TextViewer(QStringLiteral("runlog"), uiText(StringId::RunLogTitle), lastRunLogText(), parent) {
    softKeys()->setKeys(uiText(StringId::SummaryLog), uiText(StringId::Done));
}

void RunLogViewer::leftKey() {
    LogViewer summary(this);
    summary.exec();
}

LicenceViewer::LicenceViewer(QWidget* parent)
    : TextViewer(QStringLiteral("licence"), uiText(StringId::LicenseTitle), QString::fromStdU16String(readLicenceText()),
                 parent) {}

}  // namespace orvale::ui
