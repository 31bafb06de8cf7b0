// Realises a form holding every kind of control with the Windows backend, then checks from
// inside the process that the real windows exist and show the portable state, that changes
// from code reach them and run each handler once, and that simulated user input runs the
// handler once with the new value in the portable state.
//   ui_backend_probe.exe            run the checks
//   ui_backend_probe.exe hold N     then keep the form on screen for N seconds
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/resource_names.h"
#include "tests/wine/check_report.h"
#include "win32/controls/ui_backend.h"
#include "win32/entry/exception_memory.h"
#include "win32/services/wide_text.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/paint_control.h"
#include "ui/timer.h"

namespace {

using win32::Win32UiBackend;

using checks::check;

HWND hwndOf(const ui::Component& c) { return static_cast<HWND>(Win32UiBackend::windowOf(c)); }

std::string classOf(HWND hwnd) {
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    return win32::narrow(name);
}

std::string textOf(HWND hwnd) {
    wchar_t text[256] = {};
    SendMessageW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return win32::narrow(text);
}

void dispatchWaiting() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Handles messages for the whole time.
void pump(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    do {
        dispatchWaiting();
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// Handles messages until the condition holds (true) or the time is up (false).
template <class Condition>
bool pumpUntil(Condition condition, DWORD milliseconds = checks::kPatienceMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        dispatchWaiting();
        if (condition()) return true;
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(10);
    }
}

// The colour of one pixel of the window as the screen shows it.
COLORREF pixelOf(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
}

// Sends a control's notification to its parent as the control itself would.
void commandFrom(HWND control, WORD code) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

bool sameClass(const std::string& a, const char* b) { return _stricmp(a.c_str(), b) == 0; }

// The program's own memory for exceptions (linked into this probe as into Quillet.exe): thrown
// objects of every size reach their handlers whole, an exception thrown inside a handler and
// one carried across by std::rethrow_exception keep theirs, and the reserve kept for an
// exhausted heap hands out each slot once.
void checkExceptionMemory() {
    std::string caught;
    try {
        throw std::bad_alloc();
    } catch (const std::bad_alloc& e) {
        caught = e.what();
    }
    check(caught == "std::bad_alloc", "exceptions: bad_alloc reaches its handler", caught);

    struct Large {
        alignas(16) unsigned char bytes[5000];
    };
    bool whole = false;
    try {
        Large large;
        for (size_t i = 0; i < sizeof large.bytes; ++i) large.bytes[i] = static_cast<unsigned char>(i * 7);
        throw large;
    } catch (const Large& large) {
        whole = reinterpret_cast<std::uintptr_t>(&large) % 16 == 0;
        for (size_t i = 0; i < sizeof large.bytes; ++i) whole = whole && large.bytes[i] == static_cast<unsigned char>(i * 7);
    }
    check(whole, "exceptions: a 5,000-byte object arrives whole and aligned");

    std::string nested;
    try {
        try {
            throw std::runtime_error("内层");
        } catch (const std::runtime_error& inner) {
            throw std::runtime_error(std::string(inner.what()) + "，外层");
        }
    } catch (const std::runtime_error& outer) {
        nested = outer.what();
    }
    check(nested == "内层，外层", "exceptions: one thrown inside a handler", nested);

    std::exception_ptr carried;
    try {
        throw std::runtime_error("带走的错误");
    } catch (...) {
        carried = std::current_exception();
    }
    std::string rethrown;
    for (int i = 0; i < 2; ++i) {
        try {
            std::rethrow_exception(carried);
        } catch (const std::runtime_error& e) {
            rethrown += e.what();
        }
    }
    carried = nullptr;
    check(rethrown == "带走的错误带走的错误", "exceptions: std::rethrow_exception twice", rethrown);

    void* slots[win32::kExceptionReserveSlots] = {};
    bool distinct = true;
    for (int i = 0; i < win32::kExceptionReserveSlots; ++i) {
        slots[i] = win32::takeExceptionReserveSlot(512);
        distinct = distinct && slots[i] != nullptr && reinterpret_cast<std::uintptr_t>(slots[i]) % 16 == 0;
        for (int j = 0; j < i; ++j) distinct = distinct && slots[j] != slots[i];
    }
    check(distinct, "exception reserve: each slot handed out once, aligned");
    check(win32::takeExceptionReserveSlot(16) == nullptr, "exception reserve: none left when all are taken");
    const bool givenBack = win32::giveBackExceptionReserveSlot(slots[1]);
    check(givenBack && win32::takeExceptionReserveSlot(600) == slots[1], "exception reserve: a slot given back is taken again");
    int notSlot = 0;
    check(!win32::giveBackExceptionReserveSlot(&notSlot), "exception reserve: other memory is no slot");
    for (void* slot : slots) win32::giveBackExceptionReserveSlot(slot);
    check(win32::takeExceptionReserveSlot(4096) == nullptr, "exception reserve: too large for a slot");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    checkExceptionMemory();

    // What a handler throws reaches the reporter only where a check expects it.
    std::vector<std::string>* expectedErrors = nullptr;
    Win32UiBackend backend([&expectedErrors](const std::string& message) {
        if (expectedErrors != nullptr) expectedErrors->push_back(message);
        else check(false, "no error is reported", message);
    });

    ui::Form form(backend, "ProbeForm");
    form.setClassName("TQuilletProbeForm");
    form.setCaption("控件探针");
    form.setBounds(60, 40, 620, 460);
    form.setMinClientSize(300, 200);

    int pageChanges = 0, labelClicks = 0, linkClicks = 0, buttonClicks = 0, flatClicks = 0, checkClicks = 0,
        editChanges = 0, trackChanges = 0, comboChanges = 0, radioClicks = 0, hotKeyChanges = 0, menuClicks = 0,
        timerTicks = 0, enters = 0, resizes = 0;
    bool allowPageChange = true;

    auto& pages = form.add<ui::PageControl>("Pages");
    pages.setBounds(8, 8, 400, 300);
    auto& pageA = pages.addPage("PageA", "控件");
    auto& pageB = pages.addPage("PageB", "第二页");
    pages.onChange = [&] { ++pageChanges; };
    pages.onChanging = [&](bool& allow) { allow = allowPageChange; };

    auto& label = pageA.add<ui::Label>("Label");
    label.setBounds(8, 8, 10, 10);
    label.setCaption("标签 Label");
    label.onClick = [&] { ++labelClicks; };
    auto& link = pageA.add<ui::LinkLabel>("Link");
    link.setBounds(160, 8, 10, 10);
    link.setCaption("http://example.invalid/");
    link.setFontColor(0xFF0000);
    link.onClick = [&] { ++linkClicks; };
    auto& button = pageA.add<ui::Button>("Button");
    button.setBounds(8, 32, 90, 25);
    button.setCaption("按钮");
    button.onClick = [&] { ++buttonClicks; };
    auto& flat = pageA.add<ui::FlatButton>("Flat");
    flat.setBounds(104, 32, 90, 25);
    flat.setCaption("退出");
    flat.setGlyph(app::resources::kGlyphExit);
    flat.onClick = [&] { ++flatClicks; };
    auto& box = pageA.add<ui::CheckBox>("Check");
    box.setBounds(200, 32, 150, 20);
    box.setCaption("复选框");
    box.setChecked(true);  // before its window is made: the window must start ticked
    box.onClick = [&] { ++checkClicks; };
    auto& edit = pageA.add<ui::Edit>("Edit");
    edit.setBounds(8, 64, 120, 21);
    edit.setMaxLength(8);
    edit.onChange = [&] { ++editChanges; };
    auto& track = pageA.add<ui::TrackBar>("Track");
    track.setBounds(136, 64, 200, 30);
    track.setRange(0, 10);
    track.setTickStyle(ui::TickStyle::None);
    track.setThumbLength(14);
    track.onChange = [&] { ++trackChanges; };
    auto& combo = pageA.add<ui::ComboBox>("Combo");
    combo.setBounds(8, 100, 120, 21);
    combo.setItems({"一", "二", "三"});
    combo.onChange = [&] { ++comboChanges; };
    auto& hotKey = pageA.add<ui::HotKeyBox>("HotKey");
    hotKey.setBounds(136, 100, 150, 21);
    hotKey.onChange = [&] { ++hotKeyChanges; };
    auto& picture = pageA.add<ui::Picture>("Picture");
    picture.setBounds(300, 100, 10, 10);
    picture.setAutoSize(true);
    picture.setPicture(app::resources::kMainIcon);
    auto& bevel = pageA.add<ui::Bevel>("Bevel");
    bevel.setBounds(8, 140, 370, 2);
    bevel.setShape(ui::BevelShape::TopLine);
    auto& onB = pageB.add<ui::Label>("OnPageB");
    onB.setBounds(8, 8, 10, 10);
    onB.setCaption("第二页的标签");

    auto& radio = form.add<ui::RadioGroup>("Radio");
    radio.setBounds(416, 8, 190, 100);
    radio.setCaption("单选组");
    radio.setColumns(2);
    radio.setItems({"甲", "乙", "丙", "丁"});
    radio.onClick = [&] { ++radioClicks; };
    auto& panel = form.add<ui::Panel>("Panel");
    panel.setBounds(416, 116, 190, 60);
    panel.setCaption("面板");
    auto& group = form.add<ui::GroupBox>("Group");
    group.setBounds(416, 184, 190, 60);
    group.setCaption("分组框");
    auto& paint = form.add<ui::PaintControl>("Paint");
    paint.setBounds(8, 316, 400, 60);
    paint.onPaint = [](platform::Canvas& c) {
        c.fillRect(platform::Rect{0, 0, c.width(), c.height()}, 0x000000);
        c.fillRect(platform::Rect{10, 10, 110, 50}, 0x00FF00);
    };
    auto& status = form.add<ui::StatusBar>("Status");
    status.addPanel(200);
    status.addPanel(200);
    status.setPanelText(0, "状态栏一");
    status.setPanelText(1, "状态栏二");

    auto& menu = form.addComponent<ui::MainMenu>("Menu");
    auto& fileMenu = menu.add("FileMenu", "文件(&F)");
    auto& openItem = fileMenu.add("OpenItem", "打开(&O)");
    fileMenu.addSeparator("Sep");
    auto& exitItem = fileMenu.add("ExitItem", "退出(&X)");
    openItem.onClick = [&] { ++menuClicks; };
    auto& timer = form.addComponent<ui::Timer>("Timer");
    timer.setInterval(30);
    timer.onTimer = [&] { ++timerTicks; };
    form.onResize = [&] { ++resizes; };
    // What the form's own message map hears of a change of DPI (the main window redraws its
    // tray icon then), besides the backend's own handling of it.
    std::vector<int> dpiHeard;
    form.onMessage = [&](uint32_t number, uintptr_t wParam, intptr_t, intptr_t&) {
        if (number == platform::kWmDpiChanged) dpiHeard.push_back(LOWORD(wParam));
        return false;
    };
    edit.onEnter = [&] { ++enters; };

    form.show();
    // Shown once the paint control has painted its surface (checked below).
    pumpUntil([&] { return pixelOf(hwndOf(paint), 20, 20) == RGB(0, 255, 0); });
    const HWND formWindow = hwndOf(form);

    // ---- the real windows and their state ----
    check(formWindow != nullptr && sameClass(classOf(formWindow), "TQuilletProbeForm"), "form window class");
    check(IsWindowVisible(formWindow) != FALSE && textOf(formWindow) == "控件探针", "form shown with its caption");
    RECT client;
    GetClientRect(formWindow, &client);
    check(client.right == 620 && client.bottom == 460, "form client area is its bounds");
    check(reinterpret_cast<HWND>(form.peer()->window()) == formWindow, "the form peer names its window");
    check(sameClass(classOf(hwndOf(pages)), "SysTabControl32") &&
              SendMessageW(hwndOf(pages), TCM_GETITEMCOUNT, 0, 0) == 2,
          "page control: tab control with two tabs");
    check(IsWindowVisible(hwndOf(pageA)) && !IsWindowVisible(hwndOf(pageB)), "only the active sheet shows");
    check(sameClass(classOf(hwndOf(label)), "Static") && textOf(hwndOf(label)) == "标签 Label", "label");
    check(label.width() > 0 && label.height() > 0, "auto-sized label measured its text");
    check(sameClass(classOf(hwndOf(button)), "Button") && textOf(hwndOf(button)) == "按钮", "button");
    check(sameClass(classOf(hwndOf(flat)), "Button") &&
              (GetWindowLongW(hwndOf(flat), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW,
          "flat button is owner-drawn");
    check(sameClass(classOf(hwndOf(box)), "Button") && SendMessageW(hwndOf(box), BM_GETCHECK, 0, 0) == BST_CHECKED,
          "check box, ticked as it was before its window");
    check(sameClass(classOf(hwndOf(edit)), "Edit") && SendMessageW(hwndOf(edit), EM_GETLIMITTEXT, 0, 0) == 8,
          "edit with its maximum length");
    check(sameClass(classOf(hwndOf(track)), "msctls_trackbar32") &&
              SendMessageW(hwndOf(track), TBM_GETRANGEMAX, 0, 0) == 10 &&
              (GetWindowLongW(hwndOf(track), GWL_STYLE) & TBS_NOTICKS) != 0,
          "track bar range and no ticks");
    check(sameClass(classOf(hwndOf(combo)), "ComboBox") && SendMessageW(hwndOf(combo), CB_GETCOUNT, 0, 0) == 3 &&
              SendMessageW(hwndOf(combo), CB_GETCURSEL, 0, 0) == CB_ERR,
          "drop-down list with three items, none chosen");
    check(sameClass(classOf(hwndOf(hotKey)), "msctls_hotkey32"), "hot-key box");
    check(sameClass(classOf(hwndOf(picture)), "Static") && picture.width() == 32 && picture.height() == 32,
          "picture sized to the icon");
    // Every image of the two icon groups loads at its own size, those kept as PNG (40 and 64 px)
    // too, and draws both covered and see-through pixels on a magenta ground.
    const std::pair<const char*, std::vector<int>> iconGroups[] = {
        {app::resources::kMainIcon, {16, 20, 24, 32, 40, 48, 64}}, {app::resources::kWarningIcon, {32, 40, 48, 64}}};
    for (const auto& [name, sizes] : iconGroups) {
        for (int side : sizes) {
            const std::string what = std::string(name) + " at " + std::to_string(side) + " px";
            HICON icon = static_cast<HICON>(
                LoadImageW(GetModuleHandleW(nullptr), win32::widen(name).c_str(), IMAGE_ICON, side, side, 0));
            ICONINFO info{};
            BITMAP colour{};
            const bool loaded = icon != nullptr && GetIconInfo(icon, &info) &&
                                GetObjectW(info.hbmColor, sizeof colour, &colour) != 0 && colour.bmWidth == side &&
                                colour.bmHeight == side;
            if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
            if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
            int covered = 0, ground = 0;
            if (loaded) {
                HDC screen = GetDC(nullptr);
                HDC dc = CreateCompatibleDC(screen);
                HBITMAP canvas = CreateCompatibleBitmap(screen, side, side);
                HGDIOBJ old = SelectObject(dc, canvas);
                HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
                RECT all{0, 0, side, side};
                FillRect(dc, &all, magenta);
                DrawIconEx(dc, 0, 0, icon, side, side, 0, nullptr, DI_NORMAL);
                for (int y = 0; y < side; ++y)
                    for (int x = 0; x < side; ++x) (GetPixel(dc, x, y) == RGB(255, 0, 255) ? ground : covered) += 1;
                DeleteObject(magenta);
                SelectObject(dc, old);
                DeleteObject(canvas);
                DeleteDC(dc);
                ReleaseDC(nullptr, screen);
            }
            if (icon != nullptr) DestroyIcon(icon);
            check(loaded && covered > side * side / 4 && ground > 0, what + ": loads and draws",
                  std::to_string(covered) + " covered, " + std::to_string(ground) + " see-through");
        }
    }
    check(sameClass(classOf(hwndOf(status)), "msctls_statusbar32") &&
              SendMessageW(hwndOf(status), SB_GETPARTS, 0, 0) == 2,
          "status bar with two panels");
    check(sameClass(classOf(hwndOf(panel)), "QuilletContainer") && sameClass(classOf(hwndOf(group)), "QuilletContainer") &&
              hwndOf(bevel) != nullptr,
          "panel, group box and bevel windows");
    check(GetParent(hwndOf(label)) == hwndOf(pageA) && GetParent(hwndOf(pageA)) == hwndOf(pages),
          "controls sit in their containers");
    HWND radioButton0 = FindWindowExW(hwndOf(radio), nullptr, L"Button", nullptr);
    check(radioButton0 != nullptr && textOf(radioButton0) == "甲", "radio group buttons");
    {
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwndOf(button), WM_GETFONT, 0, 0));
        LOGFONTW lf{};
        GetObjectW(font, sizeof lf, &lf);
        check(font != nullptr && win32::narrow(lf.lfFaceName) == "宋体" && lf.lfHeight == -12,
              "controls use 宋体 at height -12");
        HFONT linkFont = reinterpret_cast<HFONT>(SendMessageW(hwndOf(link), WM_GETFONT, 0, 0));
        GetObjectW(linkFont, sizeof lf, &lf);
        check(lf.lfUnderline != 0, "link label underlined");
    }
    HMENU bar = GetMenu(formWindow);
    check(bar != nullptr && bar == static_cast<HMENU>(Win32UiBackend::menuOf(menu)) && GetMenuItemCount(bar) == 1,
          "main menu attached");
    HMENU fileSub = GetSubMenu(bar, 0);
    check(fileSub != nullptr && GetMenuItemCount(fileSub) == 3 &&
              GetMenuItemID(fileSub, 0) == Win32UiBackend::commandOf(openItem),
          "submenu with its items");
    {
        // Changes deep in a menu: the item's own menu follows, and the entry above opens a
        // submenu once the item has its first item.
        openItem.setCaption("打开文件(&O)");
        wchar_t text[32] = L"";
        GetMenuStringW(fileSub, 0, text, 32, MF_BYPOSITION);
        auto& recentItem = openItem.add("RecentItem", "最近(&R)");
        HMENU openSub = GetSubMenu(fileSub, 0);
        check(win32::narrow(text) == "打开文件(&O)" && openSub != nullptr && GetMenuItemCount(openSub) == 1 &&
                  GetMenuItemID(openSub, 0) == Win32UiBackend::commandOf(recentItem) && GetSubMenu(bar, 0) == fileSub,
              "menu changes: caption, first subitem");
    }
    check(pixelOf(hwndOf(paint), 20, 20) == RGB(0, 255, 0) && pixelOf(hwndOf(paint), 200, 20) == RGB(0, 0, 0),
          "paint control shows its surface");

    // ---- changes from code: mirrored, handler once ----
    box.setChecked(false);
    check(SendMessageW(hwndOf(box), BM_GETCHECK, 0, 0) == BST_UNCHECKED && checkClicks == 1, "code: check box");
    edit.setText("abc");
    check(textOf(hwndOf(edit)) == "abc" && editChanges == 1, "code: edit text, onChange once");
    track.setPosition(7);
    check(SendMessageW(hwndOf(track), TBM_GETPOS, 0, 0) == 7 && trackChanges == 1, "code: track bar position");
    track.setPosition(70);
    check(SendMessageW(hwndOf(track), TBM_GETPOS, 0, 0) == 10 && trackChanges == 2, "code: clamped position");
    combo.setItemIndex(1);
    check(SendMessageW(hwndOf(combo), CB_GETCURSEL, 0, 0) == 1 && comboChanges == 0, "code: combo selection, no handler");
    hotKey.setShortcut(static_cast<ui::Shortcut>(ui::kShortcutCtrl | ui::kShortcutAlt | 'K'));
    check(SendMessageW(hwndOf(hotKey), HKM_GETHOTKEY, 0, 0) == MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT) &&
              hotKeyChanges == 1,
          "code: hot key");
    radio.setItemIndex(2);
    HWND radioButton2 = GetWindow(GetWindow(radioButton0, GW_HWNDNEXT), GW_HWNDNEXT);
    check(SendMessageW(radioButton2, BM_GETCHECK, 0, 0) == BST_CHECKED && radioClicks == 1, "code: radio index");
    pages.setActivePageIndex(1);
    check(SendMessageW(hwndOf(pages), TCM_GETCURSEL, 0, 0) == 1 && IsWindowVisible(hwndOf(pageB)) &&
              !IsWindowVisible(hwndOf(pageA)) && pageChanges == 1,
          "code: active page");
    pages.setActivePageIndex(0);
    pageChanges = 0;
    button.setEnabled(false);
    check(!IsWindowEnabled(hwndOf(button)), "code: disabled");
    button.setEnabled(true);
    label.setCaption("新的标签文字");
    check(textOf(hwndOf(label)) == "新的标签文字", "code: caption");
    button.setBounds(10, 34, 80, 24);
    {
        RECT r;
        GetWindowRect(hwndOf(button), &r);
        MapWindowPoints(nullptr, hwndOf(pageA), reinterpret_cast<POINT*>(&r), 2);
        check(r.left == 10 && r.top == 34 && r.right - r.left == 80 && r.bottom - r.top == 24, "code: bounds");
    }
    ui::Font bold;
    bold.bold = true;
    button.setFont(bold);
    {
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwndOf(button), WM_GETFONT, 0, 0)), sizeof lf, &lf);
        check(lf.lfWeight == FW_BOLD, "code: font");
    }
    openItem.setChecked(true);
    exitItem.setEnabled(false);
    exitItem.setDefault(true);
    fileSub = GetSubMenu(GetMenu(formWindow), 0);
    check((GetMenuState(fileSub, 0, MF_BYPOSITION) & MF_CHECKED) != 0 &&
              (GetMenuState(fileSub, 2, MF_BYPOSITION) & MF_GRAYED) != 0 &&
              GetMenuDefaultItem(fileSub, TRUE, GMDI_USEDISABLED) == 2,
          "code: menu item checked, grayed, default");
    status.setPanelText(1, "改了");
    {
        wchar_t text[64] = {};
        SendMessageW(hwndOf(status), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
        check(win32::narrow(text) == "改了", "code: status panel text");
    }
    pages.setTabStyle(ui::TabStyle::FlatButtons);
    check((GetWindowLongW(hwndOf(pages), GWL_STYLE) & (TCS_BUTTONS | TCS_FLATBUTTONS)) == (TCS_BUTTONS | TCS_FLATBUTTONS),
          "code: tab style");
    pages.setTabStyle(ui::TabStyle::Tabs);

    // ---- the user: handler once, new value in the portable state ----
    checkClicks = editChanges = trackChanges = comboChanges = radioClicks = hotKeyChanges = 0;
    SendMessageW(hwndOf(box), BM_CLICK, 0, 0);
    check(box.checked() && checkClicks == 1, "user: check box click");
    SendMessageW(hwndOf(edit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello"));
    check(edit.text() == "hello" && editChanges == 1, "user: edit typing");
    SendMessageW(hwndOf(edit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0123456789"));
    check(edit.text() == "01234567" && textOf(hwndOf(edit)) == "01234567" && editChanges == 2,
          "user: edit cut to its maximum length, shown again");
    SendMessageW(hwndOf(track), TBM_SETPOS, TRUE, 3);
    SendMessageW(GetParent(hwndOf(track)), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 3),
                 reinterpret_cast<LPARAM>(hwndOf(track)));
    SendMessageW(GetParent(hwndOf(track)), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(hwndOf(track)));
    check(track.position() == 3 && trackChanges == 1, "user: track bar");
    SendMessageW(hwndOf(combo), CB_SETCURSEL, 2, 0);
    commandFrom(hwndOf(combo), CBN_SELCHANGE);
    check(combo.itemIndex() == 2 && comboChanges == 1, "user: combo choice");
    SendMessageW(hwndOf(button), BM_CLICK, 0, 0);
    check(buttonClicks == 1, "user: button click");
    {
        // A handler's exception is caught where the system called the program, its message
        // reported as thrown, and the window goes on answering.
        std::vector<std::string> reported;
        expectedErrors = &reported;
        button.onClick = [] { throw std::runtime_error("无法释放内存：参数错误"); };
        SendMessageW(hwndOf(button), BM_CLICK, 0, 0);
        button.onClick = [] { throw 42; };
        SendMessageW(hwndOf(button), BM_CLICK, 0, 0);
        expectedErrors = nullptr;
        button.onClick = [&] { ++buttonClicks; };
        SendMessageW(hwndOf(button), BM_CLICK, 0, 0);
        check(reported == std::vector<std::string>{"无法释放内存：参数错误", "未知错误。"} && buttonClicks == 2,
              "user: a handler's exception reported, the button still works",
              reported.empty() ? std::string() : reported.front());
    }
    SendMessageW(hwndOf(flat), BM_CLICK, 0, 0);
    check(flatClicks == 1, "user: flat button click");
    commandFrom(hwndOf(label), STN_CLICKED);
    commandFrom(hwndOf(link), STN_CLICKED);
    check(labelClicks == 1 && linkClicks == 1, "user: label and link clicks");
    SendMessageW(radioButton0, BM_CLICK, 0, 0);
    check(radio.itemIndex() == 0 && radioClicks == 1 && SendMessageW(radioButton2, BM_GETCHECK, 0, 0) == BST_UNCHECKED,
          "user: radio choice");
    SendMessageW(hwndOf(hotKey), HKM_SETHOTKEY, MAKEWORD('Q', 0), 0);
    commandFrom(hwndOf(hotKey), EN_CHANGE);
    check(hotKey.shortcut() == (ui::kShortcutCtrl | ui::kShortcutAlt | 'Q') && hotKeyChanges == 1 &&
              SendMessageW(hwndOf(hotKey), HKM_GETHOTKEY, 0, 0) == MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT),
          "user: hot key takes the box's rule, shown again");
    {
        NMHDR header{hwndOf(pages), static_cast<UINT_PTR>(GetDlgCtrlID(hwndOf(pages))), TCN_SELCHANGE};
        SendMessageW(hwndOf(pages), TCM_SETCURSEL, 1, 0);
        SendMessageW(formWindow, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        check(pages.activePageIndex() == 1 && pageChanges == 1 && IsWindowVisible(hwndOf(pageB)) &&
                  !IsWindowVisible(hwndOf(pageA)),
              "user: tab choice shows its page");
        allowPageChange = false;
        SendMessageW(hwndOf(pages), TCM_SETCURSEL, 0, 0);
        SendMessageW(formWindow, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        check(pages.activePageIndex() == 1 && pageChanges == 1 && SendMessageW(hwndOf(pages), TCM_GETCURSEL, 0, 0) == 1 &&
                  IsWindowVisible(hwndOf(pageB)),
              "user: refused tab choice keeps the page");
        allowPageChange = true;
        pages.setActivePageIndex(0);
    }
    PostMessageW(formWindow, WM_COMMAND, MAKEWPARAM(Win32UiBackend::commandOf(openItem), 0), 0);
    PostMessageW(formWindow, WM_COMMAND, MAKEWPARAM(Win32UiBackend::commandOf(exitItem), 0), 0);
    dispatchWaiting();
    check(menuClicks == 1, "user: menu command (a disabled item's is refused)");
    SetFocus(hwndOf(edit));
    check(form.activeControl() == &edit && enters == 1, "user: focus reaches the edit");
    edit.setFocus();
    check(enters == 1, "focus set to the control holding it runs nothing");
    box.setFocus();
    check(GetFocus() == hwndOf(box), "code: focus");
    pumpUntil([&] { return timerTicks >= 2; });
    check(timerTicks >= 2, "timer ticks (" + std::to_string(timerTicks) + ")");
    timer.setEnabled(false);
    const int ticks = timerTicks;
    pump(300);  // ten of its intervals
    check(timerTicks == ticks, "stopped timer stays quiet");
    {
        RECT r;
        GetWindowRect(formWindow, &r);
        SetWindowPos(formWindow, nullptr, 0, 0, r.right - r.left + 40, r.bottom - r.top + 20, SWP_NOMOVE | SWP_NOZORDER);
        check(form.width() == 660 && form.height() == 480 && resizes == 1, "user: resized window reports its bounds");
        check(status.width() == 660, "docked status bar follows");
    }

    // ---- moved to a monitor of 192 dpi and back (WM_DPICHANGED, Windows 8.1 and later) ----
    {
        auto moveToDpi = [&](int dpi, int clientWidth, int clientHeight) {
            RECT suggested{100, 80, 100 + clientWidth, 80 + clientHeight};
            AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongW(formWindow, GWL_STYLE)), TRUE,
                               static_cast<DWORD>(GetWindowLongW(formWindow, GWL_EXSTYLE)));
            SendMessageW(formWindow, 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            dispatchWaiting();
            RECT now{};
            GetWindowRect(formWindow, &now);
            return EqualRect(&now, &suggested) != FALSE;
        };
        auto placeOf = [&](const ui::Component& c) {
            RECT r{};
            GetWindowRect(hwndOf(c), &r);
            MapWindowPoints(nullptr, GetParent(hwndOf(c)), reinterpret_cast<POINT*>(&r), 2);
            return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
                   std::to_string(r.bottom - r.top);
        };
        auto fontHeight = [&](const ui::Component& c) {
            LOGFONTW lf{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwndOf(c), WM_GETFONT, 0, 0)), sizeof lf, &lf);
            return static_cast<int>(lf.lfHeight);
        };
        auto parts = [&] {
            int edges[4] = {};
            const int count = static_cast<int>(SendMessageW(hwndOf(status), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)));
            return count == 2 ? std::to_string(edges[0]) + "," + std::to_string(edges[1]) : std::string("?");
        };
        auto paintSize = [&] {
            RECT r{};
            GetClientRect(hwndOf(paint), &r);
            return std::to_string(r.right) + "x" + std::to_string(r.bottom);
        };
        const bool placed = moveToDpi(192, 1320, 960);
        check(placed && form.dpi() == 192 && form.width() == 1320 && form.height() == 960,
              "192 dpi: the window takes the rectangle Windows suggests");
        check(placeOf(panel) == "832,232 380x120" && placeOf(box) == "400,64 300x40", "192 dpi: controls at twice the place",
              placeOf(panel) + " / " + placeOf(box));
        check(fontHeight(box) == -24 && fontHeight(button) == -24, "192 dpi: fonts at twice the pixels",
              std::to_string(fontHeight(box)));
        check(picture.width() == 64 && picture.height() == 64, "192 dpi: the icon picture at 64 pixels");
        check(parts() == "400,-1", "192 dpi: status panels twice as wide", parts());
        pumpUntil([&] { return pixelOf(hwndOf(paint), 40, 40) == RGB(0, 255, 0); }, 5000);
        check(paintSize() == "800x120" && pixelOf(hwndOf(paint), 40, 40) == RGB(0, 255, 0) &&
                  pixelOf(hwndOf(paint), 600, 100) == RGB(0, 0, 0),
              "192 dpi: the painted control drawn at its size in pixels", paintSize());
        check(dpiHeard == std::vector<int>{192}, "192 dpi: the form's own handler hears of it once");
        const bool back = moveToDpi(96, 660, 480);
        check(back && form.dpi() == 96 && placeOf(panel) == "416,116 190x60" && placeOf(box) == "200,32 150x20" &&
                  fontHeight(box) == -12 && parts() == "200,-1" && paintSize() == "400x60" && picture.width() == 32,
              "back at 96 dpi: everything as designed", placeOf(panel) + " / " + placeOf(box) + " / " + paintSize());
    }

    // ---- a modal dialog ----
    {
        ui::Form dialog(backend, "ProbeDialog");
        dialog.setBorderStyle(ui::BorderStyle::Dialog);
        dialog.setBounds(200, 200, 240, 100);
        dialog.setCaption("对话框");
        auto& ok = dialog.add<ui::Button>("Ok");
        ok.setBounds(80, 40, 75, 25);
        ok.setCaption("确定");
        ok.setModalResult(ui::kModalOk);
        dialog.realize();
        PostMessageW(hwndOf(ok), BM_CLICK, 0, 0);
        const int result = dialog.showModal();
        check(result == ui::kModalOk && !IsWindowVisible(hwndOf(dialog)) && IsWindowEnabled(formWindow),
              "modal dialog ends with its button's result, owner enabled again");
        PostMessageW(hwndOf(dialog), WM_CLOSE, 0, 0);
        check(dialog.showModal() == ui::kModalCancel, "closing a modal dialog cancels it");
    }

    if (argc >= 3 && std::wcscmp(argv[1], L"hold") == 0) {
        pages.setActivePageIndex(0);
        timer.setEnabled(true);
        pump(static_cast<DWORD>(_wtoi(argv[2])) * 1000);
    }

    SendMessageW(formWindow, WM_CLOSE, 0, 0);
    check(!form.visible() && !IsWindowVisible(formWindow), "title-bar close hides the form");

    form.unrealize();
    check(!IsWindow(formWindow), "unrealising destroys the windows");
    return checks::summary();
}
