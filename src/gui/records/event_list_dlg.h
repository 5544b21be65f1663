#pragma once
// CEventListDlg: one of the three event logs a data file carries (alarms, power failures,
// operations) as a list, newest entry on top. The power-failure list adds the count and
// total outage time under the rows. Reads the file, never changes it.
#include <QDialog>

#include "core/analysis/event_lists.h"

class QLabel;
class QTableWidget;

namespace kvr {
class CXFile;
}

class CEventListDlg : public QDialog {
    Q_OBJECT
public:
    // The file is borrowed; without one the list stays empty.
    CEventListDlg(kvr::EventList list, kvr::CXFile* file, QWidget* parent = nullptr);

    const QTableWidget* List() const { return table_; }
    QString Summary() const;

private:
    void Fill(const kvr::EventTable& table);

    QTableWidget* table_;
    QLabel* summary_ = nullptr;
};
