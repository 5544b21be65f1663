#pragma once
// CXTotalsDlg: the small modeless window with the instrument's running flow total and, for
// a heat-computing instrument, its heat total. The live acquisition refreshes it after
// every appended record.
#include <QDialog>

#include "core/datafile/cxfile.h"

class QTableWidget;

class CXTotalsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CXTotalsDlg(QWidget* parent = nullptr);

    // Binds the file (borrowed) before Open.
    void SetFile(const kvr::CXFile* file) { file_ = file; }
    // Fills the list and shows the window; it deletes itself when closed.
    void Open();
    // Rewrites the totals from the file.
    void Refresh();
    void Copy();

    QTableWidget* List() const { return list_; }

private:
    const kvr::CXFile* file_ = nullptr;
    QTableWidget* list_ = nullptr;
};
