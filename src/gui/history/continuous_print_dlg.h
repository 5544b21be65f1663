#pragma once
// CContinuousPrintDlg: the span of a continuous curve print. Start and end snap to record
// times counted back from the file end; the page count (2000 records a page) follows every
// change, and an invalid span says so in the dialog.
#include <QDialog>

#include "core/datafile/time.h"
#include "widgets/date_time_pickers.h"

class QLabel;
class QLineEdit;

namespace kvr {
class CXFile;
}

class CContinuousPrintDlg : public QDialog {
    Q_OBJECT
public:
    enum class Choice { kPreview, kPrint };

    explicit CContinuousPrintDlg(const kvr::CXFile& file, QWidget* parent = nullptr);
    kvr::Time Start() const { return start_; }
    kvr::Time End() const { return end_; }
    // -1 while the span is invalid.
    int Pages() const { return pages_; }
    Choice Chosen() const { return choice_; }

private:
    void Recompute();
    void Finish(Choice choice);

    const kvr::CXFile& file_;
    DateTimePickers startPickers_;
    DateTimePickers endPickers_;
    QLineEdit* pagesEdit_ = nullptr;
    QLabel* errorLabel_ = nullptr;
    kvr::Time start_ = 0;
    kvr::Time end_ = 0;
    int pages_ = -1;
    Choice choice_ = Choice::kPreview;
    bool recomputing_ = false;
};
