#include "gui/settings/view_def_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/settings/display_defaults.h"
#include "gui/common/language.h"
#include "gui/settings/color_button.h"
#include "gui/settings/settings_dialog.h"

namespace {

QDoubleSpinBox* RangeBox(QWidget* parent, float value) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(-1e9, 1e9);
    box->setDecimals(3);
    box->setValue(value);
    return box;
}

QSpinBox* CountBox(QWidget* parent, int low, int high, int value) {
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

}  // namespace

CViewDefDlg::CViewDefDlg(const kvr::ViewDef& view, Language language, QWidget* parent)
    : QDialog(parent), language_(language), original_(view) {
    setWindowTitle(LanguageText(language, "缺省显示设置", "Default Display Settings"));
    auto* form = new QFormLayout;

    xMode_ = new QComboBox(this);
    xMode_->addItems({LanguageText(language, "时间", "Time"),
                      LanguageText(language, "日期和时间", "Date and time")});
    xMode_->setCurrentIndex(view.xMode ? 1 : 0);
    form->addRow(LanguageText(language, "X轴标注:", "X axis labels:"), xMode_);

    yMode_ = new QComboBox(this);
    yMode_->addItems({LanguageText(language, "百分比", "Percent"),
                      LanguageText(language, "工程量", "Engineering value")});
    yMode_->setCurrentIndex(view.yMode ? 1 : 0);
    form->addRow(LanguageText(language, "Y轴标注:", "Y axis labels:"), yMode_);

    yLow_ = RangeBox(this, view.yLow);
    yHigh_ = RangeBox(this, view.yHigh);
    form->addRow(LanguageText(language, "Y轴下限:", "Y axis low:"), yLow_);
    form->addRow(LanguageText(language, "Y轴上限:", "Y axis high:"), yHigh_);

    gridCount1_ = CountBox(this, 1, 100, view.gridCount1 ? view.gridCount1 : 1);
    gridCount2_ = CountBox(this, 1, 100, view.gridCount2 ? view.gridCount2 : 1);
    form->addRow(LanguageText(language, "纵向网格数:", "Vertical grid lines:"), gridCount1_);
    form->addRow(LanguageText(language, "横向网格数:", "Horizontal grid lines:"), gridCount2_);

    gridColor_ = new CColorButton(this);
    gridColor_->SetColorRef(view.gridColor);
    backgroundColor_ = new CColorButton(this);
    backgroundColor_->SetColorRef(view.backgroundColor);
    form->addRow(LanguageText(language, "网格颜色:", "Grid colour:"), gridColor_);
    form->addRow(LanguageText(language, "背景颜色:", "Background colour:"), backgroundColor_);

    realtimeInterval_ =
        CountBox(this, 1, 86400, view.realtimeInterval > 0 ? view.realtimeInterval : 60);
    realtimeInterval_->setSuffix(LanguageText(language, " 秒", " s"));
    form->addRow(LanguageText(language, "实时记录间隔:", "Realtime record interval:"),
                 realtimeInterval_);

    auto* colours = new QGroupBox(LanguageText(language, "曲线颜色", "Curve colours"), this);
    auto* grid = new QGridLayout(colours);
    for (int i = 0; i < 8; ++i) {
        curveColors_[i] = new CColorButton(colours);
        curveColors_[i]->SetColorRef(view.curveColors[i]);
        grid->addWidget(new QLabel(QString::number(i + 1), colours), i / 4, (i % 4) * 2);
        grid->addWidget(curveColors_[i], i / 4, (i % 4) * 2 + 1);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(LanguageText(language, "确定", "OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(LanguageText(language, "取消", "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CViewDefDlg::OnOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(colours);
    layout->addWidget(buttons);
}

void CViewDefDlg::OnOk() {
    // An empty value range would make every new file's curves divide by zero.
    if (!(yLow_->value() < yHigh_->value())) {
        ShowSettingsMessage(this, language_,
                            LanguageText(language_, "Y轴上限必须大于下限！",
                                         "The Y axis high must be above the low."));
        return;
    }
    // The file keeps the interval in 16 bits: a longer one would change every time in it.
    if (kvr::CheckRecordInterval(realtimeInterval_->value())) {
        ShowSettingsMessage(this, language_,
                            LanguageText(language_, "实时记录间隔必须在1到65535秒之间！",
                                         "The realtime record interval must be 1 to 65535 s."));
        return;
    }
    accept();
}

kvr::ViewDef CViewDefDlg::View() const {
    kvr::ViewDef view = original_;
    view.xMode = static_cast<std::uint8_t>(xMode_->currentIndex());
    view.yMode = static_cast<std::uint8_t>(yMode_->currentIndex());
    view.yLow = static_cast<float>(yLow_->value());
    view.yHigh = static_cast<float>(yHigh_->value());
    view.gridCount1 = static_cast<std::uint8_t>(gridCount1_->value());
    view.gridCount2 = static_cast<std::uint8_t>(gridCount2_->value());
    view.gridColor = gridColor_->ColorRef();
    view.backgroundColor = backgroundColor_->ColorRef();
    for (int i = 0; i < 8; ++i) view.curveColors[i] = curveColors_[i]->ColorRef();
    view.realtimeInterval = realtimeInterval_->value();
    return view;
}
