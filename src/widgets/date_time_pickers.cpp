#include "widgets/date_time_pickers.h"

#include <QDateEdit>
#include <QTimeEdit>

DateTimePickers DateTimePickers::Create(QWidget* parent, const char* namePrefix) {
    DateTimePickers pickers;
    pickers.date = new QDateEdit(parent);
    pickers.date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    pickers.date->setCalendarPopup(true);
    // The years every time input accepts, typed or picked.
    pickers.date->setDateRange(QDate(kvr::kFirstYear, 1, 1), QDate(kvr::kLastYear, 12, 31));
    pickers.date->setObjectName(QString::fromLatin1(namePrefix) + QStringLiteral("Date"));
    pickers.time = new QTimeEdit(parent);
    pickers.time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    pickers.time->setObjectName(QString::fromLatin1(namePrefix) + QStringLiteral("Time"));
    return pickers;
}

void DateTimePickers::Set(kvr::Time t) {
    const kvr::CalendarFields f = kvr::SplitTime(t);
    date->setDate(QDate(f.year, f.month, f.day));
    time->setTime(QTime(f.hour, f.minute, f.second));
}

kvr::Time DateTimePickers::Get() const {
    const QDate d = date->date();
    const QTime tod = time->time();
    return kvr::MakeTime({d.year(), d.month(), d.day(), tod.hour(), tod.minute(), tod.second()});
}

void DateTimePickers::SetEnabled(bool enabled) {
    date->setEnabled(enabled);
    time->setEnabled(enabled);
}
