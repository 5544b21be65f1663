#pragma once
// Shared by every GUI test and screenshot program: the application object, a program folder
// per test, sample files, answering message boxes and modal dialogs, reading back what a
// widget shows, mouse input with explicit button states, and saving pictures of windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QString>
#include <QStringList>
#include <QTimeEdit>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/datafile/program.h"
#include "core/datafile/sample_file.h"
#include "core/datafile/time.h"
#include "core/view/find_search.h"
#include "gui/app/flow_app.h"
#include "gui/common/list_owner.h"
#include "gui/common/message_box.h"
#include "support/test_support.h"

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace guitest {

// gtest_main owns main(), so the application is made on first use. It is never deleted:
// destroyed among the static objects at exit it would outlive parts of Qt it needs.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "kvr_gui_test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
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

// Lets posted work run, including windows closed with delete-on-close.
inline void Settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

// Every test gets an empty program folder, so Config.ini starts absent, and the program's
// font as the program applies it at start.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        CFlowApp::ApplyProgramFont();
        kvr::SetProgramFolder(folder_.path());
    }
    void TearDown() override { kvr::SetProgramFolder(""); }
    const kvrtest::TempDir& Folder() const { return folder_; }

private:
    kvrtest::TempDir folder_;
};

// ---------------------------------------------------------------------------------------
// Sample files

// A history file made by kvrtool, by default two hours long, which keeps windows quick.
inline std::string MakeSample(const kvrtest::TempDir& dir, const std::string& name,
                              const std::string& options = "--records 120") {
    return kvrtest::MakeSample(dir, name, options);
}

inline void WriteBytes(const std::string& path, const QByteArray& bytes) {
    QFile file(Q(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A data list's owner that counts what the list tells it and keeps the search state.
struct StubListOwner : CListOwner {
    kvr::FindState find;
    int closed = 0;
    int activated = 0;
    void ListClosed(QWidget*) override { ++closed; }
    void ListActivated() override { ++activated; }
    kvr::FindState* ListFindState() override { return &find; }
};

// ---------------------------------------------------------------------------------------
// Message boxes and dialogs

// Answers every message box with answer (or OK when it is not offered) and keeps what
// each said.
class MessageRecorder {
public:
    explicit MessageRecorder(QMessageBox::StandardButton answer = QMessageBox::Yes)
        : answer_(answer) {
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

// Sets the date and time pickers named prefix + "Date" and prefix + "Time" to t.
inline void SetPickers(QWidget* dialog, const char* prefix, kvr::Time t) {
    const kvr::CalendarFields f = kvr::SplitTime(t);
    Child<QDateEdit>(dialog, (std::string(prefix) + "Date").c_str())
        ->setDate(QDate(f.year, f.month, f.day));
    Child<QTimeEdit>(dialog, (std::string(prefix) + "Time").c_str())
        ->setTime(QTime(f.hour, f.minute, f.second));
}

// ---------------------------------------------------------------------------------------
// PDF files, read back with poppler's tools

// Pages of a PDF file as pdfinfo counts them; -1 when it cannot be read.
inline int PdfPages(const std::string& pdf) {
    const std::string info = kvrtest::RunCommand("pdfinfo '" + pdf + "' 2>/dev/null").out;
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// The text of one page of a PDF file (of every page when page is 0), laid out as printed.
inline QString PdfText(const std::string& pdf, int page = 0) {
    const std::string pages =
        page > 0 ? "-f " + std::to_string(page) + " -l " + std::to_string(page) + " " : "";
    return Q(kvrtest::RunCommand("pdftotext -layout " + pages + "'" + pdf + "' - 2>/dev/null").out);
}

// ---------------------------------------------------------------------------------------
// Pixels and mouse

inline QImage Shot(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline int CountPixels(const QImage& image, const QRect& area,
                       const std::function<bool(QColor)>& match) {
    int count = 0;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (match(image.pixelColor(x, y))) ++count;
    return count;
}

inline int CountPixels(const QImage& image, const std::function<bool(QColor)>& match) {
    return CountPixels(image, image.rect(), match);
}

inline int CountColor(const QImage& image, const QRect& area, const QColor& color) {
    return CountPixels(image, area, [&](QColor c) { return c == color; });
}

inline bool IsRed(QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; }

// Mouse events with the button state a drag has (QTest's move carries no buttons).
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(position), QPointF(widget->mapToGlobal(position)), button,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void Drag(QWidget* widget, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(widget, QEvent::MouseButtonPress, from, button, button);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        SendMouse(widget, QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton, button);
    SendMouse(widget, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

// ---------------------------------------------------------------------------------------
// Screenshot programs (PROGRAM OUTDIR)

// Makes the application and returns the output folder named on the command line, made when
// absent; empty, after a usage message, when none is named.
inline QString StartScreenshots(int argc, char** argv) {
    App();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n",
                     qPrintable(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName()));
        return {};
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    return folder;
}

// Says on standard output whether the picture at path was written; returns saved.
inline bool ReportSaved(bool saved, const QString& path) {
    std::printf("%s %s\n", saved ? "wrote" : "cannot write", qPrintable(path));
    return saved;
}

// Shows widget, lets it lay itself out, and saves what it shows.
inline bool SaveScreenshot(QWidget& widget, const QString& path) {
    widget.show();
    QApplication::processEvents();
    return ReportSaved(widget.grab().save(path), path);
}

}  // namespace guitest
