#pragma once
#include <set>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/platform.h"
#include "win32/services/win32_text_renderer.h"

namespace platform::win32 {

// The real operating-system services. One instance per process, made by the entry point.
class Win32Platform : public Memory,
                      public Clock,
                      public Process,
                      public WindowSystem,
                      public Shell,
                      public Profile,
                      public OsVersion,
                      public NtSystemInformation,
                      public Registry,
                      public Threads,
                      public SystemCommands,
                      public Tray,
                      public FreeResources,
                    public Http {
public:
    explicit Win32Platform(std::string commandLine);
    ~Win32Platform() override;

    Platform services() {
        return Platform{*this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this,
                        *this, textRenderer_};
    }

    // Memory
    void globalMemoryStatus(MemoryStatusRecord& record) override;
    void* virtualAlloc(uint64_t size, uint32_t allocationType, uint32_t protect) override;
    bool virtualFree(void* base, uint64_t size, uint32_t freeType) override;

    // Clock
    uint32_t tickCount() override;
    void sleep(uint32_t milliseconds) override;

    // Process
    std::string programPath() override;
    std::string commandLine() override { return commandLine_; }
    std::string windowsFolder() override;
    std::string applicationDataFolder() override;

    // WindowSystem
    Window findTopLevelWindow(const std::string& className) override;
    int messageBox(Window owner, const std::string& text, const std::string& caption, uint32_t flags) override;
    Window createWindow(const WindowSpec& layout, WindowHandler* handler) override;
    void showWindow(Window window, bool visible) override;
    void updateWindow(Window window) override;
    void destroyWindow(Window window) override;
    void runMessageLoop() override;
    void quitMessageLoop() override;
    void setErrorReporter(std::function<void(const std::string&)> reporter) override;
    uint32_t registerWindowMessage(const std::string& name) override;
    bool setWindowAlpha(Window window, uint8_t alpha) override;
    void clearWindowAlpha(Window window) override;
    std::string chooseFileToOpen(Window owner, uint32_t flags) override;
    void bringToFront(Window window) override;

    // Tray
    bool trayAvailable() override { return true; }
    bool addTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon, const std::string& tip) override;
    bool modifyTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon,
                        const std::string& tip) override;
    void deleteTrayIcon(Window window, uint32_t id) override;
    bool showTrayBalloon(Window window, uint32_t id, const std::string& title, const std::string& text) override;
    // The small-icon size at the window's DPI where the system tells metrics per DPI (Windows
    // 10 1607 and later), otherwise the system's small-icon size.
    int trayIconSize(Window window) override;
    // A bitmap of the screen's kind with the picture's pixels, over an all-opaque mask.
    Icon iconFromPicture(const Picture& picture) override;
    // Sees every record (a NOTIFYICONDATAW) just before it is handed to the shell, with its
    // action (NIM_ADD, NIM_MODIFY, NIM_DELETE); null for none. For probes of what the shell is given.
    using ShellRecordObserver = void (*)(unsigned long action, const void* record);
    static void observeShellRecords(ShellRecordObserver observer);
    Icon programIcon() override;
    void destroyIcon(Icon icon) override;
    bool registerHotKey(Window window, int id, uint32_t modifiers, uint32_t virtualKey) override;
    void unregisterHotKey(Window window, int id) override;
    std::string keyName(uint16_t virtualKey) override;
    bool postMessage(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;

    // Threads
    Thread createSuspendedThread(std::function<uint32_t()> body) override;
    void setBelowNormalPriority(Thread thread) override;
    void resumeThread(Thread thread) override;
    void suspendThread(Thread thread) override;
    void closeThread(Thread thread) override;
    void cursorPosition(int& x, int& y) override;
    void clientOrigin(Window window, int& x, int& y) override;

    // Shell
    intptr_t shellExecute(Window owner, const std::string& verb, const std::string& file, const std::string& parameters,
                          const std::string& directory, int showCommand) override;
    void playSound(const std::string& file, uint32_t flags) override;
    // win32/services/shell_links.cpp
    bool writeShellLink(const std::string& path, const ShellLink& link, std::string& failure) override;
    std::string browseForFolder(Window owner, const std::string& title) override;

    // Http (win32/services/wininet_http.cpp): the system's own client, WinINet.
    std::shared_ptr<HttpTransfer> newTransfer() override;

    // SystemCommands
    void emptyClipboard() override;
    void clearRecentDocuments() override;
    void enableShutdownPrivilege() override;
    void exitWindows(uint32_t flags) override;

    // Profile
    int getInt(const std::string& path, const std::string& section, const std::string& key, int defaultValue) override;
    std::string getString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue) override;
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool fileExists(const std::string& path) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    bool createFolder(const std::string& path) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;

    // OsVersion
    bool getVersionEx(OsVersionRecord& record) override;

    // NtSystemInformation
    bool findNtQuerySystemInformation() override;
    int32_t ntQuerySystemInformation(uint32_t infoClass, void* buffer, uint32_t size) override;

    // FreeResources (win32/services/free_resources.cpp): through the 16-bit window manager on
    // the 9x family; a 64-bit build has no such route.
    std::optional<uint16_t> freeSystemResources(ResourceKind kind) override;

    // Registry
    long openKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key) override;
    long createKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key,
                   bool* created = nullptr) override;
    long queryValue(RegistryKey key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) override;
    long setValue(RegistryKey key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override;
    long deleteValue(RegistryKey key, const std::string& name) override;
    long closeKey(RegistryKey key) override;

    void reportError(const std::string& message);

private:
    bool registerClass(const std::string& className);

    std::string commandLine_;
    Win32TextRenderer textRenderer_;
    std::set<std::string> registeredClasses_;
    std::function<void(const std::string&)> errorReporter_;
    void* ntQuery_ = nullptr;  // what the last lookup of NtQuerySystemInformation found
    void* kernelModule_ = nullptr;  // KERNEL32 as found by the first free-resource query
};

}  // namespace platform::win32
