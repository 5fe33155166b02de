#include "ui/controls/DrawCallback.h"

#include <QPainter>
#include <algorithm>
#include <QPainterPath>

#include "ui/Images.h"
#include "ui/Strings.h"
#include "ui/Theme.h"

namespace orvale::ui {

namespace {
constexpr int kHeadingHeight = 24;
constexpr int kRowHeight = 26;
constexpr int kLongCountShift = 8;

bool valid(int row) { return row >= 0 && row < DrawCallback::kRows; }
}  // namespace

DrawCallback::DrawCallback(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    describe();
}

QSize DrawCallback::sizeHint() const { return {220, height()}; }

void DrawCallback::setHeadings(const QString& changes, const QString& received, const QString& sent) {
    headings_ = {changes, received, sent};
    update();
}

void DrawCallback::setRowName(int row, const QString& name) {
    if (!valid(row)) return;
    names_[static_cast<std::size_t>(row)] = name;
    describe();
    update();
}

void DrawCallback::setShown(int row, bool shown) {
    if (!valid(row)) return;
    shown_[static_cast<std::size_t>(row)] = shown;
    describe();
    update();
}

bool DrawCallback::shown(int row) const { return valid(row) && shown_[static_cast<std::size_t>(row)]; }

void DrawCallback::setCount(int row, Column column, int value) {
    if (!valid(row)) return;
    counts_[static_cast<std::size_t>(row)][column] = value;
    describe();
    update();
}

int DrawCallback::count(int row, Column column) const {
    return valid(row) ? counts_[static_cast<std::size_t>(row)][column] : 0;
}

void DrawCallback::clearCounts() {
    counts_ = {};
    describe();
    update();
}

// The card is as tall as its rows; the table is painted, so what it shows is also given as text
// (screen readers, the test driver).
void DrawCallback::describe() {
    const auto rows = std::count(shown_.begin(), shown_.end(), true);
    setFixedHeight(kHeadingHeight + static_cast<int>(std::max<std::ptrdiff_t>(rows, 1)) * kRowHeight + 8);
    QStringList texts;
    for (int r = 0; r < kRows; ++r) {
        if (!shown(r)) continue;
        texts << QStringLiteral("%1: %2 %3, %4 %5")
                    .arg(names_[static_cast<std::size_t>(r)])
                    .arg(count(r, Received))
                    .arg(uiText(StringId::Received))
                    .arg(count(r, Sent))
                    .arg(uiText(StringId::Sent));
    }
    setAccessibleDescription(texts.join(QStringLiteral("; ")));
}

void DrawCallback::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const qreal dpr = devicePixelRatioF();
    if (background_.deviceIndependentSize().toSize() != size() || background_.devicePixelRatio() != dpr)
        background_ = programImage(kImageCountsCard, size(), dpr);
    p.drawPixmap(0, 0, background_);

    const int w = width();
    const int columns[3] = {12, w * 50 / 100, w * 78 / 100};
    const QRect band(1, 1, w - 2, kHeadingHeight);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(theme::kHeading);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -2), 6, 6);
    p.setClipPath(clip);
    p.drawRect(band);
    p.setClipping(false);

    p.setFont(theme::font(theme::Size::Small, true));
    p.setPen(theme::kMuted);
    p.drawText(QRect(columns[0], band.top(), columns[1] - columns[0], band.height()), Qt::AlignVCenter | Qt::AlignLeft,
               headings_[0]);
    for (int c = 1; c < 3; ++c) {
        p.drawText(QRect(columns[c] - 28, band.top(), 66, band.height()), Qt::AlignCenter, headings_[static_cast<std::size_t>(c)]);
    }

    int y = kHeadingHeight + 2;
    for (int r = 0; r < kRows; ++r) {
        if (!shown(r)) continue;
        if (y > kHeadingHeight + 2) {
            p.setPen(QPen(theme::kHeading, 1));
            p.drawLine(columns[0], y, w - 12, y);
        }
        p.setFont(theme::font(theme::Size::Body, true));
        p.setPen(theme::kInk);
        p.drawText(QRect(columns[0], y, columns[1] - columns[0], kRowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                   names_[static_cast<std::size_t>(r)]);
        for (int c = 0; c < 2; ++c) {
            const QString text = QString::number(counts_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
            const int x = columns[c + 1] - (text.size() >= 4 ? kLongCountShift : 0);
            p.setPen(text == QLatin1String("0") ? theme::kMuted : theme::kNavy);
            p.drawText(QRect(x, y, columns[c + 1] + 60 - x, kRowHeight), Qt::AlignVCenter | Qt::AlignLeft, text);
        }
        y += kRowHeight;
    }
}

}  // namespace orvale::ui
