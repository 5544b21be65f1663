#pragma once
// UploadRelay: the upload worker's reports turned into signals. The worker calls the sink
// on its own thread; the dialog connects with queued connections, so every report reaches
// it on its own thread and the worker never waits for a window.
#include <QObject>
#include <QString>

#include "core/link/upload_workers.h"

class UploadRelay : public QObject, public kvr::UploadSink {
    Q_OBJECT
public:
    using QObject::QObject;

    void SetProgressRange(int high) override { emit progressRange(high); }
    void SetProgress(int position) override { emit progress(position); }
    void SetRemainingText(const std::string& text) override { emit remainingText(QString::fromStdString(text)); }
    void Finished(const kvr::UploadOutcome& outcome) override;

signals:
    void progressRange(int high);
    void progress(int position);
    void remainingText(const QString& text);
    // status is a kvr::UploadOutcome::Status
    void finished(int status, const QString& message, const QString& path);
};
