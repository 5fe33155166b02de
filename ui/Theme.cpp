#include "ui/Theme.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QStyleFactory>

namespace orvale::ui::theme {

namespace {
int pixelSize(Size size) {
    switch (size) {
        case Size::Small: return 11;
        case Size::Body: return 13;
        case Size::Title: return 18;
    }
    return 13;
}

// Fields and buttons share one frame; the focus ring in the accent colour shows where the keys go.
const char* const kStyleSheet = R"(
QLineEdit { border: 1px solid #c3ccd8; border-radius: 4px; padding: 2px 5px; min-height: 18px; }
QLineEdit:focus { border: 2px solid #e9822f; padding: 1px 4px; }
QPlainTextEdit { border: 1px solid #c3ccd8; border-radius: 4px; background: #ffffff; }
QCheckBox { spacing: 6px; }
QCheckBox:focus { color: #c2661a; }
QPushButton[role="action"] { border: 1px solid #2f6690; border-radius: 4px; padding: 3px 10px; color: #1b3554;
                     background: #ffffff; font-weight: bold; }
QPushButton[role="action"]:focus { border: 2px solid #e9822f; padding: 2px 9px; }
QPushButton[role="action"]:pressed { background: #e6ebf1; }
QScrollBar:vertical { width: 8px; background: transparent; margin: 2px; }
QScrollBar::handle:vertical { background: #b6c1ce; border-radius: 2px; min-height: 24px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
QMenu { background: #ffffff; border: 1px solid #1b3554; padding: 2px; }
QMenu::item { padding: 6px 22px 6px 14px; color: #1c2733; }
QMenu::item:selected { background: #e9822f; color: #ffffff; }
QMessageBox { background: #ffffff; }
)";
}  // namespace

QFont font(Size size, bool bold) {
    QFont f = QApplication::font();
    f.setPixelSize(pixelSize(size));
    f.setBold(bold);
    return f;
}

void apply(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    QFont base;
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans"))) base.setFamily(QStringLiteral("DejaVu Sans"));
    base.setPixelSize(pixelSize(Size::Body));
    app.setFont(base);

    QPalette p = app.palette();
    p.setColor(QPalette::Window, kPaper);
    p.setColor(QPalette::WindowText, kInk);
    p.setColor(QPalette::Base, kCard);
    p.setColor(QPalette::AlternateBase, kHeading);
    p.setColor(QPalette::Text, kInk);
    p.setColor(QPalette::Button, kCard);
    p.setColor(QPalette::ButtonText, kNavy);
    p.setColor(QPalette::Highlight, kAccent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, kMuted);
    app.setPalette(p);
    app.setStyleSheet(QString::fromLatin1(kStyleSheet));
}

}  // namespace orvale::ui::theme
