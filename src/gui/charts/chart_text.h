#pragma once
// Texts and colours the chart controls share: channel values in the channel's own format,
// the total units, the colours of the alarm states.
#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>

namespace kvr {
class CXFile;
}

extern const QColor kChartRed;
extern const QColor kChartGreen;

// The value in channel c's printf format ("%.2f", "%.1E"...).
QString FormatChannelValue(const kvr::CXFile& file, int c, double value);
// "%s    %s": name and unit.
QString ChannelTitle(const kvr::CXFile& file, int c);
QString FlowTotalUnit(const kvr::CXFile& file);
QString HeatTotalUnit(const kvr::CXFile& file);
// Whether the instrument computes heat (the heat total is shown).
bool HasHeatTotal(const kvr::CXFile& file);
// The newest value of channel c (at the file's end time), if the file holds it.
bool NewestValue(const kvr::CXFile& file, int c, float* value);
// "Times New Roman" at a pixel height, in the given weight.
QFont ChartFont(int pixelHeight, int weight = QFont::Normal);
// ChartFont made smaller, down to kMinChartFont pixels, until text is at most width wide.
inline constexpr int kMinChartFont = 8;
QFont FittedChartFont(const QString& text, int pixelHeight, int width, int weight = QFont::Normal);
