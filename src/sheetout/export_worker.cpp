#include "sheetout/export_worker.h"

CXExportWorker::CXExportWorker(QObject* parent) : QObject(parent) {}

CXExportWorker::~CXExportWorker() { StopAndWait(); }

void CXExportWorker::Start(const kvr::CXFile& file, const kvr::ExportPlan& plan,
                           kvr::Language language, const std::string& path) {
    StopAndWait();
    stop_ = false;
    thread_ = std::thread([this, &file, plan, language, path] {
        const kvr::ExportResult result =
            kvr::RunExport(file, plan, language, path, stop_, [this](const kvr::ExportProgress& p) {
                emit progressed(p.rowsWritten, p.rowCount, p.remainingSeconds);
            });
        emit finished(static_cast<int>(result.outcome), QString::fromStdString(result.message));
    });
}

void CXExportWorker::RequestStop() { stop_ = true; }

void CXExportWorker::StopAndWait() {
    stop_ = true;
    Join();
}

void CXExportWorker::Join() {
    if (thread_.joinable()) thread_.join();
}
