#pragma once
// CFlowApp: starts the program as a single instance, makes the main frame and handles the
// application commands (help, About box, language switch with restart).
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "gui/common/language.h"

class CMainFrame;
class SingleInstance;

class CFlowApp : public QObject {
    Q_OBJECT
public:
    CFlowApp();
    ~CFlowApp() override;

    // False when this process is to end now: another instance runs and took the path
    // (filePath, may be empty), or the main frame could not be made.
    bool InitInstance(const QString& filePath);
    CMainFrame* MainFrame() const { return mainFrame_.get(); }

    void OnHelp();
    void OnAbout();
    // Keeps the language choice, closes the program (the user may refuse, for unsaved live
    // data) and starts it again.
    void OnLanguage(Language language);

    // The help page for the language: beside the program, or in the source tree of a
    // build; empty when there is none.
    static QString HelpFilePath(Language language);
    // Requests "宋体" for every window; fontconfig substitutes an installed CJK face.
    static void ApplyProgramFont();

    // Starts the program again; tests replace it. Returns whether it started.
    using Restarter = std::function<bool()>;
    void SetRestarter(Restarter restarter) { restarter_ = std::move(restarter); }

private:
    void RegisterCommands();

    std::unique_ptr<CMainFrame> mainFrame_;
    SingleInstance* instance_ = nullptr;
    Restarter restarter_;
};
