#include "ui/RegisteredWindow.h"

namespace orvale::ui {

RegisteredWindow::RegisteredWindow(QDialog& dialog, std::u16string_view caption)
    : dialog_(&dialog), registration_(caption, *this) {}

void RegisteredWindow::destroyRequested() {
    // Gone from the list at once, as a destroyed window is; the modal loop then ends.
    registration_.unregister();
    if (QDialog* d = dialog_.data(); d != nullptr) d->done(QDialog::Rejected);
}

void RegisteredWindow::closeRequested() {
    if (QDialog* d = dialog_.data(); d != nullptr) d->close();
}

}  // namespace orvale::ui
