// upload_screenshot OUTDIR: renders the upload dialog while it uploads the whole memory of
// a simulated recorder at 9600 baud, then cancels; for the documentation.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "gui/common/message_box.h"
#include "gui/upload/upload_dlg.h"
#include "gui/upload/upload_relay.h"
#include "support/gui_test_support.h"
#include "support/pty_pair.h"
#include "support/sim_process.h"

int main(int argc, char** argv) {
    const QString out = guitest::StartScreenshots(argc, argv);
    if (out.isEmpty()) return 2;
    SetMessageBoxHook([](const MessageBoxRequest& request) {
        std::fprintf(stderr, "upload_screenshot: %s\n", qPrintable(request.text));
        return QMessageBox::Ok;
    });

    kvrtest::SimProcess sim({"--family=rtu", "--channels=6"});
    if (!sim.Running()) return 1;
    kvrtest::TempDir dir;
    kvr::ComParam param = kvrtest::TestParams(sim.Path());
    param.baud = 9600;  // the remaining time is estimated for a slow line
    param.intervalBase = 4;
    param.constantBase = 50;
    CUploadDlg dialog(param, kvr::ViewDef{}, QString::fromStdString(dir.path()));
    dialog.Session().Link().SetDelayScale(0);
    dialog.SetSaveNameChooser([&](QWidget*, const QString& proposed) { return proposed; });
    dialog.show();

    bool saved = false;
    int blocks = 0;
    auto* relay = dialog.findChild<UploadRelay*>();
    QObject::connect(relay, &UploadRelay::remainingText, &dialog, [&](const QString&) {
        // A few hundred blocks in, so the bar shows some progress.
        if (saved || ++blocks < 800) return;
        const QString png = out + QStringLiteral("/upload.png");
        saved = guitest::ReportSaved(dialog.grab().save(png), png);
        dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    });
    QObject::connect(relay, &UploadRelay::finished, qApp, &QApplication::quit,
                     Qt::QueuedConnection);
    QTimer::singleShot(1500, &dialog, [&] {
        dialog.findChild<QCheckBox*>(QStringLiteral("uploadAll"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("uploadButton"))->click();
    });
    QTimer::singleShot(120000, qApp, &QApplication::quit);
    QApplication::exec();
    return saved ? 0 : 1;
}
