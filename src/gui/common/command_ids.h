#pragma once
// Command identifiers shared by the menus, toolbars, accelerators and views. The numbers
// are kept because ranges of them carry meaning (one circular-chart item per channel) and
// tests refer to commands by them.
namespace cmd {

enum : int {
    // File
    kOpen = 57601,
    kCloseWindow = 57602,
    kSaveRealtime = 57603,
    kExit = 57665,
    kExcelExport = 32824,
    kRealtimeWindow = 32801,
    kPrint = 32836,
    kPrintPreview = 32837,
    kContinuousPrint = 32835,
    kFramePrint = 57607,
    kFramePrintPreview = 57609,
    // Edit
    kCopy = 57634,
    kSelectAll = 32833,
    kFind = 32919,
    kFindNext = 32920,
    kRange = 32918,
    kGoTo = 32917,
    kAddTag = 32915,
    kTagManager = 32916,
    kValueLabel = 32994,
    kCursorMode = 32921,
    kSelectMode = 32922,
    // View
    kDataList = 32773,
    kCumulativeList = 32842,
    kCumulativeReport = 32939,
    kRealtimeDataList = 32800,
    kRealtimeCumulativeList = 32843,
    kFileInfo = 32804,
    kToolbar = 59392,
    kStatusBar = 59393,
    // Operate
    kStartAcquisition = 32790,
    kStopAcquisition = 32791,
    kSetStartPoint = 32827,
    kSetEndPoint = 32828,
    kZoomSelection = 32829,
    kStopScrolling = 32831,
    kStartScrolling = 32832,
    // Display
    kShowAllCurves = 32840,
    kHideAllCurves = 32841,
    kPreviousFour = 32845,
    kNextFour = 32844,
    // One circular-chart item per channel, up to the largest channel count a file can
    // have; the range is kept clear of every other command.
    kCircleChartFirst = 33000,
    kCircleChartLast = 33063,
    kChannelPanel = 32923,
    kBarDisplay = 32993,
    kCircleDisplay = 32992,
    kEnvelope = 32995,
    kAutoScaleTime = 32996,
    kSpanPanel = 32997,
    kRealtimeAlarms = 32998,
    kAlarmBeep = 32999,
    // Settings
    kSerialParameters = 32789,
    kDisplayDefaults = 32803,
    kDeviceConfiguration = 32805,
    kSerialUpload = 32838,
    // Tools
    kStatistics = 32913,
    kConfigurationInfo = 32935,
    kAlarmList = 32936,
    kPowerFailureList = 32937,
    kOperationLog = 32938,
    // Window, Help, language
    kCascade = 57650,
    kTile = 57651,
    kHelp = 32912,
    kAbout = 57664,
    kChinese = 52929,
    kEnglish = 52930,
};

}  // namespace cmd
