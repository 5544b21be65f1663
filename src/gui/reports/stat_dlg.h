#pragma once
// CXStatDlg: peak, valley, mean and uniformity of every channel of a file over a chosen
// period, with copying and saving the results as a workbook. Modal.
#include <QDialog>

#include "core/analysis/statistics.h"
#include "widgets/date_time_pickers.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

class CXStatDlg : public QDialog {
    Q_OBJECT
public:
    explicit CXStatDlg(QWidget* parent = nullptr);

    // Binds the file (borrowed), lists its channels and proposes its last hour.
    void SetFile(const kvr::CXFile* file);
    void SetPeriod(kvr::Time start, kvr::Time end);

    void Compute();
    void CopyAll();
    void SaveAs();

    QTableWidget* List() const { return list_; }

public slots:
    void reject() override;

private:
    std::vector<kvr::StatisticsRow> ShownRows() const;

    const kvr::CXFile* file_ = nullptr;
    QLabel* timeRange_ = nullptr;
    DateTimePickers start_;
    DateTimePickers end_;
    QProgressBar* progress_ = nullptr;
    QTableWidget* list_ = nullptr;
    QPushButton* compute_ = nullptr;
    bool computing_ = false;
    bool cancelRequested_ = false;
};
