#include "gui/realtime/alarm_watch.h"

#include <QApplication>

#include "core/settings/view_switches.h"

void CAlarmWatch::Begin(const kvr::CXFile& file) {
    monitor_.emplace(file);
    events_.clear();
    checkedRecords_ = 0;
    emit eventsChanged(0);
}

void CAlarmWatch::CatchUp(const kvr::CXFile& file) {
    if (!monitor_) return;
    const int first = static_cast<int>(events_.size());
    bool raised = false;
    for (; checkedRecords_ < file.GetRecordCount(); ++checkedRecords_)
        for (const kvr::AlarmEvent& event : monitor_->CheckRecord(file, checkedRecords_)) {
            events_.push_back(event);
            raised |= event.raised;
        }
    if (static_cast<int>(events_.size()) == first) return;
    if (raised && kvr::ReadAlarmBeep()) QApplication::beep();
    emit eventsChanged(first);
}

int CAlarmWatch::ActiveCount() const {
    return monitor_ ? static_cast<int>(monitor_->Active().size()) : 0;
}

std::map<int, QString> CAlarmWatch::ActiveTexts() const {
    std::map<int, QString> texts;
    if (!monitor_) return texts;
    for (const kvr::AlarmEvent& event : monitor_->Active()) {
        QString& text = texts[event.channel];
        if (!text.isEmpty()) text += QLatin1Char(' ');
        text += QString::fromStdString(kvr::AlarmKindText(event.kind));
    }
    return texts;
}

QString CAlarmWatch::StatusText() const {
    const int count = ActiveCount();
    return count > 0 ? QStringLiteral("报警：%1").arg(count) : QString();
}
