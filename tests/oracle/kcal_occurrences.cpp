// An independent reading of our vCalendar exports: KDE's vCalendar reader loads a file into a
// calendar, and every occurrence of every event and task inside a window is printed, one a line:
// "T YYYYMMDDTHHMMSSZ" for a timed one (the instant in UTC), "D YYYYMMDD" for an all-day one;
// then "S" and the summary, "N" and the description.
// Usage: orvale-kcal-occurrences FILE FROM TO (FROM and TO local dates YYYYMMDD, TO included).
// Exit 2 when the file cannot be read.
#include <KCalendarCore/Event>
#include <KCalendarCore/MemoryCalendar>
#include <KCalendarCore/Recurrence>
#include <KCalendarCore/VCalFormat>
#include <QDate>
#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using namespace KCalendarCore;

namespace {
std::string line(const QDateTime& when, bool allDay) {
    if (allDay) return "D " + when.date().toString(QStringLiteral("yyyyMMdd")).toStdString();
    return "T " + when.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toStdString();
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FILE FROM TO\n", argv[0]);
        return 2;
    }
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDateTime from(QDate::fromString(QString::fromLatin1(argv[2]), QStringLiteral("yyyyMMdd")), QTime(0, 0), zone);
    const QDateTime to(QDate::fromString(QString::fromLatin1(argv[3]), QStringLiteral("yyyyMMdd")), QTime(23, 59, 59), zone);
    MemoryCalendar::Ptr calendar(new MemoryCalendar(zone));
    VCalFormat format;
    if (!format.load(calendar, QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    std::vector<std::string> out;
    for (const Incidence::Ptr& incidence : calendar->incidences()) {
        // The texts as the reader shows them, line breaks as "\n".
        for (const auto& [tag, value] : {std::pair{"S ", incidence->summary()}, std::pair{"N ", incidence->description()}}) {
            if (value.isEmpty()) continue;
            QString shown = value;
            shown.replace(QStringLiteral("\r\n"), QStringLiteral("\\n")).replace(QStringLiteral("\n"), QStringLiteral("\\n"));
            out.push_back(tag + shown.toStdString());
        }
        const bool allDay = incidence->allDay();
        const QDateTime start = incidence->dtStart();
        if (!start.isValid()) continue;
        if (incidence->recurs()) {
            // An all-day series steps through dates; its times are midnights of the start's zone.
            const QDateTime first = allDay ? QDateTime(from.date(), QTime(0, 0), start.timeZone()) : from;
            const QDateTime last = allDay ? QDateTime(to.date(), QTime(23, 59, 59), start.timeZone()) : to;
            for (const QDateTime& when : incidence->recurrence()->timesInInterval(first, last)) out.push_back(line(when, allDay));
        } else if (allDay ? (start.date() >= from.date() && start.date() <= to.date()) : (start >= from && start <= to)) {
            out.push_back(line(start, allDay));
        }
    }
    std::sort(out.begin(), out.end());
    for (const auto& l : out) std::printf("%s\n", l.c_str());
    return 0;
}
