#include "gui/reports/workbook_path.h"

#include <QDir>
#include <QFileDialog>

#include "gui/common/view_host.h"

namespace {

WorkbookPathHook& Hook() {
    static WorkbookPathHook hook;
    return hook;
}

}  // namespace

void SetWorkbookPathHook(WorkbookPathHook hook) { Hook() = std::move(hook); }

QString AskWorkbookPath(QWidget* parent, const QString& proposedName) {
    if (Hook()) return Hook()(proposedName);
    const ViewHost* host = ViewHost::Instance();
    const QString folder = host ? host->LastDir() : QString();
    QFileDialog dialog(parent, QStringLiteral("Excel Export"), folder,
                       QStringLiteral("Microsoft Excel Sheet(*.xlsx)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}
