#pragma once
// The rows the pages are made of: a small label over its field, a check box, a heading.
#include <QString>

#include "app/ConfigRecord.h"

class QBoxLayout;
class QCheckBox;
class QWidget;

namespace orvale::ui {

class EditEx;
class StaticEx;

StaticEx* addLabel(QBoxLayout* layout, QWidget* parent, const QString& text);
StaticEx* addHeading(QBoxLayout* layout, QWidget* parent, const QString& text);
// A label and, under it, a text field holding `value` that takes no more than the record's `field`
// keeps, so that what the user typed is what gets stored.
EditEx* addField(QBoxLayout* layout, QWidget* parent, const QString& label, const QString& name,
                 const QString& value, ConfigText field);
QCheckBox* addCheck(QBoxLayout* layout, QWidget* parent, const QString& label, const QString& name, bool checked);
// A field that takes only digits, at most `maxDigits` of them.
EditEx* numberField(QWidget* parent, const QString& name, const QString& value, int maxDigits);

}  // namespace orvale::ui
