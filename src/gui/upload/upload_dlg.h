#pragma once
// CUploadDlg: copies a time range of the history stored in an instrument into a new data
// file. The dialog scans the instrument, checks the chosen range, asks for the file name,
// reads the configuration into the file and then lets UploadSession's worker fetch the
// records while it shows progress and the remaining time. The worker reaches the dialog
// only through UploadRelay's queued signals, and the scan and configuration read run on a
// helper thread, so the window stays live however slow the line is.
#include <QDialog>
#include <QString>
#include <functional>
#include <thread>

#include "core/link/upload_session.h"
#include "core/settings/com_param.h"
#include "core/settings/view_def.h"
#include "widgets/date_time_pickers.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class UploadRelay;

class CUploadDlg : public QDialog {
    Q_OBJECT
public:
    // lastDir: where the save dialog starts (a file in it will do).
    CUploadDlg(const kvr::ComParam& param, const kvr::ViewDef& view, const QString& lastDir,
               QWidget* parent = nullptr);
    ~CUploadDlg() override;

    // Asks for the file to write; returns an empty path when the user cancels. The default
    // shows the save dialog; tests answer without one.
    using SaveNameChooser = std::function<QString(QWidget* parent, const QString& proposedPath)>;
    void SetSaveNameChooser(SaveNameChooser chooser) { chooseSaveName_ = std::move(chooser); }

    // True while the instrument is being talked to (scan, range checks, configuration read,
    // upload) and until the upload's end has been shown.
    bool IsBusy() const { return busy_; }
    kvr::UploadSession& Session() { return session_; }

    // Closing is refused while busy: the threads own the file and the link then.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void OnRefresh();
    void OnUpload();
    void OnCancel();
    void OnUploadAll(bool checked);
    void OnRemainingText(const QString& text);
    void OnFinished(int status, const QString& message, const QString& path);

private:
    void BuildControls();
    void ConnectRelay();
    // Marks the dialog busy and runs work on the helper thread, then done with its result
    // on the dialog's thread. The link is used by one thread at a time: the dialog does
    // nothing else with the session until done.
    template <typename Work, typename Done>
    void RunLinkStep(Work work, Done done);
    void JoinLinkStep();
    void OnPrepared(const kvr::PreparedRange& range, bool scannedBefore);
    void ShowScan(const kvr::ScanResult& scan);
    // Creates the file and reads the configuration into it, then starts the worker.
    void StartUpload(const QString& path);
    void EndUploadStart(bool configured, const std::string& message);
    void SetIdleButtons();
    // An empty bar and the bare remaining-time caption.
    void ResetProgress();
    void Notify(const QString& text, bool stop);
    QString ProposedPath() const;

    kvr::UploadSession session_;
    UploadRelay* relay_ = nullptr;  // a child: it outlives the session and so the worker
    QString lastDir_;
    SaveNameChooser chooseSaveName_;
    bool busy_ = false;
    std::thread linkStep_;

    QLabel* rangeText_ = nullptr;
    QLabel* remainingText_ = nullptr;
    DateTimePickers start_;
    DateTimePickers end_;
    QCheckBox* uploadAll_ = nullptr;
    QCheckBox* openFile_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* upload_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* refresh_ = nullptr;
};

// The save dialog of an upload: "Save File", the data-file filter, overwrite prompt.
QString ChooseUploadFileName(QWidget* parent, const QString& proposedPath);
