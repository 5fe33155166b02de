#include "ui/TextViewer.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui/SoftKeyBar.h"
#include "ui/Strings.h"
#include "ui/Theme.h"
#include "ui/controls/FocusButton.h"

namespace orvale::ui {

TextViewer::TextViewer(const QString& objectName, const QString& title, const QString& text, QWidget* parent)
    : ScreenDialog(objectName, title, parent), text_(new QPlainTextEdit(bodyPanel())) {
    text_->setObjectName(QStringLiteral("text"));
    text_->setReadOnly(true);
    text_->setFont(theme::font(theme::Size::Small, false));
    text_->setPlainText(text);
    text_->setTabChangesFocus(true);
    body()->addWidget(text_);
    softKeys()->setKeys({}, uiText(StringId::Done));
    softKeys()->right()->setDefault(true);
    text_->setFocus();
}

}  // namespace orvale::ui
