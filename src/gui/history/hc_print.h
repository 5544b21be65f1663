#pragma once
// CHCPrint: the history view's printing (one page, print preview, continuous pages) and its
// circular-chart windows, one per channel, added to the view's command table.
#include <QObject>
#include <QPointer>
#include <map>

#include "gui/curves/curve_page_printer.h"

class CHCView;
class QPrinter;

class CHCPrint : public QObject {
    Q_OBJECT
public:
    explicit CHCPrint(CHCView* view);

    // What the next print or preview prints: the shown window, or a continuous span.
    const CurvePrintRequest& Request() const { return request_; }
    void Print();
    void Preview();
    void ContinuousPrint();
    // The circular chart of channel c over the selection (selection mode) or the file.
    void OpenCircleChart(int channel);
    bool IsCircleChartOpen(int channel) const;

private:
    void Paint(QPrinter& printer);

    CHCView* view_;
    CurvePrintRequest request_;
    // One window per channel; an entry empties itself when its window closes.
    std::map<int, QPointer<QWidget>> circleCharts_;
};
