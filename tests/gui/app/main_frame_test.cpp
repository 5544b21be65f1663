// The main frame as a user meets it: menus, accelerators, toolbars and status bar, opening
// files by every route, the realtime window and the close questions.
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <map>
#include <set>

#include "core/datafile/cxfile.h"
#include "core/datafile/layout.h"
#include "core/link/live_record.h"
#include "core/settings/last_dir.h"
#include "gui/app/child_frame.h"
#include "gui/app/command_actions.h"
#include "gui/app/command_table.h"
#include "gui/app/main_frame.h"
#include "gui/app/mdi_background.h"
#include "gui/app/view_factory.h"
#include "gui/common/command_ids.h"
#include "gui/common/command_target.h"
#include "gui/common/realtime_target.h"
#include "gui/common/view_host.h"
#include "gui/common/window_commands.h"
#include "gui/history/hc_view.h"
#include "gui/lists/list_view.h"
#include "gui/reports/cumu_show_view.h"
#include "gui/upload/upload_dlg.h"
#include "support/gui_test_support.h"

namespace {

using guitest::MessageRecorder;
using guitest::Q;

const QString kNewerVersion = QStringLiteral("请用高版本软件打开该文件,如有疑问,请与厂家联系!");
const QString kUnsupported = QStringLiteral("不支持的文件格式!");

// Menu contents as "text=id" lines, "-" for separators and "[title]" before a submenu's
// lines, which carry "title/" in front.
QStringList Describe(const QMenu* menu, const QString& prefix = {}) {
    QStringList lines;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            lines << prefix + "-";
        } else if (action->menu()) {
            lines << prefix + "[" + action->text() + "]";
            lines << Describe(action->menu(), prefix + action->text() + "/");
        } else {
            lines << prefix + action->text() + "=" + QString::number(action->data().toInt());
        }
    }
    return lines;
}

std::vector<int> ToolbarIds(const QToolBar* toolBar) {
    std::vector<int> ids;
    for (QAction* action : toolBar->actions())
        ids.push_back(action->isSeparator() ? 0 : action->data().toInt());
    return ids;
}

class FakeView : public QWidget, public CommandTarget {
public:
    std::set<int> handled;
    std::set<int> checked;
    std::vector<int> executed;
    bool enabled = true;
    int activations = 0;

    bool HandlesCommand(int id) const override { return handled.count(id) != 0; }
    bool IsCommandEnabled(int) const override { return enabled; }
    bool IsCommandChecked(int id) const override { return checked.count(id) != 0; }
    void ExecuteCommand(int id) override { executed.push_back(id); }
    void OnActivated() override { ++activations; }
};

class FakeRealtimeView : public FakeView, public RealtimeTarget {
public:
    bool saved = false;
    bool saveSucceeds = true;
    int stops = 0;
    int saves = 0;

    bool IsSaved() const override { return saved; }
    void StopAcquisition() override { ++stops; }
    bool SaveRealtimeFile() override {
        ++saves;
        return saveSucceeds;
    }
};

class MainFrameTest : public guitest::ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        frame_ = std::make_unique<CMainFrame>();
        frame_->resize(1200, 800);
        frame_->show();
        frame_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    }
    void TearDown() override {
        frame_.reset();
        ProgramFolderTest::TearDown();
    }

    QStringList Titles() const {
        QStringList titles;
        for (CChildFrame* child : frame_->Frames()) titles << child->windowTitle();
        return titles;
    }

    // A child window around a view the test controls, as the frame would show it.
    CChildFrame* AddChild(QWidget* view, bool realtime = false) {
        auto* child = new CChildFrame;
        child->SetRealtime(realtime);
        child->Create(view, frame_->Actions());
        frame_->MdiArea()->addSubWindow(child);
        child->show();
        frame_->MdiArea()->setActiveSubWindow(child);
        frame_->UpdateCommandStates();
        return child;
    }

    QAction* Action(int id) const { return frame_->Actions().Action(id); }

    std::unique_ptr<CMainFrame> frame_;
};

TEST_F(MainFrameTest, MenuBarShowsEveryItemInOrder) {
    const QStringList expected = {
        "[文件(&F)]",
        "文件(&F)/打开历史文件(&O)...\tCtrl+O=57601",
        "文件(&F)/Excel   导出(&E)...\tCtrl+E=32824",
        "文件(&F)/-",
        "文件(&F)/采集实时数据(&F)...\tCtrl+R=32801",
        "文件(&F)/保存实时文件(&S)\tCtrl+S=57603",
        "文件(&F)/-",
        "文件(&F)/打印(&P)=32836",
        "文件(&F)/打印预览(&V)=32837",
        "文件(&F)/连续打印(&G)=32835",
        "文件(&F)/-",
        "文件(&F)/关闭窗口(&W)\tCtrl+W=57602",
        "文件(&F)/退出程序(&X)=57665",
        "[编辑(&E)]",
        "编辑(&E)/复制(&C)\tCtrl+C=57634",
        "编辑(&E)/全选(&A)\tCtrl+A=32833",
        "编辑(&E)/-",
        "编辑(&E)/查找(&F)...\tCtrl+F=32919",
        "编辑(&E)/查找下一个(&N)\tF3=32920",
        "编辑(&E)/范围设定(&R)...=32918",
        "编辑(&E)/转到(&T)...\tCtrl+G=32917",
        "编辑(&E)/-",
        "编辑(&E)/添加标签(&L)\tCtrl+L=32915",
        "编辑(&E)/标签管理(&M)...=32916",
        "编辑(&E)/-",
        "编辑(&E)/标签模式(&P)=32921",
        "编辑(&E)/选择模式(&S)=32922",
        "[查看(&V)]",
        "查看(&V)/[历史趋势(&C)]",
        "查看(&V)/历史趋势(&C)/数据列表(&D)=32773",
        "查看(&V)/历史趋势(&C)/累积列表&L)=32842",
        "查看(&V)/历史趋势(&C)/累积报表(&R)=32939",
        "查看(&V)/[实时趋势(&R)]",
        "查看(&V)/实时趋势(&R)/实时数据列表(&D)=32800",
        "查看(&V)/实时趋势(&R)/实时累积列表(&L)=32843",
        "查看(&V)/实时趋势(&R)/实时报警(&A)=32998",
        "查看(&V)/文件信息(&F)...=32804",
        "查看(&V)/-",
        "查看(&V)/工具栏(&T)=59392",
        "查看(&V)/状态栏(&S)=59393",
        "[操作(&O)]",
        "操作(&O)/开始实时采集(&R)=32790",
        "操作(&O)/停止实时采集(&T)=32791",
        "操作(&O)/-",
        "操作(&O)/设置成起点(&S)=32827",
        "操作(&O)/设置成终点(&E)=32828",
        "操作(&O)/显示为整屏(&P)=32829",
        "操作(&O)/-",
        "操作(&O)/停止实时滚屏(&T)=32831",
        "操作(&O)/启动实时滚屏(&S)=32832",
        "[显示(&D)]",
        "显示(&D)/显示全部曲线(&S)=32840",
        "显示(&D)/隐藏全部曲线(&H)=32841",
        "显示(&D)/-",
        "显示(&D)/前4条曲线\tCtrl+←=32845",
        "显示(&D)/后4条曲线\tCtrl+→=32844",
        "显示(&D)/包络显示(&E)=32995",
        "显示(&D)/自动缩放时间轴(&A)=32996",
        "显示(&D)/区间面板(&N)=32997",
        "显示(&D)/[圆图显示选择(&P)]",
        "显示(&D)/圆图显示选择(&P)/无通道=33000",
        "[设置(&S)]",
        "设置(&S)/串口参数设置(&C)...=32789",
        "设置(&S)/缺省显示设置(&D)...=32803",
        "设置(&S)/-",
        "设置(&S)/设置设备组态=32805",
        "设置(&S)/通过串口上传历史文件=32838",
        "设置(&S)/-",
        "设置(&S)/报警提示音(&B)=32999",
        "设置(&S)/-",
        "设置(&S)/[语言(&L)]",
        "设置(&S)/语言(&L)/简体中文=52929",
        "设置(&S)/语言(&L)/英语=52930",
        "[工具(&T)]",
        "工具(&T)/峰值均值统计(&P)=32913",
        "工具(&T)/组态信息(&C)=32935",
        "工具(&T)/报警信息(&A)=32936",
        "工具(&T)/停电记录(&P)=32937",
        "工具(&T)/操作日志(&L)=32938",
        "[窗口(&W)]",
        "窗口(&W)/层叠(&C)=57650",
        "窗口(&W)/平铺(&T)=57651",
        "[帮助(&H)]",
        "帮助(&H)/帮助(&H)\tF1=32912",
        "帮助(&H)/关于(&A)...=57664",
    };
    QStringList shown;
    for (QAction* popup : frame_->menuBar()->actions()) {
        shown << "[" + popup->text() + "]";
        shown << Describe(popup->menu(), popup->text() + "/");
    }
    EXPECT_EQ(shown, expected);
    // The added commands tell the user what they do in the status bar.
    for (int id : {cmd::kDeviceConfiguration, cmd::kSerialUpload, cmd::kChinese, cmd::kEnglish})
        EXPECT_FALSE(Action(id)->statusTip().isEmpty()) << id;
}

TEST_F(MainFrameTest, AcceleratorsReachTheirCommands) {
    const std::vector<std::pair<QKeySequence, int>> table = {
        {QKeySequence("Ctrl+A"), cmd::kSelectAll},
        {QKeySequence("Ctrl+C"), cmd::kCopy},
        {QKeySequence("Ctrl+E"), cmd::kExcelExport},
        {QKeySequence("Ctrl+F"), cmd::kFind},
        {QKeySequence("Ctrl+G"), cmd::kGoTo},
        {QKeySequence("Ctrl+L"), cmd::kAddTag},
        {QKeySequence("Ctrl+O"), cmd::kOpen},
        {QKeySequence("Ctrl+R"), cmd::kRealtimeWindow},
        {QKeySequence("Ctrl+S"), cmd::kSaveRealtime},
        {QKeySequence("F3"), cmd::kFindNext},
        {QKeySequence("Ctrl+Left"), cmd::kPreviousFour},
        {QKeySequence("Ctrl+Right"), cmd::kNextFour},
        {QKeySequence("Ctrl+W"), cmd::kCloseWindow},
    };
    for (const auto& [keys, id] : table) EXPECT_EQ(Action(id)->shortcut(), keys) << id;

    // Keys reach the active view's commands.
    auto* view = new FakeView;
    view->handled = {cmd::kCopy, cmd::kNextFour, cmd::kFindNext};
    AddChild(view);
    QTest::keyClick(frame_.get(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(frame_.get(), Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(frame_.get(), Qt::Key_F3);
    QTest::keyClick(frame_.get(), Qt::Key_A, Qt::ControlModifier);  // not handled: nothing
    EXPECT_EQ(view->executed, (std::vector<int>{cmd::kCopy, cmd::kNextFour, cmd::kFindNext}));
}

TEST_F(MainFrameTest, EveryKeyHasOneActionAndCtrlWClosesTheChild) {
    // A history window and the realtime window with its own toolbar. The keys of one child
    // window are the frame's and its own, not those of the other children.
    frame_->OpenDataFile(Q(guitest::MakeSample(Folder(), "keys.FDZ")));
    frame_->ShowRealtimeWindow();
    const auto childOf = [](QObject* object) -> QMdiSubWindow* {
        for (; object; object = object->parent())
            if (auto* window = qobject_cast<QMdiSubWindow*>(object)) return window;
        return nullptr;
    };
    for (CChildFrame* child : frame_->Frames()) {
        frame_->MdiArea()->setActiveSubWindow(child);
        std::map<QKeySequence, QStringList> owners;
        for (QAction* action : frame_->findChildren<QAction*>()) {
            if (QMdiSubWindow* owner = childOf(action); owner && owner != child) continue;
            for (const QKeySequence& key : action->shortcuts()) owners[key] << action->text();
        }
        for (const auto& [key, texts] : owners)
            EXPECT_EQ(texts.size(), 1)
                << key.toString().toStdString() << " in " << child->windowTitle().toStdString()
                << ": " << texts.join(" / ").toStdString();
    }

    CChildFrame* history = frame_->Frames().front();
    frame_->MdiArea()->setActiveSubWindow(history);
    history->View()->setFocus();
    QTest::keyClick(history->View(), Qt::Key_W, Qt::ControlModifier);
    guitest::Settle();
    EXPECT_EQ(frame_->Frames().size(), 1);
    EXPECT_NE(frame_->Frames().front(), history);
}

TEST_F(MainFrameTest, ToolbarsAndStatusBarAreLaidOutAsListed) {
    EXPECT_EQ(ToolbarIds(frame_->MainToolBar()),
              (std::vector<int>{57601, 32801, 0, 32837, 32773, 32923, 32995}));
    for (QAction* action : frame_->MainToolBar()->actions()) {
        if (action->isSeparator()) continue;
        EXPECT_FALSE(action->icon().isNull()) << action->data().toInt();
    }

    frame_->ShowRealtimeWindow();
    CChildFrame* realtime = frame_->RealtimeFrame();
    ASSERT_NE(realtime, nullptr);
    ASSERT_NE(realtime->ToolBar(), nullptr);
    EXPECT_EQ(ToolbarIds(realtime->ToolBar()),
              (std::vector<int>{32790, 32791, 0, 32804, 32800, 32993, 32992, 0, 57603}));
    EXPECT_EQ(realtime->ToolBar()->iconSize(), QSize(18, 18));

    const QList<QLabel*> panes =
        frame_->statusBar()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(panes.size(), 6);
    EXPECT_EQ(panes[0]->text(), QStringLiteral("就绪"));
    const int widths[] = {160, 300, 100, 320, 100, 1000};
    for (int pane = 0; pane < 6; ++pane) EXPECT_EQ(panes[pane]->sizeHint().width(), widths[pane]);

    // Views fill panes 1 to 5 through the program-wide setter.
    SetStatusText(1, QStringLiteral("设备名称：锅炉房"));
    EXPECT_EQ(panes[1]->text(), QStringLiteral("设备名称：锅炉房"));

    // The toggles hide and show the bars and carry their check marks.
    Action(cmd::kToolbar)->trigger();
    Action(cmd::kStatusBar)->trigger();
    EXPECT_TRUE(frame_->MainToolBar()->isHidden());
    EXPECT_TRUE(frame_->statusBar()->isHidden());
    EXPECT_FALSE(Action(cmd::kToolbar)->isChecked());
    Action(cmd::kToolbar)->trigger();
    EXPECT_FALSE(frame_->MainToolBar()->isHidden());
    EXPECT_TRUE(Action(cmd::kToolbar)->isChecked());
}

TEST_F(MainFrameTest, OpenDataFileRoutesByExtension) {
    const kvrtest::TempDir& dir = Folder();
    const std::string sample = guitest::MakeSample(dir, "source.FDZ");
    const QByteArray image = QByteArray::fromStdString(kvrtest::ReadWholeFile(sample));
    ASSERT_FALSE(image.isEmpty());
    QByteArray newer = image;
    newer.replace(13, 4, "9999");  // format version digits of the identification
    for (const char* name :
         {"upper.FDZ", "lower.fdz", "mixed.Fdz", "backup.fdz.bak", "report.ARF", "noext"})
        guitest::WriteBytes(dir.file(name), image);
    guitest::WriteBytes(dir.file("newer.FDZ"), newer);
    guitest::WriteBytes(dir.file("cut.FDZ"), image.left(image.size() - 5));
    guitest::WriteBytes(dir.file("newer.arf"), newer);
    guitest::WriteBytes(dir.file("junk.FDZ"), "not a data file");
    guitest::WriteBytes(dir.file("junk.ARF"), "not a data file");
    // A collector's live buffer between two files: emptied, no record stored yet.
    kvr::CXFile source, live;
    ASSERT_EQ(source.Open(sample), 1);
    live.Header() = source.Header();
    live.SetTempFilePath(dir.file("empty.tmp"));
    ASSERT_EQ(live.CreateTempFile(), 1);
    kvr::ResetLiveRecords(live);

    struct Case {
        const char* name;
        bool opens;
        QString message;  // empty: none
        QMessageBox::Icon icon;
        bool report = false;  // opens into the cumulative report view
        QString damaged;      // what title and status bar add for a file cut short
    };
    const Case cases[] = {
        {"upper.FDZ", true, {}, QMessageBox::NoIcon},
        {"lower.fdz", true, {}, QMessageBox::NoIcon},
        {"mixed.Fdz", true, {}, QMessageBox::NoIcon},
        {"cut.FDZ", true, {}, QMessageBox::NoIcon, false, QStringLiteral("文件不完整，只读打开")},
        {"newer.FDZ", false, kNewerVersion, QMessageBox::Critical},
        {"junk.FDZ", false, kUnsupported, QMessageBox::Critical},
        {"absent.FDZ", false, kUnsupported, QMessageBox::Critical},
        {"backup.fdz.bak", false, kUnsupported, QMessageBox::NoIcon},
        {"noext", false, kUnsupported, QMessageBox::NoIcon},
        {"empty.tmp", false,
         QStringLiteral("采集缓冲文件中还没有记录，请在采集到第一条记录后再打开。"),
         QMessageBox::NoIcon},
        // Reports open into the report view; unreadable or newer ones: nothing shown or said.
        {"report.ARF", true, {}, QMessageBox::NoIcon, true},
        {"newer.arf", false, {}, QMessageBox::NoIcon},
        {"junk.ARF", false, {}, QMessageBox::NoIcon},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageRecorder messages(QMessageBox::Ok);
        const int before = frame_->Frames().size();
        kvr::WriteLastDir("/untouched");
        const QString path = Q(dir.file(c.name));
        frame_->OpenDataFile(path);

        EXPECT_EQ(frame_->Frames().size(), before + (c.opens ? 1 : 0));
        if (c.opens && c.report) {
            EXPECT_EQ(frame_->Frames().back()->windowTitle(),
                      QStringLiteral("累积报表 [%1]").arg(path));
            auto* view = dynamic_cast<CCumuShowView*>(frame_->Frames().back()->View());
            ASSERT_NE(view, nullptr);
            EXPECT_NE(view->GetFile(), nullptr);
        } else if (c.opens) {
            const QString suffix = c.damaged.isEmpty() ? QString() : "（" + c.damaged + "）";
            EXPECT_EQ(frame_->Frames().back()->windowTitle(),
                      QStringLiteral("历史趋势曲线 [%1]").arg(path) + suffix);
            EXPECT_EQ(frame_->StatusPaneText(5).contains(QStringLiteral("文件不完整，只读打开")),
                      !c.damaged.isEmpty());
            auto* view = dynamic_cast<CHCView*>(frame_->Frames().back()->View());
            ASSERT_NE(view, nullptr);
            ASSERT_NE(view->GetFile(), nullptr);
            EXPECT_EQ(view->GetFile()->GetRecordCount(), 120);
        }
        EXPECT_EQ(Q(kvr::ReadLastDir()), c.opens ? path : QStringLiteral("/untouched"));
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messages.Shown().empty());
        } else {
            ASSERT_EQ(messages.Shown().size(), 1u);
            EXPECT_EQ(messages.Shown()[0].text, c.message);
            EXPECT_EQ(messages.Shown()[0].icon, c.icon);
            EXPECT_EQ(messages.Shown()[0].caption.isEmpty(), c.icon == QMessageBox::NoIcon);
        }
    }
}

TEST_F(MainFrameTest, OpenDialogStartsAtTheLastFileAndOpensTheChoice) {
    const std::string sample = guitest::MakeSample(Folder(), "chosen.FDZ");
    kvr::WriteLastDir(sample);
    QString title, folder;
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        folder = dialog->directory().absolutePath();
        dialog->selectFile(Q(sample));
        static_cast<QDialog*>(dialog)->accept();  // runs the file dialog's own accept
    });
    QTest::keyClick(frame_.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(title, QStringLiteral("Open"));
    EXPECT_EQ(filters, (QStringList{QStringLiteral("流量仪表数据文件(*.FDZ)"),
                                    QStringLiteral("采集中的缓冲文件(*.tmp)"),
                                    QStringLiteral("所有文件(*.*)")}));
    EXPECT_EQ(folder, QFileInfo(Q(sample)).absolutePath());
    EXPECT_EQ(Titles(), QStringList{QStringLiteral("历史趋势曲线 [%1]").arg(Q(sample))});
}

TEST_F(MainFrameTest, SerialUploadRunsTheUploadDialog) {
    QString title, rangeText;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CUploadDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        rangeText = dialog->findChild<QLabel*>(QStringLiteral("rangeText"))->text();
        dialog->reject();  // before it talks to any port
    });
    Action(cmd::kSerialUpload)->trigger();
    EXPECT_EQ(title, QStringLiteral("串口上传数据"));
    EXPECT_EQ(rangeText, QStringLiteral("正在读取时间参数,请稍等!"));
}

TEST_F(MainFrameTest, SameFileTwiceGivesTwoIndependentWindows) {
    const QString path = Q(guitest::MakeSample(Folder(), "twice.FDZ"));
    frame_->OpenDataFile(path);
    frame_->OpenDataFile(path);
    const QList<CChildFrame*> frames = frame_->Frames();
    ASSERT_EQ(frames.size(), 2);
    auto* first = dynamic_cast<CHCView*>(frames[0]->View());
    auto* second = dynamic_cast<CHCView*>(frames[1]->View());
    ASSERT_TRUE(first && second && first->GetFile() && second->GetFile());
    EXPECT_NE(first->GetFile(), second->GetFile());
    EXPECT_EQ(frames[0]->windowTitle(), frames[1]->windowTitle());

    // The window menu lists both after its own items.
    QMenu* windowMenu = frame_->menuBar()->actions()[7]->menu();
    QMetaObject::invokeMethod(windowMenu, "aboutToShow");
    QStringList listed;
    for (QAction* item : windowMenu->actions().mid(3)) listed << item->text();
    EXPECT_EQ(listed,
              (QStringList{"&1 " + frames[0]->windowTitle(), "&2 " + frames[1]->windowTitle()}));

    // Closing one leaves the other with its file.
    frames[0]->close();
    guitest::Settle();
    ASSERT_EQ(frame_->Frames().size(), 1);
    EXPECT_EQ(second->GetFile()->GetRecordCount(), 120);
}

TEST_F(MainFrameTest, CtrlRMakesOneRealtimeWindowAndBringsItForward) {
    QTest::keyClick(frame_.get(), Qt::Key_R, Qt::ControlModifier);
    CChildFrame* realtime = frame_->RealtimeFrame();
    ASSERT_NE(realtime, nullptr);
    EXPECT_EQ(realtime->windowTitle(), QStringLiteral("实时数据采集"));
    EXPECT_TRUE(realtime->IsRealtime());
    EXPECT_TRUE(realtime->isMaximized());
    EXPECT_EQ(frame_->windowTitle(), QStringLiteral("Kevara 1.0.8 - [实时数据采集]"));

    // Asked again, the window comes forward as it is, not made twice.
    QTest::keyClick(frame_.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(frame_->Frames().size(), 1);
    EXPECT_TRUE(realtime->isMaximized());
    EXPECT_EQ(frame_->windowTitle(), QStringLiteral("Kevara 1.0.8 - [实时数据采集]"));

    // With another window maximised over it (its live list), Ctrl+R and switching back and
    // forth keep both maximised at the full size of the client area.
    auto* listView = new QWidget;
    QWidget* list = ViewHost::Instance()->ShowChildView(listView, "list", true);
    EXPECT_EQ(frame_->ActiveFrame(), list);
    QTest::keyClick(frame_.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(frame_->ActiveFrame(), realtime);
    EXPECT_TRUE(realtime->isMaximized());
    EXPECT_EQ(realtime->size(), frame_->MdiArea()->viewport()->size());
    ViewHost::Instance()->ActivateChildView(listView);
    EXPECT_EQ(frame_->ActiveFrame(), list);
    EXPECT_TRUE(list->isMaximized());
    QTest::keyClick(frame_.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(realtime->isMaximized());
    EXPECT_EQ(realtime->size(), frame_->MdiArea()->viewport()->size());
    list->close();
    guitest::Settle();

    realtime->showNormal();
    frame_->OpenDataFile(Q(guitest::MakeSample(Folder(), "history.FDZ")));
    ASSERT_EQ(frame_->Frames().size(), 2);
    EXPECT_NE(frame_->ActiveFrame(), realtime);
    realtime->showMinimized();

    QTest::keyClick(frame_.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(frame_->Frames().size(), 2);
    EXPECT_EQ(frame_->RealtimeFrame(), realtime);
    EXPECT_EQ(frame_->ActiveFrame(), realtime);
    EXPECT_FALSE(realtime->isMinimized());

    // Once it is closed, the next Ctrl+R makes a new one.
    realtime->close();
    guitest::Settle();
    EXPECT_EQ(frame_->RealtimeFrame(), nullptr);
    QTest::keyClick(frame_.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_NE(frame_->RealtimeFrame(), nullptr);
}

TEST_F(MainFrameTest, DroppedFilesOpenInDropOrder) {
    QList<QUrl> urls;
    QStringList expected;
    for (const char* name : {"c.FDZ", "a.FDZ", "b.FDZ"}) {
        const QString path = Q(guitest::MakeSample(Folder(), name));
        urls << QUrl::fromLocalFile(path);
        expected << QStringLiteral("历史趋势曲线 [%1]").arg(path);
    }
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &drop);
    EXPECT_EQ(Titles(), expected);
    EXPECT_EQ(Q(kvr::ReadLastDir()), urls.back().toLocalFile());
}

TEST_F(MainFrameTest, ViewCommandsFollowTheActiveView) {
    frame_->UpdateCommandStates();
    // Without a window only the frame's own commands can be chosen.
    for (int id : {cmd::kOpen, cmd::kRealtimeWindow, cmd::kSerialParameters, cmd::kDisplayDefaults,
                   cmd::kToolbar})
        EXPECT_TRUE(Action(id)->isEnabled()) << id;
    for (int id : {cmd::kCopy, cmd::kSaveRealtime, cmd::kPrint, cmd::kStartAcquisition,
                   cmd::kCloseWindow, cmd::kCircleChartFirst, cmd::kCascade, cmd::kTile})
        EXPECT_FALSE(Action(id)->isEnabled()) << id;

    auto* view = new FakeView;
    view->handled = {cmd::kCopy, cmd::kCursorMode, cmd::kSelectMode};
    view->checked = {cmd::kCursorMode};
    AddChild(view);
    EXPECT_GE(view->activations, 1);
    EXPECT_TRUE(Action(cmd::kCopy)->isEnabled());
    EXPECT_FALSE(Action(cmd::kFind)->isEnabled());
    EXPECT_TRUE(Action(cmd::kCloseWindow)->isEnabled());
    EXPECT_TRUE(Action(cmd::kCascade)->isEnabled());
    EXPECT_TRUE(Action(cmd::kCursorMode)->isChecked());
    EXPECT_FALSE(Action(cmd::kSelectMode)->isChecked());

    // The view's own update state is asked again when a menu opens.
    view->checked = {cmd::kSelectMode};
    view->enabled = false;
    QMenu* editMenu = frame_->menuBar()->actions()[1]->menu();
    QMetaObject::invokeMethod(editMenu, "aboutToShow");
    EXPECT_FALSE(Action(cmd::kCopy)->isEnabled());
    EXPECT_TRUE(Action(cmd::kSelectMode)->isChecked());
    EXPECT_FALSE(Action(cmd::kCursorMode)->isChecked());

    view->enabled = true;
    frame_->UpdateCommandStates();
    Action(cmd::kCopy)->trigger();
    EXPECT_EQ(view->executed, std::vector<int>{cmd::kCopy});

    // The circular-chart menu lists the channels the history view gives it.
    SetCircleChartItems({QStringLiteral("差压"), QStringLiteral("压力")});
    QMenu* display = frame_->menuBar()->actions()[4]->menu();
    QMenu* circle = display->actions().back()->menu();
    ASSERT_NE(circle, nullptr);
    ASSERT_EQ(circle->actions().size(), 2);
    EXPECT_EQ(circle->actions()[1]->text(), QStringLiteral("压力"));
    EXPECT_EQ(circle->actions()[1]->data().toInt(), cmd::kCircleChartFirst + 1);

    // Closing the window through the command leaves nothing to route to.
    Action(cmd::kCloseWindow)->trigger();
    guitest::Settle();
    EXPECT_TRUE(frame_->Frames().isEmpty());
    EXPECT_FALSE(Action(cmd::kCopy)->isEnabled());
}

TEST_F(MainFrameTest, RealtimeWindowAsksBeforeUnsavedDataIsDropped) {
    struct Case {
        bool saved;
        QMessageBox::StandardButton answer;
        bool saveSucceeds;
        bool closes;
        int stops, saves;
    };
    const Case cases[] = {
        {true, QMessageBox::Cancel, true, true, 0, 0},  // nothing to lose: no question
        {false, QMessageBox::Cancel, true, false, 0, 0},
        {false, QMessageBox::No, true, true, 1, 0},
        {false, QMessageBox::Yes, true, true, 1, 1},
        {false, QMessageBox::Yes, false, false, 1, 1},  // a cancelled save keeps the window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "saved " << c.saved << " answer " << c.answer);
        MessageRecorder messages(c.answer);
        auto* view = new FakeRealtimeView;
        view->saved = c.saved;
        view->saveSucceeds = c.saveSucceeds;
        QPointer<CChildFrame> child = AddChild(view, true);
        child->close();
        guitest::Settle();
        EXPECT_EQ(child.isNull(), c.closes);
        if (!c.closes) {
            EXPECT_EQ(view->stops, c.stops);
            EXPECT_EQ(view->saves, c.saves);
        }
        ASSERT_EQ(messages.Shown().size(), c.saved ? 0u : 1u);
        if (!c.saved) {
            EXPECT_EQ(messages.Shown()[0].text,
                      QStringLiteral("已经存在实时采集数据!\n\n是否需要保存？"));
            EXPECT_EQ(messages.Shown()[0].caption, QStringLiteral("提示..."));
            EXPECT_EQ(messages.Shown()[0].icon, QMessageBox::Information);
        }
        if (child) {
            view->saved = true;
            child->close();
            guitest::Settle();
        }
    }
    // The placeholder realtime window has nothing unsaved: the program closes at once.
    MessageRecorder messages(QMessageBox::Cancel);
    frame_->ShowRealtimeWindow();
    EXPECT_TRUE(frame_->close());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(MainFrameTest, BackgroundCarriesTheBanner) {
    const QImage image = frame_->MdiArea()->viewport()->grab().toImage();
    int banner = 0, shadow = 0;
    for (int y = 10; y < 100; ++y)
        for (int x = 10; x < 500; ++x) {
            const QRgb pixel = image.pixel(x, y);
            banner += pixel == qRgb(0x00, 0x40, 0x80);
            shadow += pixel == qRgb(0xCC, 0xCC, 0xCC);
        }
    EXPECT_GT(banner, 300);
    EXPECT_GT(shadow, 20);
    const QColor fill = frame_->MdiArea()->palette().color(QPalette::Dark);
    EXPECT_EQ(image.pixel(image.width() - 5, image.height() - 5), fill.rgb());
}

TEST(MainMenu, EveryKeyAMenuItemShowsIsAnAccelerator) {
    std::vector<const MenuNode*> pending;
    for (const MenuNode& popup : MainMenu()) pending.push_back(&popup);
    int hints = 0;
    while (!pending.empty()) {
        const MenuNode* node = pending.back();
        pending.pop_back();
        for (const MenuNode& child : node->children) pending.push_back(&child);
        if (!node->text.contains(QLatin1Char('\t'))) continue;
        QString hint = node->text.section(QLatin1Char('\t'), 1);
        hint.replace(QStringLiteral("←"), QStringLiteral("Left"))
            .replace(QStringLiteral("→"), QStringLiteral("Right"));
        const auto& table = Accelerators();
        const bool found = std::any_of(table.begin(), table.end(), [&](const Accelerator& a) {
            return a.id == node->id && a.keys == QKeySequence(hint);
        });
        EXPECT_TRUE(found) << node->text.toStdString();
        ++hints;
    }
    EXPECT_GT(hints, 10);
}

TEST(MainMenu, NoTwoCommandsShareAnId) {
    // Every menu item is its own command.
    std::map<int, QString> menuItems;
    std::vector<const MenuNode*> pending;
    for (const MenuNode& popup : MainMenu()) pending.push_back(&popup);
    while (!pending.empty()) {
        const MenuNode* node = pending.back();
        pending.pop_back();
        for (const MenuNode& child : node->children) pending.push_back(&child);
        if (!node->children.empty() || node->id == 0) continue;
        const auto [it, added] = menuItems.emplace(node->id, node->text);
        EXPECT_TRUE(added) << node->id << ": " << it->second.toStdString() << " and "
                           << node->text.toStdString();
    }
    ASSERT_GT(menuItems.size(), 40u);

    // Commands that live outside the main menu: on toolbars, in the views' context menus.
    const std::vector<int> outside = {cmd::kValueLabel, cmd::kChannelPanel, cmd::kBarDisplay,
                                      cmd::kCircleDisplay, CXListView::kFilterCommand};
    std::set<int> seen;
    for (int id : outside) {
        EXPECT_TRUE(seen.insert(id).second) << id;
        EXPECT_EQ(menuItems.count(id), 0u) << id;
    }

    // One circular-chart item per channel, for as many channels as a file can have: the
    // first stands in the menu while no file is shown, the others belong to no other command.
    ASSERT_GE(cmd::kCircleChartLast - cmd::kCircleChartFirst + 1, kvr::kMaxChannels);
    EXPECT_EQ(menuItems[cmd::kCircleChartFirst], QStringLiteral("无通道"));
    for (int channel = 1; channel < kvr::kMaxChannels; ++channel) {
        const int id = cmd::kCircleChartFirst + channel;
        EXPECT_EQ(menuItems.count(id), 0u) << "channel " << channel << ": " << id;
        EXPECT_EQ(seen.count(id), 0u) << "channel " << channel << ": " << id;
        EXPECT_TRUE(CommandText(id).isEmpty()) << "channel " << channel << ": " << id;
    }
}

TEST_F(MainFrameTest, CommandsOfMissingWindowsAreHidden) {
    for (const WindowCommand& command : WindowCommands())
        EXPECT_EQ(frame_->Actions().Action(command.id)->isVisible(), HasChildFactory(command.kind))
            << command.id;
    EXPECT_TRUE(frame_->Actions().Action(cmd::kStatistics)->isVisible());
    // Without its factory a window's command would be hidden.
    UnregisterChildFactory(ChildWindow::kFileInfo);
    EXPECT_TRUE(IsWindowCommandMissing(cmd::kFileInfo));
    RegisterChildFactories();
    EXPECT_FALSE(IsWindowCommandMissing(cmd::kFileInfo));
}

TEST(ProgramFont, ChineseGlyphsAreDrawnNotBoxes) {
    guitest::App();
    CFlowApp::ApplyProgramFont();
    // Missing glyphs all draw as the same box; real ones differ from each other.
    const auto render = [](const QString& text) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(QApplication::font());
        painter.setPen(Qt::black);
        painter.drawText(image.rect(), Qt::AlignCenter, text);
        return image;
    };
    const QImage wen = render(QStringLiteral("文")), jian = render(QStringLiteral("件")),
                 blank = render(QString());
    EXPECT_NE(wen, blank);
    EXPECT_NE(wen, jian);
    EXPECT_NE(render(QStringLiteral("设")), render(QStringLiteral("置")));
}

}  // namespace
