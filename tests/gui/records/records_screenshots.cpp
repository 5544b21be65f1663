// records_screenshots OUTDIR: renders the configuration report (inputs tab), the alarm list
// and the file information dialog of a generated file into PNG files, for the documentation
// and for looking at the windows by eye.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "core/analysis/event_lists.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "gui/records/config_report_dlg.h"
#include "gui/records/event_list_dlg.h"
#include "gui/records/file_info_dlg.h"

namespace {
bool Save(QWidget& widget, const QString& path) {
    widget.show();
    QApplication::processEvents();
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "cannot write", qPrintable(path));
    return saved;
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: records_screenshots OUTDIR\n");
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    // A fixed path: the file information dialog shows it, and the pictures should come out
    // the same every time.
    const QString folder = QDir::temp().filePath(QStringLiteral("kvr-records-screenshots"));
    QDir().mkpath(folder);
    const std::string path = (folder + QStringLiteral("/records.FDZ")).toStdString();
    if (!kvr::WriteSampleFile(path, kvr::SampleOptions{})) return 1;
    kvr::CXFile file;
    if (file.Open(path) != 1) return 1;

    bool ok = true;
    CConfigReportDlg report(&file);
    report.SelectTab(1);
    report.resize(560, 560);
    ok &= Save(report, out + "/config_report.png");
    CEventListDlg alarms(kvr::EventList::Alarm, &file);
    alarms.resize(560, 420);
    ok &= Save(alarms, out + "/alarm_list.png");
    CFileInfoDlg info(&file);
    ok &= Save(info, out + "/file_info.png");
    file.Close();
    QDir(folder).removeRecursively();
    return ok ? 0 : 1;
}
