#include "mainwindow/main_form.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "app/paths.h"
#include "app/texts.h"
#include "commands/system_commands.h"
#include "commands/upgrade_form.h"
#include "mainwindow/main_form_layout.h"
#include "mainwindow/splash_form.h"
#include "memory/conversions.h"
#include "memory/memory_status.h"
#include "memory/tune_ram_form.h"
#include "monitor/os_detection.h"
#include "shortcuts/shortcuts_form.h"
#include "tweaks/system_tweaks.h"
#include "ui/controls.h"
#include "ui/menu.h"
#include "ui/timer.h"
#include "widgets/widget_controls.h"

namespace app {

namespace {

// Controls that do not apply to the running family and are greyed at creation.
constexpr const char* kNotOnNt[] = {
    "Win9xMEGroupBox", "Label3", "MinimumDiskCacheEdit", "Label4", "MinimumDiskCacheCheckBox", "Label5",
    "MaximumDiskCacheEdit", "Label6", "MaximumDiskCacheCheckBox", "Label7", "ChunkSizeEdit", "Label8",
    "ChunkSizeCheckBox", "Label9", "CacheSchemeComboBox", "ConserveSwapFileCheckBox", "LowResourceCheckBox",
    "LowResourceEdit", "Label18",
};
constexpr const char* kNotOn9x[] = {
    "WinNT2000XPCacheGroupBox",       "Label10", "Disable83NameCreationCheckBox", "DisableLastAccessTimeStampCheckBox",
    "DisablePagingExecutiveCheckBox", "LargeSystemCacheCheckBox",
};

std::string megabytes(uint64_t mb) { return std::to_string(mb) + "M"; }

// A graph scale label: megabytes up to 9999; beyond, gigabytes with one decimal (truncated), so
// the label keeps the width of four digits and stays clear of the figures beside the graph.
std::string scaleCaption(uint64_t mb) {
    if (mb <= 9999) return megabytes(mb);
    const uint64_t tenths = mb * 10 / 1024;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "G";
}

}  // namespace

TQuilletForm::TQuilletForm(platform::Platform& os, ui::Backend& backend)
    : os_(os), cpuUsageSampler_(os.osVersion, os.ntSystem, os.registry), form_(mainwindow::buildMainForm(backend)) {
    form_->setClassName(kMainWindowClass);
    auto& graphTimer = form_->addComponent<ui::Timer>(kGraphTimerName);
    graphTimer.setEnabled(false);
    graphTimer.onTimer = [this] { graphTick(); };
    tweaks_ = std::make_unique<tweaks::SystemTweaks>(
        tweaks::TweakContext{*form_, os_, [this] { return window_; }, state_.cacheChangePending});
    bindings_ = mainwindow::bindMainFormHandlers(*form_, handlerTable());
    // The routing point of the window's own messages for a backend that mirrors the form.
    form_->onMessage = [this](uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
        return dispatchMessage(message, wParam, lParam, result);
    };
}

TQuilletForm::~TQuilletForm() {
    releaseHeldBlock();
    if (ownWindow_ && window_ != nullptr) os_.windows.destroyWindow(window_);
    form_.reset();
}

ui::FormHandlers TQuilletForm::handlerTable() {
    ui::FormHandlers table;
    auto& h = table.handlers;
    h["Exit1Click"] = [this] { Exit1Click(); };
    h["ExitSpeedButtonClick"] = [this] { ExitSpeedButtonClick(); };
    h["HideSpeedButtonClick"] = [this] { HideSpeedButtonClick(); };
    h["Open1Click"] = [this] { Open1Click(); };
    h["RecoverRAM1Click"] = [this] { RecoverRAM1Click(); };
    for (int tenths = 1; tenths <= 9; ++tenths)
        h["N" + std::to_string(tenths * 10) + "RAM1Click"] = [this, tenths] { recoverShare(tenths); };
    h["TargetFreeRamTrackBarChange"] = [this] { TargetFreeRamTrackBarChange(); };
    h["TuneRamSpeedButtonClick"] = [this] { TuneRamSpeedButtonClick(); };
    h["ShortCutsSpeedButtonClick"] = [this] { ShortCutsSpeedButtonClick(); };
    h["CheckforUpgrade1Click"] = [this] { CheckforUpgrade1Click(); };
    h["DisableAutoRecover1Click"] = [this] { DisableAutoRecover1Click(); };
    h["HotkeyCheckBoxClick"] = [this] { HotkeyCheckBoxClick(); };
    h["QuilletHelpTopics1Click"] = [this] { QuilletHelpTopics1Click(); };
    h["ReduceRAMEditChange"] = [this] { ReduceRAMEditChange(); };
    h["ReduceRAMCheckBoxClick"] = [this] { ReduceRAMCheckBoxClick(); };
    h["WebAboutValLabelClick"] = [this] { WebAboutValLabelClick(); };
    h["Quilletwebsite1Click"] = [this] { Quilletwebsite1Click(); };
    h["EmailAboutValLabelClick"] = [this] { EmailAboutValLabelClick(); };
    h["JoinourfreeNewsletter1Click"] = [this] { JoinourfreeNewsletter1Click(); };
    h["Login1Click"] = [this] { Login1Click(); };
    h["Forgottenyourpassword1Click"] = [this] { Forgottenyourpassword1Click(); };
    h["AboutQuillet1Click"] = [this] { AboutQuillet1Click(); };
    h["DisableAutoRecoverCheckBoxClick"] = [this] { DisableAutoRecoverCheckBoxClick(); };
    h["RecoverHotKeyEnter"] = [this] { RecoverHotKeyEnter(); };
    h["DisableAutoRecoverHotKeyEnter"] = [this] { DisableAutoRecoverHotKeyEnter(); };
    // The system commands: no question asked, nothing reported.
    h["FreeWindowsClipboardMemory1Click"] = [this] { emptyClipboard(os_); };
    h["CleartheRecentDocumentsFolder1Click"] = [this] { clearRecentDocuments(os_); };
    h["RestartComputer1Click"] = [this] { restartComputer(os_); };
    h["ShutdownComputer1Click"] = [this] { shutDownComputer(os_); };
    h["AutoRecoverLevelTrackBarChange"] = [this] { AutoRecoverLevelTrackBarChange(); };
    h["RecoverEveryXMinutesCheckBoxClick"] = [this] { RecoverEveryXMinutesCheckBoxClick(); };
    h["RecoverEveryXMinutesEditChange"] = [this] { RecoverEveryXMinutesEditChange(); };
    h["RecoverEveryXMinutesPercentEditChange"] = [this] { RecoverEveryXMinutesPercentEditChange(); };
    h["RecoverBelowCPUUsageCheckBoxClick"] = [this] { RecoverBelowCPUUsageCheckBoxClick(); };
    h["RecoverBelowCPUUsageEditChange"] = [this] { RecoverBelowCPUUsageEditChange(); };
    h["ReleaseAfterStartupCheckBoxClick"] = [this] { ReleaseAfterStartupCheckBoxClick(); };
    h["ReleaseAfterStartupEditChange"] = [this] { ReleaseAfterStartupEditChange(); };
    h["ReleaseAfterStartupWaitEditChange"] = [this] { ReleaseAfterStartupWaitEditChange(); };
    h["MainTimerTimer"] = [this] { MainTimerTimer(); };
    h["GraphSpeedRadioGroupClick"] = [this] { GraphSpeedRadioGroupClick(); };
    h["GraphColorComboBoxChange"] = [this] { GraphColorComboBoxChange(); };
    h["DisableCPUMonitorCheckBoxClick"] = [this] { DisableCPUMonitorCheckBoxClick(); };
    h["LowResourceCheckBoxClick"] = [this] { LowResourceCheckBoxClick(); };
    h["LowResourceEditChange"] = [this] { LowResourceEditChange(); };
    h["FormResize"] = [this] { FormResize(); };
    h["SaveSettings1Click"] = [this] { SaveSettings1Click(); };
    h["FreeMemory1Click"] = [this] { FreeMemory1Click(); };
    h["Options1Click"] = [this] { Options1Click(); };
    h["Tweaks1Click"] = [this] { Tweaks1Click(); };
    h["Cache1Click"] = [this] { Cache1Click(); };
    h["TabStyleComboBoxChange"] = [this] { TabStyleComboBoxChange(); };
    h["RecoverSndCheckBoxClick"] = [this] { RecoverSndCheckBoxClick(); };
    h["RecoverSndFileSpeedButtonClick"] = [this] { RecoverSndFileSpeedButtonClick(); };
    h["TranslucentCheckBoxClick"] = [this] { TranslucentCheckBoxClick(); };
    h["TranslucentTrackBarChange"] = [this] { TranslucentTrackBarChange(); };
    table.closing["FormClose"] = [this](ui::CloseAction& action) { FormClose(action); };
    tweaks_->bindHandlers(table);
    return table;
}

void TQuilletForm::create() {
    form_->realize();
    if (ui::Peer* peer = form_->peer()) window_ = peer->window();
    if (window_ == nullptr) {
        // No real window mirrors the form: the program still needs its top-level window of its
        // class, caption and size, for the single-instance test and the message map.
        platform::WindowSpec layout;
        layout.className = kMainWindowClass;
        layout.caption = kProductName;
        layout.clientWidth = form_->clientWidth();
        layout.clientHeight = form_->clientHeight();
        layout.frame = platform::Frame::Sizeable;
        window_ = os_.windows.createWindow(layout, this);
        if (window_ == nullptr) throw std::runtime_error("无法创建主窗口。");
        ownWindow_ = true;
    }
    FormCreate();
    // The window's first resize, as it is laid out for showing.
    FormResize();
}

void TQuilletForm::show() {
    state_.windowHidden = false;
    applyWindowVisibility();
}

void TQuilletForm::applyWindowVisibility() {
    const bool visible = !state_.windowHidden;
    form_->setVisible(visible);
    if (ownWindow_) os_.windows.showWindow(window_, visible);
}

void TQuilletForm::FormCreate() {
    ui::Form& f = *form_;

    // 1. The number of the message the taskbar broadcasts when it is created anew.
    state_.taskbarCreatedMessage = os_.windows.registerWindowMessage("TaskbarCreated");

    // 2. That message puts the tray icon back (see dispatchMessage).

    // 3. The design size is the smallest the window may take.
    f.setMinClientSize(f.clientWidth(), f.clientHeight());

    // 4. The automatic-recovery button starts with the "switched on" picture.
    get<ui::FlatButton>("DisableAutoRecoverSpeedButton").setGlyph(get<ui::Picture>("EnableImage").picture());

    // 5. Caption (the main window is the program's taskbar entry, so it is also the
    //    application's title), the account links and the splash box.
    f.setCaption(kProductName);
    get<ui::MenuItem>("UserAccount1").setEnabled(true);
    auto& splashBox = get<ui::CheckBox>("StartSplashCheckBox");
    splashBox.setEnabled(true);

    // 6. The box means "do not show the splash": ShowSplash 1 (the default) ticks it.
    if (os_.profile.getInt(appPaths().iniPath, "Settings", "ShowSplash", 1) != 0) splashBox.setChecked(true);

    // 7. The splash, shown modally: creation goes on once it has closed.
    if (!splashBox.checked()) {
        widgets::TSplashForm splash(f.backend());
        splash.showModal();
    }

    // 8. The hint hook: the hint panel shows the long part of the hint under the mouse.
    f.onHint = [this](const std::string& hint) { get<ui::Label>("HintLabel").setCaption(ui::longHint(hint)); };

    // 9. The graph's scale from the machine's memory; each label reads the figures afresh.
    const std::pair<const char*, double> scale[] = {
        {"Ram100Label", 1.0}, {"Ram75Label", 0.75}, {"Ram50Label", 0.5}, {"Ram25Label", 0.25}};
    for (const auto& [name, share] : scale) {
        memory::MemoryStatus status(os_.memory);
        get<ui::Label>(name).setCaption(scaleCaption(memory::capMB(status.totalPhys(), share)));
    }
    get<ui::Label>("Ram0Label").setCaption("0M");

    // 10. The tray menu's recover-a-share items name their megabytes.
    for (int percent = 10; percent <= 90; percent += 10) {
        memory::MemoryStatus status(os_.memory);
        const uint64_t mb = memory::capMB(status.totalPhys(), percent / 100.0);
        get<ui::MenuItem>(("N" + std::to_string(percent) + "RAM1").c_str())
            .setCaption(megabytes(mb) + " (" + std::to_string(percent) + "%)");
    }

    // 11. The two memory track bars range over megabytes of the machine (maximum first).
    auto& targetBar = get<ui::TrackBar>("TargetFreeRamTrackBar");
    auto& levelBar = get<ui::TrackBar>("AutoRecoverLevelTrackBar");
    {
        memory::MemoryStatus status(os_.memory);
        targetBar.setMax(memory::toIntMB(memory::capMB(status.totalPhys(), 0.9)));
        targetBar.setMin(0);
    }
    {
        memory::MemoryStatus status(os_.memory);
        levelBar.setMax(memory::toIntMB(memory::capMB(status.totalPhys(), 0.25)));
        levelBar.setMin(0);
    }

    // 12. The bars' change handlers bring their value labels and the graph's base lines in
    //     line with the positions; they are bound with the recovery commands and the
    //     automatic-recovery rules.
    if (targetBar.onChange) targetBar.onChange();
    if (levelBar.onChange) levelBar.onChange();

    // 13. Base lines: the recovery target white, the alarm level red.
    widgets::TPerformanceGraph& graph = get<widgets::PerformanceGraphControl>("PerformanceGraph").graph();
    graph.SetBaseLine1Color(0xFFFFFF);
    graph.SetBaseLine2Color(0x0000FF);

    // 14. Controls of the other family are greyed.
    const bool nt = monitor::isNtFamily(os_.osVersion);
    if (nt) {
        for (const char* name : kNotOnNt) get<ui::Control>(name).setEnabled(false);
    } else {
        for (const char* name : kNotOn9x) get<ui::Control>(name).setEnabled(false);
    }

    // 15. Translucency exists on Windows 2000 and XP.
    const monitor::OsDescription& system = monitor::osDescription();
    if (system.isWin2000 || system.isWinXp) get<ui::CheckBox>("TranslucentCheckBox").setEnabled(true);

    // 16. The About page.
    get<ui::Label>("CopyRightAboutLabel").setCaption(mainwindow::kOwnershipNotice);
    get<ui::Label>("VersionAboutValLabel").setCaption(widgets::kProgramVersion);
    {
        memory::MemoryStatus status(os_.memory);
        get<ui::Label>("TotalPhysicalRamAboutValLabel")
            .setCaption(memory::formatThousands(memory::toKB(status.totalPhys())) + " KB");
    }
    {
        memory::MemoryStatus status(os_.memory);
        get<ui::Label>("TotalPageFileAboutValLabel")
            .setCaption(memory::formatThousands(memory::toKB(status.totalPageFile())) + " KB");
    }
    get<ui::Label>("OperatingSystemAboutValLabel").setCaption(nt ? "Windows NT 系统" : "Windows 9x 系统");
    get<ui::Label>("OSVersionAboutValLabel").setCaption(monitor::versionNumbers(system));
    get<ui::Label>("OSNAMEAboutLabel").setCaption(monitor::releaseLine(system));

    // 17. Not hidden to the notification area.
    state_.windowHidden = false;

    // 18. The settings (their handlers run as they are set).
    LoadSettings();
    // 19. The tray icon, once the message loop runs: the shell's notification area answers in
    //     its own time, and the window need not wait for it to show.
    os_.windows.postMessage(window_, kAddTrayIconMessage, 0, 0);
    // 20. The first display refresh.
    updateStatusDisplay();

    // 21. Whatever the settings load changed in the cache controls asks no restart at start.
    state_.cacheChangePending = false;

    // 22. The start-up recovery is armed from the options as loaded.
    scheduleStartupRecovery();
    // 23. The graph starts stepping.
    startGraph();
}

void TQuilletForm::FormClose(ui::CloseAction& action) {
    // The window is never closed by its close button: it is hidden, as the 最小化 button does.
    action = ui::CloseAction::None;
    HideSpeedButtonClick();
}

void TQuilletForm::HideSpeedButtonClick() {
    state_.windowHidden = true;
    applyWindowVisibility();
}

void TQuilletForm::Open1Click() {
    state_.windowHidden = false;
    applyWindowVisibility();
    os_.windows.bringToFront(window_);
}

void TQuilletForm::showTrayMenu() {
    // In front first, so the menu closes when the user clicks elsewhere.
    os_.windows.bringToFront(window_);
    int x = 0, y = 0;
    os_.windows.cursorPosition(x, y);
    get<ui::PopupMenu>(mainwindow::kTrayMenuName).popup(x, y);
}

void TQuilletForm::Exit1Click() {
    state_.exiting = true;
    // 1. A pause of automatic recovery is lifted first, so the saved options are the user's.
    if (!get<ui::CheckBox>("AutoRecoverCheckBox").enabled()) DisableAutoRecover1Click();
    // 2. The settings.
    SaveSettings();
    // 3. The tray icon goes; the window comes forward.
    if (trayIcon_) {
        state_.windowHidden = false;
        toggleTrayIcon();
        os_.windows.bringToFront(window_);
    }
    // 4. The graph stops.
    stopGraph();
    // 5. The hot keys are given back.
    if (get<ui::CheckBox>("HotkeyCheckBox").checked()) UnregisterRecoverHotkey();
    if (get<ui::CheckBox>("DisableAutoRecoverCheckBox").checked()) UnregisterDisableHotkey();
    // 6. The message loop ends; the process exits with 0.
    os_.windows.quitMessageLoop();
}

namespace {
// The request the worker thread reads: one for the process, since one recovery runs at a time,
// and outliving the window in case the program ends while a worker still runs.
memory::RecoveryRequest& recoveryRequest() {
    static memory::RecoveryRequest request;
    return request;
}
}  // namespace

void TQuilletForm::startRecovery(uint64_t amountBytes, bool userStarted) {
    // 1. One recovery at a time: a request while one runs is dropped.
    if (state_.recoveryThread != nullptr) return;
    // The figures a user's recovery is measured from; a result not told yet is overtaken, and a
    // balloon still showing goes (the new one takes its place at the end).
    pendingResult_ = PendingResult{};
    if (userStarted && state_.showRecoveryResult && trayIcon_ && trayOffersBalloons(monitor::osDescription())) {
        memory::MemoryStatus status(os_.memory);
        pendingResult_.freeBefore = status.availPhys();
        pendingResult_.pageFileUsedBefore = status.totalPageFile() - std::min(status.availPageFile(), status.totalPageFile());
        pendingResult_.waiting = true;
        if (state_.balloonShown) trayIcon_->showBalloon(kProductName, "");
        state_.balloonShown = false;
    }
    // 2. A restart question due for leaving the cache page is dropped.
    state_.cacheChangePending = false;
    // 3. The resource page shows the recovery.
    showPage("MemoryTabSheet");
    // 4. The recovery sound, played while the block is written; a bad file stays silent.
    const std::string sound = get<ui::Edit>("RecoverSoundFileEdit").text();
    if (get<ui::CheckBox>("RecoverSndCheckBox").checked() && !sound.empty())
        os_.shell.playSound(sound, platform::kSndFilename | platform::kSndAsync | platform::kSndNoDefault |
                                       platform::kSndNoStop | platform::kSndNoWait);
    // 5. The graph holds still.
    suspendGraph();
    // 6. The graph hides, uncovering the panel behind it that reads "正在释放内存...".
    get<widgets::PerformanceGraphControl>("PerformanceGraph").setVisible(false);
    // 7. The hourglass over the program's windows.
    form_->backend().setBusyCursor(true);
    // 8. The tray icon shows the program's icon and the recovery tip until the next refresh.
    if (trayIcon_) {
        // The drawn image is ours to free; the program's icon is the system's.
        if (state_.trayIconDrawn) os_.tray.destroyIcon(state_.trayIconHandle);
        state_.trayIconDrawn = false;
        state_.trayIconHandle = os_.tray.programIcon();
        trayIcon_->modify(state_.trayIconHandle, std::string(kProductName) + " - 正在释放内存……");
    }
    recoveryStarted_ = true;
    // 9. The request for the worker.
    memory::RecoveryRequest& request = recoveryRequest();
    request.window = window_;
    request.amount = amountBytes;
    // 10. The worker, made suspended.
    platform::Memory& memory = os_.memory;
    platform::WindowSystem& windows = os_.windows;
    state_.recoveryThread = os_.threads.createSuspendedThread(
        [&request, &memory, &windows] { return memory::recoveryWorker(request, memory, windows); });
    // 11. Below normal priority, so the desktop stays usable. Without a thread the window
    //     returns to idle here and now: a completion message still on its way could end the
    //     next recovery while that one's worker runs.
    if (state_.recoveryThread != nullptr) {
        os_.threads.setBelowNormalPriority(state_.recoveryThread);
        os_.threads.resumeThread(state_.recoveryThread);
    } else {
        recoveryStarted_ = true;
        onRecoveryDone();
    }
}

void TQuilletForm::recoverToTarget(bool userStarted) {
    startRecovery(memory::megabytesToBytes(get<ui::TrackBar>("TargetFreeRamTrackBar").position()), userStarted);
}

void TQuilletForm::recoverShare(int tenths) {
    memory::MemoryStatus status(os_.memory);  // the memory of the moment of the click
    startRecovery(memory::capMB(status.totalPhys(), tenths / 10.0) << 20, true);
}

void TQuilletForm::TargetFreeRamTrackBarChange() {
    auto& target = get<ui::TrackBar>("TargetFreeRamTrackBar");
    auto& level = get<ui::TrackBar>("AutoRecoverLevelTrackBar");
    // 1. An alarm level of exactly 1 leaves everything as it is.
    if (level.position() == 1) return;
    // 2. The alarm level stays below the target (its own handler runs).
    if (level.position() >= target.position()) level.setPosition(target.position() - 1);
    // 3. The value as megabytes and share of physical memory.
    memory::MemoryStatus status(os_.memory);
    const uint32_t percent =
        memory::percentOf(static_cast<uint64_t>(std::max(target.position(), 0)), memory::toMB(status.totalPhys()));
    get<ui::Label>("TargetFreeRamValLabel")
        .setCaption(std::to_string(target.position()) + " Mb (" + std::to_string(percent) + "%)");
    // 4. The bar shows 0 ... target as selected.
    target.setSelection(target.selStart(), target.position());
    // 5. The graph's white base line, moved while the graph holds still.
    suspendGraph();
    get<widgets::PerformanceGraphControl>("PerformanceGraph").graph().SetBaseLine1Value(static_cast<int32_t>(percent));
    resumeGraph();
}

void TQuilletForm::TuneRamSpeedButtonClick() {
    auto& target = get<ui::TrackBar>("TargetFreeRamTrackBar");
    auto& level = get<ui::TrackBar>("AutoRecoverLevelTrackBar");
    widgets::TPerformanceGraph& graph = get<widgets::PerformanceGraphControl>("PerformanceGraph").graph();
    widgets::TuneRamGraphLink link;
    link.holdGraph = [this] { suspendGraph(); };
    link.releaseGraph = [this] { resumeGraph(); };
    link.setBaseline1 = [&graph](int percent) { graph.SetBaseLine1Value(percent); };
    link.setBaseline2 = [&graph](int percent) { graph.SetBaseLine2Value(percent); };
    const widgets::TuneRamValues chosen =
        widgets::runTuneRamDialog(form_->backend(), os_.memory, link, form_->left(), form_->top(),
                                  {target.max(), level.max(), target.position(), level.position()});
    // Through the main window's own handlers: labels, clamps and base lines follow.
    target.setPosition(chosen.target);
    level.setPosition(chosen.level);
}

void TQuilletForm::ShortCutsSpeedButtonClick() {
    shortcuts::runShortcutsDialog(form_->backend(), os_, appPaths().appDir, form_->left(), form_->top());
}

void TQuilletForm::CheckforUpgrade1Click() {
    int left = 0, top = 0;
    os_.windows.clientOrigin(window_, left, top);
    commands::runUpgradeDialog(form_->backend(), os_, appPaths().iniPath, state_.linkBase, left, top);
}

void TQuilletForm::showPage(const char* pageName) {
    get<ui::PageControl>("MainPageControl").setActivePage(get<ui::TabSheet>(pageName));
}

void TQuilletForm::FreeMemory1Click() { showPage("MemoryTabSheet"); }
void TQuilletForm::Options1Click() { showPage("OptionsTabSheet"); }
void TQuilletForm::Tweaks1Click() { showPage("TweaksTabSheet"); }
void TQuilletForm::Cache1Click() { showPage("CacheTabSheet"); }

void TQuilletForm::TabStyleComboBoxChange() {
    ui::TabStyle style = ui::TabStyle::Tabs;
    switch (get<ui::ComboBox>("TabStyleComboBox").itemIndex()) {
        case 1: style = ui::TabStyle::Buttons; break;
        case 2: style = ui::TabStyle::FlatButtons; break;
        default: break;
    }
    get<ui::PageControl>("MainPageControl").setTabStyle(style);
}

void TQuilletForm::RecoverSndCheckBoxClick() {
    const bool on = get<ui::CheckBox>("RecoverSndCheckBox").checked();
    get<ui::Edit>("RecoverSoundFileEdit").setEnabled(on);
    get<ui::Button>("RecoverSndFileSpeedButton").setEnabled(on);
}

void TQuilletForm::RecoverSndFileSpeedButtonClick() {
    // Any file may be chosen: the sound player simply stays silent for one it cannot play.
    const std::string path = os_.windows.chooseFileToOpen(
        window_, platform::kOfnFileMustExist | platform::kOfnPathMustExist | platform::kOfnShowHelp);
    if (!path.empty()) get<ui::Edit>("RecoverSoundFileEdit").setText(path);
}

void TQuilletForm::TranslucentTrackBarChange() {
    // The bar's range (20 ... 255) keeps the window from vanishing; 255 is opaque.
    const int position = get<ui::TrackBar>("TranslucentTrackBar").position();
    os_.windows.setWindowAlpha(window_, static_cast<uint8_t>(std::clamp(position, 0, 255)));
}

void TQuilletForm::TranslucentCheckBoxClick() {
    const bool on = get<ui::CheckBox>("TranslucentCheckBox").checked();
    get<ui::TrackBar>("TranslucentTrackBar").setEnabled(on);
    if (on) {
        TranslucentTrackBarChange();
    } else {
        os_.windows.clearWindowAlpha(window_);
    }
    form_->setStayOnTop(on);
}

void TQuilletForm::toggleTrayIcon() {
    if (trayIcon_) {
        trayIcon_.reset();  // removes the icon
        return;
    }
    // The shell answers from another process; meanwhile messages sent to the window are handled,
    // an end of the session among them. The icon is kept only if nothing took its place or began
    // the exit in the meantime (then it goes again with `icon`).
    auto icon = std::make_unique<TrayIcon>(os_.tray, window_, state_.trayIconHandle, kTrayCallbackMessage);
    icon->add();
    icon->setTip(kProductName);
    if (!trayIcon_ && !state_.exiting) trayIcon_ = std::move(icon);
}

void TQuilletForm::refreshTrayIcon(uint64_t freeMB, int32_t freePercent, uint32_t memoryLoad, bool recoveryOff) {
    const std::string digits = trayDigits(freeMB);
    const uint32_t color = trayLevelColor(freePercent);
    if (state_.trayIconSize == 0) state_.trayIconSize = os_.tray.trayIconSize(window_);
    const int size = state_.trayIconSize;
    const std::string picture =
        digits + "|" + std::to_string(color) + (recoveryOff ? "|dot" : "") + "|" + std::to_string(size);
    std::string tip = trayTip(freeMB, memoryLoad);
    // Most ticks change nothing on the icon: then the shell is not bothered at all.
    const bool samePicture = state_.trayIconDrawn && picture == state_.trayPicture;
    if (samePicture && tip == state_.trayTipShown) return;
    if (!samePicture) {
        if (state_.trayIconDrawn) os_.tray.destroyIcon(state_.trayIconHandle);
        state_.trayIconHandle = makeTrayIcon(os_.tray, os_.text, size, digits, color, recoveryOff);
        state_.trayIconDrawn = state_.trayIconHandle != nullptr;
        state_.trayPicture = picture;
    }
    trayIcon_->modify(state_.trayIconHandle, tip);
    state_.trayTipShown = std::move(tip);
}

void TQuilletForm::trayIconSizeMayHaveChanged() {
    const int size = os_.tray.trayIconSize(window_);
    if (size == state_.trayIconSize) return;
    state_.trayIconSize = size;
    if (!recoveryRunning()) refreshTrayFigures();
}

bool TQuilletForm::dispatchMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
    // A new taskbar (Explorer restarted) has an empty notification area: the icon goes back.
    if (state_.taskbarCreatedMessage != 0 && message == state_.taskbarCreatedMessage) {
        toggleTrayIcon();
        toggleTrayIcon();
        trayIconSizeMayHaveChanged();
        result = 0;
        return true;
    }
    switch (message) {
        case platform::kWmQueryEndSession:
            state_.sessionEnding = true;
            Exit1Click();
            result = 1;  // Windows may go on logging off or shutting down
            return true;
        case platform::kWmHotKey:
            WMHotKey(wParam);
            result = 0;
            return true;
        case kTrayCallbackMessage:
            onTrayMessage(lParam);
            result = 0;
            return true;
        case kRecoveryDoneMessage:
            onRecoveryDone();
            result = 1;
            return true;
        case platform::kWmSettingChange:
        case platform::kWmDisplayChange:
        case platform::kWmDpiChanged:
            // The shell may now show the tray icon at another size; the window's own handling
            // of the message goes on.
            trayIconSizeMayHaveChanged();
            return false;
        case kAddTrayIconMessage:
            if (!trayIcon_ && !state_.exiting) {
                toggleTrayIcon();
                refreshTrayFigures();
            }
            result = 0;
            return true;
        default:
            return false;
    }
}

bool TQuilletForm::handleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
    if (message == platform::kWmClose) {
        form_->close();
        result = 0;
        return true;
    }
    return dispatchMessage(message, wParam, lParam, result);
}

// The tray icon's mouse messages: a double click opens the window, a right click the menu.
void TQuilletForm::onTrayMessage(intptr_t mouseMessage) {
    constexpr intptr_t kLeftDoubleClick = 0x0203;  // WM_LBUTTONDBLCLK
    constexpr intptr_t kRightButtonUp = 0x0205;     // WM_RBUTTONUP
    if (mouseMessage == kLeftDoubleClick) Open1Click();
    else if (mouseMessage == kRightButtonUp) showTrayMenu();
}
// The worker has ended: back to idle.
void TQuilletForm::onRecoveryDone() {
    // Only the end of the recovery that runs counts (not a stray message of the same number).
    if (!recoveryStarted_) return;
    recoveryStarted_ = false;
    // 12. The ordinary cursor.
    form_->backend().setBusyCursor(false);
    // 13. A new recovery may start.
    if (state_.recoveryThread != nullptr) os_.threads.closeThread(state_.recoveryThread);
    state_.recoveryThread = nullptr;
    // 14. The graph shows again.
    get<widgets::PerformanceGraphControl>("PerformanceGraph").setVisible(true);
    // 15. The graph moves on.
    resumeGraph();
    // 16. A user's recovery tells its result once the figures have settled.
    if (pendingResult_.waiting) pendingResult_.dueAt = now() + 1000;
}

void TQuilletForm::showRecoveryResultWhenDue() {
    if (!pendingResult_.waiting || pendingResult_.dueAt == 0 || now() < pendingResult_.dueAt || recoveryRunning())
        return;
    pendingResult_.waiting = false;
    if (!trayIcon_) return;
    memory::MemoryStatus status(os_.memory);
    const uint64_t freeAfter = status.availPhys();
    const uint64_t pageFileUsedAfter = status.totalPageFile() - std::min(status.availPageFile(), status.totalPageFile());
    state_.balloonShown = trayIcon_->showBalloon(
        kProductName, recoveryResultText(pendingResult_.freeBefore, freeAfter, pendingResult_.pageFileUsedBefore,
                                         pageFileUsedAfter));
}

}  // namespace app
