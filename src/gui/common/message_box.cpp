#include "gui/common/message_box.h"

#include <QAbstractButton>
#include <utility>

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

}  // namespace

QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest& request) {
    return ShowMessageBox(request, QString(), QString());
}

QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest& request, const QString& yesText,
                                           const QString& noText) {
    if (Hook()) return Hook()(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, request.parent);
    if (QAbstractButton* yes = box.button(QMessageBox::Yes); yes && !yesText.isEmpty())
        yes->setText(yesText);
    if (QAbstractButton* no = box.button(QMessageBox::No); no && !noText.isEmpty())
        no->setText(noText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void ShowStopMessage(QWidget* parent, const QString& text, const QString& caption) {
    ShowMessageBox({parent, text, caption, QMessageBox::Critical, QMessageBox::Ok});
}

void ShowPlainMessage(QWidget* parent, const QString& text) {
    ShowMessageBox({parent, text, QString(), QMessageBox::NoIcon, QMessageBox::Ok});
}

QString NoticeCaption() { return QStringLiteral("提示..."); }

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }
