#pragma once
// The texts the instrument link shows the user (message boxes and dialog lines).
namespace kvr::texts {

inline constexpr char kNoticeTitle[] = "提示...";
inline constexpr char kOpenPortFailed[] = "打开串口失败！";
inline constexpr char kCommunicationFailed[] = "通讯失败！";
// The instrument at an address answered, but not as the realtime family it was meant to be.
inline constexpr char kNotRealtimeFamily[] = "该地址的仪表不是实时采集系列：";
inline constexpr char kUnknownDevice[] = "未知设备,可能缺少驱动程序，请于供应商联系!";
inline constexpr char kCreateHistoryFailed[] = "建立历史文件失败!";
inline constexpr char kConfigReadFailed[] = "读取组态参数出错！";
inline constexpr char kCreateTempFailed[] = "建立临时文件失败！";
inline constexpr char kStartAfterEnd[] = "请确认 [开始时间] < [结束时间] ！";
inline constexpr char kStartOutOfRange[] = "[开始时间] 超出范围！";
inline constexpr char kEndOutOfRange[] = "[结束时间] 超出范围！";
// A range in order that falls between two records.
inline constexpr char kNoRecordInRange[] = "[开始时间] 与 [结束时间] 之间没有记录！";
inline constexpr char kReadingTimeParameters[] = "正在读取时间参数,请稍等!";
inline constexpr char kReadingConfiguration[] = "正在读取组态参数,请稍候...";
inline constexpr char kRemainingTime[] = "估计剩余时间:";
// start, end ("%Y-%m-%d %H:%M:%S") and bytes per second
inline constexpr char kUploadComplete[] = "文件上传完成!\n开始时间:%s\n结束时间:%s\n速    度:%dB/s";

// Realtime acquisition
inline constexpr char kAcquisitionLost[] = "通讯失败，已停止实时采集！";
inline constexpr char kFileFull[] = "文件已满，已自动停止，请保存后再启动采集！";
inline constexpr char kConfirmStop[] = "确定要停止实时采集？";
inline constexpr char kStopBeforeSave[] =
    "请先停止实时采集,再保存文件!\n\n是否要停止实时采集并保存文件?";
inline constexpr char kUnsavedRealtimeData[] = "已经存在实时采集数据!\n\n是否需要保存？";
inline constexpr char kSaveHeaderFailed[] = "保存文件信息失败！";
inline constexpr char kSaveFileFailed[] = "保存文件失败！";
// A port that stops answering altogether must not hang the program.
inline constexpr char kPortNotResponding[] = "串口无响应，已停止实时采集！";
inline constexpr char kWaitingForInstrument[] = "正在等待仪表数据...";
// Unsaved records of an acquisition that ended without saving: count, start, end.
inline constexpr char kRecoverQuestion[] =
    "上次实时采集有 %d 条记录尚未保存：\n%s => %s\n\n是否恢复并保存为历史文件？";
inline constexpr char kRecoverButton[] = "恢复";
inline constexpr char kDiscardButton[] = "放弃";

}  // namespace kvr::texts
