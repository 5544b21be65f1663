#include "gui/curves/file_status.h"

#include <QString>

#include "gui/common/command_target.h"

namespace {

QString FullTime(kvr::Time t) { return QString::fromStdString(kvr::FormatTime(t)); }

}  // namespace

void ShowFileStatus(const kvr::CXFile& file, long long totalSeconds, const QString& note) {
    SetStatusText(1, QStringLiteral("设备名称：") + QString::fromStdString(file.GetDeviceName()));
    SetStatusText(2, QStringLiteral("通道数目：") + QString::number(file.GetChannelCount()));
    SetStatusText(3, QStringLiteral("记录时段：") + FullTime(file.GetStartTime()) +
                         QStringLiteral(" => ") + FullTime(file.GetEndTime()));
    SetStatusText(4, QStringLiteral("记录间隔：") + QStringLiteral("%1S").arg(file.GetInterval()));
    // A file cut short says so wherever its period is shown.
    const QString damaged = file.IsDamaged()
                                ? QStringLiteral("  ") + QString::fromUtf8(kvr::kFileDamagedText)
                                : QString();
    SetStatusText(5, QStringLiteral("总时间:") +
                         QString::asprintf("%lld小时%lld分%lld秒", totalSeconds / 3600,
                                           totalSeconds / 60 % 60, totalSeconds % 60) +
                         damaged + (note.isEmpty() ? QString() : QStringLiteral("  ") + note));
}
