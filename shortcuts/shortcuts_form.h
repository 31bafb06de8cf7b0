#pragma once
// The shortcut builder: a dialog that writes a shortcut file (.lnk) starting this program with a
// command line that recovers memory and then opens a chosen program. The shortcut's name comes
// first; the folder and the program are chosen with the shell's browsers; the amount is kept
// within 90 % of physical memory. Whatever the builder accepts, the command-line runner runs:
// a name no file can have, a name, folder, program, argument text or command line too long for
// the shortcut or the runner, or a field holding one of the runner's own switches, is refused
// with a message, and so is told a shortcut the system could not write: the dialog stays open
// to mend it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace shortcuts {

inline constexpr const char* kShortCutsCaption = "创建快捷方式";
inline constexpr const char* kEmptyNameText = "您必须输入这个快捷方式的名字!             ";
inline constexpr const char* kFolderBrowserTitle = "浏览源程序地址      ";
inline constexpr const char* kLinkDescription = "Quillet created shortcut";
inline constexpr const char* kLinkTargetName = "Quillet.exe";
inline constexpr const char* kLinkExtension = ".lnk";

// What the shortcut file holds, in the system's characters (UTF-16 units): the name with its
// ".lnk", the whole path, and the command line.
inline constexpr size_t kMaxLinkNameChars = 255;
inline constexpr size_t kMaxLinkPathChars = 255;
inline constexpr size_t kMaxCommandLineChars = 259;

inline constexpr const char* kNoFolderText = "请先单击“...”选择快捷方式所在的文件夹。";
inline constexpr const char* kBadNameText = "快捷方式的名称中不能含有下列字符：\\ / : * ? \" < > |";
inline constexpr const char* kNameTooLongText = "快捷方式的名称太长：包括“.lnk”最多只能有 255 个字符。";
inline constexpr const char* kPathTooLongText = "快捷方式的完整路径太长：最多只能有 255 个字符。请选择较短的文件夹或名称。";
// The runner keeps app::kMaxSwitchValueChars characters of each value.
inline constexpr const char* kProgramTooLongText =
    "可执行程序的路径太长：Quillet 的命令行最多只能读取 128 个字符。请选择路径较短的程序。";
inline constexpr const char* kArgumentsTooLongText = "程序参数太长：Quillet 的命令行最多只能读取 128 个字符。";
inline constexpr const char* kSwitchInProgramText =
    "可执行程序的路径中不能含有 Quillet 的命令行开关（/?、/p=、/a=、/ram=、/once）。";
inline constexpr const char* kSwitchInArgumentsText =
    "程序参数中不能含有 Quillet 的命令行开关（/?、/p=、/a=、/ram=、/once）：Quillet 会把它们当作自己的开关。";
// The runner ends each value at the next "/": a path or arguments holding one would not arrive
// as typed.
inline constexpr const char* kSlashInProgramText =
    "可执行程序的路径中不能含有“/”：Quillet 的命令行读到“/”就认为这一项结束了，程序将无法按原样启动。";
inline constexpr const char* kSlashInArgumentsText =
    "程序参数中不能含有“/”：Quillet 的命令行读到“/”就认为这一项结束了，参数将无法原样传给程序。";
inline constexpr const char* kAmountMisreadText =
    "释放内存的数量中不能含有“/”：Quillet 会把它当作命令行开关的开头。";
inline constexpr const char* kCommandLineTooLongText =
    "快捷方式的命令行太长：程序、参数和内存数量合起来最多只能有 259 个字符。";
// The system could not write the shortcut: the file's path and the system's reason follow.
inline constexpr const char* kLinkNotWrittenText = "无法创建快捷方式：\n";

// The shortcut's fields as the dialog holds them.
struct ShortcutFields {
    std::string program;    // NameEdit
    std::string arguments;  // ArgumentsEdit
    std::string amount;     // RAMEdit
    bool runOnce = true;    // RunOnceCheckBox
};

// "/p=PROGRAM /a=ARGUMENTS /ram=AMOUNT /once", each part only when given; nothing quoted. The
// blank after the amount is left out when the amount fills the runner's four characters, which
// would take the blank as a fifth.
std::string buildCommandLine(const ShortcutFields& fields);

// The name with ".lnk" appended unless it holds ".lnk" anywhere (case-sensitive).
std::string withLinkExtension(const std::string& name);

// The amount box's rule on a machine of `totalPhysBytes`: what the text must become, or nothing
// when it stays as typed. Below 1 (empty, not a number, zero, negative) gives "1"; above
// trunc(M x 0.9) + 1 (M: whole megabytes of physical memory) gives M div 2.
std::optional<std::string> correctedAmount(const std::string& text, uint64_t totalPhysBytes);

class TShortCutsForm : public ui::Form {
public:
    static constexpr int kClientWidth = 378;
    static constexpr int kClientHeight = 321;
    static constexpr int kOwnerOffset = 15;
    // Posted to the dialog's own window: work that must wait until the focus has moved.
    static constexpr uint32_t kDeferredMessage = platform::kWmUser + 0x30;

    // `appDir` is the program's folder (with its trailing backslash), where the shortcut's target
    // lies. `os` must outlive the form.
    TShortCutsForm(ui::Backend& backend, platform::Platform& os, std::string appDir);

    // FormCreate: the top-left corner kOwnerOffset pixels right of and below the owner's.
    void placeBeside(int ownerLeft, int ownerTop);
    // Shows the dialog modally with the focus in the name box; returns when it has closed.
    void run();

    ui::Edit& linkNameEdit() const { return linkNameEdit_; }
    ui::Edit& linkEdit() const { return linkEdit_; }
    ui::Edit& nameEdit() const { return nameEdit_; }
    ui::Edit& argumentsEdit() const { return argumentsEdit_; }
    ui::Edit& ramEdit() const { return ramEdit_; }
    ui::CheckBox& runOnceCheckBox() const { return runOnceCheckBox_; }
    ui::FlatButton& linkSpeedButton() const { return linkSpeedButton_; }
    ui::FlatButton& browseSpeedButton() const { return browseSpeedButton_; }
    ui::FlatButton& createSpeedButton() const { return createSpeedButton_; }
    ui::FlatButton& cancelSpeedButton() const { return cancelSpeedButton_; }

    // The command line the shortcut would carry now.
    std::string commandLine() const;

private:
    void LinkNameEditExit();
    void LinkNameEditChange();
    void LinkSpeedButtonClick();
    void LinkEditExit();
    void BrowseSpeedButtonClick();
    void RAMEditChange();
    void CreateSpeedButtonClick();
    void CancelSpeedButtonClick() { close(); }

    // The real window of the dialog, or null (headless).
    platform::Window window() const;
    void tell(const char* text);
    // The empty-name message; with `refocus`, the focus goes back to the name box.
    void emptyName(bool refocus);
    // Moves the focus from the program's own code: exit rules then run at once.
    void moveFocus(ui::Edit& edit);
    // The shortcut's file: the chosen folder and the name with its ".lnk"; empty without a
    // folder or a name.
    std::string linkPath() const;
    // Why the shortcut cannot be written as the dialog stands, or null.
    const char* refusal() const;
    bool handleDeferred(uint32_t message, uintptr_t wParam, intptr_t& result);

    platform::Platform& os_;
    std::string appDir_;
    std::string chosenFolder_;  // the folder last chosen in the browser
    bool movingFocus_ = false;

    ui::Label& nameLabel_;
    ui::Edit& linkNameEdit_;
    ui::Label& pathLabel_;
    ui::Edit& linkEdit_;
    ui::FlatButton& linkSpeedButton_;
    ui::Label& programLabel_;
    ui::Edit& nameEdit_;
    ui::FlatButton& browseSpeedButton_;
    ui::Label& argumentsLabel_;
    ui::Edit& argumentsEdit_;
    ui::Label& ramLabel_;
    ui::Edit& ramEdit_;
    ui::Label& ramUnitLabel_;
    ui::CheckBox& runOnceCheckBox_;
    ui::FlatButton& createSpeedButton_;
    ui::FlatButton& cancelSpeedButton_;
};

// ShortCutsSpeedButtonClick: the dialog beside the main window whose top-left corner is
// (ownerLeft, ownerTop), shown modally and gone when this returns.
void runShortcutsDialog(ui::Backend& backend, platform::Platform& os, const std::string& appDir, int ownerLeft,
                        int ownerTop);

}  // namespace shortcuts
