#include "ui/PlaceholderMainWindow.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/ClientApp.h"

namespace orvale::ui {

PlaceholderMainWindow::PlaceholderMainWindow() {
    setWindowTitle(QString::fromStdU16String(std::u16string(kMainWindowCaption)));
    resize(240, 320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Orvale"), this));
    registered_ = std::make_unique<RegisteredWindow>(*this, kMainWindowCaption);
}

}  // namespace orvale::ui
