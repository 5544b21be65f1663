#include "gui/curves/curve_page_printer.h"

#include <QDateTime>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "core/datafile/cxfile.h"
#include "core/view/chart_geometry.h"
#include "gui/common/color_ref.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/curves/curve_renderer.h"

namespace {

constexpr int kPrinterDpi = 300;  // enough for hairlines, small enough for the page image

QFont PageFont(int pixelHeight) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(std::max(pixelHeight, 1));
    font.setWeight(QFont::Light);
    return font;
}

QString Stamp(kvr::Time t) { return QString::fromStdString(kvr::FormatTime(t)); }

// Text turned 90° clockwise, starting at (x, y) and running down the page.
void DrawDownwards(QPainter& painter, int x, int y, const QString& text) {
    painter.save();
    painter.translate(x, y);
    painter.rotate(90);
    painter.drawText(QPoint(0, 0), text);
    painter.restore();
}

std::vector<int> ShownChannels(const kvr::CXFile& file) {
    std::vector<int> shown;
    for (int c = 0; c < file.GetChannelCount() && c < kvr::kMaxChannels; ++c)
        if (file.Header().channels[c].showState == 1) shown.push_back(c);
    return shown;
}

// The band at the right: column 1 holds the device and the print time, column 2 the time
// window, the others two channels each; the page number sits at the foot of column 1.
void DrawLegend(QPainter& painter, const QRect& band, int columnWidth, int plotBottom,
                const kvr::CXFile& file, kvr::Time start, kvr::Time end, int pageNumber,
                qreal scale) {
    const int r = band.right() + 1, t = band.top();
    const int inset = columnWidth * 15 / 100;
    const int half = (plotBottom - t) / 2;
    painter.setPen(Qt::black);
    painter.setFont(PageFont(columnWidth * 6 / 10));
    const int baseline = columnWidth - inset;  // rotated text hangs left of its origin
    DrawDownwards(painter, r - baseline, t + inset,
                  QStringLiteral("设备名称：") + QString::fromStdString(file.GetDeviceName()));
    DrawDownwards(painter, r - baseline, t + half + inset,
                  QStringLiteral("打印时间：") +
                      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    DrawDownwards(
        painter, r - columnWidth - baseline, t + inset,
        QStringLiteral("时间范围：") + Stamp(start) + QStringLiteral(" => ") + Stamp(end));
    // The page number ends at the foot of column 1, below the print time.
    const QString pageText = QStringLiteral("第%1页").arg(pageNumber);
    DrawDownwards(painter, r - baseline,
                  plotBottom - inset - painter.fontMetrics().horizontalAdvance(pageText), pageText);

    const std::vector<int> shown = ShownChannels(file);
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const int c = shown[k];
        const int column = 2 + static_cast<int>(k / 2);
        const int right = r - column * columnWidth;
        const int top = t + (k % 2 == 0 ? 0 : half);
        const QColor colour = ColorFromRef(file.Header().channels[c].color);
        painter.fillRect(QRect(right - columnWidth + inset, top + inset, columnWidth - 2 * inset,
                               columnWidth - 2 * inset),
                         colour);
        painter.setPen(Qt::black);
        DrawDownwards(painter, right - baseline, top + columnWidth + inset,
                      QStringLiteral("%1 ").arg(c + 1, 2, 10, QChar('0')) +
                          QString::fromStdString(file.GetChannelName(c)));
        painter.setPen(
            QPen(colour, 5 * std::max<int>(file.Header().channels[c].lineWidth, 1) * scale / 4));
        const int x = right - columnWidth / 2;
        painter.drawLine(x, top + half - 400 * scale / 4, x, top + half - 30 * scale / 4);
    }
}

}  // namespace

void PrintCurvePage(QPainter& painter, const QRect& page, qreal scale, const CXCurveCtrl& curve,
                    const CurvePrintRequest& request, int pageNumber) {
    const kvr::CXFile* file = curve.GetFile();
    painter.fillRect(page, Qt::white);
    if (!file) return;
    const int w = page.width();
    const int a = w / 40, b = w / 30, c = w / 20;
    const int columns = (static_cast<int>(ShownChannels(*file).size()) + 1) / 2 + 2;
    const int left = page.left() + c;
    const int legendLeft = page.right() + 1 - columns * a;
    const int plotBottom = page.bottom() + 1 - b;

    kvr::CurveWindow window;
    window.SetInterval(file->GetInterval());
    const auto [start, end] =
        request.continuous
            ? kvr::ContinuousPageWindow(request.start, file->GetInterval(), pageNumber)
            : std::pair{curve.Scene().window->WindowStart(), curve.Scene().window->WindowEnd()};
    window.SetBrowseRange(std::min(start, file->GetStartTime()), std::max(end, file->GetEndTime()));
    window.SetWindowRange(start, end);
    CurveScene scene = curve.Scene();
    scene.window = &window;
    scene.onPaper = true;
    CXCurveRenderer::Render(painter, QRect(left, page.top(), legendLeft - left, page.height()),
                            scale, scene);

    painter.fillRect(QRect(legendLeft, page.top(), page.right() + 1 - legendLeft, page.height()),
                     Qt::white);
    DrawLegend(painter, QRect(legendLeft, page.top(), page.right() + 1 - legendLeft, page.height()),
               a, plotBottom, *file, start, end, pageNumber, scale);
    painter.setPen(QPen(Qt::black, std::max<qreal>(scale, 1.0)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(left, page.top(), page.right() - left, page.height() - 1));
    for (int k = 1; k <= columns; ++k)
        painter.drawLine(page.right() + 1 - k * a, page.top(), page.right() + 1 - k * a,
                         plotBottom);
    painter.drawLine(legendLeft, plotBottom, page.right(), plotBottom);
    const int middle = page.top() + (plotBottom - page.top()) / 2;
    painter.drawLine(legendLeft, middle, page.right() + 1 - 2 * a, middle);
}

bool PrintCurves(QPrinter& printer, const CXCurveCtrl& curve, const CurvePrintRequest& request) {
    printer.setResolution(kPrinterDpi);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page(QPoint(0, 0),
                     printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const qreal scale = printer.resolution() / 96.0;
    const int pages = request.continuous ? std::max(request.pages, 1) : 1;
    for (int n = 1; n <= pages; ++n) {
        if (n > 1 && !printer.newPage()) return false;
        PrintCurvePage(painter, page, scale, curve, request, n);
    }
    return painter.end();
}

bool PrintCurvesToPdf(const QString& path, const CXCurveCtrl& curve,
                      const CurvePrintRequest& request) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return PrintCurves(printer, curve, request);
}
