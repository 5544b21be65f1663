#pragma once
// CXExportDlg: the export dialog in its Chinese and English variants. The user adjusts the
// period and the record interval, chooses the target (.xlsx or .csv) and watches the rows
// being written; "取消"/"Cancel" stops a running export, and closing the dialog stops it
// too and waits, so no partial file is left behind.
#include <QDialog>
#include <functional>

#include "core/analysis/export_table.h"
#include "sheetout/export_worker.h"
#include "widgets/date_time_pickers.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class CXExportDlg : public QDialog {
    Q_OBJECT
public:
    explicit CXExportDlg(kvr::Language language, QWidget* parent = nullptr);
    ~CXExportDlg() override;

    // Remembers the file and its interval, shows its period and sets the pickers to it.
    void Bind(kvr::CXFile* file);
    void SetRange(kvr::Time start, kvr::Time end);
    bool IsExporting() const { return worker_.IsRunning(); }

    // Replaces the save-file dialog (tests); returns the target or an empty text.
    void SetTargetChooser(std::function<QString()> chooser) { chooser_ = std::move(chooser); }

    void done(int result) override;

private:
    void BuildLayout();
    void OnExport();
    void OnProgress(qint64 rowsWritten, qint64 rowCount, double remainingSeconds);
    void OnFinished(int outcome, const QString& message);
    QString AskTarget();
    void ShowMessage(int icon, const QString& text);

    kvr::Language language_;
    kvr::CXFile* file_ = nullptr;
    DateTimePickers start_;
    DateTimePickers end_;
    QPushButton* resetStart_ = nullptr;
    QPushButton* resetEnd_ = nullptr;
    QLabel* rangeText_ = nullptr;
    QLineEdit* interval_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    std::function<QString()> chooser_;
    CXExportWorker worker_;
};
