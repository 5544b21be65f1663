#include "gui/navigation/find_dlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/common/message_box.h"

namespace {

std::optional<float> ParseNumber(const QLineEdit* edit) {
    bool ok = false;
    const float value = edit->text().trimmed().toFloat(&ok);
    return ok ? std::optional<float>(value) : std::nullopt;
}

}  // namespace

CFindDlg::CFindDlg(const kvr::CXFile& file, kvr::FindState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setWindowTitle(QStringLiteral("查找"));
    valueEdit_ = new QLineEdit(QString::number(state.value), this);
    valueEdit_->setObjectName(QStringLiteral("valueEdit"));
    toleranceEdit_ = new QLineEdit(QString::number(state.tolerance), this);
    toleranceEdit_->setObjectName(QStringLiteral("toleranceEdit"));
    channelList_ = new QComboBox(this);
    channelList_->setObjectName(QStringLiteral("channelList"));
    channelList_->addItem(QStringLiteral("所有通道"));
    for (int c = 0; c < file.GetChannelCount(); ++c)
        channelList_->addItem(QString::fromStdString(file.GetChannelName(c)));
    channelList_->setCurrentIndex(std::clamp(state.channel, 0, channelList_->count() - 1));

    auto* startBox = new QGroupBox(QStringLiteral("开始位置"), this);
    auto* startLayout = new QVBoxLayout(startBox);
    const QString startTexts[3] = {QStringLiteral("开始时间"), QStringLiteral("结束时间"),
                                   QStringLiteral("标签位置")};
    for (int i = 0; i < 3; ++i) {
        startRadios_[i] = new QRadioButton(startTexts[i], startBox);
        startRadios_[i]->setObjectName(QStringLiteral("startRadio%1").arg(i));
        startLayout->addWidget(startRadios_[i]);
    }
    auto* directionBox = new QGroupBox(QStringLiteral("查找方向"), this);
    auto* directionLayout = new QHBoxLayout(directionBox);
    const QString directionTexts[2] = {QStringLiteral("向下"), QStringLiteral("向上")};
    for (int i = 0; i < 2; ++i) {
        directionRadios_[i] = new QRadioButton(directionTexts[i], directionBox);
        directionRadios_[i]->setObjectName(QStringLiteral("directionRadio%1").arg(i));
        directionLayout->addWidget(directionRadios_[i]);
    }
    startRadios_[std::clamp(state.startPosition, 0, 2)]->setChecked(true);
    directionRadios_[state.direction == kvr::FindState::kBackward ? 1 : 0]->setChecked(true);
    for (QRadioButton* radio : startRadios_)
        connect(radio, &QRadioButton::clicked, this, [this] { newSearch_ = true; });
    for (QRadioButton* radio : directionRadios_)
        connect(radio, &QRadioButton::clicked, this, [this] { newSearch_ = true; });

    auto* findNext = new QPushButton(QStringLiteral("查找下一个(&F)"), this);
    findNext->setObjectName(QStringLiteral("findNextButton"));
    findNext->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(findNext, &QPushButton::clicked, this, &CFindDlg::OnFindNext);
    connect(cancel, &QPushButton::clicked, this, &CFindDlg::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("查找数值："), valueEdit_);
    form->addRow(QStringLiteral("容差："), toleranceEdit_);
    form->addRow(QStringLiteral("通道："), channelList_);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* choices = new QHBoxLayout;
    choices->addWidget(startBox);
    choices->addWidget(directionBox);
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addLayout(choices);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
}

bool CFindDlg::ReadFields() {
    const std::optional<float> value = ParseNumber(valueEdit_);
    const std::optional<float> tolerance = ParseNumber(toleranceEdit_);
    if (!value || !tolerance) {
        ShowMessageBox({this, QStringLiteral("请输入一个数字。"), NoticeCaption(),
                        QMessageBox::Information, QMessageBox::Ok});
        (value ? toleranceEdit_ : valueEdit_)->setFocus();
        return false;
    }
    state_.value = *value;
    state_.tolerance = *tolerance;
    state_.channel = channelList_->currentIndex();
    for (int i = 0; i < 3; ++i)
        if (startRadios_[i]->isChecked()) state_.startPosition = i;
    state_.direction =
        directionRadios_[1]->isChecked() ? kvr::FindState::kBackward : kvr::FindState::kForward;
    return true;
}

void CFindDlg::OnFindNext() {
    if (!ReadFields()) return;
    if (newSearch_) {
        state_.searchTime = 0;
        newSearch_ = false;
    }
    emit findStepRequested();
}
