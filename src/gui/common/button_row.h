#pragma once
// The row of two buttons at the foot of a dialog: the default button accepts, the other
// rejects. Texts differ between dialogs ("确定"/"关闭", "跳转"/"关闭"...), the places do not.
#include <QString>

class QDialog;
class QHBoxLayout;

struct DialogButton {
    QString text;
    QString objectName;
};

// Right-aligned; the accepting button is the default one. The caller adds the row to its
// layout.
QHBoxLayout* CreateButtonRow(QDialog* dialog, const DialogButton& accept,
                             const DialogButton& reject);
