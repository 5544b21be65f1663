#pragma once
// CCumuShowView: the cumulative report of a file. A form with the instrument's report
// settings and the period pickers; "统计" sums the hourly totals into the list, "Excel导出"
// writes the same table to a workbook.
#include <QWidget>

#include "core/analysis/cumulative_report.h"
#include "widgets/date_time_pickers.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CCumuShowView : public QWidget {
    Q_OBJECT
public:
    explicit CCumuShowView(QWidget* parent = nullptr);
    ~CCumuShowView() override;

    // Binds the file and fills the form. An owned file (a report file opened on its own)
    // is deleted with the view; a borrowed one belongs to the view that opened the report.
    void SetFile(kvr::CXFile* file, bool owned = false);
    // The history view the report was opened from; null for a report file of its own.
    void SetOwner(QWidget* owner) { owner_ = owner; }
    QWidget* Owner() const { return owner_; }
    kvr::CXFile* GetFile() const { return file_; }

    void Compute();
    void ExportWorkbook();

    QTableWidget* List() const { return list_; }
    void SetPeriod(kvr::Time start, kvr::Time end);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildForm();
    void FitList();
    // The report over the pickers' period, or nothing after telling the user why.
    std::optional<kvr::CumulativeReport> ReportForPeriod();

    kvr::CXFile* file_ = nullptr;
    bool ownsFile_ = false;
    QWidget* owner_ = nullptr;
    kvr::ReportSource source_;
    QLineEdit* alias_ = nullptr;
    QLineEdit* settlement_ = nullptr;
    QLineEdit* reportType_ = nullptr;
    QLabel* timeRange_ = nullptr;
    DateTimePickers start_;
    DateTimePickers end_;
    QPushButton* compute_ = nullptr;
    QPushButton* export_ = nullptr;
    QTableWidget* list_ = nullptr;
};
