#pragma once
// Every message box of the program goes through ShowMessageBox, so tests can read what the
// user would be told and answer it without a modal loop.
#include <QMessageBox>
#include <QString>
#include <functional>

struct MessageBoxRequest {
    QWidget* parent = nullptr;
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Returns the button the user chose (QMessageBox::Ok for a plain notice).
QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest& request);
// The same with the Yes and No buttons labelled by the question's own answers.
QMessageBox::StandardButton ShowMessageBox(const MessageBoxRequest& request, const QString& yesText,
                                           const QString& noText);

// Shortcuts for the common kinds: a stopped operation or refused input (stop icon) and a
// plain notice.
void ShowStopMessage(QWidget* parent, const QString& text, const QString& caption);
void ShowPlainMessage(QWidget* parent, const QString& text);

// The caption most boxes carry.
QString NoticeCaption();

// Replaces the modal box (null restores it). The hook's answer is returned to the caller.
using MessageBoxHook = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;
void SetMessageBoxHook(MessageBoxHook hook);
