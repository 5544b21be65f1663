#include "gui/link/com_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/common/message_box.h"
#include "gui/link/serial_ports.h"

namespace {

const int kBaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

QString Text(int english, const char* chinese, const char* englishText) {
    return english ? QString::fromUtf8(englishText) : QString::fromUtf8(chinese);
}

}  // namespace

CComDlg::CComDlg(const _tagComParam& param, int english, QWidget* parent)
    : QDialog(parent), english_(english), original_(param) {
    setWindowTitle(Text(english, "串口参数设置", "Serial Port Settings"));
    auto* form = new QFormLayout;

    port_ = new QComboBox(this);
    port_->setEditable(true);  // a pseudo-terminal or an unlisted device can be typed
    port_->addItems(SerialPortNames());
    port_->setCurrentText(QString::fromLocal8Bit(param.device.c_str()));
    port_->setMinimumContentsLength(20);
    form->addRow(Text(english, "串口:", "Port:"), port_);

    baud_ = new QComboBox(this);
    for (int rate : kBaudRates) baud_->addItem(QString::number(rate), rate);
    const int baudIndex = baud_->findData(param.baud);
    baud_->setCurrentIndex(baudIndex >= 0 ? baudIndex : baud_->findData(9600));
    form->addRow(Text(english, "波特率:", "Baud rate:"), baud_);

    parity_ = new QComboBox(this);
    parity_->addItems({Text(english, "无校验", "None"), Text(english, "奇校验", "Odd"),
                       Text(english, "偶校验", "Even")});
    parity_->setCurrentIndex(param.parity >= 0 && param.parity <= 2 ? param.parity : 0);
    form->addRow(Text(english, "校验:", "Parity:"), parity_);

    address_ = new QSpinBox(this);
    address_->setRange(1, 255);
    address_->setValue(param.address);
    form->addRow(Text(english, "仪表地址:", "Instrument address:"), address_);

    readInterval_ = AddTimeout(
        form, Text(english, "读间隔超时(ms):", "Read interval timeout (ms):"), param.intervalBase);
    readTotalConstant_ =
        AddTimeout(form, Text(english, "读总超时常数(ms):", "Read total timeout constant (ms):"),
                   param.constantBase);
    readTotalMultiplier_ = AddTimeout(
        form, Text(english, "读总超时系数(ms/字节):", "Read total timeout per byte (ms):"),
        param.multiplier);
    writeTotalConstant_ =
        AddTimeout(form, Text(english, "写总超时常数(ms):", "Write total timeout constant (ms):"),
                   param.writeConstantBase);
    writeTotalMultiplier_ = AddTimeout(
        form, Text(english, "写总超时系数(ms/字节):", "Write total timeout per byte (ms):"),
        param.writeMultiplier);

    attempts_ = new QSpinBox(this);
    attempts_->setRange(1, 20);
    attempts_->setValue(param.attempts);
    form->addRow(Text(english, "重试次数:", "Attempts:"), attempts_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(Text(english, "确定", "OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(Text(english, "取消", "Cancel"));
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
        ShowStopMessage(this,
                        Text(english_, "请选择或输入串口设备的路径！",
                             "Please choose or type the path of the serial device."),
                        Text(english_, "提示...", "Notice"));
        return;
    }
    accept();
}

_tagComParam CComDlg::Param() const {
    _tagComParam param = original_;
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
