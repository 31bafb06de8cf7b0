#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    setVersion(kPlatformWin32Nt, 5, 1, 2600, "Service Pack 3");
    version.servicePackMajor = 3;
    version.suiteMask = 0x100;
    version.productType = 1;
    // Keys every Windows installation has, empty.
    for (const char* key : {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\FileSystem",
                            "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management",
                            "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters",
                            "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\VxD\\MSTCP",
                            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings"}) {
        ensureKey(key);
    }
}

FakeMachine::~FakeMachine() {
    for (auto& block : blocks_) std::free(block.first);
}

std::string FakeMachine::longPathName(const std::string& path) {
    const auto known = longPaths.find(path);
    return known == longPaths.end() ? path : known->second;
}

Window FakeMachine::addForeignWindow(const std::string& className) {
    FakeWindow window;
    window.layout.className = className;
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
    if (failingStatusQueries > 0) {
        --failingStatusQueries;
        throw std::runtime_error("status query failed");
    }
    lastRecordLength = record.length;
    if (!availPhysSequence.empty()) {
        status.availPhys = availPhysSequence.front();
        availPhysSequence.pop_front();
    }
    const uint32_t length = record.length;
    record = status;
    record.length = length;
}

void* FakeMachine::virtualAlloc(uint64_t size, uint32_t allocationType, uint32_t protect) {
    const bool granted = size != 0 && size <= largestCommit;
    commits.push_back({size, allocationType, protect, granted});
    events.push_back("commit");
    if (!granted) return nullptr;
    void* block = std::calloc(size, 1);  // large blocks come fresh from the kernel, like committed pages
    if (block == nullptr) return nullptr;
    blocks_[block] = size;
    return block;
}

bool FakeMachine::virtualFree(void* base, uint64_t size, uint32_t freeType) {
    auto found = blocks_.find(base);
    if (found == blocks_.end()) throw std::logic_error("release of a block that is not committed");
    const auto* bytes = static_cast<const uint8_t*>(base);
    Release release{found->second, size, freeType, true, bytes[0]};
    for (uint64_t i = 0; i < found->second; ++i) {
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
        if (!w.destroyed && w.layout.className == className) return reinterpret_cast<Window>(&w);
    }
    return nullptr;
}

int FakeMachine::messageBox(Window owner, const std::string& text, const std::string& caption, uint32_t flags) {
    messageBoxes.push_back({owner, text, caption, flags});
    events.push_back("messageBox");
    return messageBoxAnswer;
}

Window FakeMachine::createWindow(const WindowSpec& layout, WindowHandler* handler) {
    FakeWindow window;
    window.layout = layout;
    window.handler = handler;
    windows.push_back(window);
    events.push_back("create " + layout.className);
    return reinterpret_cast<Window>(&windows.back());
}

void FakeMachine::showWindow(Window window, bool visible) {
    FakeWindow& w = details(window);
    w.visible = visible;
    events.push_back((visible ? "show " : "hide ") + w.layout.className);
}

void FakeMachine::updateWindow(Window window) { events.push_back("paint " + details(window).layout.className); }

void FakeMachine::destroyWindow(Window window) {
    FakeWindow& w = details(window);
    if (w.destroyed) throw std::logic_error("window destroyed twice");
    w.destroyed = true;
    w.visible = false;
    events.push_back("destroy " + w.layout.className);
}

void FakeMachine::runMessageLoop() {
    events.push_back("messageLoop");
    if (onMessageLoop) onMessageLoop();
}

void FakeMachine::quitMessageLoop() {
    quitRequested = true;
    events.push_back("quit");
}

uint32_t FakeMachine::registerWindowMessage(const std::string& name) {
    events.push_back("registerWindowMessage " + name);
    auto found = registeredMessages_.find(name);
    if (found != registeredMessages_.end()) return found->second;
    const uint32_t number = 0xC000u + static_cast<uint32_t>(registeredMessages_.size());
    registeredMessages_.emplace(name, number);
    return number;
}

bool FakeMachine::postMessage(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    details(window);  // must be a window of this machine
    posted.push_back({window, message, wParam, lParam});
    events.push_back("post " + std::to_string(message));
    return true;
}

bool FakeMachine::postMessageWhenIdle(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    details(window);
    posted.push_back({window, message, wParam, lParam});
    events.push_back("post when idle " + std::to_string(message));
    return true;
}

size_t FakeMachine::deliverPosted() {
    size_t count = 0;
    while (!posted.empty()) {
        const PostedMessage m = posted.front();
        posted.erase(posted.begin());
        if (!details(m.window).destroyed) send(m.window, m.message, m.wParam, m.lParam);
        ++count;
    }
    return count;
}

FakeMachine::FakeThread& FakeMachine::details(Thread thread) {
    for (auto& t : threads) {
        if (reinterpret_cast<Thread>(&t) == thread) {
            if (t.closed) throw std::logic_error("thread handle used after it was closed");
            return t;
        }
    }
    throw std::logic_error("not a thread of this machine");
}

Thread FakeMachine::createSuspendedThread(std::function<uint32_t()> body) {
    events.push_back("createThread");
    if (threadsRefused) return nullptr;
    threads.push_back(FakeThread{});
    threads.back().body = std::move(body);
    return reinterpret_cast<Thread>(&threads.back());
}

void FakeMachine::resumeThread(Thread thread) {
    FakeThread& t = details(thread);
    if (t.suspendCount > 0) --t.suspendCount;
    events.push_back("resumeThread");
}

void FakeMachine::suspendThread(Thread thread) {
    ++details(thread).suspendCount;
    events.push_back("suspendThread");
}

void FakeMachine::closeThread(Thread thread) {
    details(thread).closed = true;
    events.push_back("closeThread");
}

size_t FakeMachine::runThreads() {
    size_t count = 0;
    for (auto& t : threads) {
        if (t.finished || t.suspendCount > 0) continue;
        t.finished = true;
        t.exitCode = t.body();
        ++count;
    }
    return count;
}

bool FakeMachine::setWindowAlpha(Window window, uint8_t alpha) {
    if (!layeredWindows) return false;
    FakeWindow& w = details(window);
    w.layered = true;
    w.alpha = alpha;
    events.push_back("setWindowAlpha " + std::to_string(alpha));
    return true;
}

void FakeMachine::clearWindowAlpha(Window window) {
    details(window).layered = false;
    events.push_back("clearWindowAlpha");
}

bool FakeMachine::addTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon,
                              const std::string& tip) {
    events.push_back("trayAdd " + tip);
    if (onTrayAdd) {
        const auto meanwhile = std::move(onTrayAdd);  // once
        meanwhile();
    }
    if (!trayPresent || trayRefusesAdd || trayIcons.count({window, id}) != 0) return false;
    trayIcons[{window, id}] = TrayEntry{callbackMessage, icon, tip.substr(0, 63), 1, "", ""};
    return true;
}

bool FakeMachine::modifyTrayIcon(Window window, uint32_t id, uint32_t callbackMessage, Icon icon,
                                 const std::string& tip) {
    events.push_back("trayModify " + tip);
    auto found = trayIcons.find({window, id});
    if (!trayPresent || found == trayIcons.end()) return false;
    found->second.callbackMessage = callbackMessage;
    if (icon != nullptr) {
        found->second.icon = icon;
        ++found->second.iconsGiven;
    }
    found->second.tip = tip.substr(0, 63);
    return true;
}

bool FakeMachine::showTrayBalloon(Window window, uint32_t id, const std::string& title, const std::string& text) {
    events.push_back("trayBalloon " + title + "|" + text);
    auto found = trayIcons.find({window, id});
    if (!trayPresent || found == trayIcons.end()) return false;
    found->second.balloonTitle = title;
    found->second.balloonText = text;
    return true;
}

void FakeMachine::deleteTrayIcon(Window window, uint32_t id) {
    events.push_back("trayDelete");
    trayIcons.erase({window, id});
}

Icon FakeMachine::iconFromPicture(const Picture& picture) {
    const int size = picture.width;
    if (size <= 0 || picture.height != size || picture.pixels.size() != static_cast<size_t>(size) * size) return nullptr;
    DrawnIcon icon;
    icon.size = size;
    icon.picture = picture;
    if (textsDrawn.size() > textsBeforeLastIcon_) {
        icon.digits = textsDrawn.back().text;
        icon.textX = textsDrawn.back().rect.left;
    }
    textsBeforeLastIcon_ = textsDrawn.size();
    icon.lineColor = picture.at(size / 2, size * 3 / 4);
    icon.redDot = picture.at(size - 1 - size / 8, size / 8) == 0x0000FF;
    drawnIcons.push_back(std::move(icon));
    return reinterpret_cast<Icon>(&drawnIcons.back());
}

int FakeMachine::textWidth(const std::string& text, const Font& font) {
    int characters = 0;
    for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0 : 1;
    return characters * ((std::abs(font.height) + 1) / 2);
}

void FakeMachine::drawText(Picture&, const std::string& text, const Rect& rect, uint32_t flags, const Font& font) {
    textsDrawn.push_back(SoftwareCanvas::TextCall{text, rect, flags, font});
}

Icon FakeMachine::programIcon() {
    ++programIconLoads;
    return programIconHandle();
}

FakeMachine::DrawnIcon* FakeMachine::drawn(Icon icon) {
    for (auto& d : drawnIcons)
        if (reinterpret_cast<Icon>(&d) == icon) return &d;
    return nullptr;
}

void FakeMachine::destroyIcon(Icon icon) {
    if (icon == programIconHandle()) return;  // shared: stays, as on Windows
    DrawnIcon* d = drawn(icon);
    if (d == nullptr) throw std::logic_error("destroying an icon that was not drawn");
    if (d->destroyed) throw std::logic_error("icon destroyed twice");
    d->destroyed = true;
}

bool FakeMachine::registerHotKey(Window window, int id, uint32_t modifiers, uint32_t virtualKey) {
    details(window);
    events.push_back("registerHotKey " + std::to_string(id) + " " + std::to_string(modifiers) + " " +
                     std::to_string(virtualKey));
    const uint32_t combination = modifiers << 16 | virtualKey;
    if (takenHotKeys.count(combination) != 0 || hotKeys.count(id) != 0) return false;
    hotKeys[id] = combination;
    return true;
}

void FakeMachine::unregisterHotKey(Window window, int id) {
    details(window);
    events.push_back("unregisterHotKey " + std::to_string(id));
    hotKeys.erase(id);
}

std::string FakeMachine::keyName(uint16_t virtualKey) {
    auto found = layoutKeyNames.find(virtualKey);
    return found == layoutKeyNames.end() ? std::string() : found->second;
}

std::optional<uint16_t> FakeMachine::freeSystemResources(ResourceKind kind) {
    const auto code = static_cast<uint16_t>(kind);
    freeResourceQueries.push_back(code);
    if (!freeResourcesPresent) return std::nullopt;
    return freeResources[code];
}

void FakeMachine::bringToFront(Window window) { events.push_back("bringToFront " + details(window).layout.className); }

std::string FakeMachine::chooseFileToOpen(Window owner, uint32_t flags) {
    openFileCalls.push_back({owner, flags});
    events.push_back("chooseFileToOpen");
    return openFileAnswer;
}

bool FakeMachine::writeShellLink(const std::string& path, const ShellLink& link, std::string& failure) {
    events.push_back("writeShellLink " + path);
    if (!linkWriteFailure.empty()) {
        failure = linkWriteFailure;
        return false;
    }
    linkWrites.push_back({path, link});
    return true;
}

std::string FakeMachine::browseForFolder(Window owner, const std::string& title) {
    folderBrowses.push_back({owner, title});
    events.push_back("browseForFolder");
    return folderAnswer;
}

namespace {

class FakeTransfer : public HttpTransfer {
public:
    explicit FakeTransfer(FakeMachine& machine) : machine_(machine) {}
    HttpReply run(const HttpRequest& request) override {
        machine_.httpRequests.push_back(request);
        HttpReply reply;
        if (aborted_) {
            reply.outcome = HttpReply::Outcome::Aborted;
        } else if (machine_.httpAnswer) {
            reply = machine_.httpAnswer(request);
        } else {
            reply.outcome = HttpReply::Outcome::ConnectionFailed;
        }
        return reply;
    }
    void abort() override {
        aborted_ = true;
        ++machine_.httpAborts;
    }

private:
    FakeMachine& machine_;
    bool aborted_ = false;
};

}  // namespace

std::shared_ptr<HttpTransfer> FakeMachine::newTransfer() { return std::make_shared<FakeTransfer>(*this); }

void FakeMachine::setErrorReporter(std::function<void(const std::string&)> reporter) {
    errorReporter = std::move(reporter);
}

void FakeMachine::playSound(const std::string& file, uint32_t flags) {
    sounds.push_back({file, flags});
    events.push_back("playSound " + file);
}

intptr_t FakeMachine::shellExecute(Window owner, const std::string& verb, const std::string& file,
                                   const std::string& parameters, const std::string& directory, int showCommand) {
    shellCalls.push_back({owner, verb, file, parameters, directory, showCommand});
    events.push_back("shellExecute");
    return 42;
}

void FakeMachine::emptyClipboard() {
    events.push_back("emptyClipboard");
    if (!clipboardBusy) ++clipboardEmptied;
}

void FakeMachine::clearRecentDocuments() {
    events.push_back("clearRecentDocuments");
    ++recentDocumentsCleared;
}

void FakeMachine::enableShutdownPrivilege() {
    events.push_back("enableShutdownPrivilege");
    shutdownPrivilegeEnabled = true;
}

void FakeMachine::exitWindows(uint32_t flags) {
    events.push_back("exitWindows " + std::to_string(flags));
    exitWindowsCalls.push_back(flags);
}

int FakeMachine::getInt(const std::string& path, const std::string& section, const std::string& key,
                        int defaultValue) {
    return iniFiles_.getInt(path, section, key, defaultValue);
}

std::string FakeMachine::getString(const std::string& path, const std::string& section, const std::string& key,
                                   const std::string& defaultValue) {
    return iniFiles_.getString(path, section, key, defaultValue);
}

std::optional<platform::Profile::Entries> FakeMachine::sectionEntries(const std::string& path,
                                                                    const std::string& section) {
    return iniFiles_.sectionEntries(path, section);
}

namespace {
std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
}  // namespace

bool FakeMachine::writeString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& value) {
    if (missingFolders.count(folderOf(path)) != 0) return false;
    if (iniReadOnly || iniWritesLeft == 0 || readOnlyFiles.count(path) != 0) return false;
    if (iniWritesLeft > 0) --iniWritesLeft;
    iniFiles_.writeString(path, section, key, value);
    iniWrites.push_back(section + "|" + key + "=" + value);
    return true;
}

bool FakeMachine::fileExists(const std::string& path) { return iniFiles_.fileExists(path); }

bool FakeMachine::copyFile(const std::string& from, const std::string& to) {
    if (!iniFiles_.fileExists(from) || readOnlyFiles.count(to) != 0 || missingFolders.count(folderOf(to)) != 0)
        return false;
    iniFiles_.copyFile(from, to);
    if (readOnlyFiles.count(from) != 0) readOnlyFiles.insert(to);
    return true;
}

bool FakeMachine::replaceFile(const std::string& from, const std::string& to) {
    if (iniReplaceFails || !iniFiles_.fileExists(from) || readOnlyFiles.count(to) != 0 ||
        missingFolders.count(folderOf(to)) != 0)
        return false;
    iniFiles_.replaceFile(from, to);
    if (readOnlyFiles.erase(from) != 0) readOnlyFiles.insert(to);
    events.push_back("replaceFile " + to);
    return true;
}

bool FakeMachine::deleteFile(const std::string& path) {
    iniFiles_.deleteFile(path);
    readOnlyFiles.erase(path);
    return true;
}

bool FakeMachine::createFolder(const std::string& path) {
    events.push_back("createFolder " + path);
    if (unmakeableFolders.count(path) != 0) return false;
    missingFolders.erase(path);
    return true;
}

// --- OsVersion ----------------------------------------------------------------

void FakeMachine::setVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                             const std::string& servicePack) {
    version = OsVersionRecord{};
    version.size = kOsVersionInfoExSize;
    version.platformId = platformId;
    version.majorVersion = major;
    version.minorVersion = minor;
    version.buildNumber = build;
    std::memcpy(version.servicePack, servicePack.data(), std::min(servicePack.size(), sizeof version.servicePack));
}

bool FakeMachine::getVersionEx(OsVersionRecord& record) {
    versionQueries.push_back(record.size);
    const uint32_t size = record.size;
    if (size == kOsVersionInfoExSize && !refuseExtendedVersion) {
        record = version;
    } else if (size == kOsVersionInfoSize && !refuseShortVersion) {
        record.majorVersion = version.majorVersion;
        record.minorVersion = version.minorVersion;
        record.buildNumber = version.buildNumber;
        record.platformId = version.platformId;
        std::memcpy(record.servicePack, version.servicePack, sizeof record.servicePack);
    } else {
        return false;
    }
    record.size = size;
    return true;
}

// --- NtSystemInformation -----------------------------------------------------

bool FakeMachine::findNtQuerySystemInformation() {
    ++ntLookups;
    ntFound_ = ntQueryAvailable;
    return ntFound_;
}

int32_t FakeMachine::ntQuerySystemInformation(uint32_t infoClass, void* buffer, uint32_t size) {
    ntQueries.emplace_back(infoClass, size);
    if (!ntFound_) return kStatusProcedureNotFound;
    auto found = ntAnswers.find(infoClass);
    if (found == ntAnswers.end()) return kStatusInvalidInfoClass;
    const NtAnswer& answer = found->second;
    if (answer.status != kStatusSuccess) return answer.status;
    if (size != answer.data.size()) return kStatusInfoLengthMismatch;
    std::memcpy(buffer, answer.data.data(), size);
    return kStatusSuccess;
}

// --- Registry ---------------------------------------------------------------

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

const char* rootName(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot: return "HKEY_CLASSES_ROOT";
        case RegistryRoot::CurrentUser: return "HKEY_CURRENT_USER";
        case RegistryRoot::LocalMachine: return "HKEY_LOCAL_MACHINE";
        case RegistryRoot::Users: return "HKEY_USERS";
        case RegistryRoot::DynData: return "HKEY_DYN_DATA";
    }
    return "?";
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

bool isRootPath(const std::string& path) { return path.find('\\') == std::string::npos; }

// Rights that only read a key (KEY_READ and the 32/64-bit view flags).
bool asksMoreThanReading(uint32_t access) { return (access & ~(kKeyRead | 0x0300u)) != 0; }

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lower(x) < lower(y); });
}

std::string FakeMachine::registryPath(RegistryRoot root, const std::string& path) {
    return path.empty() ? std::string(rootName(root)) : std::string(rootName(root)) + "\\" + path;
}

void FakeMachine::putRegistryValue(RegistryRoot root, const std::string& path, const std::string& name, uint32_t type,
                                   std::vector<uint8_t> data) {
    const std::string full = registryPath(root, path);
    ensureKey(full);
    registryKeys[full][name] = RegistryValue{type, std::move(data)};
}

void FakeMachine::ensureKey(const std::string& full) {
    // The root keys always exist; below them every key on the way down is made.
    const size_t first = full.find('\\');
    if (first == std::string::npos) return;
    for (size_t slash = full.find('\\', first + 1); slash != std::string::npos; slash = full.find('\\', slash + 1)) {
        registryKeys[full.substr(0, slash)];
    }
    registryKeys[full];
}

const FakeMachine::RegistryValue* FakeMachine::registryValue(RegistryRoot root, const std::string& path,
                                                             const std::string& name) const {
    auto key = registryKeys.find(registryPath(root, path));
    if (key == registryKeys.end()) return nullptr;
    auto value = key->second.find(name);
    return value == key->second.end() ? nullptr : &value->second;
}

bool FakeMachine::readOnlyKey(const std::string& full) const {
    const auto sameName = [](char x, char y) { return lower(x) == lower(y); };
    for (const std::string& top : readOnlyRegistryKeys) {
        const bool below = full.size() == top.size() || (full.size() > top.size() && full[top.size()] == '\\');
        if (below && std::equal(top.begin(), top.end(), full.begin(), sameName)) return true;
    }
    return false;
}

RegistryKey FakeMachine::newHandle(const std::string& path, uint32_t access) {
    const uintptr_t handle = nextKeyHandle_;
    nextKeyHandle_ += 4;
    openKeys_[handle] = OpenKey{path, access};
    return reinterpret_cast<RegistryKey>(handle);
}

const FakeMachine::OpenKey* FakeMachine::findOpenKey(RegistryKey key) const {
    auto found = openKeys_.find(reinterpret_cast<uintptr_t>(key));
    return found == openKeys_.end() ? nullptr : &found->second;
}

long FakeMachine::openKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key) {
    const std::string full = registryPath(root, path);
    registryLog.push_back("open " + full + " " + hex(access));
    if (deniedRegistryKeys.count(full) != 0) return kErrorAccessDenied;
    if (!isRootPath(full) && registryKeys.count(full) == 0) return kErrorFileNotFound;
    if (asksMoreThanReading(access) && readOnlyKey(full)) return kErrorAccessDenied;
    key = newHandle(full, access);
    return kErrorSuccess;
}

long FakeMachine::createKey(RegistryRoot root, const std::string& path, uint32_t access, RegistryKey& key,
                            bool* created) {
    const std::string full = registryPath(root, path);
    registryLog.push_back("create " + full + " " + hex(access));
    if (deniedRegistryKeys.count(full) != 0) return kErrorAccessDenied;
    const bool isNew = !isRootPath(full) && registryKeys.count(full) == 0;
    if ((isNew || asksMoreThanReading(access)) && readOnlyKey(full)) return kErrorAccessDenied;
    ensureKey(full);
    if (created != nullptr) *created = isNew;
    key = newHandle(full, access);
    return kErrorSuccess;
}

long FakeMachine::queryValue(RegistryKey key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data) {
    registryLog.push_back("query " + name);
    const OpenKey* open = findOpenKey(key);
    if (open == nullptr) return kErrorInvalidHandle;
    if ((open->access & kKeyQueryValue) == 0) return kErrorAccessDenied;
    auto values = registryKeys.find(open->path);
    if (values == registryKeys.end()) return kErrorFileNotFound;
    auto value = values->second.find(name);
    if (value == values->second.end()) return kErrorFileNotFound;
    type = value->second.type;
    data = value->second.data;
    // NT hands a text stored without its terminating zero back with one.
    const bool text = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
    if (text && (data.empty() || data.back() != 0)) data.push_back(0);
    return kErrorSuccess;
}

long FakeMachine::setValue(RegistryKey key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data) {
    registryLog.push_back("set " + name);
    const OpenKey* open = findOpenKey(key);
    if (open == nullptr) return kErrorInvalidHandle;
    if ((open->access & kKeySetValue) == 0) return kErrorAccessDenied;
    registryKeys[open->path][name] = RegistryValue{type, data};
    return kErrorSuccess;
}

long FakeMachine::deleteValue(RegistryKey key, const std::string& name) {
    registryLog.push_back("delete " + name);
    const OpenKey* open = findOpenKey(key);
    if (open == nullptr) return kErrorInvalidHandle;
    if ((open->access & kKeySetValue) == 0) return kErrorAccessDenied;
    auto values = registryKeys.find(open->path);
    if (values == registryKeys.end() || values->second.erase(name) == 0) return kErrorFileNotFound;
    return kErrorSuccess;
}

long FakeMachine::closeKey(RegistryKey key) {
    registryLog.push_back("close");
    return openKeys_.erase(reinterpret_cast<uintptr_t>(key)) != 0 ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace platform::fake
