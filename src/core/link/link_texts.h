#pragma once
// The texts the instrument link shows the user (message boxes and dialog lines).
namespace kvr::texts {

inline constexpr char kNoticeTitle[] = "提示...";
inline constexpr char kOpenPortFailed[] = "打开串口失败！";
inline constexpr char kCommunicationFailed[] = "通讯失败！";
inline constexpr char kUnknownDevice[] = "未知设备,可能缺少驱动程序，请于供应商联系!";
inline constexpr char kCreateHistoryFailed[] = "建立历史文件失败!";
inline constexpr char kConfigReadFailed[] = "读取组态参数出错！";
inline constexpr char kCreateTempFailed[] = "建立临时文件失败！";
inline constexpr char kRecordIntervalOutOfRange[] = "实时记录间隔必须在1到65535秒之间！";
inline constexpr char kStartAfterEnd[] = "请确认 [开始时间] < [结束时间] ！";
inline constexpr char kStartOutOfRange[] = "[开始时间] 超出范围！";
inline constexpr char kEndOutOfRange[] = "[结束时间] 超出范围！";
inline constexpr char kReadingTimeParameters[] = "正在读取时间参数,请稍等!";
inline constexpr char kReadingConfiguration[] = "正在读取组态参数,请稍候...";
inline constexpr char kRemainingTime[] = "估计剩余时间:";
// start, end ("%Y-%m-%d %H:%M:%S") and bytes per second
inline constexpr char kUploadComplete[] = "文件上传完成!\n开始时间:%s\n结束时间:%s\n速    度:%dB/s";

}  // namespace kvr::texts
