#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform::fake {

// A scripted machine for native tests: exactly 256 MB of physical memory unless a test says
// otherwise, a manual clock, recorded window and shell calls, and an ordered log of events.
class FakeMachine : public Memory, public Clock, public Process, public WindowSystem, public Shell, public Profile {
public:
    FakeMachine();
    ~FakeMachine() override;

    Platform services() { return Platform{*this, *this, *this, *this, *this, *this}; }

    // --- scripted state -------------------------------------------------------
    MemoryStatusRecord status{};             // what the status query answers
    std::deque<uint32_t> availPhysSequence;  // when not empty, each query takes the next free figure
    uint32_t largestCommit = 64u << 20;      // commits above this (or of 0 bytes) are refused
    uint32_t tick = 0;
    std::string program = "C:\\Program Files\\Quillet\\Quillet.exe";
    std::string arguments;
    int messageBoxAnswer = kIdOk;
    std::map<std::string, int> iniInts;  // key "path|section|key"
    std::function<void()> onMessageLoop;  // runs inside runMessageLoop, e.g. to deliver messages

    // --- what the program did -------------------------------------------------
    struct MessageBoxCall {
        Window owner;
        std::string text;
        std::string caption;
        uint32_t flags;
    };
    struct CommitCall {
        uint32_t size;
        uint32_t allocationType;
        uint32_t protect;
        bool granted;
    };
    struct Release {
        uint32_t size;       // size of the committed block
        uint32_t freeSize;   // size argument of the release call
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
        WindowSpec spec;
        WindowHandler* handler = nullptr;
        bool visible = false;
        bool destroyed = false;
        bool foreign = false;  // belongs to another process
    };

    std::vector<MessageBoxCall> messageBoxes;
    std::vector<CommitCall> commits;
    std::vector<Release> releases;
    std::vector<ShellCall> shellCalls;
    std::list<FakeWindow> windows;  // stable addresses: a Window points at its entry
    std::vector<std::string> events;  // ordered, e.g. "create TShortcutPopupForm", "commit", "release"
    int statusQueries = 0;
    uint32_t lastRecordLength = 0;  // length field the last status query was given
    bool quitRequested = false;

    Window addForeignWindow(const std::string& className);
    FakeWindow& details(Window window);
    // Delivers a message to a window's handler; returns the handler's answer or -1 when unhandled.
    intptr_t send(Window window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    std::function<void(const std::string&)> errorReporter;

    // --- Memory -----------------------------------------------------------------
    void globalMemoryStatus(MemoryStatusRecord& record) override;
    void* virtualAlloc(uint32_t size, uint32_t allocationType, uint32_t protect) override;
    bool virtualFree(void* base, uint32_t size, uint32_t freeType) override;
    // --- Clock ------------------------------------------------------------------
    uint32_t tickCount() override { return tick; }
    void sleep(uint32_t milliseconds) override { tick += milliseconds; }
    // --- Process ----------------------------------------------------------------
    std::string programPath() override { return program; }
    std::string commandLine() override { return arguments; }
    // --- WindowSystem -----------------------------------------------------------
    Window findTopLevelWindow(const std::string& className) override;
    int messageBox(Window owner, const std::string& text, const std::string& caption, uint32_t flags) override;
    Window createWindow(const WindowSpec& spec, WindowHandler* handler) override;
    void showWindow(Window window, bool visible) override;
    void updateWindow(Window window) override;
    void destroyWindow(Window window) override;
    void runMessageLoop() override;
    void quitMessageLoop() override;
    void setErrorReporter(std::function<void(const std::string&)> reporter) override;
    // --- Shell ------------------------------------------------------------------
    intptr_t shellExecute(Window owner, const std::string& verb, const std::string& file, const std::string& parameters,
                          const std::string& directory, int showCommand) override;
    // --- Profile ----------------------------------------------------------------
    int getInt(const std::string& path, const std::string& section, const std::string& key, int defaultValue) override;

private:
    std::map<void*, uint32_t> blocks_;  // committed blocks and their sizes
};

}  // namespace platform::fake
