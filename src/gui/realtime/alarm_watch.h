#pragma once
// CAlarmWatch: the alarms of one acquisition in the realtime window. Every stored record
// goes through an AlarmMonitor; the session's raises and clears are kept for the
// "实时报警" window, the alarms raised now colour the channel panel and are counted in the
// status bar, and a raise beeps when the user switched that on.
#include <QObject>
#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "core/analysis/alarm_monitor.h"

class CAlarmWatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // A new session on file, with its limits as they are now; the last session's events go.
    void Begin(const kvr::CXFile& file);
    // Checks every record of the file not checked yet.
    void CatchUp(const kvr::CXFile& file);

    const std::vector<kvr::AlarmEvent>& Events() const { return events_; }
    int ActiveCount() const;
    // Per channel with an alarm raised now, the kinds in the order the monitor gives them,
    // e.g. "上限 上上限".
    std::map<int, QString> ActiveTexts() const;
    // "报警：N" while alarms are raised, else empty.
    QString StatusText() const;

signals:
    // Events were added (from index first on), or the session began (first 0, none yet).
    void eventsChanged(int first);

private:
    std::optional<kvr::AlarmMonitor> monitor_;
    std::vector<kvr::AlarmEvent> events_;
    int checkedRecords_ = 0;
};
