#pragma once
// CRealtimeAlarmWnd: the "实时报警" window of the realtime window: every raise and clear of
// the session (time, channel, kind, value, limit, state, duration) as it happens, newest
// last, with "复制" (the list as TAB-separated text) and "导出" (a workbook).
#include <QWidget>

namespace kvr {
class CXFile;
}
class CAlarmWatch;
class QTableWidget;

class CRealtimeAlarmWnd : public QWidget {
    Q_OBJECT
public:
    // Follows watch; file supplies the channels' names and formats.
    CRealtimeAlarmWnd(const CAlarmWatch* watch, const kvr::CXFile* file, QWidget* parent);

    QTableWidget* Table() const { return table_; }
    // Title line and a line per event, cells separated by TAB, lines ended by CR LF.
    QString CopyText() const;

public slots:
    void CopyAll() const;
    void Export();

private:
    // Appends the events from index first on; 0 rebuilds the list.
    void Follow(int first);

    const CAlarmWatch* watch_;
    const kvr::CXFile* file_;
    QTableWidget* table_ = nullptr;
};
