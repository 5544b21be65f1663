#include "gui/settings/serial_ports.h"

#include <QDir>
#include <algorithm>
#include <tuple>

namespace {

// "ttyS10" -> ("ttyS", 10): devices of one kind in number order.
std::tuple<QString, int> SortKey(const QString& name) {
    int digits = 0;
    while (digits < name.size() && name[name.size() - 1 - digits].isDigit()) ++digits;
    return {name.left(name.size() - digits), name.right(digits).toInt()};
}

}  // namespace

QStringList SerialPortNames(const QString& devFolder) {
    const QDir dev(devFolder);
    QStringList names = dev.entryList(
        {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*"), QStringLiteral("ttyS*")},
        QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return SortKey(a) < SortKey(b); });
    QStringList paths;
    for (const QString& name : names) paths << dev.filePath(name);
    return paths;
}
