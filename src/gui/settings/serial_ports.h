#pragma once
// The serial devices present on this machine, for the port list of the serial dialog.
#include <QStringList>

// Full paths of /dev/ttyS*, /dev/ttyUSB* and /dev/ttyACM*, in natural order (ttyS2 before
// ttyS10). devFolder is for tests.
QStringList SerialPortNames(const QString& devFolder = QStringLiteral("/dev"));
