#pragma once
// "范围设定": shows the curves from a chosen start time to a chosen end time.
#include <QDialog>

#include "core/datafile/cxfile.h"
#include "widgets/date_time_pickers.h"

class CRangeDlg : public QDialog {
    Q_OBJECT
public:
    // Opens on the curves' current window.
    CRangeDlg(const kvr::CXFile& file, kvr::Time windowStart, kvr::Time windowEnd,
              QWidget* parent = nullptr);
    kvr::Time Start() const { return start_; }
    kvr::Time End() const { return end_; }

    void accept() override;

private:
    const kvr::CXFile& file_;
    DateTimePickers startPickers_;
    DateTimePickers endPickers_;
    kvr::Time start_ = 0;
    kvr::Time end_ = 0;
};
