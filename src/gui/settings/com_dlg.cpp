#include "gui/settings/com_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/common/language.h"
#include "gui/settings/serial_ports.h"
#include "gui/settings/settings_dialog.h"

namespace {

const int kBaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

}  // namespace

CComDlg::CComDlg(const kvr::ComParam& param, Language language, QWidget* parent)
    : QDialog(parent), language_(language), original_(param) {
    setWindowTitle(LanguageText(language, "串口参数设置", "Serial Port Settings"));
    auto* form = new QFormLayout;

    port_ = new QComboBox(this);
    port_->setEditable(true);  // a pseudo-terminal or an unlisted device can be typed
    port_->addItems(SerialPortNames());
    port_->setCurrentText(QString::fromLocal8Bit(param.device.c_str()));
    port_->setMinimumContentsLength(20);
    form->addRow(LanguageText(language, "串口:", "Port:"), port_);

    baud_ = new QComboBox(this);
    for (int rate : kBaudRates) baud_->addItem(QString::number(rate), rate);
    const int baudIndex = baud_->findData(param.baud);
    baud_->setCurrentIndex(baudIndex >= 0 ? baudIndex : baud_->findData(9600));
    form->addRow(LanguageText(language, "波特率:", "Baud rate:"), baud_);

    parity_ = new QComboBox(this);
    parity_->addItems({LanguageText(language, "无校验", "None"),
                       LanguageText(language, "奇校验", "Odd"),
                       LanguageText(language, "偶校验", "Even")});
    parity_->setCurrentIndex(param.parity >= 0 && param.parity <= 2 ? param.parity : 0);
    form->addRow(LanguageText(language, "校验:", "Parity:"), parity_);

    address_ = new QSpinBox(this);
    address_->setRange(1, 255);
    address_->setValue(param.address);
    form->addRow(LanguageText(language, "仪表地址:", "Instrument address:"), address_);

    readInterval_ =
        AddTimeout(form, LanguageText(language, "读间隔超时(ms):", "Read interval timeout (ms):"),
                   param.intervalBase);
    readTotalConstant_ = AddTimeout(
        form, LanguageText(language, "读总超时常数(ms):", "Read total timeout constant (ms):"),
        param.constantBase);
    readTotalMultiplier_ = AddTimeout(
        form, LanguageText(language, "读总超时系数(ms/字节):", "Read total timeout per byte (ms):"),
        param.multiplier);
    writeTotalConstant_ = AddTimeout(
        form, LanguageText(language, "写总超时常数(ms):", "Write total timeout constant (ms):"),
        param.writeConstantBase);
    writeTotalMultiplier_ = AddTimeout(
        form,
        LanguageText(language, "写总超时系数(ms/字节):", "Write total timeout per byte (ms):"),
        param.writeMultiplier);

    attempts_ = new QSpinBox(this);
    attempts_->setRange(1, 20);
    attempts_->setValue(param.attempts);
    form->addRow(LanguageText(language, "重试次数:", "Attempts:"), attempts_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(LanguageText(language, "确定", "OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(LanguageText(language, "取消", "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CComDlg::OnOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QSpinBox* CComDlg::AddTimeout(QFormLayout* form, const QString& label, int value) {
    auto* box = new QSpinBox(this);
    box->setRange(0, 60000);
    box->setValue(value);
    form->addRow(label, box);
    return box;
}

void CComDlg::OnOk() {
    if (port_->currentText().trimmed().isEmpty()) {
        ShowSettingsMessage(this, language_,
                            LanguageText(language_, "请选择或输入串口设备的路径！",
                                         "Please choose or type the path of the serial device."));
        return;
    }
    accept();
}

kvr::ComParam CComDlg::Param() const {
    kvr::ComParam param = original_;
    param.device = port_->currentText().trimmed().toLocal8Bit().toStdString();
    param.baud = baud_->currentData().toInt();
    param.parity = parity_->currentIndex();
    param.address = address_->value();
    param.intervalBase = readInterval_->value();
    param.constantBase = readTotalConstant_->value();
    param.multiplier = readTotalMultiplier_->value();
    param.writeConstantBase = writeTotalConstant_->value();
    param.writeMultiplier = writeTotalMultiplier_->value();
    param.attempts = attempts_->value();
    return param;
}
