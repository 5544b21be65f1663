#include "gui/common/button_row.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout* CreateButtonRow(QDialog* dialog, const DialogButton& accept,
                             const DialogButton& reject) {
    auto* ok = new QPushButton(accept.text, dialog);
    ok->setObjectName(accept.objectName);
    ok->setDefault(true);
    auto* cancel = new QPushButton(reject.text, dialog);
    cancel->setObjectName(reject.objectName);
    // accept() and reject() are virtual: a dialog that checks its input in accept() keeps
    // doing so.
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
