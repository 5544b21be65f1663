#include "gui/records/config_report_dlg.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "core/analysis/config_report.h"
#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"

namespace {

// The report's lines end with "\r\n" and some separators hold a lone "\r"; the edit shows
// the lines, not the carriage returns.
QString DisplayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.remove(QLatin1Char('\r'));
    return shown;
}

}  // namespace

CConfigReportDlg::CConfigReportDlg(kvr::CXFile* file, QWidget* parent)
    : QDialog(parent), file_(file), tabs_(new QTabBar(this)), text_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("组态信息"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setMinimumSize(460, 360);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(text_, 1);
    layout->addWidget(buttons);

    if (file_) {
        for (int tab = 0; tab < kvr::ConfigReportTabCount(file_->GetVersion()); ++tab)
            tabs_->addTab(QString::fromStdString(kvr::ConfigReportTabTitle(tab)));
        ShowTab(0);
    }
    connect(tabs_, &QTabBar::currentChanged, this, &CConfigReportDlg::ShowTab);
}

int CConfigReportDlg::TabCount() const { return tabs_->count(); }

QString CConfigReportDlg::TabTitle(int tab) const { return tabs_->tabText(tab); }

void CConfigReportDlg::SelectTab(int tab) { tabs_->setCurrentIndex(tab); }

QString CConfigReportDlg::Text() const { return text_->toPlainText(); }

void CConfigReportDlg::ShowTab(int tab) {
    if (!file_) return;
    const auto text = kvr::ConfigReportText(kvr::ConfigRecord(*file_), tab);
    text_->setPlainText(text ? DisplayText(*text) : QString());
}
