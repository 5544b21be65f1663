#pragma once
// "数据列表筛选": shows every n-th record in the data list.
#include <QDialog>

class QLineEdit;

class CListFilterDlg : public QDialog {
    Q_OBJECT
public:
    explicit CListFilterDlg(QWidget* parent = nullptr);
    // Records per row (valid after the dialog was accepted); at least 1.
    int Step() const { return step_; }

    void accept() override;

private:
    QLineEdit* stepEdit_ = nullptr;
    int step_ = 1;
};
