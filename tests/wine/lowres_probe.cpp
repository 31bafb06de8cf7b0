// The low-resource alarm on real windows.
//   lowres_probe.exe dialog         shows the real warning dialog with figures this probe gives
//                                   it and checks its window, texts, picture and layout, the
//                                   switch to the live figures after a second, and OK
//   lowres_probe.exe dialog hold N  the same, with the dialog left on screen N seconds first
//   lowres_probe.exe lookup         the real free-resource figures (run it with the release set
//                                   to win98): the 16-bit route answers without crashing, with
//                                   100 when its procedure cannot be reached; the export-table
//                                   reading agrees with the system's own lookup
// Exit code 0 when every check passed. Waits are for conditions, with generous limits.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "monitor/low_res_form.h"
#include "monitor/os_detection.h"
#include "win32/services/win32_free_resources.h"
#include "tests/wine/check_report.h"
#include "win32/controls/ui_backend.h"
#include "win32/services/wide_text.h"
#include "win32/services/win32_services.h"

namespace {

using checks::check;
using checks::checkText;
using platform::ResourceKind;
using win32::ExportKind;
using win32::Win32UiBackend;

constexpr DWORD kPatience = 30000;  // milliseconds any awaited change may take

HWND hwndOf(const ui::Component& c) { return static_cast<HWND>(Win32UiBackend::windowOf(c)); }

std::string textOf(HWND hwnd) {
    wchar_t text[512] = {};
    SendMessageW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return win32::narrow(text);
}

// Figures the probe decides, with every query logged.
class ScriptedResources : public platform::FreeResources {
public:
    uint16_t figures[3] = {100, 100, 100};  // by kind: system, GDI, user
    std::vector<int> queries;
    std::optional<uint16_t> freeSystemResources(ResourceKind kind) override {
        queries.push_back(static_cast<int>(kind));
        return figures[static_cast<int>(kind)];
    }
};

// Runs `step` every 50 ms from inside whatever message loop runs (the dialog's modal one)
// until it answers true.
std::function<bool()> pendingStep;
void CALLBACK runStep(HWND, UINT, UINT_PTR id, DWORD) {
    if (pendingStep && pendingStep()) {
        KillTimer(nullptr, id);
        pendingStep = nullptr;
    }
}

// True when the text, wrapped in the label's width with its font, fits the label's height.
bool wrappedTextFits(const char* name, HWND label) {
    RECT box;
    GetClientRect(label, &box);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring text = win32::widen(textOf(label));
    RECT need{0, 0, box.right, 0};
    DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    std::printf("     %s needs %ld of %ld pixels\n", name, need.bottom, box.bottom);
    return need.bottom <= box.bottom && need.right <= box.right;
}

bool boldFont(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfWeight >= FW_BOLD;
}

void checkDialog(int holdSeconds) {
    Win32UiBackend backend([](const std::string& message) { check(false, "no error is reported", message); });
    ScriptedResources resources;
    resources.figures[static_cast<int>(ResourceKind::Gdi)] = 12;
    resources.figures[static_cast<int>(ResourceKind::System)] = 11;
    resources.figures[static_cast<int>(ResourceKind::User)] = 9;

    monitor::TLowResForm dialog(backend, resources, 120, 90);
    // What the main window shows when it opens the warning.
    dialog.gdiLabel().setCaption("12%");
    dialog.systemLabel().setCaption("11%");
    dialog.userLabel().setCaption("9%");

    enum class Stage { Opened, Holding, Refreshing, Closing } stage = Stage::Opened;
    const DWORD started = GetTickCount();
    DWORD stageSince = started, holdUntil = 0;
    bool forced = false;
    auto next = [&](Stage s) {
        stage = s;
        stageSince = GetTickCount();
    };
    pendingStep = [&]() -> bool {
        HWND window = hwndOf(dialog);
        // Nothing may wait for ever: a stage that does not end in time is a failure.
        if (GetTickCount() - stageSince > kPatience && stage != Stage::Holding) {
            check(false, "stage " + std::to_string(static_cast<int>(stage)) + " ends in time");
            forced = true;
            dialog.close();
            return true;
        }
        switch (stage) {
        case Stage::Opened: {
            if (window == nullptr || !IsWindowVisible(window)) return false;
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            checkText(win32::narrow(className), "TLowResForm", "window class");
            checkText(textOf(window), "系统资源过低警告", "caption");
            RECT client, outer;
            GetClientRect(window, &client);
            GetWindowRect(window, &outer);
            check(client.right == 451 && client.bottom == 264, "client area 451 x 264",
                  std::to_string(client.right) + " x " + std::to_string(client.bottom));
            check(outer.left == 120 && outer.top == 90, "top-left corner where its creator put it");
            const LONG style = GetWindowLongW(window, GWL_STYLE);
            check((style & WS_SYSMENU) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)),
                  "dialog border with the system menu only");
            const struct {
                const char* name;
                const char* text;
            } texts[] = {{"Label1", "Quillet 监测到目前系统资源已经降低到您所设定的警告标准。出现这种情况可能是因为您在后台运行了过多的程序或者运行了内存需求量颇大的程序。(您也可以考虑系统是否感染病毒)"},
                         {"Label3", "出现这个警告窗口是因为您在\"选项\"栏启动了系统低资源警告选项。如果您经常看到此窗口，请您到\"选项\"栏将资源报警数值调到一个较低的范围。"},
                         {"Label2", "您可以关闭一些程序，以缓解资源紧缺的情况。您也可以保存您现在的工作，然后重新启动您的系统。在有些情况下重新启动系统是释放系统资源唯一的办法。(您也可以在重新启动后运行杀毒软件查杀病毒)"},
                         {"Label4", "当前系统资源"},
                         {"Label7", "GDI:"},                      {"Label5", "系统资源："},
                         {"Label6", "用户资源："},                {"GDILabel", "12%"},
                         {"SystemLabel", "11%"},                  {"UserLabel", "9%"},
                         {"OKButton", "确定"}};
            for (const auto& t : texts) checkText(textOf(hwndOf(*dialog.find(t.name))), t.text, t.name);
            check(boldFont(hwndOf(*dialog.find("Label1"))), "the first paragraph is bold");
            check(!boldFont(hwndOf(*dialog.find("Label2"))), "the others are not");
            for (const char* name : {"Label1", "Label3", "Label2"})
                check(wrappedTextFits(name, hwndOf(*dialog.find(name))), std::string(name) + " shows its whole text");
            check(SendMessageW(hwndOf(dialog.image()), STM_GETICON, 0, 0) != 0, "the warning picture shows");
            holdUntil = GetTickCount() + static_cast<DWORD>(holdSeconds) * 1000;
            next(Stage::Holding);
            return false;
        }
        case Stage::Holding:
            if (static_cast<LONG>(GetTickCount() - holdUntil) < 0) return false;
            // From the next tick of its timer on, the dialog shows these, as bare numbers.
            resources.queries.clear();
            resources.figures[static_cast<int>(ResourceKind::Gdi)] = 7;
            resources.figures[static_cast<int>(ResourceKind::System)] = 41;
            resources.figures[static_cast<int>(ResourceKind::User)] = 100;
            next(Stage::Refreshing);
            return false;
        case Stage::Refreshing:
            if (textOf(hwndOf(dialog.gdiLabel())) != "7") return false;
            checkText(textOf(hwndOf(dialog.systemLabel())), "41", "system figure refreshed");
            checkText(textOf(hwndOf(dialog.userLabel())), "100", "user figure refreshed");
            check(resources.queries.size() >= 3 &&
                      std::vector<int>(resources.queries.begin(), resources.queries.begin() + 3) ==
                          std::vector<int>{1, 0, 2},
                  "read in the order GDI, system, user");
            // The timer counts from the dialog's making: its first second had not passed when the
            // dialog was found open.
            if (holdSeconds == 0)
                check(GetTickCount() - started >= 900, "refreshed after a second, not before",
                      std::to_string(GetTickCount() - started) + " ms");
            next(Stage::Closing);
            // The user presses OK.
            PostMessageW(hwndOf(dialog.okButton()), BM_CLICK, 0, 0);
            return false;
        case Stage::Closing: return false;
        }
        return true;
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, runStep);
    dialog.showModal();
    KillTimer(nullptr, timer);
    pendingStep = nullptr;
    check(stage == Stage::Closing && !forced, "OK closes the dialog");
    check(!IsWindowVisible(hwndOf(dialog)), "hidden once closed");
    std::printf("     the dialog was open %lu ms\n", GetTickCount() - started);
}

// ---- the 16-bit route and the export-table reading ----

void checkExportTable(HMODULE kernel) {
    const auto* base = reinterpret_cast<const uint8_t*>(kernel);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const DWORD first = exports->Base, count = exports->NumberOfFunctions;
    int code = 0, forwarders = 0, mismatches = 0, badTexts = 0;
    for (DWORD ordinal = first; ordinal < first + count; ++ordinal) {
        const win32::OrdinalExport found = win32::exportByOrdinal(kernel, ordinal);
        const void* system = reinterpret_cast<const void*>(
            GetProcAddress(kernel, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ordinal))));
        if (found.kind == ExportKind::Code) {
            ++code;
            if (found.address != system) ++mismatches;  // the system gives the same entry point
        } else if (found.kind == ExportKind::Forwarder) {
            ++forwarders;
            if (std::strchr(static_cast<const char*>(found.address), '.') == nullptr) ++badTexts;  // "DLL.Name"
        } else if (system != nullptr) {
            ++mismatches;  // the system knows an entry the table reading missed
        }
    }
    std::printf("     KERNEL32 exports ordinals %lu ... %lu: %d entry points, %d forwarders\n", first,
                first + count - 1, code, forwarders);
    check(code > 100 && mismatches == 0, "every entry point read from the table is the system's",
          std::to_string(mismatches) + " differ");
    check(badTexts == 0, "forwarders are read as their texts");
    check(win32::exportByOrdinal(kernel, first + count).kind == ExportKind::None &&
              (first == 0 || win32::exportByOrdinal(kernel, first - 1).kind == ExportKind::None),
          "ordinals outside the table are not found");
    const char notAModule[256] = "not a module";
    check(win32::exportByOrdinal(notAModule, 35).kind == ExportKind::None &&
              win32::exportByOrdinal(nullptr, 35).kind == ExportKind::None,
          "no module, nothing found");
}

void checkLookup() {
    win32::Win32Services os{std::string()};
    monitor::detectOs(os.osVersion);
    std::printf("     the system reports the %s family\n", monitor::isNtFamily(os.osVersion) ? "NT" : "9x");
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    checkExportTable(kernel);

    for (uint32_t ordinal : {35u, 36u, 37u}) {
        const win32::OrdinalExport entry = win32::exportByOrdinal(kernel, ordinal);
        std::printf("     KERNEL32 ordinal %u: %s%s\n", ordinal,
                    entry.kind == ExportKind::Code        ? "code"
                    : entry.kind == ExportKind::Forwarder ? "forwarder to "
                                                          : "none",
                    entry.kind == ExportKind::Forwarder ? static_cast<const char*>(entry.address) : "");
    }
    // Asked twice per kind, as the display asks every tick: the answers come back, the process
    // lives on.
    for (int round = 0; round < 2; ++round) {
        for (ResourceKind kind : {ResourceKind::Gdi, ResourceKind::System, ResourceKind::User}) {
            const std::optional<uint16_t> free = os.freeResources.freeSystemResources(kind);
            const std::string what = "kind " + std::to_string(static_cast<int>(kind));
#if defined(__i386__)
            std::printf("     %s: %d\n", what.c_str(), free ? *free : -1);
            check(free.has_value() && *free <= 100, what + " answers a share");
#else
            check(!free.has_value(), what + ": a 64-bit build has no figures");
#endif
        }
    }
#if defined(__i386__)
    // Where the 16-bit loader's entries are not code (Wine's forward elsewhere), the procedure
    // cannot be reached and every answer is 100.
    if (win32::exportByOrdinal(kernel, 35).kind != ExportKind::Code)
        check(os.freeResources.freeSystemResources(ResourceKind::User) == 100, "an unreachable procedure answers 100");
#endif
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wcscmp(argv[1], L"dialog") == 0) {
        checkDialog(argc >= 4 && std::wcscmp(argv[2], L"hold") == 0 ? _wtoi(argv[3]) : 0);
    } else if (argc >= 2 && std::wcscmp(argv[1], L"lookup") == 0) {
        checkLookup();
    } else {
        std::printf("usage: lowres_probe dialog [hold SECONDS] | lookup\n");
        return 2;
    }
    return checks::summary();
}
