#pragma once
// Shared by the data-list and navigation tests: the application object, sample files,
// answering message boxes and modal dialogs, and reading back what a widget shows.
#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "gui/common/message_box.h"
#include "support/test_support.h"

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace listtest {

// gtest_main owns main(), so the application is made on first use.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "test_gui_lists";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never deleted: destroyed among the static objects at exit it would outlive parts of
    // Qt it needs.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Made before any test fixture, as fixtures may hold widgets.
class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { App(); }
};
inline ::testing::Environment* const kAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

inline kvr::Time T0() { return kvr::MakeTime({2026, 1, 5, 0, 0, 0}); }

// A sample file in dir whose sample of channel c at record r is c * 1000 + r.
inline std::unique_ptr<kvr::CXFile> OpenSample(const kvrtest::TempDir& dir, kvr::SampleOptions options,
                                               const std::string& name = "sample.FDZ") {
    if (!options.sample) options.sample = kvr::RampSample;
    const std::string path = dir.file(name);
    std::string error;
    if (!kvr::WriteSampleFile(path, options, &error)) {
        ADD_FAILURE() << "sample file: " << error;
        return nullptr;
    }
    auto file = std::make_unique<kvr::CXFile>();
    if (file->Open(path) != 1) {
        ADD_FAILURE() << "cannot open " << path;
        return nullptr;
    }
    return file;
}

inline kvr::SampleOptions Records(int records, int interval = 60, int tags = 0) {
    kvr::SampleOptions options;
    options.records = records;
    options.interval = interval;
    options.tags = tags;
    return options;
}

// Answers every message box and remembers what it said.
class MessageRecorder {
public:
    explicit MessageRecorder(QMessageBox::StandardButton answer = QMessageBox::Yes) : answer_(answer) {
        SetMessageBoxHook([this](const MessageBoxRequest& request) {
            shown_.push_back(request);
            return request.buttons.testFlag(answer_) ? answer_ : QMessageBox::Ok;
        });
    }
    ~MessageRecorder() { SetMessageBoxHook(nullptr); }
    void SetAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }
    const std::vector<MessageBoxRequest>& Shown() const { return shown_; }
    QStringList Texts() const {
        QStringList texts;
        for (const MessageBoxRequest& r : shown_) texts << r.text;
        return texts;
    }
    void Clear() { shown_.clear(); }

private:
    QMessageBox::StandardButton answer_;
    std::vector<MessageBoxRequest> shown_;
};

// Runs action on the next modal dialog once the code under test has opened it.
inline void WhenModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

template <typename T>
T* Child(QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << "no child named " << name;
    return child;
}

inline std::string RunCommand(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

}  // namespace listtest
