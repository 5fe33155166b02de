#include "ui/AboutScreen.h"

#include <QVBoxLayout>

#include "ui/Images.h"
#include "ui/LogViewer.h"
#include "ui/SoftKeyBar.h"
#include "ui/Strings.h"
#include "ui/Theme.h"
#include "ui/controls/FocusButton.h"
#include "ui/controls/StaticEx.h"
#include "ui/controls/StretchStatic.h"

namespace orvale::ui {

AboutScreen::AboutScreen(QWidget* parent) : ScreenDialog(QStringLiteral("about"), uiText(StringId::About), parent) {
    body()->addSpacing(14);
    auto* logo = new StretchStatic(kImageLogo, bodyPanel());
    logo->setFixedSize(64, 64);
    body()->addWidget(logo, 0, Qt::AlignHCenter);
    body()->addSpacing(10);
    auto* name = new StaticEx(uiText(StringId::Title), theme::kNavy, theme::Size::Title, true, bodyPanel());
    name->setAlignment(Qt::AlignCenter);
    body()->addWidget(name);
    body()->addSpacing(6);
    const StringId lines[] = {StringId::AboutLine1, StringId::AboutLine2, StringId::AboutLine3};
    for (int i = 0; i < 3; ++i) {
        auto* line = new StaticEx(uiText(lines[i]), i == 2 ? theme::kNavyLight : theme::kInk, theme::Size::Body, i == 1,
                                  bodyPanel());
        line->setObjectName(QStringLiteral("about%1").arg(i + 1));
        line->setAlignment(Qt::AlignCenter);
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        body()->addWidget(line);
    }
    body()->addStretch(1);
    softKeys()->setKeys(uiText(StringId::Back), uiText(StringId::ViewLicense));
    softKeys()->right()->setDefault(true);
}

void AboutScreen::rightKey() { viewLicence(); }

void AboutScreen::viewLicence() {
    LicenceViewer viewer(this);
    viewer.exec();
}

}  // namespace orvale::ui
