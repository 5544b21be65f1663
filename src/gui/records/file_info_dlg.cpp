#include "gui/records/file_info_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "core/datafile/cxfile.h"
#include "core/settings/display_defaults.h"
#include "gui/common/file_events.h"
#include "gui/common/message_box.h"
#include "gui/settings/color_button.h"
#include "gui/settings/cxviewdef.h"

namespace {

constexpr int kInputChannels = 3;  // channels with range and alarm limits of their own
static_assert(kInputChannels == kvr::kNamedChannels);

QString Number(float value) { return QString::number(static_cast<double>(value), 'g', 7); }

// Reads a number typed into a field, or tells the user and puts the focus there.
template <typename T>
bool ReadNumber(QLineEdit* edit, T& out) {
    bool ok = false;
    const QString text = edit->text().trimmed();
    if constexpr (std::is_integral_v<T>)
        out = static_cast<T>(text.toInt(&ok));
    else
        out = static_cast<T>(text.toFloat(&ok));
    if (!ok) {
        ShowStopMessage(edit->window(),
                        std::is_integral_v<T> ? QStringLiteral("请输入一个整数。")
                                              : QStringLiteral("请输入一个数字。"),
                        NoticeCaption());
        edit->setFocus();
        edit->selectAll();
    }
    return ok;
}

}  // namespace

CFileInfoDlg::CFileInfoDlg(kvr::CXFile* file, QWidget* parent)
    : QDialog(parent), file_(file), info_(kvr::ReadFileInfo(*file)) {
    setWindowTitle(QStringLiteral("文件信息设置"));
    BuildLayout();
    ShowSettings();
    ShowChannel();
}

void CFileInfoDlg::ShowSettings() {
    (info_.xMode == 0 ? shortTime_ : longTime_)->setChecked(true);
    (info_.yMode == 0 ? percent_ : value_)->setChecked(true);
    rangeLow_->setText(Number(info_.yLow));
    rangeHigh_->setText(Number(info_.yHigh));
    gridVertical_->setText(QString::number(info_.gridCount1));
    gridHorizontal_->setText(QString::number(info_.gridCount2));
    showGrid_->setChecked(info_.showGrid);
    background_->SetColorRef(info_.backgroundColor);
    gridColor_->SetColorRef(info_.gridColor);
    pieGrid_->setText(QString::number(info_.pieGridCount));
    pieTime_->setCurrentIndex(info_.pieTimeIndex < pieTime_->count() ? info_.pieTimeIndex : 2);
    scientific_->setChecked(info_.scientific);
    alias_->setText(QString::fromStdString(info_.alias));
}

bool CFileInfoDlg::ReadSettings() {
    info_.xMode = longTime_->isChecked() ? 1 : 0;
    info_.yMode = value_->isChecked() ? 1 : 0;
    if (!ReadNumber(rangeLow_, info_.yLow) || !ReadNumber(rangeHigh_, info_.yHigh)) return false;
    if (!ReadNumber(gridVertical_, info_.gridCount1) ||
        !ReadNumber(gridHorizontal_, info_.gridCount2))
        return false;
    if (!ReadNumber(pieGrid_, info_.pieGridCount)) return false;
    info_.showGrid = showGrid_->isChecked();
    info_.backgroundColor = background_->ColorRef();
    info_.gridColor = gridColor_->ColorRef();
    info_.pieTimeIndex = pieTime_->currentIndex();
    info_.scientific = scientific_->isChecked();
    info_.alias = alias_->text().toStdString();
    return true;
}

void CFileInfoDlg::ShowChannel() {
    const int count = static_cast<int>(info_.channels.size());
    if (count == 0) return;
    if (current_ >= count) current_ = 0;
    if (current_ < 0) current_ = count - 1;
    const kvr::ChannelInfo& channel = info_.channels[static_cast<std::size_t>(current_)];
    channelBox_->setTitle(QStringLiteral("通道 %1 信息").arg(current_ + 1));
    channelColor_->SetColorRef(channel.color);
    channelShown_->setChecked(channel.showState == 1);
    const int width = lineWidth_->findText(QString::number(channel.lineWidth));
    if (width < 0) lineWidth_->addItem(QString::number(channel.lineWidth));
    lineWidth_->setCurrentIndex(width >= 0 ? width : lineWidth_->count() - 1);
    name_->setText(QString::fromStdString(channel.name));
    // The flow and heat channels are named by the instrument; the file keeps no other name.
    const bool named = current_ < kvr::kNamedChannels;
    name_->setReadOnly(!named);
    name_->setToolTip(named ? QString()
                            : QStringLiteral("此通道的位号由仪表确定，文件不能保存修改"));
    unit_->setCurrentText(QString::fromStdString(channel.unit));
    signalText_->setText(QString::fromStdString(channel.signalText));

    const std::string valueFormat = file_->GetValueFormat(current_);
    const char* format = valueFormat.empty() ? "%g" : valueFormat.c_str();
    const float limits[7] = {file_->GetRangeLow(current_),    file_->GetRangeHigh(current_),
                             file_->GetAlarmLow(current_),    file_->GetAlarmHigh(current_),
                             file_->GetAlarmLowLow(current_), file_->GetAlarmHighHigh(current_),
                             file_->GetHysteresis(current_)};
    const bool input = current_ < kInputChannels;
    for (std::size_t i = 0; i < limits_.size(); ++i) {
        limits_[i]->setText(QString::asprintf(format, static_cast<double>(limits[i])));
        limits_[i]->setVisible(input);
        limitLabels_[i]->setVisible(input);
    }
}

void CFileInfoDlg::StoreChannel() {
    if (info_.channels.empty()) return;
    kvr::ChannelInfo& channel = info_.channels[static_cast<std::size_t>(current_)];
    // A channel not in use stays so: the check can only show or hide a curve.
    if (channel.showState != kvr::kChannelNotInUse)
        channel.showState = channelShown_->isChecked() ? 1 : 0;
    channel.color = channelColor_->ColorRef();
    channel.lineWidth = lineWidth_->currentText().toInt();
    // Longer names than the file keeps are refused on OK; the unit is not for editing.
    if (!name_->isReadOnly()) channel.name = name_->text().toStdString();
    channel.signalText = signalText_->text().toStdString();
}

void CFileInfoDlg::StepChannel(int step) {
    StoreChannel();
    current_ = kvr::StepChannel(info_, current_, step);
    ShowChannel();
}

void CFileInfoDlg::ValueModeClicked(int yMode) {
    kvr::SetValueMode(info_, yMode);
    rangeLow_->setText(Number(info_.yLow));
    rangeHigh_->setText(Number(info_.yHigh));
}

void CFileInfoDlg::RestoreDefaults() {
    // Fields the defaults do not cover keep what was typed.
    if (!ReadSettings()) return;
    StoreChannel();
    kvr::ViewDef defaults;
    CXViewDef().GetView(&defaults);
    kvr::RestoreDefaults(info_, defaults);
    ShowSettings();
    ShowChannel();
}

void CFileInfoDlg::accept() {
    if (!ReadSettings()) return;
    StoreChannel();
    if (const auto message = kvr::SaveFileInfo(info_, *file_)) {
        ShowStopMessage(this, QString::fromStdString(*message), NoticeCaption());
        return;
    }
    emit FileEvents::Instance()->DisplaySettingsChanged(file_);
    QDialog::accept();
}
