#include "gui/app/command_table.h"

#include <QRegularExpression>
#include <unordered_map>

#include "gui/common/command_ids.h"

namespace {

MenuNode Item(int id, const char* text) { return {id, QString::fromUtf8(text), {}}; }
MenuNode Separator() { return {}; }
MenuNode Popup(const char* text, std::vector<MenuNode> children) {
    return {0, QString::fromUtf8(text), std::move(children)};
}

struct CommandStrings {
    const char* text;    // only for commands without a menu item
    const char* prompt;  // status-bar prompt
    const char* tip;     // toolbar tooltip
};

const std::unordered_map<int, CommandStrings>& Strings() {
    using namespace cmd;
    static const std::unordered_map<int, CommandStrings> strings = {
        {kOpen, {nullptr, "打开一个历史数据文件或累积报表文件", "打开"}},
        {kExcelExport, {nullptr, "把数据导出到 Excel 工作簿", nullptr}},
        {kRealtimeWindow, {nullptr, "打开实时数据采集窗口", "实时采集"}},
        {kSaveRealtime, {nullptr, "把实时采集的数据保存为历史文件", "保存实时文件"}},
        {kPrint, {nullptr, "打印当前窗口的内容", nullptr}},
        {kPrintPreview, {nullptr, "预览打印页面", "打印预览"}},
        {kContinuousPrint, {nullptr, "按时间范围连续打印多页曲线", nullptr}},
        {kCloseWindow, {nullptr, "关闭当前窗口", nullptr}},
        {kExit, {nullptr, "退出程序", nullptr}},
        {kCopy, {nullptr, "把选中的内容复制到剪贴板", nullptr}},
        {kSelectAll, {nullptr, "选中全部内容", nullptr}},
        {kFind, {nullptr, "查找指定的数值", nullptr}},
        {kFindNext, {nullptr, "查找下一个符合条件的数值", nullptr}},
        {kRange, {nullptr, "设定显示的时间范围", nullptr}},
        {kGoTo, {nullptr, "转到指定的时间", nullptr}},
        {kAddTag, {nullptr, "在光标位置添加时间标签", nullptr}},
        {kTagManager, {nullptr, "管理时间标签", nullptr}},
        {kValueLabel, {"值标签(&V)", "设置值标签", nullptr}},
        {kCursorMode, {nullptr, "光标用于查看数值和添加标签", nullptr}},
        {kSelectMode, {nullptr, "光标用于选择时间范围", nullptr}},
        {kDataList, {nullptr, "以列表方式查看历史数据", "数据列表"}},
        {kCumulativeList, {nullptr, "查看累积流量列表", nullptr}},
        {kCumulativeReport, {nullptr, "查看累积报表", nullptr}},
        {kRealtimeDataList, {nullptr, "以列表方式查看实时数据", "实时数据列表"}},
        {kRealtimeCumulativeList, {nullptr, "查看实时累积流量列表", nullptr}},
        {kFileInfo, {nullptr, "查看和修改文件信息", "文件信息"}},
        {kToolbar, {nullptr, "显示或隐藏工具栏", nullptr}},
        {kStatusBar, {nullptr, "显示或隐藏状态栏", nullptr}},
        {kStartAcquisition, {nullptr, "开始从仪表采集实时数据", "开始实时采集"}},
        {kStopAcquisition, {nullptr, "停止实时数据采集", "停止实时采集"}},
        {kSetStartPoint, {nullptr, "把光标位置设置成选择范围的起点", nullptr}},
        {kSetEndPoint, {nullptr, "把光标位置设置成选择范围的终点", nullptr}},
        {kZoomSelection, {nullptr, "把选择范围显示为整屏", nullptr}},
        {kStopScrolling, {nullptr, "停止实时曲线滚动", nullptr}},
        {kStartScrolling, {nullptr, "启动实时曲线滚动", nullptr}},
        {kShowAllCurves, {nullptr, "显示全部曲线", nullptr}},
        {kHideAllCurves, {nullptr, "隐藏全部曲线", nullptr}},
        {kPreviousFour, {nullptr, "显示前4条曲线", nullptr}},
        {kNextFour, {nullptr, "显示后4条曲线", nullptr}},
        {kChannelPanel, {"通道面板", "显示或隐藏通道面板", "通道面板"}},
        {kEnvelope, {"包络显示", "每列显示其间数据的最小值和最大值，缩小时不漏掉尖峰", "包络显示"}},
        {kAutoScaleTime, {nullptr, "实时曲线从第一条记录起占满整个曲线区，记满后再滚动", nullptr}},
        {kSpanPanel, {nullptr, "选择时间范围时在曲线下方显示区间的统计数值", nullptr}},
        {kRealtimeAlarms, {nullptr, "查看本次实时采集的报警和消报", nullptr}},
        {kAlarmBeep, {nullptr, "实时采集出现报警时发出提示音", nullptr}},
        {kBarDisplay, {"棒图", "以棒图显示实时数据", "棒图"}},
        {kCircleDisplay, {"圆图", "以圆图显示实时数据", "圆图"}},
        {kSerialParameters, {nullptr, "设置通讯串口参数", nullptr}},
        {kDisplayDefaults, {nullptr, "设置曲线的缺省显示方式", nullptr}},
        {kDeviceConfiguration, {nullptr, "设置设备组态", nullptr}},
        {kSerialUpload, {nullptr, "通过串口上传历史文件", nullptr}},
        {kStatistics, {nullptr, "统计各通道的峰值和均值", nullptr}},
        {kConfigurationInfo, {nullptr, "查看仪表组态信息", nullptr}},
        {kAlarmList, {nullptr, "查看报警信息", nullptr}},
        {kPowerFailureList, {nullptr, "查看停电记录", nullptr}},
        {kOperationLog, {nullptr, "查看操作日志", nullptr}},
        {kCascade, {nullptr, "层叠排列窗口", nullptr}},
        {kTile, {nullptr, "平铺排列窗口", nullptr}},
        {kHelp, {nullptr, "打开帮助", nullptr}},
        {kAbout, {nullptr, "显示程序版本信息", nullptr}},
        {kChinese, {nullptr, "界面语言改为简体中文并重新启动程序", nullptr}},
        {kEnglish, {nullptr, "界面语言改为英语并重新启动程序", nullptr}},
    };
    return strings;
}

const MenuNode* FindNode(const std::vector<MenuNode>& nodes, int id) {
    for (const MenuNode& node : nodes) {
        if (node.children.empty() && node.id == id) return &node;
        if (const MenuNode* found = FindNode(node.children, id)) return found;
    }
    return nullptr;
}

}  // namespace

const std::vector<MenuNode>& MainMenu() {
    using namespace cmd;
    static const std::vector<MenuNode> menu = {
        Popup(
            "文件(&F)",
            {Item(kOpen, "打开历史文件(&O)...\tCtrl+O"),
             Item(kExcelExport, "Excel   导出(&E)...\tCtrl+E"), Separator(),
             Item(kRealtimeWindow, "采集实时数据(&F)...\tCtrl+R"),
             Item(kSaveRealtime, "保存实时文件(&S)\tCtrl+S"), Separator(), Item(kPrint, "打印(&P)"),
             Item(kPrintPreview, "打印预览(&V)"), Item(kContinuousPrint, "连续打印(&G)"),
             Separator(), Item(kCloseWindow, "关闭窗口(&W)\tCtrl+W"), Item(kExit, "退出程序(&X)")}),
        Popup("编辑(&E)",
              {Item(kCopy, "复制(&C)\tCtrl+C"), Item(kSelectAll, "全选(&A)\tCtrl+A"), Separator(),
               Item(kFind, "查找(&F)...\tCtrl+F"), Item(kFindNext, "查找下一个(&N)\tF3"),
               Item(kRange, "范围设定(&R)..."), Item(kGoTo, "转到(&T)...\tCtrl+G"), Separator(),
               Item(kAddTag, "添加标签(&L)\tCtrl+L"), Item(kTagManager, "标签管理(&M)..."),
               Separator(), Item(kCursorMode, "标签模式(&P)"), Item(kSelectMode, "选择模式(&S)")}),
        Popup("查看(&V)", {Popup("历史趋势(&C)", {Item(kDataList, "数据列表(&D)"),
                                                  Item(kCumulativeList, "累积列表&L)"),
                                                  Item(kCumulativeReport, "累积报表(&R)")}),
                           Popup("实时趋势(&R)", {Item(kRealtimeDataList, "实时数据列表(&D)"),
                                                  Item(kRealtimeCumulativeList, "实时累积列表(&L)"),
                                                  Item(kRealtimeAlarms, "实时报警(&A)")}),
                           Item(kFileInfo, "文件信息(&F)..."), Separator(),
                           Item(kToolbar, "工具栏(&T)"), Item(kStatusBar, "状态栏(&S)")}),
        Popup(
            "操作(&O)",
            {Item(kStartAcquisition, "开始实时采集(&R)"),
             Item(kStopAcquisition, "停止实时采集(&T)"), Separator(),
             Item(kSetStartPoint, "设置成起点(&S)"), Item(kSetEndPoint, "设置成终点(&E)"),
             Item(kZoomSelection, "显示为整屏(&P)"), Separator(),
             Item(kStopScrolling, "停止实时滚屏(&T)"), Item(kStartScrolling, "启动实时滚屏(&S)")}),
        Popup("显示(&D)",
              {Item(kShowAllCurves, "显示全部曲线(&S)"), Item(kHideAllCurves, "隐藏全部曲线(&H)"),
               Separator(), Item(kPreviousFour, "前4条曲线\tCtrl+←"),
               Item(kNextFour, "后4条曲线\tCtrl+→"), Item(kEnvelope, "包络显示(&E)"),
               Item(kAutoScaleTime, "自动缩放时间轴(&A)"), Item(kSpanPanel, "区间面板(&N)"),
               Popup("圆图显示选择(&P)", {Item(kCircleChartFirst, "无通道")})}),
        // The device-configuration, upload and language commands have no place of their
        // own; they sit with the other settings.
        Popup("设置(&S)",
              {Item(kSerialParameters, "串口参数设置(&C)..."),
               Item(kDisplayDefaults, "缺省显示设置(&D)..."), Separator(),
               Item(kDeviceConfiguration, "设置设备组态"),
               Item(kSerialUpload, "通过串口上传历史文件"), Separator(),
               Item(kAlarmBeep, "报警提示音(&B)"), Separator(),
               Popup("语言(&L)", {Item(kChinese, "简体中文"), Item(kEnglish, "英语")})}),
        Popup("工具(&T)",
              {Item(kStatistics, "峰值均值统计(&P)"), Item(kConfigurationInfo, "组态信息(&C)"),
               Item(kAlarmList, "报警信息(&A)"), Item(kPowerFailureList, "停电记录(&P)"),
               Item(kOperationLog, "操作日志(&L)")}),
        Popup("窗口(&W)", {Item(kCascade, "层叠(&C)"), Item(kTile, "平铺(&T)")}),
        Popup("帮助(&H)", {Item(kHelp, "帮助(&H)\tF1"), Item(kAbout, "关于(&A)...")}),
    };
    return menu;
}

const std::vector<Accelerator>& Accelerators() {
    using namespace cmd;
    static const std::vector<Accelerator> table = {
        {QKeySequence(Qt::CTRL | Qt::Key_A), kSelectAll},
        {QKeySequence(Qt::CTRL | Qt::Key_C), kCopy},
        {QKeySequence(Qt::CTRL | Qt::Key_E), kExcelExport},
        {QKeySequence(Qt::CTRL | Qt::Key_F), kFind},
        {QKeySequence(Qt::CTRL | Qt::Key_G), kGoTo},
        {QKeySequence(Qt::CTRL | Qt::Key_L), kAddTag},
        {QKeySequence(Qt::CTRL | Qt::Key_O), kOpen},
        {QKeySequence(Qt::CTRL | Qt::Key_R), kRealtimeWindow},
        {QKeySequence(Qt::CTRL | Qt::Key_S), kSaveRealtime},
        {QKeySequence(Qt::Key_F3), kFindNext},
        {QKeySequence(Qt::CTRL | Qt::Key_Left), kPreviousFour},
        {QKeySequence(Qt::CTRL | Qt::Key_Right), kNextFour},
        {QKeySequence(Qt::CTRL | Qt::Key_W), kCloseWindow},
        {QKeySequence(Qt::Key_F1), kHelp},
    };
    return table;
}

const std::vector<int>& MainToolbarButtons() {
    using namespace cmd;
    static const std::vector<int> buttons = {kOpen,     kRealtimeWindow, 0,        kPrintPreview,
                                             kDataList, kChannelPanel,   kEnvelope};
    return buttons;
}

const std::vector<int>& RealtimeToolbarButtons() {
    using namespace cmd;
    static const std::vector<int> buttons = {
        kStartAcquisition, kStopAcquisition, 0, kFileInfo,    kRealtimeDataList,
        kBarDisplay,       kCircleDisplay,   0, kSaveRealtime};
    return buttons;
}

QString CommandText(int id) {
    if (const MenuNode* node = FindNode(MainMenu(), id)) return node->text;
    const auto found = Strings().find(id);
    if (found != Strings().end() && found->second.text)
        return QString::fromUtf8(found->second.text);
    return {};
}

QString CommandPrompt(int id) {
    if (id >= cmd::kCircleChartFirst && id <= cmd::kCircleChartLast)
        return QStringLiteral("显示该通道的圆图");
    const auto found = Strings().find(id);
    return found == Strings().end() ? QString() : QString::fromUtf8(found->second.prompt);
}

QString CommandToolTip(int id) {
    const auto found = Strings().find(id);
    if (found != Strings().end() && found->second.tip) return QString::fromUtf8(found->second.tip);
    // The menu text without its mnemonic, ellipsis and accelerator hint.
    QString text = CommandText(id).section(QLatin1Char('\t'), 0, 0);
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&|\\.\\.\\.$")));
    return text.trimmed();
}
