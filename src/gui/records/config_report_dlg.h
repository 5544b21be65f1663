#pragma once
// CConfigReportDlg: the instrument configuration stored with a data file, one tab per
// configuration group, as read-only text. The text is rebuilt from the file on every tab
// change.
#include <QDialog>

class QPlainTextEdit;
class QTabBar;

namespace kvr {
class CXFile;
}

class CConfigReportDlg : public QDialog {
    Q_OBJECT
public:
    // The file is borrowed; without one the dialog stays empty.
    explicit CConfigReportDlg(kvr::CXFile* file, QWidget* parent = nullptr);

    int TabCount() const;
    QString TabTitle(int tab) const;
    void SelectTab(int tab);
    QString Text() const;

private:
    void ShowTab(int tab);

    kvr::CXFile* file_;
    QTabBar* tabs_;
    QPlainTextEdit* text_;
};
