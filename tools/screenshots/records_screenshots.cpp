// records_screenshots OUTDIR: renders the configuration report (inputs tab), the alarm list
// and the file information dialog of a generated file into PNG files, for the documentation
// and for looking at the windows by eye.
#include <QApplication>
#include <QDir>

#include "core/analysis/event_lists.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "gui/records/config_report_dlg.h"
#include "gui/records/event_list_dlg.h"
#include "gui/records/file_info_dlg.h"
#include "support/gui_test_support.h"

int main(int argc, char** argv) {
    const QString out = guitest::StartScreenshots(argc, argv);
    if (out.isEmpty()) return 2;
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
    ok &= guitest::SaveScreenshot(report, out + "/config_report.png");
    CEventListDlg alarms(kvr::EventList::kAlarm, &file);
    alarms.resize(560, 420);
    ok &= guitest::SaveScreenshot(alarms, out + "/alarm_list.png");
    CFileInfoDlg info(&file);
    ok &= guitest::SaveScreenshot(info, out + "/file_info.png");
    file.Close();
    QDir(folder).removeRecursively();
    return ok ? 0 : 1;
}
