#include "gui/common/message_box.h"

#include <utility>

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

}  // namespace

QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest& request) {
    if (Hook()) return Hook()(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, request.parent);
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
