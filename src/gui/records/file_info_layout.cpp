// The controls of the file information dialog and where they sit.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/datafile/cxfile.h"
#include "gui/records/file_info_dlg.h"
#include "gui/settings/color_button.h"

namespace {

// The unit list as the instrument's software offers it; several entries carry trailing
// blanks that belong to them.
const char* const kUnits[] = {
    "km3/h",     "t/h  ",   "L/h  ",  "kg/h  ",  "m3/h  ",  "Nm3/h  ",  "万Nm3/h", "℃  ",
    "℉",         "bar ",    "mbar  ", "mmH2O  ", "mmHg ",   "Pa  ",     "kPa  ",   "MPa  ",
    "atm  ",     "kgf/cm2", "mm  ",   "cm  ",    "m ",      "km",       "kWh  ",   "MW  ",
    "W  ",       "kW  ",    "Wh  ",   "kJ",      "Hz  ",    "kHz  ",    "MHz",     "g  ",
    "kg  ",      "T",       "mV  ",   "mA  ",    "A  ",     "V ",       "kA  ",    "kV",
    "kJ/h  ",    "MJ/h  ",  "GJ/h",   "ppm  ",   "% ",      "千分之  ", "ppmO2  ", "ppmH2  ",
    "%O2  ",     "%LEL",    "NTU  ",  "μg/L  ",  "μg/Kg  ", "rpm  ",    "μS/cm  ", "mS/cm  ",
    "MΩcm  ",    "r/min  ", "PH",     "RH  ",    "N  ",     "mg/L  ",   "g/L  ",   "Kg/m3  ",
    "kcal/m3  ", "m/min  ", "m/s"};

QLineEdit* Edit(QWidget* parent, const char* name, int maxLength = 32767) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    return edit;
}

QString Stamp(kvr::Time t) {
    return QDateTime::fromSecsSinceEpoch(t).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

void CFileInfoDlg::BuildLayout() {
    auto* columns = new QHBoxLayout;
    columns->addWidget(BuildDisplayBox());
    columns->addWidget(BuildChannelBox());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(BuildFileBox());
    layout->addLayout(BuildButtons());
}

QWidget* CFileInfoDlg::BuildDisplayBox() {
    auto* box = new QGroupBox(QStringLiteral("显示设置"), this);
    auto* grid = new QGridLayout(box);
    shortTime_ = new QRadioButton(QStringLiteral("短时间"), box);
    longTime_ = new QRadioButton(QStringLiteral("长时间"), box);
    percent_ = new QRadioButton(QStringLiteral("百分比"), box);
    value_ = new QRadioButton(QStringLiteral("数值"), box);
    percent_->setObjectName(QStringLiteral("percent"));
    value_->setObjectName(QStringLiteral("value"));
    auto* xGroup = new QButtonGroup(box);
    xGroup->addButton(shortTime_);
    xGroup->addButton(longTime_);
    auto* yGroup = new QButtonGroup(box);
    yGroup->addButton(percent_);
    yGroup->addButton(value_);
    connect(percent_, &QRadioButton::clicked, this, [this] { ValueModeClicked(0); });
    connect(value_, &QRadioButton::clicked, this, [this] { ValueModeClicked(1); });

    rangeLow_ = Edit(box, "rangeLow");
    rangeHigh_ = Edit(box, "rangeHigh");
    gridVertical_ = Edit(box, "gridVertical");
    gridHorizontal_ = Edit(box, "gridHorizontal");
    showGrid_ = new QCheckBox(QStringLiteral("显示"), box);
    background_ = new CColorButton(box);
    gridColor_ = new CColorButton(box);
    pieGrid_ = Edit(box, "pieGrid");
    pieTime_ = new QComboBox(box);
    pieTime_->addItems({QStringLiteral("8"), QStringLiteral("12"), QStringLiteral("24")});
    scientific_ = new QCheckBox(QStringLiteral("真空度信号按科学计数显示"), box);
    scientific_->hide();

    int row = 0;
    grid->addWidget(new QLabel(QStringLiteral("X 轴显示方式"), box), row, 0);
    grid->addWidget(shortTime_, row, 1);
    grid->addWidget(longTime_, row++, 2);
    grid->addWidget(new QLabel(QStringLiteral("Y 轴显示方式"), box), row, 0);
    grid->addWidget(percent_, row, 1);
    grid->addWidget(value_, row++, 2);
    grid->addWidget(new QLabel(QStringLiteral("范围："), box), row, 0);
    grid->addWidget(rangeLow_, row, 1);
    grid->addWidget(rangeHigh_, row++, 2);
    grid->addWidget(new QLabel(QStringLiteral("栅格数："), box), row, 0);
    grid->addWidget(gridVertical_, row, 1);
    grid->addWidget(gridHorizontal_, row++, 2);
    grid->addWidget(new QLabel(QStringLiteral("栅格显示"), box), row, 0);
    grid->addWidget(showGrid_, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("背景色："), box), row, 0);
    grid->addWidget(background_, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("栅格色："), box), row, 0);
    grid->addWidget(gridColor_, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("圆图栅格数："), box), row, 0);
    grid->addWidget(pieGrid_, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("圆图时间："), box), row, 0);
    grid->addWidget(pieTime_, row++, 1);
    grid->setRowStretch(row, 1);
    return box;
}

QWidget* CFileInfoDlg::BuildChannelBox() {
    channelBox_ = new QGroupBox(QStringLiteral("通道设置"), this);
    channelBox_->setObjectName(QStringLiteral("channelBox"));
    auto* grid = new QGridLayout(channelBox_);
    channelColor_ = new CColorButton(channelBox_);
    channelShown_ = new QCheckBox(QStringLiteral("显示"), channelBox_);
    channelShown_->setObjectName(QStringLiteral("channelShown"));
    lineWidth_ = new QComboBox(channelBox_);
    lineWidth_->addItems(
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("8")});
    name_ = Edit(channelBox_, "name", static_cast<int>(kvr::kKeptNameBytes));
    unit_ = new QComboBox(channelBox_);
    unit_->setObjectName(QStringLiteral("unit"));
    unit_->setEditable(true);
    for (const char* unit : kUnits) unit_->addItem(QString::fromUtf8(unit));
    unit_->lineEdit()->setMaxLength(static_cast<int>(kvr::kChannelUnitBytes));
    // Every open of the file takes the units from the instrument's configuration.
    unit_->setEnabled(false);
    unit_->setToolTip(QString::fromUtf8(kvr::kUnitNotKept));
    signalText_ = Edit(channelBox_, "signalText", 15);
    signalText_->hide();

    int row = 0;
    grid->addWidget(new QLabel(QStringLiteral("颜色："), channelBox_), row, 0);
    grid->addWidget(channelColor_, row, 1);
    grid->addWidget(channelShown_, row++, 2);
    grid->addWidget(new QLabel(QStringLiteral("线宽："), channelBox_), row, 0);
    grid->addWidget(lineWidth_, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("位号："), channelBox_), row, 0);
    grid->addWidget(name_, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("15字节"), channelBox_), row++, 2);
    grid->addWidget(new QLabel(QStringLiteral("单位："), channelBox_), row, 0);
    grid->addWidget(unit_, row++, 1);
    const char* const labels[] = {"量程下限：",   "量程上限：",   "报警下限：", "报警上限：",
                                  "报警下下限：", "报警上上限：", "回差："};
    for (std::size_t i = 0; i < limits_.size(); ++i) {
        limitLabels_[i] = new QLabel(QString::fromUtf8(labels[i]), channelBox_);
        limits_[i] = Edit(channelBox_, "limit");
        limits_[i]->setReadOnly(true);
        grid->addWidget(limitLabels_[i], row, 0);
        grid->addWidget(limits_[i], row++, 1);
    }
    grid->setRowStretch(row, 1);
    return channelBox_;
}

QWidget* CFileInfoDlg::BuildFileBox() {
    auto* box = new QGroupBox(this);
    auto* grid = new QGridLayout(box);
    alias_ = Edit(box, "alias", static_cast<int>(kvr::kKeptAliasBytes));
    auto* path = Edit(box, "path");
    path->setReadOnly(true);
    path->setText(QString::fromStdString(file_->GetFileName()));
    grid->addWidget(new QLabel(QStringLiteral("设备别名："), box), 0, 0);
    grid->addWidget(alias_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("28字节"), box), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("文件名："), box), 1, 0);
    grid->addWidget(path, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("记录时间："), box), 2, 0);
    grid->addWidget(new QLabel(Stamp(file_->GetStartTime()) + QStringLiteral(" => ") +
                                   Stamp(file_->GetEndTime()),
                               box),
                    2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("记录间隔："), box), 3, 0);
    grid->addWidget(new QLabel(QStringLiteral("%1 S").arg(file_->GetInterval()), box), 3, 1);
    return box;
}

QLayout* CFileInfoDlg::BuildButtons() {
    auto* row = new QHBoxLayout;
    const auto add = [&](const QString& text, const char* name, auto slot) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        row->addWidget(button);
        return button;
    };
    add(QStringLiteral("上一通道"), "previous", [this] { StepChannel(-1); });
    add(QStringLiteral("下一通道"), "next", [this] { StepChannel(+1); });
    add(QStringLiteral("恢复缺省值"), "defaults", [this] { RestoreDefaults(); });
    row->addStretch(1);
    add(QStringLiteral("取消"), "cancel", [this] { reject(); });
    add(QStringLiteral("确认"), "ok", [this] { accept(); })->setDefault(true);
    return row;
}
