#pragma once
// Texts of the start-up and command-line paths, exactly as the user sees them
// (trailing blanks are part of them).

namespace app {

inline constexpr const char* kProductName = "Quillet";
inline constexpr const char* kMainWindowClass = "TQuilletForm";

inline constexpr const char* kAlreadyRunningFormat =
    "%s 已经运行！您不能同时运行多个副本。  \n所以这个进程即将被关闭，请您谅解。                   \n\n"
    "如果%s运行界面未显示在屏幕上，您可以\n使用以下两种方法激活它：\n(1) 点击任务栏中的图标。                \n"
    "(2) 点击系统托盘里的图标。";

inline constexpr const char* kUsageText =
    "Quillet Command Line Options:\r\n\r\n"
    "Quillet /p=Executable /a=Arguments /ram=amount of ram to recover /once\r\n\r\n"
    "/p= \tName of the executable to run after recovering the specified amount of ram\r\n"
    "/a= \tCommand line arguments for the executable\r\n"
    "/ram= \tAmount of RAM to recover before running the specified executable program\r\n"
    "/once \tTells Quillet to quit after freeing memory and running the optional program\r\n\r\n"
    "Ex:\r\nQuillet /p=c:\\edit.exe /a=list.txt /ram=80 /once\r\n\r\n"
    "This example will first free 80MB RAM then execute edit.exe with an argument of list.txt and exit.\r\n\r\n"
    "These arguments are optional: /p, /a, /once. /ram is required when you specify command line "
    "arguments to Quillet.";

inline constexpr const char* kInvalidAmountText =
    "/ram argument is invalid!\r\n\r\nEx: /ram=128\tSpecifies 128MB\r\n"
    "如果使用相同的数值或用三位数的数值设定最大值，则这个参数您必须设定.                    ";

inline constexpr const char* kRecoveryFailedText = "释放内存失败...         ";

// A command-line recovery that asked for more than this process's address space holds, shown
// after the largest block it could get was written (the amount asked, then the amount freed,
// both in MB).
inline constexpr const char* kRecoveryReducedFormat =
    "所要求的 %s MB 超出了本程序的地址空间一次能容纳的大小，\n只释放了 %s MB 内存。";

// 保存设置 could not write the settings file (its path follows on the next line).
inline constexpr const char* kSaveFailedText = "无法保存设置！请确认设置文件不是只读的，并且您有权写入它所在的文件夹：\n";

// A save could not write the 9x cache page's changes into system.ini (its path follows).
inline constexpr const char* kCacheNotWrittenText =
    "缓存设置没有写入！请确认 system.ini 不是只读的，并且您有权写入 Windows 文件夹：\n";

inline constexpr const char* kShortcutPopupCaptionFormat = "%s - Preparing to run shortcut";

// The About page's up-time line: days, hours, minutes and seconds since the system started.
inline constexpr const char* kUptimePrefix = "软件运行总时间估计为： ";
inline constexpr const char* kUptimeSuffix = " （天/小时:分钟:秒钟）";

// The program's home page (the base of its web links, so it ends in "/") and support address;
// the settings file may name others.
inline constexpr const char* kDefaultLinkBase = "http://www.quillet.org/";
inline constexpr const char* kDefaultSupportAddress = "support@quillet.org";

// The free-resource labels on the NT family, which has no such figures.
inline constexpr const char* kNotAvailable = "N/A";

}  // namespace app
