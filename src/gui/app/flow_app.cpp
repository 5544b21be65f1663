#include "gui/app/flow_app.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "core/datafile/program.h"
#include "core/settings/last_dir.h"
#include "gui/app/about_dlg.h"
#include "gui/app/command_actions.h"
#include "gui/app/main_frame.h"
#include "gui/app/single_instance.h"
#include "gui/common/command_ids.h"
#include "gui/common/language.h"

namespace {

QString ProgramFolder() {
    return QFile::decodeName(QByteArray::fromStdString(kvr::GetProgramFolder()));
}

}  // namespace

CFlowApp::CFlowApp() {
    restarter_ = [] {
        return QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
    };
}

CFlowApp::~CFlowApp() = default;

bool CFlowApp::InitInstance(const QString& filePath) {
    instance_ = new SingleInstance(ProgramFolder(), this);
    // A relative path means nothing to the running instance, whose folder differs.
    const QString absolutePath =
        filePath.isEmpty() ? QString() : QFileInfo(filePath).absoluteFilePath();
    if (!instance_->Claim()) {
        if (!absolutePath.isEmpty())
            kvr::WriteLastDir(QFile::encodeName(absolutePath).toStdString());
        instance_->HandOver();
        return false;
    }
    // The language chooses the help file and the outside dialogs' language from the last
    // language switch on.
    SetProgramLanguage(ReadLanguageSetting());
    InstallQtTranslations(ProgramLanguage());
    ApplyProgramFont();

    mainFrame_ = std::make_unique<CMainFrame>();
    RegisterCommands();
    // Queued: opening may ask the user something, which must not run inside the socket's
    // own notification.
    connect(instance_, &SingleInstance::handOverRequested, mainFrame_.get(), &CMainFrame::HandOver,
            Qt::QueuedConnection);
    mainFrame_->showMaximized();
    if (!absolutePath.isEmpty()) mainFrame_->OpenDataFile(absolutePath);
    return true;
}

void CFlowApp::RegisterCommands() {
    CommandActions& actions = mainFrame_->Actions();
    actions.SetFrameHandler(cmd::kHelp, [this] { OnHelp(); });
    actions.SetFrameHandler(cmd::kAbout, [this] { OnAbout(); });
    actions.SetFrameHandler(
        cmd::kChinese, [this] { OnLanguage(Language::kChinese); }, {},
        [] { return ProgramLanguage() == Language::kChinese; });
    actions.SetFrameHandler(
        cmd::kEnglish, [this] { OnLanguage(Language::kEnglish); }, {},
        [] { return ProgramLanguage() == Language::kEnglish; });
    mainFrame_->UpdateCommandStates();
}

void CFlowApp::OnHelp() {
    const QString path = HelpFilePath(ProgramLanguage());
    if (!path.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void CFlowApp::OnAbout() {
    CAboutDlg dialog(mainFrame_.get());
    dialog.exec();
}

void CFlowApp::OnLanguage(Language language) {
    SetProgramLanguage(language);
    WriteLanguageSetting(language);
    // Restart only once the program really ends: unsaved live data may keep it open.
    if (!mainFrame_->close()) return;
    instance_->Release();
    restarter_();
    QCoreApplication::quit();
}

QString CFlowApp::HelpFilePath(Language language) {
    const QString name = language == Language::kEnglish ? QStringLiteral("index-en.html")
                                                        : QStringLiteral("index-zh.html");
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList folders = {programDir + QStringLiteral("/help/"),
                                 programDir + QStringLiteral("/../share/kvr/help/"),
                                 QStringLiteral(KVR_HELP_SOURCE_DIR "/")};
    for (const QString& folder : folders)
        if (QFileInfo(folder + name).isFile()) return folder + name;
    return {};
}

void CFlowApp::ApplyProgramFont() {
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    QApplication::setFont(font);
}
