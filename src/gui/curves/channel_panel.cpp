#include "gui/curves/channel_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <algorithm>

#include "core/datafile/cxfile.h"
#include "gui/common/color_ref.h"
#include "gui/common/message_box.h"
#include "gui/curves/curve_ctrl.h"

namespace {

constexpr std::uint8_t kHidden = 0;
constexpr std::uint8_t kShown = 1;
constexpr std::uint8_t kNotInUse = 2;
constexpr int kPageRows = 5;

}  // namespace

CChannelPanel::CChannelPanel(QWidget* parent) : QWidget(parent) {
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setObjectName(QStringLiteral("channelScroll%1").arg(kScrollBarId));
    scrollBar_->setRange(0, kScrollMaximum);
    scrollBar_->setSingleStep(1);
    scrollBar_->setPageStep(kPageRows);
    connect(scrollBar_, &QScrollBar::actionTriggered, this, &CChannelPanel::OnScrollAction);
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this] { RebuildControls(); });
}

void CChannelPanel::LayoutPanel() {
    if (QWidget* parent = parentWidget())
        setGeometry(parent->width() - kWidth, y(), kWidth, parent->height());
    if (!shown_) {
        hide();
        return;
    }
    show();
    RebuildControls();
}

void CChannelPanel::ClearRows() {
    // Later deletion: a rebuild may run inside a check box's own signal.
    for (QWidget* row : squares_) {
        row->hide();
        row->deleteLater();
    }
    for (QWidget* row : checkBoxes_) {
        row->hide();
        row->deleteLater();
    }
    squares_.clear();
    checkBoxes_.clear();
}

void CChannelPanel::RebuildControls() {
    scrollBar_->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, height());
    ClearRows();
    if (!file_) return;
    int top = -scrollBar_->value() * kRowHeight + 6;
    const int count = std::clamp(file_->GetChannelCount(), 0, kvr::kMaxChannels);
    for (int c = 0; c < count; ++c) {
        const kvr::ChannelDescriptor& channel = file_->Header().channels[c];
        if (channel.showState == kNotInUse) continue;

        auto* square = new QLabel(QStringLiteral("■"), this);
        square->setObjectName(QStringLiteral("channelColor%1").arg(kFirstColorId + c));
        square->setAlignment(Qt::AlignCenter);
        QPalette palette = square->palette();
        palette.setColor(QPalette::WindowText, ColorFromRef(channel.color));
        square->setPalette(palette);
        square->setGeometry(2, top, 15, kRowHeight);

        auto* box = new QCheckBox(QString::fromStdString(file_->GetChannelName(c)), this);
        box->setObjectName(QStringLiteral("channelCheck%1").arg(kFirstCheckId + c));
        box->setProperty("channel", c);
        box->setChecked(channel.showState == kShown);
        box->setGeometry(2 + 15 + 5, top - 6, 110, kRowHeight);
        connect(box, &QCheckBox::clicked, this, [this, c] { OnChannelClicked(c); });
        ShowAlarmOf(box, c);

        square->show();
        box->show();
        squares_.push_back(square);
        checkBoxes_.push_back(box);
        top += kRowHeight;
    }
    scrollBar_->raise();
}

QCheckBox* CChannelPanel::CheckBoxOf(int channel) const {
    for (QCheckBox* box : checkBoxes_)
        if (box->property("channel").toInt() == channel) return box;
    return nullptr;
}

void CChannelPanel::SetAlarms(std::map<int, QString> alarms) {
    if (alarms == alarms_) return;
    alarms_ = std::move(alarms);
    for (QCheckBox* box : checkBoxes_) ShowAlarmOf(box, box->property("channel").toInt());
}

void CChannelPanel::ShowAlarmOf(QCheckBox* box, int channel) const {
    if (!file_) return;
    const QString name = QString::fromStdString(file_->GetChannelName(channel));
    const auto alarm = alarms_.find(channel);
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, alarm == alarms_.end()
                                               ? this->palette().color(QPalette::WindowText)
                                               : QColor(255, 0, 0));
    box->setPalette(palette);
    // The kinds go on a second line: the strip is too narrow for both on one.
    box->setText(alarm == alarms_.end() ? name : name + QLatin1Char('\n') + alarm->second);
}

void CChannelPanel::OnScrollAction(int action) {
    const int value = scrollBar_->value();
    const int minimum = scrollBar_->minimum();
    const int maximum = scrollBar_->maximum();
    // A step that would leave the range leaves the position where it is.
    const auto step = [&](int by) {
        return value + by >= minimum && value + by <= maximum ? value + by : value;
    };
    int position = value;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: position = step(-1); break;
        case QAbstractSlider::SliderSingleStepAdd: position = step(+1); break;
        case QAbstractSlider::SliderPageStepSub: position = step(-kPageRows); break;
        case QAbstractSlider::SliderPageStepAdd: position = step(+kPageRows); break;
        case QAbstractSlider::SliderToMinimum: position = minimum; break;
        case QAbstractSlider::SliderToMaximum: position = maximum; break;
        case QAbstractSlider::SliderMove: position = scrollBar_->sliderPosition(); break;
        default: return;
    }
    scrollBar_->setSliderPosition(position);
}

void CChannelPanel::OnChannelClicked(int channel) {
    if (!file_ || channel >= kToggledChannels) return;
    std::uint8_t& state = file_->Header().channels[channel].showState;
    state = state == kShown ? kHidden : kShown;
    if (file_->FlushHeader()) {
        if (target_) target_->redrawCurves();
    } else {
        ShowStopMessage(this, QStringLiteral("保存文件信息失败！"), NoticeCaption());
    }
}
