#include "gui/app/print_pdf.h"

#include <QFile>
#include <cstdio>
#include <memory>

#include "core/datafile/cxfile.h"
#include "core/view/chart_geometry.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/curves/curve_page_printer.h"
#include "gui/history/hc_view.h"

namespace {
int Fail(const QString& text) {
    std::fprintf(stderr, "KVR: %s\n", text.toLocal8Bit().constData());
    return 1;
}

std::optional<kvr::Time> TimeOption(const QString& text, kvr::Time fallback,
                                    kvr::TimeTextError* error) {
    if (text.isEmpty()) return fallback;
    return kvr::ParseTime(text.toStdString(), error);
}
}  // namespace

int RunPrintPdf(const PrintPdfOptions& options) {
    auto file = std::make_unique<kvr::CXFile>();
    if (file->Open(QFile::encodeName(options.filePath).toStdString()) != 1)
        return Fail(QStringLiteral("不支持的文件格式! %1").arg(options.filePath));
    kvr::TimeTextError fromError = kvr::TimeTextError::kNone, toError = fromError;
    const std::optional<kvr::Time> from =
        TimeOption(options.from, file->GetStartTime(), &fromError);
    const std::optional<kvr::Time> to = TimeOption(options.to, file->GetEndTime(), &toError);
    if (fromError == kvr::TimeTextError::kYear || toError == kvr::TimeTextError::kYear)
        return Fail(QString::fromUtf8(kvr::kYearOutOfRange));
    if (!from || !to) return Fail(QStringLiteral("时间设置有误！"));

    CurvePrintRequest request;
    if (options.continuous) {
        const int interval = file->GetInterval();
        const std::optional<int> pages = kvr::ContinuousPageCount(*from, *to, file->GetStartTime(),
                                                                  file->GetEndTime(), interval);
        if (!pages) return Fail(QStringLiteral("时间设置有误！"));
        request = {true, kvr::SnapToRecordTime(*from, file->GetEndTime(), interval),
                   kvr::SnapToRecordTime(*to, file->GetEndTime(), interval), std::max(*pages, 1)};
    } else if (*to < *from) {
        return Fail(QStringLiteral("时间设置有误！"));
    }

    CHCView view;
    view.resize(1600, 1000);
    view.SetFile(file.release());
    if (!options.continuous) view.CurveCtrl()->SetWindowRange(*from, *to);
    if (!PrintCurvesToPdf(options.pdfPath, *view.CurveCtrl(), request))
        return Fail(QStringLiteral("cannot write %1").arg(options.pdfPath));
    std::printf("KVR: %d page(s) written to %s\n", request.continuous ? request.pages : 1,
                QFile::encodeName(options.pdfPath).constData());
    return 0;
}
