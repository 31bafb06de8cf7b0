#include "shortcuts/shortcuts_form.h"

#include <string_view>
#include <utility>

#include "app/command_line.h"
#include "text/parse_int.h"
#include "text/utf8_text.h"
#include "memory/conversions.h"
#include "memory/memory_status.h"

namespace shortcuts {

namespace {

// What a deferred message asks for.
constexpr uintptr_t kDeferredNameCheck = 1;
constexpr uintptr_t kDeferredFirstFocus = 2;


// Rows of a caption above a box; the boxes with a browse button leave room for it.
constexpr int kLeft = 8;
constexpr int kFullWidth = TShortCutsForm::kClientWidth - 2 * kLeft;
constexpr int kBrowseWidth = 24;
constexpr int kBoxHeight = 21;
constexpr int kRowPitch = 46;
constexpr int kCaptionToBox = 16;

int rowTop(int row) { return 8 + row * kRowPitch; }

void captionRow(ui::Label& label, int row, const char* caption) {
    label.setPosition(kLeft, rowTop(row));
    label.setCaption(caption);
}

void box(ui::Edit& edit, int row, int width, const char* hint) {
    edit.setBounds(kLeft, rowTop(row) + kCaptionToBox, width, kBoxHeight);
    edit.setHint(hint);
}

}  // namespace

std::string buildCommandLine(const ShortcutFields& fields) {
    std::string line;
    if (!fields.program.empty()) line += "/p=" + fields.program + " ";
    if (!fields.arguments.empty()) line += "/a=" + fields.arguments + " ";
    if (!fields.amount.empty()) {
        line += "/ram=" + fields.amount;
        if (text::utf8Length(fields.amount) < app::kMaxAmountChars) line += " ";
    }
    if (fields.runOnce) line += "/once";
    return line;
}

std::string withLinkExtension(const std::string& name) {
    return name.find(kLinkExtension) == std::string::npos ? name + kLinkExtension : name;
}

std::optional<std::string> correctedAmount(const std::string& text, uint64_t totalPhysBytes) {
    const int32_t value = text::parseInt(text);
    // Nothing below one megabyte makes a shortcut the runner takes.
    if (value < 1) return text == "1" ? std::nullopt : std::optional<std::string>("1");
    const uint64_t megabytes = totalPhysBytes >> 20;
    const auto limit = static_cast<uint64_t>(static_cast<double>(megabytes) * 0.9) + 1;
    if (static_cast<uint64_t>(value) <= limit) return std::nullopt;
    return std::to_string(megabytes / 2);
}

TShortCutsForm::TShortCutsForm(ui::Backend& backend, platform::Platform& os, std::string appDir)
    : ui::Form(backend, "ShortCutsForm"),
      os_(os),
      appDir_(std::move(appDir)),
      nameLabel_(add<ui::Label>("Label1")),
      linkNameEdit_(add<ui::Edit>("LinkNameEdit")),
      pathLabel_(add<ui::Label>("Label2")),
      linkEdit_(add<ui::Edit>("LinkEdit")),
      linkSpeedButton_(add<ui::FlatButton>("LinkSpeedButton")),
      programLabel_(add<ui::Label>("Label3")),
      nameEdit_(add<ui::Edit>("NameEdit")),
      browseSpeedButton_(add<ui::FlatButton>("BrowseSpeedButton")),
      argumentsLabel_(add<ui::Label>("Label4")),
      argumentsEdit_(add<ui::Edit>("ArgumentsEdit")),
      ramLabel_(add<ui::Label>("Label5")),
      ramEdit_(add<ui::Edit>("RAMEdit")),
      ramUnitLabel_(add<ui::Label>("Label6")),
      runOnceCheckBox_(add<ui::CheckBox>("RunOnceCheckBox")),
      createSpeedButton_(add<ui::FlatButton>("CreateSpeedButton")),
      cancelSpeedButton_(add<ui::FlatButton>("CancelSpeedButton")) {
    setClassName("TShortCutsForm");
    setCaption(kShortCutsCaption);
    setBorderStyle(ui::BorderStyle::Dialog);
    setBorderIcons(ui::BorderIcons{true, false, false});
    setFormPosition(ui::FormPosition::Designed);
    setClientSize(kClientWidth, kClientHeight);
    setFont(ui::dialogFont());

    const int boxBesideButton = kFullWidth - kBrowseWidth - 4;
    captionRow(nameLabel_, 0, "快捷方式名称");
    box(linkNameEdit_, 0, kFullWidth, " 为此快捷方式输入一个简短的名称");

    captionRow(pathLabel_, 1, "快捷方式路径");
    box(linkEdit_, 1, boxBesideButton, "您想在何处建立快捷方式，可在此浏览。");
    linkEdit_.setReadOnly(true);
    linkSpeedButton_.setBounds(kLeft + boxBesideButton + 4, rowTop(1) + kCaptionToBox - 1, kBrowseWidth, kBoxHeight + 2);
    linkSpeedButton_.setCaption("...");

    captionRow(programLabel_, 2, "可执行程序");
    box(nameEdit_, 2, boxBesideButton, "可在此浏览并选择您需要建立快捷方式的应用程序。");
    nameEdit_.setReadOnly(true);
    nameEdit_.setMaxLength(256);
    browseSpeedButton_.setBounds(kLeft + boxBesideButton + 4, rowTop(2) + kCaptionToBox - 1, kBrowseWidth,
                                 kBoxHeight + 2);
    browseSpeedButton_.setCaption("...");

    captionRow(argumentsLabel_, 3, "程序参数");
    box(argumentsEdit_, 3, kFullWidth, " 请您输入支持此程序的启动参数。");
    argumentsEdit_.setMaxLength(256);

    captionRow(ramLabel_, 4, "为此程序释放内存");
    box(ramEdit_, 4, 50, " The amount of RAM to recover before running this shortcut");
    ramEdit_.setMaxLength(4);
    ramEdit_.setText("1");
    ramUnitLabel_.setPosition(kLeft + 54, rowTop(4) + kCaptionToBox + 4);
    ramUnitLabel_.setCaption("MB(如128MB内存, 允许最大设定为物理内存总数的90%)");

    runOnceCheckBox_.setBounds(kLeft, rowTop(5) + 4, kFullWidth, 17);
    runOnceCheckBox_.setCaption("允许脱离 Quillet 运行");
    runOnceCheckBox_.setHint("这将总是检查 Quillet 是不是已经在后台运行。如果不选择快捷方式将自动运行 Quillet。");
    runOnceCheckBox_.setChecked(true);

    createSpeedButton_.setBounds(kClientWidth - kLeft - 2 * 75 - 8, kClientHeight - 8 - 25, 75, 25);
    createSpeedButton_.setCaption("创建");
    createSpeedButton_.setHint(" 创建此快捷方式");
    cancelSpeedButton_.setBounds(kClientWidth - kLeft - 75, kClientHeight - 8 - 25, 75, 25);
    cancelSpeedButton_.setCaption("取消");

    linkNameEdit_.onExit = [this] { LinkNameEditExit(); };
    linkNameEdit_.onChange = [this] { LinkNameEditChange(); };
    linkSpeedButton_.onClick = [this] { LinkSpeedButtonClick(); };
    linkEdit_.onExit = [this] { LinkEditExit(); };
    browseSpeedButton_.onClick = [this] { BrowseSpeedButtonClick(); };
    ramEdit_.onChange = [this] { RAMEditChange(); };
    createSpeedButton_.onClick = [this] { CreateSpeedButtonClick(); };
    cancelSpeedButton_.onClick = [this] { CancelSpeedButtonClick(); };
    onMessage = [this](uint32_t message, uintptr_t wParam, intptr_t, intptr_t& result) {
        return handleDeferred(message, wParam, result);
    };
}

void TShortCutsForm::placeBeside(int ownerLeft, int ownerTop) {
    // The offset is a length of the layout: at the DPI the dialog will be laid out for.
    const int offset = platform::scaledLength(kOwnerOffset, backend().screenDpi());
    setPosition(ownerLeft + offset, ownerTop + offset);
}

void TShortCutsForm::run() {
    realize();
    if (platform::Window own = window()) os_.windows.postMessage(own, kDeferredMessage, kDeferredFirstFocus, 0);
    showModal();
}

platform::Window TShortCutsForm::window() const { return peer() != nullptr ? peer()->window() : nullptr; }

void TShortCutsForm::tell(const char* text) { os_.windows.messageBox(window(), text, caption(), platform::kMbOk); }

std::string TShortCutsForm::commandLine() const {
    return buildCommandLine({nameEdit_.text(), argumentsEdit_.text(), ramEdit_.text(), runOnceCheckBox_.checked()});
}

void TShortCutsForm::moveFocus(ui::Edit& edit) {
    const bool outer = movingFocus_;
    movingFocus_ = true;
    edit.setFocus();
    movingFocus_ = outer;
}

void TShortCutsForm::emptyName(bool refocus) {
    tell(kEmptyNameText);
    if (refocus) moveFocus(linkNameEdit_);
}

bool TShortCutsForm::handleDeferred(uint32_t message, uintptr_t wParam, intptr_t& result) {
    if (message != kDeferredMessage) return false;
    result = 0;
    if (!visible()) return true;
    if (wParam == kDeferredNameCheck && linkNameEdit_.text().empty()) emptyName(true);
    if (wParam == kDeferredFirstFocus) moveFocus(linkNameEdit_);
    return true;
}

void TShortCutsForm::LinkNameEditExit() {
    const std::string& name = linkNameEdit_.text();
    if (name.empty()) {
        // A user's focus move is still under way on a real window: a message box now would
        // take the focus away from under it, and the move would carry on past the name box.
        if (platform::Window own = window(); own != nullptr && !movingFocus_) {
            os_.windows.postMessage(own, kDeferredMessage, kDeferredNameCheck, 0);
        } else {
            emptyName(true);
        }
        return;
    }
    linkNameEdit_.setText(withLinkExtension(name));
}

void TShortCutsForm::LinkNameEditChange() {
    // Once a folder is chosen, the path box shows the file the name now gives.
    if (!chosenFolder_.empty()) linkEdit_.setText(linkPath());
}

std::string TShortCutsForm::linkPath() const {
    const std::string& name = linkNameEdit_.text();
    return chosenFolder_.empty() || name.empty() ? std::string() : chosenFolder_ + "\\" + withLinkExtension(name);
}

void TShortCutsForm::LinkSpeedButtonClick() {
    if (linkNameEdit_.text().empty()) {
        emptyName(false);
        return;
    }
    moveFocus(linkEdit_);  // the name box's exit rule runs first
    const std::string folder = os_.shell.browseForFolder(window(), kFolderBrowserTitle);
    // A cancelled browser keeps the folder chosen before, if any: never one the user did not pick.
    if (!folder.empty()) chosenFolder_ = folder;
    linkEdit_.setText(chosenFolder_);
    moveFocus(nameEdit_);  // the path box's exit rule completes the path
}

void TShortCutsForm::LinkEditExit() {
    // The chosen folder and the name: leaving the box again gives the same path, and without a
    // folder there is no path at all.
    linkEdit_.setText(linkPath());
}

void TShortCutsForm::BrowseSpeedButtonClick() {
    if (linkNameEdit_.text().empty()) {
        emptyName(false);
        return;
    }
    nameEdit_.setText("");
    nameEdit_.setText(os_.windows.chooseFileToOpen(
        window(), platform::kOfnFileMustExist | platform::kOfnPathMustExist | platform::kOfnShowHelp));
    moveFocus(argumentsEdit_);
}

void TShortCutsForm::RAMEditChange() {
    memory::MemoryStatus status(os_.memory);
    if (const std::optional<std::string> corrected = correctedAmount(ramEdit_.text(), status.totalPhys())) {
        ramEdit_.setText(*corrected);
        ramEdit_.selectAll();
    }
}

namespace {

// Characters no file name may hold (and the control characters).
bool isFileName(const std::string& name) {
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    return true;
}

// What the runner reads back of a value the line carries as its switch, the value and a blank:
// the value and the blank, cut where the runner cuts every value.
std::string readBack(const std::string& value) {
    const std::string written = value + " ";
    return written.substr(0, text::utf8PrefixBytes(written, app::kMaxSwitchValueChars));
}

// Whether the text holds one of the switches the runner looks for anywhere in its command line.
bool holdsRunnerSwitch(const std::string& text) {
    for (const char* runnerSwitch : {"/?", "/p=", "/a=", "/ram=", "/once"})
        if (text.find(runnerSwitch) != std::string::npos) return true;
    return false;
}

}  // namespace

const char* TShortCutsForm::refusal() const {
    const std::string& name = linkNameEdit_.text();
    if (name.empty()) return kEmptyNameText;
    if (!isFileName(name)) return kBadNameText;
    if (text::utf16Length(withLinkExtension(name)) > kMaxLinkNameChars) return kNameTooLongText;
    if (chosenFolder_.empty() || linkEdit_.text().empty()) return kNoFolderText;
    if (text::utf16Length(linkEdit_.text()) > kMaxLinkPathChars) return kPathTooLongText;
    // Each value reaches the runner whole, and none of them reads as a switch of its own.
    const std::string& program = nameEdit_.text();
    const std::string& arguments = argumentsEdit_.text();
    if (holdsRunnerSwitch(program)) return kSwitchInProgramText;
    if (text::utf8Length(program) > app::kMaxSwitchValueChars) return kProgramTooLongText;
    if (holdsRunnerSwitch(arguments)) return kSwitchInArgumentsText;
    if (text::utf8Length(arguments) > app::kMaxSwitchValueChars) return kArgumentsTooLongText;
    const std::string line = commandLine();
    // The runner must read back each value as typed (it ends a value at the next "/") and find
    // the amount the dialog wrote.
    const app::CommandLine parsed = app::parseCommandLine(line);
    if (!program.empty() && parsed.program != readBack(program)) return kSlashInProgramText;
    if (!arguments.empty() && parsed.arguments != readBack(arguments)) return kSlashInArgumentsText;
    const std::string& amount = ramEdit_.text();
    const std::string written =
        text::utf8Length(amount) < app::kMaxAmountChars ? amount + " " : amount;
    if (parsed.usage || !parsed.amount || *parsed.amount != written ||
        text::utf8Length(*parsed.amount) > app::kMaxAmountChars || text::parseInt(*parsed.amount) < 1)
        return kAmountMisreadText;
    if (text::utf16Length(line) > kMaxCommandLineChars) return kCommandLineTooLongText;
    return nullptr;
}

void TShortCutsForm::CreateSpeedButtonClick() {
    // The name as the user sees it now, with the rule of leaving its box (the flat button takes
    // no focus), gives the file.
    if (!linkNameEdit_.text().empty()) linkNameEdit_.setText(withLinkExtension(linkNameEdit_.text()));
    linkEdit_.setText(linkPath());
    if (const char* problem = refusal()) {
        tell(problem);
        return;
    }
    platform::ShellLink link;
    link.target = appDir_ + kLinkTargetName;
    link.arguments = commandLine();
    link.iconPath = link.target;
    link.iconIndex = 0;
    link.description = kLinkDescription;
    std::string failure;
    if (!os_.shell.writeShellLink(linkEdit_.text(), link, failure)) {
        // Told with the file and the reason; the dialog stays to mend it.
        tell((kLinkNotWrittenText + linkEdit_.text() + "\n\n" + failure).c_str());
        return;
    }
    close();
}

void runShortcutsDialog(ui::Backend& backend, platform::Platform& os, const std::string& appDir, int ownerLeft,
                        int ownerTop) {
    TShortCutsForm form(backend, os, appDir);
    form.placeBeside(ownerLeft, ownerTop);
    form.run();
}

}  // namespace shortcuts
