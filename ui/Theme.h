#pragma once
// The screens' colours, fonts and sizes in one place, so that every screen looks of one piece.
#include <QColor>
#include <QFont>
#include <QSize>

class QApplication;

namespace orvale::ui::theme {

// A handheld screen in logical pixels; Qt's scale factor makes it larger on dense displays.
inline constexpr QSize kScreenSize{240, 320};
inline constexpr int kHeaderHeight = 46;
inline constexpr int kSoftKeyHeight = 36;
inline constexpr int kMargin = 10;

inline const QColor kNavy{0x1b, 0x35, 0x54};
inline const QColor kNavyLight{0x2f, 0x66, 0x90};
inline const QColor kBar{0x14, 0x24, 0x38};
inline const QColor kInk{0x1c, 0x27, 0x33};
inline const QColor kMuted{0x5f, 0x6c, 0x7b};
inline const QColor kPaper{0xf2, 0xf4, 0xf7};
inline const QColor kCard{0xff, 0xff, 0xff};
inline const QColor kLine{0xd3, 0xda, 0xe3};
inline const QColor kHeading{0xe6, 0xeb, 0xf1};
inline const QColor kAccent{0xe9, 0x82, 0x2f};
inline const QColor kAccentDark{0xc2, 0x66, 0x1a};
inline const QColor kGood{0x2e, 0x7d, 0x4f};
inline const QColor kBad{0xb0, 0x3a, 0x2e};

// Three sizes, as the screens were drawn: small print, body text, titles.
enum class Size { Small, Body, Title };
QFont font(Size size, bool bold = true);

// Style, palette and fonts for the whole program.
void apply(QApplication& app);

}  // namespace orvale::ui::theme
