#include "gui/records/config_report_dlg.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabBar>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

#include "core/analysis/config_report.h"
#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"

namespace {

// The report's lines end with "\r\n", and its columns are separated by runs of tabs and
// lone carriage returns measured for one font and one tab width. The edit shows the lines
// with one tab between two columns; the tab stops then come from the widest cell, so the
// columns line up in whatever font the edit has.
QString DisplayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    static const QRegularExpression separator(QStringLiteral("[\r\t]*\t[\r\t]*"));
    shown.replace(separator, QStringLiteral("\t"));
    shown.remove(QLatin1Char('\r'));
    return shown;
}

constexpr int kMinTextWidth = 460;
constexpr int kColumnGap = 24;

// The tab stop that puts every column clear of the widest cell before it, and the width
// the widest line then needs; no tab stop (0) when no line has columns.
std::pair<int, int> ColumnLayout(const QString& text, const QFontMetrics& metrics) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    int widestCell = 0;
    for (const QString& line : lines) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        for (qsizetype k = 0; k + 1 < cells.size(); ++k)
            widestCell = std::max(widestCell, metrics.horizontalAdvance(cells[k]));
    }
    const int tabStop = widestCell > 0 ? widestCell + kColumnGap : 0;
    int widestLine = 0;
    for (const QString& line : lines) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        widestLine = std::max(widestLine, static_cast<int>(cells.size() - 1) * tabStop +
                                              metrics.horizontalAdvance(cells.back()));
    }
    return {tabStop, widestLine};
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
    const QString shown = text ? DisplayText(*text) : QString();
    const auto [tabStop, widest] = ColumnLayout(shown, text_->fontMetrics());
    if (tabStop > 0) text_->setTabStopDistance(tabStop);
    // Wide enough for the widest line, so that no column hides past the right edge.
    const int margins = static_cast<int>(2 * text_->document()->documentMargin()) +
                        2 * text_->frameWidth() + text_->verticalScrollBar()->sizeHint().width();
    text_->setMinimumWidth(std::max(kMinTextWidth, widest + margins + 4));
    text_->setPlainText(shown);
}
