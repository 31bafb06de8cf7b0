#include "mainwindow/main_form.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "text/parse_int.h"
#include "app/paths.h"
#include "app/texts.h"
#include "commands/system_actions.h"
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

namespace mainwindow {

namespace {

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
    : os_(os),
      cpuUsageSampler_(os.osVersion, os.ntSystem, os.registry),
      form_(mainwindow::buildMainForm(backend)),
      graphTimer_(form_->addComponent<ui::Timer>(kGraphTimerName)),
      c_(*form_) {
    form_->setClassName(app::kMainWindowClass);
    graphTimer_.setEnabled(false);
    graphTimer_.onTimer = [this] { graphTick(); };
    tweaks_ = std::make_unique<tweaks::SystemTweaks>(
        tweaks::TweakContext{*form_, os_, [this] { return window_; }, state_.cacheChangePending});
    readRecoverySettings();
    bindings_ = mainwindow::bindMainFormHandlers(*form_, handlerTable());
    mainwindow::releaseLayoutTables();
    // The alarm rule's box has no handler in the tables; the rules still need to know it.
    c_.autoRecoverCheckBox.onClick = [this](bool on) { AutoRecoverCheckBoxClick(on); };
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

void TQuilletForm::readRecoverySettings() {
    RecoverySettings& r = state_.recovery;
    r.targetMB = c_.targetFreeRamTrackBar.position();
    r.alarmLevelMB = c_.autoRecoverLevelTrackBar.position();
    r.onAlarmLevel = c_.autoRecoverCheckBox.checked();
    r.everyXMinutes = c_.recoverEveryXMinutesCheckBox.checked();
    r.intervalMinutes = text::parseInt(c_.recoverEveryXMinutesEdit.text());
    r.intervalPercent = text::parseInt(c_.recoverEveryXMinutesPercentEdit.text());
    r.cpuMonitorOff = c_.disableCPUMonitorCheckBox.checked();
    r.belowCpuUsage = c_.recoverBelowCPUUsageCheckBox.checked();
    r.belowCpuPercent = text::parseInt(c_.recoverBelowCPUUsageEdit.text());
    r.afterStartup = c_.releaseAfterStartupCheckBox.checked();
    r.startupAmountMB = text::parseInt(c_.releaseAfterStartupEdit.text());
    r.startupWaitSeconds = text::parseInt(c_.releaseAfterStartupWaitEdit.text());
    state_.lowResourceThreshold = text::parseInt(c_.lowResourceEdit.text());
}

ui::FormHandlers TQuilletForm::handlerTable() {
    ui::FormHandlers table;
    auto& h = table.handlers;
    auto& checks = table.checks;
    auto& indices = table.indices;
    auto& texts = table.texts;
    h["Exit1Click"] = [this] { Exit1Click(); };
    h["ExitSpeedButtonClick"] = [this] { ExitSpeedButtonClick(); };
    h["HideSpeedButtonClick"] = [this] { HideSpeedButtonClick(); };
    h["Open1Click"] = [this] { Open1Click(); };
    h["RecoverRAM1Click"] = [this] { RecoverRAM1Click(); };
    for (int tenths = 1; tenths <= 9; ++tenths)
        h["N" + std::to_string(tenths * 10) + "RAM1Click"] = [this, tenths] { recoverShare(tenths); };
    indices["TargetFreeRamTrackBarChange"] = [this](int position) { TargetFreeRamTrackBarChange(position); };
    h["TuneRamSpeedButtonClick"] = [this] { TuneRamSpeedButtonClick(); };
    h["ShortCutsSpeedButtonClick"] = [this] { ShortCutsSpeedButtonClick(); };
    h["CheckforUpgrade1Click"] = [this] { CheckforUpgrade1Click(); };
    h["DisableAutoRecover1Click"] = [this] { DisableAutoRecover1Click(); };
    checks["HotkeyCheckBoxClick"] = [this](bool on) { HotkeyCheckBoxClick(on); };
    h["QuilletHelpTopics1Click"] = [this] { QuilletHelpTopics1Click(); };
    texts["ReduceRAMEditChange"] = [this](const std::string& text) { ReduceRAMEditChange(text); };
    checks["ReduceRAMCheckBoxClick"] = [this](bool on) { ReduceRAMCheckBoxClick(on); };
    h["WebAboutValLabelClick"] = [this] { WebAboutValLabelClick(); };
    h["Quilletwebsite1Click"] = [this] { Quilletwebsite1Click(); };
    h["EmailAboutValLabelClick"] = [this] { EmailAboutValLabelClick(); };
    h["JoinourfreeNewsletter1Click"] = [this] { JoinourfreeNewsletter1Click(); };
    h["Login1Click"] = [this] { Login1Click(); };
    h["Forgottenyourpassword1Click"] = [this] { Forgottenyourpassword1Click(); };
    h["AboutQuillet1Click"] = [this] { AboutQuillet1Click(); };
    checks["DisableAutoRecoverCheckBoxClick"] = [this](bool on) { DisableAutoRecoverCheckBoxClick(on); };
    h["RecoverHotKeyEnter"] = [this] { RecoverHotKeyEnter(); };
    h["DisableAutoRecoverHotKeyEnter"] = [this] { DisableAutoRecoverHotKeyEnter(); };
    // The system commands: no question asked, nothing reported.
    h["FreeWindowsClipboardMemory1Click"] = [this] { commands::emptyClipboard(os_); };
    h["CleartheRecentDocumentsFolder1Click"] = [this] { commands::clearRecentDocuments(os_); };
    h["RestartComputer1Click"] = [this] { commands::restartComputer(os_); };
    h["ShutdownComputer1Click"] = [this] { commands::shutDownComputer(os_); };
    indices["AutoRecoverLevelTrackBarChange"] = [this](int position) { AutoRecoverLevelTrackBarChange(position); };
    checks["RecoverEveryXMinutesCheckBoxClick"] = [this](bool on) { RecoverEveryXMinutesCheckBoxClick(on); };
    texts["RecoverEveryXMinutesEditChange"] = [this](const std::string& text) { RecoverEveryXMinutesEditChange(text); };
    texts["RecoverEveryXMinutesPercentEditChange"] = [this](const std::string& text) {
        RecoverEveryXMinutesPercentEditChange(text);
    };
    checks["RecoverBelowCPUUsageCheckBoxClick"] = [this](bool on) { RecoverBelowCPUUsageCheckBoxClick(on); };
    texts["RecoverBelowCPUUsageEditChange"] = [this](const std::string& text) { RecoverBelowCPUUsageEditChange(text); };
    checks["ReleaseAfterStartupCheckBoxClick"] = [this](bool on) { ReleaseAfterStartupCheckBoxClick(on); };
    texts["ReleaseAfterStartupEditChange"] = [this](const std::string& text) { ReleaseAfterStartupEditChange(text); };
    texts["ReleaseAfterStartupWaitEditChange"] = [this](const std::string& text) {
        ReleaseAfterStartupWaitEditChange(text);
    };
    h["MainTimerTimer"] = [this] { MainTimerTimer(); };
    indices["GraphSpeedRadioGroupClick"] = [this](int index) { GraphSpeedRadioGroupClick(index); };
    indices["GraphColorComboBoxChange"] = [this](int index) { GraphColorComboBoxChange(index); };
    checks["DisableCPUMonitorCheckBoxClick"] = [this](bool off) { DisableCPUMonitorCheckBoxClick(off); };
    checks["LowResourceCheckBoxClick"] = [this](bool on) { LowResourceCheckBoxClick(on); };
    texts["LowResourceEditChange"] = [this](const std::string& text) { LowResourceEditChange(text); };
    h["FormResize"] = [this] { FormResize(); };
    h["SaveSettings1Click"] = [this] { SaveSettings1Click(); };
    h["FreeMemory1Click"] = [this] { FreeMemory1Click(); };
    h["Options1Click"] = [this] { Options1Click(); };
    h["Tweaks1Click"] = [this] { Tweaks1Click(); };
    h["Cache1Click"] = [this] { Cache1Click(); };
    indices["TabStyleComboBoxChange"] = [this](int index) { TabStyleComboBoxChange(index); };
    checks["RecoverSndCheckBoxClick"] = [this](bool on) { RecoverSndCheckBoxClick(on); };
    h["RecoverSndFileSpeedButtonClick"] = [this] { RecoverSndFileSpeedButtonClick(); };
    checks["TranslucentCheckBoxClick"] = [this](bool on) { TranslucentCheckBoxClick(on); };
    indices["TranslucentTrackBarChange"] = [this](int alpha) { TranslucentTrackBarChange(alpha); };
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
        layout.className = app::kMainWindowClass;
        layout.caption = app::kProductName;
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
    // Made hidden: the graph draws once the window shows (it may start hidden in the tray).
    c_.performanceGraph.graph().HoldDrawing(!form_->visible());
}

void TQuilletForm::show() {
    state_.windowHidden = false;
    applyWindowVisibility();
}

void TQuilletForm::applyWindowVisibility() {
    const bool visible = !state_.windowHidden;
    // What a hidden window would have drawn is drawn before it shows, so it shows at once the
    // picture and the figures it would have had all along.
    if (visible && !form_->visible()) showStatusBars();
    c_.performanceGraph.graph().HoldDrawing(!visible);
    form_->setVisible(visible);
    if (ownWindow_) os_.windows.showWindow(window_, visible);
}

void TQuilletForm::FormCreate() {
    ui::Form& f = *form_;

    // A new taskbar (Explorer restarted) announces itself with this message; dispatchMessage
    // then puts the tray icon back.
    state_.taskbarCreatedMessage = os_.windows.registerWindowMessage("TaskbarCreated");

    // The design size is the smallest the window may take.
    f.setMinClientSize(f.clientWidth(), f.clientHeight());

    c_.disableAutoRecoverSpeedButton.setGlyph(c_.enableImage.picture());

    // The main window is the program's taskbar entry, so its caption is the program's title.
    f.setCaption(app::kProductName);
    c_.userAccount1.setEnabled(true);
    auto& splashBox = c_.startSplashCheckBox;
    splashBox.setEnabled(true);

    // The box means "do not show the splash": ShowSplash 1 (the default) ticks it.
    if (os_.profile.getInt(app::appPaths().iniPath, "Settings", "ShowSplash", 1) != 0) splashBox.setChecked(true);

    // Modal: creation goes on once the splash has closed.
    if (!splashBox.checked()) {
        mainwindow::TSplashForm splash(f.backend());
        splash.showModal();
    }

    // The hint panel shows the long part of the hint under the mouse.
    f.onHint = [this](const std::string& hint) { c_.hintLabel.setCaption(ui::longHint(hint)); };

    // The graph's scale from the machine's memory; each label reads the figures afresh.
    for (size_t quarters = 4; quarters >= 1; --quarters) {
        memory::MemoryStatus status(os_.memory);
        c_.scaleLabels[quarters]->setCaption(
            scaleCaption(memory::capMB(status.totalPhys(), static_cast<double>(quarters) / 4)));
    }
    c_.scaleLabels[0]->setCaption("0M");

    // The tray menu's recover-a-share items name their megabytes.
    for (size_t i = 0; i < c_.shareItems.size(); ++i) {
        const int percent = static_cast<int>(i + 1) * 10;
        memory::MemoryStatus status(os_.memory);
        const uint64_t mb = memory::capMB(status.totalPhys(), percent / 100.0);
        c_.shareItems[i]->setCaption(megabytes(mb) + " (" + std::to_string(percent) + "%)");
    }

    // The two memory track bars range over megabytes of the machine (maximum first).
    auto& targetBar = c_.targetFreeRamTrackBar;
    auto& levelBar = c_.autoRecoverLevelTrackBar;
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

    // The bars' handlers bring their value labels and the graph's base lines in line with
    // the positions, which the new ranges may have left where they were.
    if (targetBar.onChange) targetBar.onChange(targetBar.position());
    if (levelBar.onChange) levelBar.onChange(levelBar.position());

    // Base lines: the recovery target white, the alarm level red.
    widgets::TPerformanceGraph& graph = c_.performanceGraph.graph();
    graph.SetBaseLine1Color(0xFFFFFF);
    graph.SetBaseLine2Color(0x0000FF);

    const bool nt = monitor::isNtFamily(os_.osVersion);
    for (ui::Control* control : nt ? c_.notOnNt : c_.notOn9x) control->setEnabled(false);

    // Translucency exists on Windows 2000 and XP.
    const monitor::OsDescription& system = monitor::osDescription();
    if (system.isWin2000 || system.isWinXp) c_.translucentCheckBox.setEnabled(true);

    // The About page.
    c_.copyRightAboutLabel.setCaption(mainwindow::kOwnershipNotice);
    c_.versionAboutValLabel.setCaption(mainwindow::kProgramVersion);
    {
        memory::MemoryStatus status(os_.memory);
        c_.totalPhysicalRamAboutValLabel.setCaption(memory::formatThousands(memory::toKB(status.totalPhys())) + " KB");
    }
    {
        memory::MemoryStatus status(os_.memory);
        c_.totalPageFileAboutValLabel.setCaption(memory::formatThousands(memory::toKB(status.totalPageFile())) + " KB");
    }
    c_.operatingSystemAboutValLabel.setCaption(nt ? "Windows NT 系统" : "Windows 9x 系统");
    c_.osVersionAboutValLabel.setCaption(monitor::versionNumbers(system));
    c_.osNameAboutLabel.setCaption(monitor::releaseLine(system));

    state_.windowHidden = false;

    // The settings' handlers run as they are set.
    LoadSettings();
    // The tray icon once the window is up and ready for input: the shell's notification area
    // answers in its own time (and its libraries load first), and the window need not wait.
    state_.trayIconDue = true;
    os_.windows.postMessageWhenIdle(window_, kAddTrayIconMessage, 0, 0);
    updateStatusDisplay();

    // Whatever the settings load changed in the cache controls asks no restart at start.
    state_.cacheChangePending = false;

    scheduleStartupRecovery();
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
    c_.trayMenu.popup(x, y);
}

void TQuilletForm::Exit1Click() {
    state_.exiting = true;
    // A pause of automatic recovery is lifted first, so the saved options are the user's.
    if (!c_.autoRecoverCheckBox.enabled()) DisableAutoRecover1Click();
    SaveSettings();
    // The tray icon goes; the window comes forward.
    if (trayIcon_) {
        state_.windowHidden = false;
        toggleTrayIcon();
        os_.windows.bringToFront(window_);
    }
    stopGraph();
    // The hot keys are given back to the system.
    if (c_.hotKeyCheckBoxes[0]->checked()) UnregisterRecoverHotkey();
    if (c_.hotKeyCheckBoxes[1]->checked()) UnregisterDisableHotkey();
    // The message loop ends; the process exits with 0.
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
    // One recovery at a time: a request while one runs is dropped.
    if (state_.recoveryThread != nullptr) return;
    // The figures a user's recovery is measured from; a result not told yet is overtaken, and a
    // balloon still showing goes (the new one takes its place at the end). An automatic
    // recovery leaves a user's result to be told after it.
    if (userStarted) pendingResult_ = PendingResult{};
    addDueTrayIcon();
    if (userStarted && state_.showRecoveryResult && trayIcon_ && trayOffersBalloons(monitor::osDescription())) {
        memory::MemoryStatus status(os_.memory);
        pendingResult_.freeBefore = status.availPhys();
        pendingResult_.pageFileUsedBefore = os_.memory.pageFileInUse();
        pendingResult_.waiting = true;
        if (state_.balloonShown) trayIcon_->showBalloon(app::kProductName, "");
        state_.balloonShown = false;
    }
    // A restart question due for leaving the cache page is dropped: the resource page shows
    // the recovery.
    state_.cacheChangePending = false;
    showPage(c_.memoryTabSheet);
    // The recovery sound plays while the block is written; a bad file stays silent.
    const std::string sound = c_.recoverSoundFileEdit.text();
    if (c_.recoverSndCheckBox.checked() && !sound.empty())
        os_.shell.playSound(sound, platform::kSndFilename | platform::kSndAsync | platform::kSndNoDefault |
                                       platform::kSndNoStop | platform::kSndNoWait);
    // The graph holds still and hides, uncovering the panel behind it that reads
    // "正在释放内存...".
    suspendGraph();
    c_.performanceGraph.setVisible(false);
    form_->backend().setBusyCursor(true);
    // The tray icon shows the program's icon and the recovery tip until the next refresh.
    if (trayIcon_) {
        // The drawn image is ours to free; the program's icon is the system's.
        if (state_.trayIconDrawn) os_.tray.destroyIcon(state_.trayIconHandle);
        state_.trayIconDrawn = false;
        state_.trayIconHandle = os_.tray.programIcon();
        trayIcon_->modify(state_.trayIconHandle, std::string(app::kProductName) + " - 正在释放内存……");
    }
    recoveryStarted_ = true;
    memory::RecoveryRequest& request = recoveryRequest();
    request.window = window_;
    request.amount = amountBytes;
    // The worker is made suspended, to be given its priority before it runs.
    platform::Memory& memory = os_.memory;
    platform::WindowSystem& windows = os_.windows;
    state_.recoveryThread = os_.threads.createSuspendedThread(
        [&request, &memory, &windows] { return memory::recoveryWorker(request, memory, windows); });
    // Below normal priority, so the desktop stays usable. Without a thread the window
    // returns to idle here and now: a completion message still on its way could end the
    // next recovery while that one's worker runs.
    if (state_.recoveryThread != nullptr) {
        os_.threads.setBelowNormalPriority(state_.recoveryThread);
        os_.threads.resumeThread(state_.recoveryThread);
    } else {
        recoveryStarted_ = true;
        onRecoveryDone();
    }
}

void TQuilletForm::recoverToTarget(bool userStarted) {
    startRecovery(memory::megabytesToBytes(state_.recovery.targetMB), userStarted);
}

void TQuilletForm::recoverShare(int tenths) {
    memory::MemoryStatus status(os_.memory);  // the memory of the moment of the click
    startRecovery(memory::capMB(status.totalPhys(), tenths / 10.0) << 20, true);
}

void TQuilletForm::TargetFreeRamTrackBarChange(int megabytes) {
    state_.recovery.targetMB = megabytes;
    auto& target = c_.targetFreeRamTrackBar;
    auto& level = c_.autoRecoverLevelTrackBar;
    // An alarm level of exactly 1 leaves everything else as it is.
    if (level.position() == 1) return;
    // The alarm level stays below the target (its own handler runs, and may move the target
    // up again: what follows reads the bar as it then stands).
    if (level.position() >= megabytes) level.setPosition(megabytes - 1);
    const int shown = target.position();
    memory::MemoryStatus status(os_.memory);
    const uint32_t percent =
        memory::percentOf(static_cast<uint64_t>(std::max(shown, 0)), memory::toMB(status.totalPhys()));
    c_.targetFreeRamValLabel.setCaption(std::to_string(shown) + " Mb (" + std::to_string(percent) + "%)");
    // The bar shows 0 ... target as selected.
    target.setSelection(target.selStart(), shown);
    // The graph's white base line, moved while the graph holds still.
    suspendGraph();
    c_.performanceGraph.graph().SetBaseLine1Value(static_cast<int32_t>(percent));
    resumeGraph();
}

void TQuilletForm::TuneRamSpeedButtonClick() {
    auto& target = c_.targetFreeRamTrackBar;
    auto& level = c_.autoRecoverLevelTrackBar;
    widgets::TPerformanceGraph& graph = c_.performanceGraph.graph();
    memory::TuneRamGraphLink link;
    link.holdGraph = [this] { suspendGraph(); };
    link.releaseGraph = [this] { resumeGraph(); };
    link.setBaseline1 = [&graph](int percent) { graph.SetBaseLine1Value(percent); };
    link.setBaseline2 = [&graph](int percent) { graph.SetBaseLine2Value(percent); };
    const memory::TuneRamValues chosen =
        memory::runTuneRamDialog(form_->backend(), os_.memory, link, form_->left(), form_->top(),
                                  {target.max(), level.max(), target.position(), level.position()});
    // Through the main window's own handlers: labels, clamps and base lines follow.
    target.setPosition(chosen.target);
    level.setPosition(chosen.level);
}

void TQuilletForm::ShortCutsSpeedButtonClick() {
    shortcuts::runShortcutsDialog(form_->backend(), os_, app::appPaths().appDir, form_->left(), form_->top());
}

void TQuilletForm::CheckforUpgrade1Click() {
    int left = 0, top = 0;
    os_.windows.clientOrigin(window_, left, top);
    commands::runUpgradeDialog(form_->backend(), os_, app::appPaths().iniPath, state_.linkBase, left, top);
}

void TQuilletForm::showPage(ui::TabSheet& page) { c_.mainPageControl.setActivePage(page); }

void TQuilletForm::FreeMemory1Click() { showPage(c_.memoryTabSheet); }
void TQuilletForm::Options1Click() { showPage(c_.optionsTabSheet); }
void TQuilletForm::Tweaks1Click() { showPage(c_.tweaksTabSheet); }
void TQuilletForm::Cache1Click() { showPage(c_.cacheTabSheet); }

void TQuilletForm::TabStyleComboBoxChange(int index) {
    ui::TabStyle style = ui::TabStyle::Tabs;
    switch (index) {
        case 1: style = ui::TabStyle::Buttons; break;
        case 2: style = ui::TabStyle::FlatButtons; break;
        default: break;
    }
    c_.mainPageControl.setTabStyle(style);
}

void TQuilletForm::RecoverSndCheckBoxClick(bool on) {
    c_.recoverSoundFileEdit.setEnabled(on);
    c_.recoverSndFileSpeedButton.setEnabled(on);
}

void TQuilletForm::RecoverSndFileSpeedButtonClick() {
    // Any file may be chosen: the sound player simply stays silent for one it cannot play.
    const std::string path = os_.windows.chooseFileToOpen(
        window_, platform::kOfnFileMustExist | platform::kOfnPathMustExist | platform::kOfnShowHelp);
    if (!path.empty()) c_.recoverSoundFileEdit.setText(path);
}

void TQuilletForm::TranslucentTrackBarChange(int alpha) {
    // The bar's range (20 ... 255) keeps the window from vanishing; 255 is opaque.
    os_.windows.setWindowAlpha(window_, static_cast<uint8_t>(std::clamp(alpha, 0, 255)));
}

void TQuilletForm::TranslucentCheckBoxClick(bool on) {
    c_.translucentTrackBar.setEnabled(on);
    if (on) {
        TranslucentTrackBarChange(c_.translucentTrackBar.position());
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
    icon->setTip(app::kProductName);
    if (!trayIcon_ && !state_.exiting) trayIcon_ = std::move(icon);
}

void TQuilletForm::addDueTrayIcon() {
    if (!state_.trayIconDue) return;
    state_.trayIconDue = false;
    if (!trayIcon_ && !state_.exiting) addTrayIconWithFigures();
}

void TQuilletForm::addTrayIconWithFigures() {
    if (trayIcon_) return;
    // One call to the shell, which answers from another process and so costs the start-up a
    // round trip each: the picture and the tip of the figures go with the add, not in two
    // changes after an add with neither.
    std::string tip = app::kProductName;
    if (os_.tray.trayAvailable()) tip = drawTrayFigures();
    // As in toggleTrayIcon: what the shell's answer let happen meanwhile decides.
    auto icon = std::make_unique<TrayIcon>(os_.tray, window_, state_.trayIconHandle, kTrayCallbackMessage);
    icon->add(tip);
    if (!trayIcon_ && !state_.exiting) {
        if (icon->present()) state_.trayTipShown = std::move(tip);
        trayIcon_ = std::move(icon);
    }
}

std::string TQuilletForm::drawTrayPicture(uint64_t freeMB, int32_t freePercent, uint32_t memoryLoad, bool recoveryOff,
                                          bool* redrawn) {
    const std::string digits = trayDigits(freeMB);
    const uint32_t color = trayLevelColor(freePercent);
    if (state_.trayIconSize == 0) state_.trayIconSize = os_.tray.trayIconSize();
    const int size = state_.trayIconSize;
    const std::string picture =
        digits + "|" + std::to_string(color) + (recoveryOff ? "|dot" : "") + "|" + std::to_string(size);
    if (!state_.trayIconDrawn || picture != state_.trayPicture) {
        if (state_.trayIconDrawn) os_.tray.destroyIcon(state_.trayIconHandle);
        state_.trayIconHandle = makeTrayIcon(os_.tray, os_.text, size, digits, color, recoveryOff);
        state_.trayIconDrawn = state_.trayIconHandle != nullptr;
        state_.trayPicture = picture;
        if (redrawn != nullptr) *redrawn = true;
    }
    return trayTip(freeMB, memoryLoad);
}

void TQuilletForm::refreshTrayIcon(uint64_t freeMB, int32_t freePercent, uint32_t memoryLoad, bool recoveryOff) {
    bool redrawn = false;
    std::string tip = drawTrayPicture(freeMB, freePercent, memoryLoad, recoveryOff, &redrawn);
    // Most ticks change nothing on the icon: then the shell is not bothered at all.
    if (!redrawn && tip == state_.trayTipShown) return;
    // A new tip alone leaves the icon as the shell holds it: the shell is spared taking the
    // picture again (under Wine, the icon's bitmaps copied across to Explorer) and redrawing it.
    trayIcon_->modify(redrawn ? state_.trayIconHandle : nullptr, tip);
    state_.trayTipShown = std::move(tip);
}

void TQuilletForm::trayIconSizeMayHaveChanged() {
    const int size = os_.tray.trayIconSize();
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
            // The notification area's scale may have changed, and with it the size the shell
            // shows the icon at; the window's own handling of the message goes on. (A new DPI
            // of the main window alone, moved to another monitor, leaves the icon as it is.)
            trayIconSizeMayHaveChanged();
            return false;
        case kAddTrayIconMessage:
            addDueTrayIcon();
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
    form_->backend().setBusyCursor(false);
    // A new recovery may start.
    if (state_.recoveryThread != nullptr) os_.threads.closeThread(state_.recoveryThread);
    state_.recoveryThread = nullptr;
    c_.performanceGraph.setVisible(true);
    resumeGraph();
    // A user's recovery tells its result once the figures have settled.
    if (pendingResult_.waiting) pendingResult_.dueAt = now() + 1000;
}

void TQuilletForm::showRecoveryResultWhenDue() {
    if (!pendingResult_.waiting || pendingResult_.dueAt == 0 || now() < pendingResult_.dueAt || recoveryRunning())
        return;
    pendingResult_.waiting = false;
    if (!trayIcon_) return;
    memory::MemoryStatus status(os_.memory);
    const uint64_t freeAfter = status.availPhys();
    const std::optional<uint64_t> pageFileUsedAfter = os_.memory.pageFileInUse();
    state_.balloonShown = trayIcon_->showBalloon(
        app::kProductName, recoveryResultText(pendingResult_.freeBefore, freeAfter, pendingResult_.pageFileUsedBefore,
                                         pageFileUsedAfter));
}

}  // namespace mainwindow
