#include "platform/fake/fake_platform.h"

#include <cstdlib>
#include <stdexcept>

namespace platform::fake {

FakeMachine::FakeMachine() {
    status.memoryLoad = 50;
    status.totalPhys = 268435456u;
    status.availPhys = 134217728u;
    status.totalPageFile = 805306368u;
    status.availPageFile = 536870912u;
    status.totalVirtual = 2147352576u;
    status.availVirtual = 2000000000u;
}

FakeMachine::~FakeMachine() {
    for (auto& block : blocks_) std::free(block.first);
}

Window FakeMachine::addForeignWindow(const std::string& className) {
    FakeWindow window;
    window.spec.className = className;
    window.visible = true;
    window.foreign = true;
    windows.push_back(window);
    return reinterpret_cast<Window>(&windows.back());
}

FakeMachine::FakeWindow& FakeMachine::details(Window window) {
    for (auto& w : windows) {
        if (reinterpret_cast<Window>(&w) == window) return w;
    }
    throw std::logic_error("not a window of this machine");
}

intptr_t FakeMachine::send(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    FakeWindow& w = details(window);
    intptr_t result = 0;
    if (w.handler != nullptr && w.handler->handleMessage(message, wParam, lParam, result)) return result;
    return -1;
}

void FakeMachine::globalMemoryStatus(MemoryStatusRecord& record) {
    ++statusQueries;
    lastRecordLength = record.length;
    if (!availPhysSequence.empty()) {
        status.availPhys = availPhysSequence.front();
        availPhysSequence.pop_front();
    }
    const uint32_t length = record.length;
    record = status;
    record.length = length;
}

void* FakeMachine::virtualAlloc(uint32_t size, uint32_t allocationType, uint32_t protect) {
    const bool granted = size != 0 && size <= largestCommit;
    commits.push_back({size, allocationType, protect, granted});
    events.push_back("commit");
    if (!granted) return nullptr;
    void* block = std::calloc(size, 1);  // large blocks come fresh from the kernel, like committed pages
    if (block == nullptr) return nullptr;
    blocks_[block] = size;
    return block;
}

bool FakeMachine::virtualFree(void* base, uint32_t size, uint32_t freeType) {
    auto found = blocks_.find(base);
    if (found == blocks_.end()) throw std::logic_error("release of a block that is not committed");
    const auto* bytes = static_cast<const uint8_t*>(base);
    Release release{found->second, size, freeType, true, bytes[0]};
    for (uint32_t i = 0; i < found->second; ++i) {
        if (bytes[i] != release.firstByte) {
            release.uniform = false;
            break;
        }
    }
    releases.push_back(release);
    events.push_back("release");
    std::free(base);
    blocks_.erase(found);
    return true;
}

Window FakeMachine::findTopLevelWindow(const std::string& className) {
    for (auto& w : windows) {
        if (!w.destroyed && w.spec.className == className) return reinterpret_cast<Window>(&w);
    }
    return nullptr;
}

int FakeMachine::messageBox(Window owner, const std::string& text, const std::string& caption, uint32_t flags) {
    messageBoxes.push_back({owner, text, caption, flags});
    events.push_back("messageBox");
    return messageBoxAnswer;
}

Window FakeMachine::createWindow(const WindowSpec& spec, WindowHandler* handler) {
    FakeWindow window;
    window.spec = spec;
    window.handler = handler;
    windows.push_back(window);
    events.push_back("create " + spec.className);
    return reinterpret_cast<Window>(&windows.back());
}

void FakeMachine::showWindow(Window window, bool visible) {
    FakeWindow& w = details(window);
    w.visible = visible;
    events.push_back((visible ? "show " : "hide ") + w.spec.className);
}

void FakeMachine::updateWindow(Window window) { events.push_back("paint " + details(window).spec.className); }

void FakeMachine::destroyWindow(Window window) {
    FakeWindow& w = details(window);
    if (w.destroyed) throw std::logic_error("window destroyed twice");
    w.destroyed = true;
    w.visible = false;
    events.push_back("destroy " + w.spec.className);
}

void FakeMachine::runMessageLoop() {
    events.push_back("messageLoop");
    if (onMessageLoop) onMessageLoop();
}

void FakeMachine::quitMessageLoop() {
    quitRequested = true;
    events.push_back("quit");
}

void FakeMachine::setErrorReporter(std::function<void(const std::string&)> reporter) {
    errorReporter = std::move(reporter);
}

intptr_t FakeMachine::shellExecute(Window owner, const std::string& verb, const std::string& file,
                                   const std::string& parameters, const std::string& directory, int showCommand) {
    shellCalls.push_back({owner, verb, file, parameters, directory, showCommand});
    events.push_back("shellExecute");
    return 42;
}

int FakeMachine::getInt(const std::string& path, const std::string& section, const std::string& key,
                        int defaultValue) {
    auto found = iniInts.find(path + "|" + section + "|" + key);
    return found == iniInts.end() ? defaultValue : found->second;
}

}  // namespace platform::fake
