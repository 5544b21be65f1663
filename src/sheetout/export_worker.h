#pragma once
// The export worker: one std::thread per export. Results reach the dialog by queued
// signals; a stop request is seen before the next row, so stopping takes milliseconds.
#include <QObject>
#include <QString>
#include <atomic>
#include <string>
#include <thread>

#include "core/analysis/export_run.h"

class CXExportWorker : public QObject {
    Q_OBJECT
public:
    explicit CXExportWorker(QObject* parent = nullptr);
    ~CXExportWorker() override;  // stops and waits: the thread never outlives its owner

    bool IsRunning() const { return thread_.joinable(); }
    // The file is read on the worker thread; it must stay open until finished() arrives
    // or StopAndWait returns.
    void Start(const kvr::CXFile& file, const kvr::ExportPlan& plan, kvr::Language language,
               const std::string& path);
    // Returns at once; finished() follows with ExportOutcome::kCancelled.
    void RequestStop();
    // Stops a running export and waits for it; the partial file is gone when it returns.
    void StopAndWait();

signals:
    void progressed(qint64 rowsWritten, qint64 rowCount, double remainingSeconds);
    // outcome is a kvr::ExportOutcome.
    void finished(int outcome, const QString& message);

private:
    void Join();

    std::atomic<bool> stop_{false};
    std::thread thread_;
};
