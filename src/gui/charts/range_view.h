#pragma once
// CRangeView: the circular-chart window of one channel of a history file, opened from the
// history view. It prints its chart on one landscape page.
#include <QWidget>

#include "core/datafile/time.h"
#include "gui/common/command_map.h"

class CCircleChartCtrl;
class QPrinter;

namespace kvr {
class CXFile;
}

class CRangeView : public QWidget, public CommandMap {
    Q_OBJECT
public:
    CRangeView(kvr::CXFile* file, int channel, kvr::Time start, kvr::Time end,
               QWidget* parent = nullptr);
    CCircleChartCtrl* Chart() const { return chart_; }
    int Channel() const { return channel_; }
    void Print(QPrinter& printer) const;
    void PrintPreview();
    void PrintWithDialog();

private:
    CCircleChartCtrl* chart_;
    int channel_;
};
