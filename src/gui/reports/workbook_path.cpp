#include "gui/reports/workbook_path.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

#include "core/analysis/table_workbook.h"
#include "core/sys/sys_io.h"
#include "gui/common/message_box.h"
#include "gui/common/view_host.h"
#include "widgets/file_dialog_locale.h"

namespace {

WorkbookPathHook& Hook() {
    static WorkbookPathHook hook;
    return hook;
}

QString AskInDialog(QWidget* parent, const QString& proposedName) {
    const ViewHost* host = ViewHost::Instance();
    const QString folder = host ? host->LastDir() : QString();
    QFileDialog dialog(parent, QStringLiteral("Excel Export"), folder,
                       QStringLiteral("Microsoft Excel Sheet(*.xlsx)"));
    UseProgramLocale(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

}  // namespace

void SetWorkbookPathHook(WorkbookPathHook hook) { Hook() = std::move(hook); }

QString AskWorkbookPath(QWidget* parent, const QString& proposedName,
                        const std::string& sourceFile) {
    const QString chosen = Hook() ? Hook()(proposedName) : AskInDialog(parent, proposedName);
    if (!chosen.isEmpty() &&
        kvr::sysio::IsSameFile(QFile::encodeName(chosen).toStdString(), sourceFile)) {
        ShowStopMessage(parent, QString::fromUtf8(kvr::kTargetIsSource), NoticeCaption());
        return {};
    }
    return chosen;
}
