#pragma once
// CSpanPanel: the figures of the selected span, docked under the curves of a curve view.
// It follows its curve control: its selection (frame by frame while an edge is dragged),
// the curves shown and the control's place and width. It is shown while the control is in
// selection mode with a non-empty selection and the user has not switched it off.
//
// It shows the start, end and duration of the span and a row per shown channel with the
// columns of SpanTitles, in each channel's format and unit; "复制" puts the same as text
// on the clipboard and "导出区间" asks the owning view to export the span.
#include <QWidget>
#include <utility>

#include "core/analysis/span_figures.h"

class CXCurveCtrl;
class CommandMap;
class QLabel;
class QPushButton;
class QTableWidget;

class CSpanPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 168;
    static constexpr int kGap = 2;

    // The panel is a child of view, under curve.
    CSpanPanel(CXCurveCtrl* curve, QWidget* view);

    // The user's switch (Config.ini); the panel still needs a selection to appear.
    void SetSwitchedOn(bool on);
    bool IsSwitchedOn() const { return switchedOn_; }
    // The toggle command, on map.
    void RegisterToggle(CommandMap& map);
    // Without a receiver for exportRequested the export button stays hidden.
    void SetExportShown(bool shown);

    // The span shown, start before end; {0, 0} when none.
    std::pair<kvr::Time, kvr::Time> Span() const { return span_; }
    const kvr::SpanOutcome& Figures() const { return outcome_; }
    // The start, end and duration line as shown.
    QString PeriodText() const;
    // The panel as text: the period line, the title line and a line per channel, cells
    // separated by TAB, lines ended by CR LF.
    QString CopyText() const;
    QTableWidget* Table() const { return table_; }

public slots:
    // Reads the selection again and recomputes; shows or hides the panel.
    void Refresh();
    void CopyToClipboard() const;

signals:
    void exportRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Wanted() const;
    void FollowCurve();
    void ApplyVisibility(bool visible);
    void Fill();

    CXCurveCtrl* curve_;
    bool switchedOn_ = true;
    std::pair<kvr::Time, kvr::Time> span_{0, 0};
    kvr::SpanOutcome outcome_;
    QLabel* period_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* export_ = nullptr;
};
