#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/text_profile.h"
#include "platform/platform.h"
#include "platform/software_canvas.h"

namespace platform::fake {

// Orders names as the registry compares them: ASCII letters without regard to case.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// A scripted machine for native tests: exactly 256 MB of physical memory unless a test says
// otherwise, a manual clock, recorded window and shell calls, and an ordered log of events.
// It runs Windows XP SP3 unless a test picks another release; its registry starts with the empty
// system keys the tweaks use, which every Windows installation has.
class FakeMachine : public Memory,
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
                    public Http,
                    public TextRenderer {
public:
    FakeMachine();
    ~FakeMachine() override;

    Platform services() {
        return Platform{*this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this,
                        *this, *this};
    }

    // --- scripted state -------------------------------------------------------
    MemoryStatusRecord status{};             // what the status query answers
    int failingStatusQueries = 0;            // the next so many status queries throw
    std::deque<uint64_t> availPhysSequence;  // when not empty, each query takes the next free figure
    uint64_t largestCommit = 64u << 20;      // commits above this (or of 0 bytes) are refused
    uint64_t largestFreeRange = UINT64_MAX;  // the address space's largest free range
    std::optional<uint64_t> pageFileUse = 0;  // bytes of the page files in use; none: not told
    uint32_t tick = 0;
    std::string program = "C:\\Program Files\\Quillet\\Quillet.exe";
    // The files that exist under a short (8.3) path, with their long paths (a name the system
    // does not know comes back unchanged).
    std::map<std::string, std::string, NoCaseLess> longPaths;
    std::string arguments;
    std::string windowsPath = "C:\\WINDOWS";
    std::string appDataPath = "C:\\Documents and Settings\\User\\Application Data";
    int messageBoxAnswer = kIdOk;
    // INI files are whole texts, read and written by the system's rules (text_profile.h); the
    // switches below make the program's reads and writes fail as the system's would.
    std::vector<std::string> iniWrites;  // "section|key=value" in the order written
    bool iniReadOnly = false;            // writes fail
    int iniWritesLeft = -1;              // when not negative: writes that succeed before they all fail
    bool iniReplaceFails = false;        // putting a file in place of another fails
    // Read-only files: writing to them, and putting another file in their place, fail; a copy
    // of one is read-only too, as on Windows. Deleting one succeeds.
    std::set<std::string> readOnlyFiles;
    // Folders that do not exist yet (no backslash at the end): files in them cannot be written
    // or copied to until createFolder makes them. Every other folder exists.
    std::set<std::string> missingFolders;
    std::set<std::string> unmakeableFolders;  // createFolder fails for these
    // The INI files as a test sees and makes them, past the switches and the write log. A value
    // is given as the file holds it (quotes kept, not cut); none when the reader finds no key.
    std::optional<std::string> iniValue(const std::string& path, const std::string& section,
                                        const std::string& key) const {
        return iniFiles_.storedValue(path, section, key);
    }
    // The entries of one file that the reader finds, by "section|key"; empty without the file.
    std::map<std::string, std::string> iniFile(const std::string& path) const { return iniFiles_.entries(path); }
    // The file's whole text; empty without the file.
    const std::string& iniText(const std::string& path) const { return iniFiles_.text(path); }
    void setIniText(const std::string& path, const std::string& text) { iniFiles_.setText(path, text); }
    // Writes the entry as the system would, making the file when missing.
    void setIni(const std::string& path, const std::string& section, const std::string& key, const std::string& value) {
        iniFiles_.writeString(path, section, key, value);
    }
    std::function<void()> onMessageLoop;  // runs inside runMessageLoop, e.g. to deliver messages

    // The version record the system reports, and which record sizes it refuses (systems
    // before NT 4 SP6 know only the short one).
    OsVersionRecord version{};
    bool refuseExtendedVersion = false;
    bool refuseShortVersion = false;
    // Sets the reported release; the extended fields are cleared.
    void setVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                    const std::string& servicePack);

    // NT system information: whether ntdll has the query, and per information class its
    // status and record. A query succeeds only with a buffer of exactly the record's size.
    // Tests change the answers between samples.
    struct NtAnswer {
        int32_t status = kStatusSuccess;
        std::vector<uint8_t> data;
    };
    bool ntQueryAvailable = true;
    std::map<uint32_t, NtAnswer> ntAnswers;

    // The registry: keys by full path ("HKEY_DYN_DATA\PerfStats\StatData"), each with its
    // values. Keys listed in deniedRegistryKeys refuse to open with error 5. Keys listed in
    // readOnlyRegistryKeys, and every key below them, open for reading only, as a standard
    // user's HKEY_LOCAL_MACHINE: asking for any other right, or making a key there, fails with 5.
    struct RegistryValue {
        uint32_t type = kRegNone;
        std::vector<uint8_t> data;
    };
    using RegistryValues = std::map<std::string, RegistryValue, NoCaseLess>;
    std::map<std::string, RegistryValues, NoCaseLess> registryKeys;
    std::set<std::string, NoCaseLess> deniedRegistryKeys;
    std::set<std::string, NoCaseLess> readOnlyRegistryKeys;
    // Creates the key (and those above it) and sets the value.
    void putRegistryValue(RegistryRoot root, const std::string& path, const std::string& name, uint32_t type,
                          std::vector<uint8_t> data);
    // The value, or null when the key or value does not exist.
    const RegistryValue* registryValue(RegistryRoot root, const std::string& path, const std::string& name) const;
    static std::string registryPath(RegistryRoot root, const std::string& path);

    // --- what the program did -------------------------------------------------
    struct MessageBoxCall {
        Window owner;
        std::string text;
        std::string caption;
        uint32_t flags;
    };
    struct CommitCall {
        uint64_t size;
        uint32_t allocationType;
        uint32_t protect;
        bool granted;
    };
    struct Release {
        uint64_t size;       // size of the committed block
        uint64_t freeSize;   // size argument of the release call
        uint32_t freeType;
        bool uniform;        // every byte equal at release time
        uint8_t firstByte;
    };
    struct ShellCall {
        Window owner;
        std::string verb, file, parameters, directory;
        int showCommand;
    };
    struct FakeWindow {
        WindowSpec layout;
        WindowHandler* handler = nullptr;
        bool visible = false;
        bool destroyed = false;
        bool foreign = false;  // belongs to another process
        bool layered = false;  // has the layered style
        uint8_t alpha = 255;   // the layered window's alpha, as last set
    };
    struct PostedMessage {
        Window window;
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
    };
    struct FakeThread {
        std::function<uint32_t()> body;
        bool belowNormal = false;
        int suspendCount = 1;  // made suspended
        bool finished = false;
        bool closed = false;
        uint32_t exitCode = 0;
    };
    struct SoundCall {
        std::string file;
        uint32_t flags;
    };
    struct OpenFileCall {
        Window owner;
        uint32_t flags;
    };

    std::vector<MessageBoxCall> messageBoxes;
    std::vector<CommitCall> commits;
    std::vector<Release> releases;
    std::vector<ShellCall> shellCalls;
    bool layeredWindows = true;     // false: a system without SetLayeredWindowAttributes
    std::string openFileAnswer;     // what the next open-file dialog gives (empty: cancelled)
    std::vector<OpenFileCall> openFileCalls;
    int cursorX = 0, cursorY = 0;
    int clientOriginX = 0, clientOriginY = 0;  // where every window's client area starts
    // Registered hot keys by id: modifiers << 16 | key. Combinations in takenHotKeys (same
    // form) belong to another program and cannot be registered.
    std::map<int, uint32_t> hotKeys;
    std::set<uint32_t> takenHotKeys;
    std::map<uint16_t, std::string> layoutKeyNames;  // the keyboard layout's own key names
    // The notification area: whether the shell has one, whether it takes new icons, and the
    // icons in it by window and id. Icons made record their picture and what it shows: the text
    // drawn since the icon before (its digits from textX), the colour across the middle of the
    // picture's lowest quarter (the lines) and whether the top-right corner, an eighth in from
    // either edge, is red (the dot).
    struct TrayEntry {
        uint32_t callbackMessage = 0;
        Icon icon = nullptr;
        std::string tip;
        int iconsGiven = 0;  // adds and modifies that brought an icon
        std::string balloonTitle, balloonText;  // the last balloon asked for; empty text: none
    };
    struct DrawnIcon {
        std::string digits;
        int textX = 0;
        uint32_t lineColor = 0;
        bool redDot = false;
        bool destroyed = false;
        int size = 16;  // pixels square
        Picture picture;
    };
    bool trayPresent = true;
    int trayIconPixels = 16;  // the small-icon size of the notification area's display scale
    bool trayRefusesAdd = false;
    std::function<void()> onTrayAdd;  // runs while the shell is asked to add, e.g. to send a message
    std::map<std::pair<Window, uint32_t>, TrayEntry> trayIcons;
    std::list<DrawnIcon> drawnIcons;  // stable addresses: an Icon points at its entry
    // Every text the text renderer was asked to draw, oldest first; it draws no glyphs.
    std::vector<SoftwareCanvas::TextCall> textsDrawn;
    int programIconLoads = 0;
    Icon programIconHandle() { return reinterpret_cast<Icon>(&programIcon_); }
    DrawnIcon* drawn(Icon icon);
    std::vector<PostedMessage> posted;  // in the queue, not yet delivered
    std::list<FakeThread> threads;      // stable addresses: a Thread points at its entry
    bool threadsRefused = false;        // createSuspendedThread fails
    std::vector<SoundCall> sounds;
    // The free shares of the 9x window manager's heaps, indexed by ResourceKind (system, GDI,
    // user); none at all when freeResourcesPresent is false (a build without the 16-bit route).
    bool freeResourcesPresent = true;
    uint16_t freeResources[3] = {100, 100, 100};
    std::vector<uint16_t> freeResourceQueries;
    bool clipboardBusy = false;  // another program holds the clipboard open
    int clipboardEmptied = 0;    // times the clipboard was actually emptied
    int recentDocumentsCleared = 0;
    bool shutdownPrivilegeEnabled = false;
    std::vector<uint32_t> exitWindowsCalls;  // flags of each request to end the session
    // Shortcut files written (refused with that reason while linkWriteFailure is not empty) and
    // folder browsers shown: each browser answers folderAnswer (empty: cancelled).
    struct LinkWrite {
        std::string path;
        ShellLink link;
    };
    std::vector<LinkWrite> linkWrites;
    std::string linkWriteFailure;
    std::string folderAnswer;
    struct FolderBrowse {
        Window owner;
        std::string title;
    };
    std::vector<FolderBrowse> folderBrowses;
    // HTTP: every transfer's request in the order run, answered by httpAnswer (none: the
    // connection fails); a transfer aborted before it runs answers Aborted.
    std::function<HttpReply(const HttpRequest&)> httpAnswer;
    std::vector<HttpRequest> httpRequests;
    int httpAborts = 0;
    // Delivers the queued messages in order (to their windows' handlers), as a message loop
    // would; returns how many.
    size_t deliverPosted();
    FakeThread& details(Thread thread);
    // Runs the body of every thread that is resumed and not yet finished, on the caller's
    // thread, to its end; returns how many ran.
    size_t runThreads();
    std::list<FakeWindow> windows;  // stable addresses: a Window points at its entry
    std::vector<std::string> events;  // ordered, e.g. "create TShortcutPopupForm", "commit", "release"
    int statusQueries = 0;
    uint32_t lastRecordLength = 0;  // length field the last status query was given
    bool quitRequested = false;
    std::vector<uint32_t> versionQueries;  // size field of each version query, in order
    int ntLookups = 0;
    std::vector<std::pair<uint32_t, uint32_t>> ntQueries;  // information class and buffer size
    // Every registry call in order: "open HKEY_DYN_DATA\PerfStats\StatData f003f", "query
    // KERNEL\CPUUsage", "set NAME", "delete NAME", "close", "create PATH ACCESS".
    std::vector<std::string> registryLog;
    size_t openRegistryKeys() const { return openKeys_.size(); }

    Window addForeignWindow(const std::string& className);
    FakeWindow& details(Window window);
    // Delivers a message to a window's handler; returns the handler's answer or -1 when unhandled.
    intptr_t send(Window window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    std::function<void(const std::string&)> errorReporter;

    // --- Memory -----------------------------------------------------------------
    void globalMemoryStatus(MemoryStatusRecord& record) override;
    void* virtualAlloc(uint64_t size, uint32_t allocationType, uint32_t protect) override;
    bool virtualFree(void* base, uint64_t size, uint32_t freeType) override;
    bool addressSpaceHolds(uint64_t size) override { return size != 0 && size <= largestFreeRange; }
    std::optional<uint64_t> pageFileInUse() override { return pageFileUse; }
    // --- Clock ------------------------------------------------------------------
    uint32_t tickCount() override { return tick; }
    void sleep(uint32_t milliseconds) override { tick += milliseconds; }
    // --- Process ----------------------------------------------------------------
    std::string programPath() override { return program; }
    std::string commandLine() override { return arguments; }
    std::string windowsFolder() override { return windowsPath; }
    std::string applicationDataFolder() override { return appDataPath; }
    std::string longPathName(const std::string& path) override;
    // --- WindowSystem -----------------------------------------------------------
    Window findTopLevelWindow(const std::string& className) override;
    int messageBox(Window owner, const std::string& text, const std::string& caption, uint32_t flags) override;
    Window createWindow(const WindowSpec& layout, WindowHandler* handler) override;
    void showWindow(Window window, bool visible) override;
    void updateWindow(Window window) override;
    void destroyWindow(Window window) override;
    void runMessageLoop() override;
    void quitMessageLoop() override;
    void setErrorReporter(std::function<void(const std::string&)> reporter) override;
    // Numbers from 0xC000 in the order names are first asked for; logged as
    // "registerWindowMessage NAME".
    uint32_t registerWindowMessage(const std::string& name) override;
    // Logged as "setWindowAlpha N" / "clearWindowAlpha"; nothing when layeredWindows is false.
    bool setWindowAlpha(Window window, uint8_t alpha) override;
    void clearWindowAlpha(Window window) override;
    std::string chooseFileToOpen(Window owner, uint32_t flags) override;
    // Logged as "registerHotKey ID MODIFIERS KEY" / "unregisterHotKey ID".
    bool registerHotKey(Window window, int id, uint32_t modifiers, uint32_t virtualKey) override;
    void unregisterHotKey(Window window, int id) override;
    std::string keyName(uint16_t virtualKey) override;
    // Logged as "bringToFront CLASS".
    void bringToFront(Window window) override;
    void cursorPosition(int& x, int& y) override { x = cursorX, y = cursorY; }
    void clientOrigin(Window, int& x, int& y) override { x = clientOriginX, y = clientOriginY; }
    // Logged as "post N".
    bool postMessage(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    // Queued with the posted messages (deliverPosted() is the loop's first round), logged as
    // "post when idle N".
    bool postMessageWhenIdle(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    // --- Threads ----------------------------------------------------------------
    // Logged as "createThread", "resumeThread", "suspendThread", "closeThread".
    Thread createSuspendedThread(std::function<uint32_t()> body) override;
    void setBelowNormalPriority(Thread thread) override { details(thread).belowNormal = true; }
    void resumeThread(Thread thread) override;
    void suspendThread(Thread thread) override;
    void closeThread(Thread thread) override;
    // --- Tray -------------------------------------------------------------------
    // Logged as "trayAdd TIP", "trayModify TIP", "trayDelete", "trayBalloon TITLE|TEXT".
    bool trayAvailable() override { return trayPresent; }
    bool addTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon, const std::string& tip) override;
    bool modifyTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon,
                        const std::string& tip) override;
    void deleteTrayIcon(Window window, uint32_t id) override;
    bool showTrayBalloon(Window window, uint32_t id, const std::string& title, const std::string& text) override;
    int trayIconSize() override { return trayIconPixels; }
    // Null for a picture that is not square or has no pixels.
    Icon iconFromPicture(const Picture& picture) override;
    Icon programIcon() override;
    void destroyIcon(Icon icon) override;
    // --- Shell ------------------------------------------------------------------
    intptr_t shellExecute(Window owner, const std::string& verb, const std::string& file, const std::string& parameters,
                          const std::string& directory, int showCommand) override;
    // Logged as "playSound FILE".
    void playSound(const std::string& file, uint32_t flags) override;
    // --- SystemCommands ---------------------------------------------------------
    // Logged as "emptyClipboard", "clearRecentDocuments", "enableShutdownPrivilege" and
    // "exitWindows FLAGS"; the request is logged even when a busy clipboard makes it fail.
    void emptyClipboard() override;
    void clearRecentDocuments() override;
    void enableShutdownPrivilege() override;
    void exitWindows(uint32_t flags) override;
    // Logged as "writeShellLink PATH" and "browseForFolder".
    bool writeShellLink(const std::string& path, const ShellLink& link, std::string& failure) override;
    std::string browseForFolder(Window owner, const std::string& title) override;
    // --- Http -------------------------------------------------------------------
    std::shared_ptr<HttpTransfer> newTransfer() override;
    // --- TextRenderer -----------------------------------------------------------
    // Every character half the font's height wide, rounded up.
    int textWidth(const std::string& text, const Font& font) override;
    // Logged in textsDrawn; the picture stays as it is.
    void drawText(Picture& picture, const std::string& text, const Rect& rect, uint32_t flags,
                  const Font& font) override;
    // --- FreeResources ----------------------------------------------------------
    // Each query is logged as its kind's code in freeResourceQueries.
    std::optional<uint16_t> freeSystemResources(ResourceKind kind) override;
    // --- Profile ----------------------------------------------------------------
    int getInt(const std::string& path, const std::string& section, const std::string& key, int defaultValue) override;
    std::string getString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue) override;
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::optional<Entries> sectionEntries(const std::string& path, const std::string& section) override;
    bool fileExists(const std::string& path) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    bool replaceFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    // Logged as "createFolder PATH"; fails while the path is in unmakeableFolders.
    bool createFolder(const std::string& path) override;

    // --- OsVersion ----------------------------------------------------------------
    bool getVersionEx(OsVersionRecord& record) override;
    // --- NtSystemInformation -----------------------------------------------------
    bool findNtQuerySystemInformation() override;
    int32_t ntQuerySystemInformation(uint32_t infoClass, void* buffer, uint32_t size) override;
    // --- Registry ---------------------------------------------------------------
    long openKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key) override;
    long createKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key,
                   bool* created = nullptr) override;
    long queryValue(RegistryKey key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) override;
    long setValue(RegistryKey key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override;
    long deleteValue(RegistryKey key, const std::string& name) override;
    long closeKey(RegistryKey key) override;

private:
    struct OpenKey {
        std::string path;
        uint32_t access;
    };
    const OpenKey* findOpenKey(RegistryKey key) const;
    RegistryKey newHandle(const std::string& path, uint32_t access);
    void ensureKey(const std::string& full);
    bool readOnlyKey(const std::string& full) const;

    TextProfile iniFiles_;
    int programIcon_ = 0;
    size_t textsBeforeLastIcon_ = 0;  // textsDrawn's size when the last icon was made
    std::map<void*, uint64_t> blocks_;  // committed blocks and their sizes
    std::map<std::string, uint32_t> registeredMessages_;
    bool ntFound_ = false;
    std::map<uintptr_t, OpenKey> openKeys_;
    uintptr_t nextKeyHandle_ = 0x100;
};

}  // namespace platform::fake
