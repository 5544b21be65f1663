#pragma once
// UploadRelay: the reports of the upload worker and of the configuration read turned into
// signals. Both run on threads of their own; the dialog connects with queued connections,
// so every report reaches it on its own thread and no worker ever waits for a window.
#include <QObject>
#include <QString>

#include "core/link/link_progress.h"
#include "core/link/upload_workers.h"

class UploadRelay : public QObject, public kvr::UploadSink, public kvr::LinkProgress {
    Q_OBJECT
public:
    using QObject::QObject;

    void SetProgressRange(int high) override { emit progressRange(high); }
    void SetProgress(int position) override { emit progress(position); }
    void SetRemainingText(const std::string& text) override {
        emit remainingText(QString::fromStdString(text));
    }
    void Finished(const kvr::UploadOutcome& outcome) override;

    void SetRange(int /*low*/, int high) override { emit progressRange(high); }
    void SetPosition(int position) override { emit progress(position); }
    void SetText(const std::string& text) override { emit stepText(QString::fromStdString(text)); }

signals:
    void progressRange(int high);
    void progress(int position);
    void remainingText(const QString& text);
    void stepText(const QString& text);  // what the configuration read is doing
    // status is a kvr::UploadOutcome::Status
    void finished(int status, const QString& message, const QString& path);
};
