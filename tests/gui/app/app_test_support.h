#pragma once
// Shared by the program-shell tests: the application object, a program folder of its own
// per test, sample files made by kvrtool, and a recorder that answers message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "core/datafile/program.h"
#include "gui/app/flow_app.h"
#include "gui/common/message_box.h"
#include "support/test_support.h"

namespace apptest {

// gtest_main owns main(), so the application is made on first use. It is never deleted:
// destroyed among the static objects at exit it would outlive parts of Qt it needs.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "test_gui_app";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    static const bool fontApplied = (CFlowApp::ApplyProgramFont(), true);
    (void)fontApplied;
    return *app;
}

// Lets posted work run, including windows closed with delete-on-close.
inline void Settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

// Every test gets an empty program folder, so Config.ini starts absent.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        kvr::SetProgramFolder(folder_.path());
    }
    void TearDown() override { kvr::SetProgramFolder(""); }
    const kvrtest::TempDir& Folder() const { return folder_; }

private:
    kvrtest::TempDir folder_;
};

// A history file made by kvrtool; fails the test when it cannot be made.
inline std::string MakeSample(const kvrtest::TempDir& dir, const std::string& name,
                              const std::string& options = "--records 120") {
    const std::string path = dir.file(name);
    const kvrtest::CommandResult made = kvrtest::RunTool("kvrtool", "make-sample '" + path + "' " + options);
    EXPECT_EQ(made.exitCode, 0) << made.err;
    return path;
}

inline void WriteBytes(const std::string& path, const QByteArray& bytes) {
    QFile file(Q(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Answers every message box with answer (or OK when it is not offered) and keeps what
// each said.
class MessageRecorder {
public:
    explicit MessageRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer) {
        SetMessageBoxHook([this](const MessageBoxRequest& request) {
            shown_.push_back(request);
            return request.buttons.testFlag(answer_) ? answer_ : QMessageBox::Ok;
        });
    }
    ~MessageRecorder() { SetMessageBoxHook(nullptr); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void SetAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }
    const std::vector<MessageBoxRequest>& Shown() const { return shown_; }
    void Clear() { shown_.clear(); }

private:
    QMessageBox::StandardButton answer_;
    std::vector<MessageBoxRequest> shown_;
};

}  // namespace apptest
