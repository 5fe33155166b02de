#include "ui/FormRows.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QRegularExpressionValidator>

#include "ui/Theme.h"
#include "ui/controls/EditEx.h"
#include "ui/controls/StaticEx.h"

namespace orvale::ui {

StaticEx* addLabel(QBoxLayout* layout, QWidget* parent, const QString& text) {
    auto* label = new StaticEx(text, theme::kMuted, theme::Size::Small, true, parent);
    layout->addWidget(label);
    return label;
}

StaticEx* addHeading(QBoxLayout* layout, QWidget* parent, const QString& text) {
    auto* heading = new StaticEx(text, theme::kNavy, theme::Size::Body, true, parent);
    heading->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(heading);
    return heading;
}

EditEx* addField(QBoxLayout* layout, QWidget* parent, const QString& label, const QString& name,
                 const QString& value, ConfigText stored) {
    StaticEx* caption = addLabel(layout, parent, label);
    auto* field = new EditEx(parent);
    field->setObjectName(name);
    field->setMaxLength(static_cast<int>(ConfigRecord::maxTextLength(stored)));
    field->setText(value);
    field->setAccessibleName(label);
    caption->setBuddy(field);
    layout->addWidget(field);
    return field;
}

QCheckBox* addCheck(QBoxLayout* layout, QWidget* parent, const QString& label, const QString& name, bool checked) {
    auto* box = new QCheckBox(label, parent);
    box->setObjectName(name);
    box->setFont(theme::font(theme::Size::Body, true));
    box->setChecked(checked);
    layout->addWidget(box);
    return box;
}

EditEx* numberField(QWidget* parent, const QString& name, const QString& value, int maxDigits) {
    auto* field = new EditEx(parent);
    field->setObjectName(name);
    field->setMaxLength(maxDigits);
    field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,%1}").arg(maxDigits)), field));
    field->setFixedWidth(52);
    field->setAlignment(Qt::AlignRight);
    field->setText(value);
    return field;
}

}  // namespace orvale::ui
