#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/long_tick_count.h"
#include "mainwindow/main_controls.h"
#include "mainwindow/main_form_builder.h"
#include "mainwindow/tray_icon.h"
#include "memory/memory_status.h"
#include "memory/recovery.h"
#include "monitor/cpu_usage.h"
#include "platform/platform.h"
#include "ui/form.h"

namespace tweaks {
class SystemTweaks;
}

namespace mainwindow {

// Message numbers of the main window's own message map.
constexpr uint32_t kTrayCallbackMessage = platform::kWmUser + 1;  // 1025, the tray icon's mouse messages
constexpr uint32_t kRecoveryDoneMessage = memory::kRecoveryDoneMessage;  // 1026, posted by the recovery worker
constexpr uint32_t kAddTrayIconMessage = platform::kWmUser + 3;  // 1027, posted to itself once the window is ready for input

// The automatic-recovery options as the rules read them at every tick. The options' change
// handlers write them whenever their controls change (from code or by the user), as the
// controls hold them after any correction: a tick reads no control and parses no text.
struct RecoverySettings {
    int32_t targetMB = 0;             // what a recovery frees: the recovery target
    int32_t alarmLevelMB = 0;         // free memory below this recovers ...
    bool onAlarmLevel = false;        // ... while this is ticked
    bool everyXMinutes = false;       // the interval rule is ticked ...
    int32_t intervalMinutes = 0;      // ... and runs this often (0 = off) ...
    int32_t intervalPercent = 0;      // ... recovering while less than this share is free
    bool cpuMonitorOff = false;       // no processor figure: the CPU condition holds nothing back
    bool belowCpuUsage = false;       // the CPU condition is ticked: the rules recover only ...
    int32_t belowCpuPercent = 0;      // ... while the processor load is below this
    bool afterStartup = false;        // the start-up recovery is ticked: ...
    int32_t startupAmountMB = 0;      // ... this many megabytes ...
    int32_t startupWaitSeconds = 0;   // ... this long after start-up
};

// State the main window keeps beside its controls; all empty when the window object is made.
// The tray icon and its image, the graph thread, the recovery thread and the stress page's held
// block join here with their features.
struct MainFormState {
    uint32_t taskbarCreatedMessage = 0;  // the number registered for "TaskbarCreated"
    bool cacheChangePending = false;     // a cache setting changed: a restart question is due
    bool savedAutoRecover = false;       // check-box states saved while automatic recovery pauses
    bool savedRecoverEveryXMinutes = false;
    bool lowResourceAlarmShowing = false;
    RecoverySettings recovery;           // the options the recovery rules read
    int32_t lowResourceThreshold = 0;    // the low-resource alarm's percent
    uint32_t startupRecoveryAmount = 0;  // megabytes to recover after start-up, 0 = none
    uint32_t startupRecoveryWait = 0;    // seconds to wait after start-up
    uint64_t startupRecoveryDue = 0;     // long tick count at which the start-up recovery is due
    uint64_t nextIntervalTick = 0;       // long tick count at which the interval rule looks again
    int32_t graphPeriodMs = 250;         // pause between two graph steps (the default pace's)
    int32_t lastCpuUsage = 0;            // percent shown by the last refresh; 0 while its monitor is off
    int32_t freeRamPercent = 0;          // free share of physical memory at the last refresh
    bool windowHidden = false;           // hidden to the notification area
    memory::MemoryFigures figures;       // the memory figures of the last refresh
    bool figuresRead = false;            // false before the first
    bool exiting = false;                // the exit sequence has begun: no tray icon comes back
    bool trayIconDue = false;            // the start's tray icon waits for the window to be ready
    bool sessionEnding = false;          // Windows is logging off or shutting down: nobody to ask
    platform::Thread recoveryThread = nullptr;  // the running recovery's worker; null: none runs
    platform::Icon trayIconHandle = nullptr;  // the tray icon's image as last drawn
    bool trayIconDrawn = false;    // trayIconHandle is our own drawing (not the program's icon)
    std::string trayPicture;       // what that drawing shows: digits, colour, dot
    std::string trayTipShown;      // the tip given with it
    int trayIconSize = 0;          // pixels square the shell shows the icon at; 0 until asked
    bool showRecoveryResult = true;  // a recovery the user started ends in a balloon with its result
    bool balloonShown = false;       // this run has shown one, which may still be showing
    std::string linkBase;        // base of the program's web links (ends in "/")
    std::string supportAddress;  // the support mail address
};

// The main window: the form built from the layout tables, the state the program keeps beside
// its controls, its creation handler, its message map and the exit sequence.
class TQuilletForm : public platform::WindowHandler {
public:
    TQuilletForm(platform::Platform& os, ui::Backend& backend);
    ~TQuilletForm() override;
    TQuilletForm(const TQuilletForm&) = delete;
    TQuilletForm& operator=(const TQuilletForm&) = delete;

    // Realises the form (hidden) and runs the creation handler. Throws when the system cannot
    // make the window.
    void create();
    // Shows the window (the start-up does so unless StartMinimized is set).
    void show();

    // The creation handler, run by create().
    void FormCreate();
    // The close request: refused, the window is hidden instead.
    void FormClose(ui::CloseAction& action);
    // The exit sequence: ends the message loop (the process then exits with 0).
    void Exit1Click();
    void ExitSpeedButtonClick() { Exit1Click(); }
    // Hides the main window (to the notification area once its icon exists).
    void HideSpeedButtonClick();
    // Adds the tray icon (tip "Quillet") when there is none, removes it when there is one.
    void toggleTrayIcon();
    // The icon drawn afresh from the figures of a display refresh, and its tip.
    void refreshTrayIcon(uint64_t freeMB, int32_t freePercent, uint32_t memoryLoad, bool recoveryOff);
    // The icon the program starts with: added with its figures drawn and in its tip.
    void addTrayIconWithFigures();
    // The start's icon, if it still waits: once the window is ready for input, or sooner when
    // something needs it (a recovery that tells its result there, the icon's own menu).
    void addDueTrayIcon();
    // Asks the shell's icon size afresh (display scale, small-icon size, a new taskbar): an icon
    // of another size is drawn again at once, unless a recovery shows the program's icon.
    void trayIconSizeMayHaveChanged();
    const TrayIcon* trayIcon() const { return trayIcon_.get(); }
    // The tray menu's 打开 (and the icon's double click): shows the window in front.
    void Open1Click();
    // The icon's right click: the tray menu at the mouse pointer.
    void showTrayMenu();

    // View menu: each makes its page the active one, without the page-changing question.
    void FreeMemory1Click();
    void Options1Click();
    void Tweaks1Click();
    void Cache1Click();
    void TabStyleComboBoxChange(int index);
    void RecoverSndCheckBoxClick(bool on);
    void RecoverSndFileSpeedButtonClick();
    // Translucency of the main window (Windows 2000 and XP): the check box switches it on and
    // off together with "always on top"; the track bar sets the alpha.
    void TranslucentCheckBoxClick(bool on);
    void TranslucentTrackBarChange(int alpha);

    // Starts a recovery of that many bytes on a worker thread (sized there: see
    // memory::sizeRecovery); does nothing while one runs. The window shows the running state
    // until the worker's kRecoveryDoneMessage arrives.
    // A recovery the user started (userStarted) tells its result in a balloon over the tray
    // icon at the first monitor tick at least a second after its end.
    void startRecovery(uint64_t amountBytes, bool userStarted = false);
    bool recoveryRunning() const { return state_.recoveryThread != nullptr; }

    // Recover (the 释放 button, the File and tray menus, the hot key): as much as the recovery
    // target; recoverToTarget(false) is the automatic rules' recovery of the same amount.
    void RecoverRAM1Click() { recoverToTarget(true); }
    void recoverToTarget(bool userStarted);
    // The tray's "尝试释放" items: a share of physical memory, tenths = 1 ... 9.
    void recoverShare(int tenths);
    // The recovery target moved: keeps the alarm level below it, shows its value and moves the
    // graph's first base line.
    void TargetFreeRamTrackBarChange(int megabytes);
    // 调整内存: the two memory levels in a small dialog, with the graph's base lines following
    // live; its values are taken however it is closed.
    void TuneRamSpeedButtonClick();
    // 创建快捷方式 (tweaks page): the shortcut builder beside the window.
    void ShortCutsSpeedButtonClick();
    // 检查升级 (Web menu): the upgrade dialog at the window's client origin.
    void CheckforUpgrade1Click();

    // The monitor tick (MainTimer, 500 ms) and the display refresh it runs.
    void MainTimerTimer();
    // Reads the figures, keeps them and shows them: in the labels and the tray icon always, in
    // the bars only while the window shows (applyWindowVisibility draws them as it shows).
    void updateStatusDisplay();
    // One step of the graph: the free share of physical memory, in yellow.
    void graphTick();
    // The graph's steps: started at the end of creation, stopped at exit; suspensions nest
    // (a recovery, a base line being moved, a change of pace).
    void startGraph();
    void stopGraph();
    void suspendGraph();
    void resumeGraph();
    bool graphRunning() const { return graphExists_ && graphSuspensions_ == 0; }
    void GraphSpeedRadioGroupClick(int index);
    void GraphColorComboBoxChange(int index);
    // Places the graph's scale labels along its panel's height.
    void FormResize();
    void DisableCPUMonitorCheckBoxClick(bool monitorOff);

    // The 9x free system resources (mainwindow/low_resource_alarm.cpp): the refresh shows them ("N/A"
    // where the system has none) and checks them against the alarm's threshold, which opens the
    // modal warning while one is below it; the options' handlers.
    void refreshFreeResources();
    // The tray icon's digits and tip from the memory figures now (from those given).
    void refreshTrayFigures();
    void refreshTrayFigures(const memory::MemoryFigures& figures);
    // Draws the tray icon's picture from the figures now (from those given), when it differs
    // from the one drawn last (then `redrawn` is set); returns their tip.
    std::string drawTrayFigures();
    std::string drawTrayPicture(uint64_t freeMB, int32_t freePercent, uint32_t memoryLoad, bool recoveryOff,
                                bool* redrawn = nullptr);
    void checkLowResources(int32_t gdi, int32_t system, int32_t user);
    void LowResourceCheckBoxClick(bool on);
    void LowResourceEditChange(const std::string& text);

    // Automatic recovery: the rules of each tick, the CPU condition, the master switch (tray
    // menu, button, hot key) and the options' handlers.
    void runRecoveryRules();
    bool cpuAllowsRecovery();
    void DisableAutoRecover1Click();
    void AutoRecoverLevelTrackBarChange(int megabytes);
    void AutoRecoverCheckBoxClick(bool on) { state_.recovery.onAlarmLevel = on; }
    void RecoverEveryXMinutesCheckBoxClick(bool on);
    void RecoverEveryXMinutesEditChange(const std::string& text);
    void RecoverEveryXMinutesPercentEditChange(const std::string& text);
    void RecoverBelowCPUUsageCheckBoxClick(bool on);
    void RecoverBelowCPUUsageEditChange(const std::string& text);
    void ReleaseAfterStartupCheckBoxClick(bool on);
    void ReleaseAfterStartupEditChange(const std::string& text);
    void ReleaseAfterStartupWaitEditChange(const std::string& text);

    // The hot keys: id 0 recovers now, id 1 switches automatic recovery off and on.
    void ApplyRecoverHotkey(const std::string& text) { applyHotKey(0, text); }
    void ApplyDisableHotkey(const std::string& text) { applyHotKey(1, text); }
    void UnregisterRecoverHotkey() { unregisterHotKey(0); }
    void UnregisterDisableHotkey() { unregisterHotKey(1); }
    void HotkeyCheckBoxClick(bool on) { hotKeyCheckBoxClick(0, on); }
    void DisableAutoRecoverCheckBoxClick(bool on) { hotKeyCheckBoxClick(1, on); }
    // Typing a combination into its box must not fire the registered one.
    void RecoverHotKeyEnter() { unregisterHotKey(0); }
    void DisableAutoRecoverHotKeyEnter() { unregisterHotKey(1); }
    // The text form of the combination in the hot key's box.
    std::string hotKeyTextOf(int id) const;

    // The stress page: the amount stays within free memory; the box takes or gives back the
    // held block.
    void ReduceRAMEditChange(const std::string& text);
    void ReduceRAMCheckBoxClick(bool on);
    void* heldBlock() const { return heldBlock_; }

    // Help and web links.
    void QuilletHelpTopics1Click();
    void WebAboutValLabelClick();
    void Quilletwebsite1Click() { WebAboutValLabelClick(); }
    void EmailAboutValLabelClick();
    void JoinourfreeNewsletter1Click();
    void Login1Click();
    void Forgottenyourpassword1Click();
    void AboutQuillet1Click();

    // The settings file: loaded once during creation, saved by 保存设置 and on exit.
    void LoadSettings();
    // False when the file could not be written (it is then as it was before). Start with
    // Windows (the registry) and, on the 9x family, the cache page (system.ini) are written on
    // their own whatever became of the file; each failure is told, unless Windows is ending
    // the session.
    bool SaveSettings();
    // 保存设置.
    void SaveSettings1Click();

    // The message map: WM_QUERYENDSESSION, WM_HOTKEY, kTrayCallbackMessage, kRecoveryDoneMessage.
    // True when handled, with the answer in result.
    bool dispatchMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result);
    // Messages of the plain system window used while the backend mirrors no form (headless):
    // the close request goes to the form, everything else to the message map.
    bool handleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;

    ui::Form& form() const { return *form_; }
    // The form's components the handlers work with, resolved once at construction.
    const mainwindow::MainControls& controls() const { return c_; }
    // Which of the tables' handler names are bound to this window's methods.
    const mainwindow::BindingReport& bindings() const { return bindings_; }
    platform::Window window() const { return window_; }
    monitor::CpuUsageSampler& cpuUsageSampler() { return cpuUsageSampler_; }

    MainFormState& state() { return state_; }
    const MainFormState& state() const { return state_; }

private:
    ui::FormHandlers handlerTable();
    // The options' values as the form was built, before any handler was bound.
    void readRecoverySettings();
    void showPage(ui::TabSheet& page);
    // The window shows unless windowHidden; while it is hidden the graph draws nothing.
    void applyWindowVisibility();
    // The bars of the main window from the figures of the last refresh.
    void showStatusBars();

    // The settings file alone, all or nothing.
    bool writeSettingsFile();
    void openAddress(const std::string& address);
    void releaseHeldBlock();
    void applyHotKey(int id, const std::string& text);
    void unregisterHotKey(int id);
    void hotKeyCheckBoxClick(int id, bool on);
    // Routing points of the message map.
    void WMHotKey(uintptr_t id);
    void onTrayMessage(intptr_t mouseMessage);
    void onRecoveryDone();
    // The balloon with a user's recovery's result, once it is due.
    void showRecoveryResultWhenDue();

    platform::Platform& os_;
    monitor::CpuUsageSampler cpuUsageSampler_;
    std::unique_ptr<ui::Form> form_;
    ui::Timer& graphTimer_;  // paces the graph's steps
    const mainwindow::MainControls c_;
    mainwindow::BindingReport bindings_;
    // The form's real window; when the backend mirrors no form, a plain system window of the
    // program's class that this object owns (ownWindow_), so that the single-instance test and
    // the message map work all the same.
    platform::Window window_ = nullptr;
    bool ownWindow_ = false;

    MainFormState state_;
    std::unique_ptr<tweaks::SystemTweaks> tweaks_;  // the tweaks and cache pages' registry and system.ini work
    std::unique_ptr<TrayIcon> trayIcon_;
    void* heldBlock_ = nullptr;  // the stress page's block, held until its box is cleared
    bool correctingStressAmount_ = false;
    bool recoveryStarted_ = false;  // from startRecovery until its completion is handled
    // The result of a recovery the user started: the figures before it, and once it ended the
    // long tick count from which it is told.
    struct PendingResult {
        bool waiting = false;  // the recovery runs, or its result is not told yet
        uint64_t dueAt = 0;    // 0 while the recovery runs
        uint64_t freeBefore = 0;
        std::optional<uint64_t> pageFileUsedBefore;  // bytes of the page files in use; none: not told
    } pendingResult_;
    bool graphExists_ = false;
    int graphSuspensions_ = 0;
    void applyGraphPace();
    // The clock the rules' due times are kept in.
    uint64_t now() { return clock_.at(os_.clock.tickCount()); }
    platform::LongTickCount clock_;
    // The settings are saved only once they were loaded (an early exit must not overwrite the
    // file with the design values).
    bool settingsLoaded_ = false;
    // Arms the start-up rule from the options as loaded, at the end of creation.
    void scheduleStartupRecovery();
    void correctEdit(ui::Edit& edit, const std::string& value);
};

// The timer that paces the graph (a component of the form beside those of the tables).
inline constexpr const char* kGraphTimerName = "GraphTimer";

}  // namespace mainwindow
