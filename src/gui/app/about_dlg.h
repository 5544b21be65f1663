#pragma once
// CAboutDlg: the About box (program icon, name and version, copyright, banner).
#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
