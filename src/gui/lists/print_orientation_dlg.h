#pragma once
// "数据列表打印方向": portrait or landscape pages for the data list's print preview.
#include <QDialog>

class QCheckBox;

class CPrintOrientationDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPrintOrientationDlg(QWidget* parent = nullptr);
    // Read however the dialog was closed.
    bool Portrait() const;

private:
    QCheckBox* portrait_ = nullptr;
    QCheckBox* landscape_ = nullptr;
};
