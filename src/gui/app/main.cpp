#include <unistd.h>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "core/datafile/program.h"
#include "gui/app/child_frame.h"
#include "gui/app/flow_app.h"
#include "gui/app/main_frame.h"
#include "gui/app/print_pdf.h"
#include "gui/app/screenshot.h"
#include "gui/common/command_ids.h"
#include "gui/common/command_target.h"
#include "gui/common/language.h"
#include "gui/common/message_box.h"
#include "gui/realtime/rc_view.h"

namespace {

using Clock = std::chrono::steady_clock;

// Config.ini, the "Data" folder and the live buffer live in the program folder. A folder
// given in KVR_PROGRAM_FOLDER wins (tests, portable installs); a folder the user cannot
// write to (a system install) gives way to the per-user data folder.
void ChooseProgramFolder() {
    const QByteArray chosen = qgetenv("KVR_PROGRAM_FOLDER");
    if (!chosen.isEmpty()) {
        QDir().mkpath(QFile::decodeName(chosen));
        kvr::SetProgramFolder(chosen.toStdString());
        return;
    }
    if (::access(kvr::GetProgramFolder().c_str(), W_OK) == 0) return;
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!perUser.isEmpty() && QDir().mkpath(perUser))
        kvr::SetProgramFolder(QFile::encodeName(perUser).toStdString());
}

// Message boxes cannot be answered without a user: say them on stderr instead.
void ReportMessagesOnStderr() {
    SetMessageBoxHook([](const MessageBoxRequest& request) {
        std::fprintf(stderr, "KVR: %s\n", request.text.toLocal8Bit().constData());
        return QMessageBox::Ok;
    });
}

// Opens the realtime window and starts the acquisition at once.
void StartRealtime(CMainFrame& frame) {
    frame.ShowRealtimeWindow();
    CChildFrame* child = frame.RealtimeFrame();
    if (auto* target = child ? dynamic_cast<CommandTarget*>(child->View()) : nullptr)
        target->ExecuteCommand(cmd::kStartAcquisition);
}

// Lets the program run for the given seconds (timers, acquisition) before going on.
void RunFor(double seconds) {
    if (seconds <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

int RunScreenshot(const QString& pngPath, const QString& filePath, bool realtime, double after) {
    ReportMessagesOnStderr();
    SetProgramLanguage(ReadLanguageSetting());
    InstallQtTranslations(ProgramLanguage());
    CFlowApp::ApplyProgramFont();
    CMainFrame frame;
    frame.resize(1600, 1000);
    frame.show();
    if (!filePath.isEmpty()) frame.OpenDataFile(QFileInfo(filePath).absoluteFilePath());
    if (realtime) StartRealtime(frame);
    RunFor(after);
    if (!SaveScreenshot(&frame, QSize(1600, 1000), pngPath)) {
        std::fprintf(stderr, "KVR: cannot write %s\n", QFile::encodeName(pngPath).constData());
        return 1;
    }
    std::printf("KVR: window written to %s\n", QFile::encodeName(pngPath).constData());
    return 0;
}

// Prints the time from main() to the first paint of the main window, then ends.
class StartupTimer : public QObject {
public:
    explicit StartupTimer(Clock::time_point started) : started_(started) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
            std::printf("KVR start-up: %.1f ms from main() to the first paint of the main window\n",
                        ms);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Clock::time_point started_;
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const Clock::time_point started = Clock::now();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVR"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("KVR: flow totalizer data management"));
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Open FILE (if given), write the main window at 1600x1000 to PNG, exit."),
        QStringLiteral("PNG"));
    const QCommandLineOption startupTime(
        QStringLiteral("startup-time"),
        QStringLiteral(
            "Print the milliseconds from start to the first painted main window, exit."));
    const QCommandLineOption after(
        QStringLiteral("after"),
        QStringLiteral("With --screenshot: run S seconds before writing the PNG."),
        QStringLiteral("S"));
    const QCommandLineOption realtime(
        QStringLiteral("realtime"),
        QStringLiteral("Open the realtime window and start the acquisition."));
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("With --realtime: the serial device instead of the saved one."),
        QStringLiteral("DEV"));
    parser.addOption(screenshot);
    parser.addOption(startupTime);
    parser.addOption(after);
    parser.addOption(realtime);
    parser.addOption(port);
    const QCommandLineOption printPdf(
        QStringLiteral("print-pdf"),
        QStringLiteral("Print FILE as the print command would into a PDF, exit."),
        QStringLiteral("PDF"));
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("Print from this time."),
                                  QStringLiteral("T"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("Print up to this time."),
                                QStringLiteral("T"));
    const QCommandLineOption continuous(QStringLiteral("continuous"),
                                        QStringLiteral("Print pages of 2000 records each."));
    parser.addOption(printPdf);
    parser.addOption(from);
    parser.addOption(to);
    parser.addOption(continuous);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A data file to open."));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    const QString filePath = files.isEmpty() ? QString() : files.front();

    ChooseProgramFolder();
    if (parser.isSet(port))
        CRCView::SetPortOverride(QFile::encodeName(parser.value(port)).toStdString());
    if (parser.isSet(screenshot))
        return RunScreenshot(parser.value(screenshot), filePath, parser.isSet(realtime),
                             parser.value(after).toDouble());
    if (parser.isSet(printPdf)) {
        ReportMessagesOnStderr();
        CFlowApp::ApplyProgramFont();
        return RunPrintPdf({parser.value(printPdf), filePath, parser.value(from), parser.value(to),
                            parser.isSet(continuous)});
    }

    CFlowApp flowApp;
    if (parser.isSet(startupTime)) ReportMessagesOnStderr();
    if (!flowApp.InitInstance(filePath)) return 0;
    StartupTimer timer(started);
    if (parser.isSet(startupTime)) flowApp.MainFrame()->installEventFilter(&timer);
    if (parser.isSet(realtime))
        QTimer::singleShot(0, flowApp.MainFrame(),
                           [&flowApp] { StartRealtime(*flowApp.MainFrame()); });
    return app.exec();
}
