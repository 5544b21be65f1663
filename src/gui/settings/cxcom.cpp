#include "gui/settings/cxcom.h"

#include <QApplication>
#include <QFile>
#include <string>

#include "core/settings/profile.h"
#include "gui/settings/com_dlg.h"
#include "gui/settings/serial_ports.h"
#include "gui/settings/settings_dialog.h"

namespace {

constexpr char kSection[] = "ComSetting";

int ReadInt(const char* key, int fallback, int low, int high) {
    return static_cast<int>(kvr::ReadProfileNumber(kSection, key, fallback, low, high));
}

// The first serial device present, so that a fresh installation has a usable choice.
std::string DefaultDevice() {
    const QStringList ports = SerialPortNames();
    return ports.isEmpty() ? std::string("/dev/ttyS0")
                           : QFile::encodeName(ports.front()).toStdString();
}

}  // namespace

void CXCom::GetComm(kvr::ComParam* param) const {
    const kvr::ComParam defaults;
    *param = defaults;
    param->device = kvr::ReadProfileString(kSection, "Port", "");
    if (param->device.empty()) param->device = DefaultDevice();
    param->baud = ReadInt("Baud", defaults.baud, 50, 4000000);
    param->parity = ReadInt("Parity", defaults.parity, 0, 2);
    param->address = ReadInt("Address", defaults.address, 1, 255);
    param->intervalBase = ReadInt("ReadInterval", defaults.intervalBase, 0, 60000);
    param->constantBase = ReadInt("ReadTotalConstant", defaults.constantBase, 0, 60000);
    param->multiplier = ReadInt("ReadTotalMultiplier", defaults.multiplier, 0, 60000);
    param->writeConstantBase = ReadInt("WriteTotalConstant", defaults.writeConstantBase, 0, 60000);
    param->writeMultiplier = ReadInt("WriteTotalMultiplier", defaults.writeMultiplier, 0, 60000);
    param->attempts = ReadInt("Attempts", defaults.attempts, 1, 20);
}

int CXCom::ShowXWnd(Language language) {
    kvr::ComParam param;
    GetComm(&param);
    CComDlg dialog(param, language, QApplication::activeWindow());
    return RunSettingsDialog(
        dialog, [&dialog] { return KeepComm(dialog.Param()); }, language);
}

bool CXCom::KeepComm(const kvr::ComParam& param) {
    const auto write = [](const char* key, std::int64_t value) {
        return kvr::WriteProfileNumber(kSection, key, value);
    };
    return kvr::WriteProfileString(kSection, "Port", param.device) && write("Baud", param.baud) &&
           write("Parity", param.parity) && write("Address", param.address) &&
           write("ReadInterval", param.intervalBase) &&
           write("ReadTotalConstant", param.constantBase) &&
           write("ReadTotalMultiplier", param.multiplier) &&
           write("WriteTotalConstant", param.writeConstantBase) &&
           write("WriteTotalMultiplier", param.writeMultiplier) &&
           write("Attempts", param.attempts);
}
