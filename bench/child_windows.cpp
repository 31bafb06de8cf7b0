// The child windows Quillet's main window shows on its first page, made as plainly as Win32
// allows: the same classes, styles, places, texts and font, owner-drawn buttons drawn by their
// parent, two paint boxes that fill themselves. Built into children_baseline, it tells how much
// of Quillet's start-up is the cost of having these windows at all (under Wine each one costs
// the server round trips to make, place and paint it) and how much is Quillet's own. It has a
// menu bar like Quillet's too.
#include "child_windows.h"

#include <commctrl.h>

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kLabel = kChild | SS_NOTIFY | SS_LEFTNOWORDWRAP;
constexpr DWORD kFigure = kChild | SS_NOTIFY | SS_RIGHT;
constexpr DWORD kButton = kChild | BS_OWNERDRAW;
constexpr DWORD kPanel = kChild | WS_CLIPCHILDREN;

const wchar_t* const kPanelClass = L"QuilletBaselinePanel";
const wchar_t* const kPaintBoxClass = L"QuilletBaselinePaintBox";

// parent: 0 the window itself, otherwise the row's number (from 1) that made it.
struct Child {
    int parent;
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    const wchar_t* text;
};

const Child kChildren[] = {
    {0, WC_TABCONTROLW, kPanel | WS_TABSTOP, WS_EX_CONTROLPARENT, 8, 0, 385, 325, L""},
    {1, kPanelClass, kPanel, WS_EX_CONTROLPARENT, 4, 23, 377, 298, L"资源使用情况"},
    {2, kPanelClass, kPanel, WS_EX_CONTROLPARENT, 0, 0, 377, 298, L""},
    {3, L"STATIC", kLabel, 0, 8, 12, 91, 15, L"未用的物理内存"},
    {3, L"STATIC", kLabel, 0, 8, 28, 93, 15, L"23,582MB (97%)"},
    {3, L"STATIC", kLabel, 0, 8, 52, 78, 15, L"未使用的缓存"},
    {3, L"STATIC", kLabel, 0, 8, 68, 93, 15, L"23,582MB (97%)"},
    {3, L"STATIC", kLabel, 0, 8, 92, 65, 15, L"装载存储器"},
    {3, L"STATIC", kLabel, 0, 8, 108, 18, 15, L"2%"},
    {3, L"STATIC", kLabel, 0, 8, 132, 26, 15, L"资源"},
    {3, L"STATIC", kLabel, 0, 8, 148, 25, 15, L"GDI:"},
    {3, L"STATIC", kLabel, 0, 56, 148, 22, 15, L"N/A"},
    {3, L"STATIC", kLabel, 0, 8, 164, 39, 15, L"系统："},
    {3, L"STATIC", kLabel, 0, 56, 164, 22, 15, L"N/A"},
    {3, L"STATIC", kLabel, 0, 8, 180, 39, 15, L"用户："},
    {3, L"STATIC", kLabel, 0, 56, 180, 22, 15, L"N/A"},
    {3, L"STATIC", kLabel, 0, 8, 210, 66, 15, L"CPU 使用率"},
    {3, kPaintBoxClass, kChild, 0, 8, 225, 73, 15, L""},
    {3, L"STATIC", kLabel, 0, 152, 12, 112, 15, L"物理内存使用情况"},
    {3, L"STATIC", kFigure, 0, 108, 32, 40, 12, L"23.5G"},
    {3, L"STATIC", kFigure, 0, 108, 72, 40, 12, L"17.6G"},
    {3, L"STATIC", kFigure, 0, 108, 112, 40, 12, L"11.7G"},
    {3, L"STATIC", kFigure, 0, 108, 160, 40, 12, L"6027M"},
    {3, L"STATIC", kFigure, 0, 108, 208, 40, 12, L"0M"},
    {3, kPanelClass, kPanel, WS_EX_CONTROLPARENT, 152, 32, 217, 219, L""},
    {25, kPaintBoxClass, kChild, 0, 2, 1, 213, 217, L""},
    {3, L"BUTTON", kButton, 0, 8, 260, 147, 22, L"停用自动释放功能"},
    {3, L"BUTTON", kButton, 0, 161, 260, 79, 22, L"调整内存"},
    {3, L"STATIC", kLabel, 0, 201, 282, 134, 15, L"http://www.quillet.org/"},
    {0, L"STATIC", kLabel | WS_DISABLED, 0, 8, 340, 106, 15, L"Quillet 简体中文版"},
    {0, L"BUTTON", kButton, 0, 185, 332, 65, 25, L"最小化"},
    {0, L"BUTTON", kButton, 0, 255, 332, 60, 25, L"退出"},
    {0, L"BUTTON", kButton, 0, 320, 332, 60, 25, L"释放"},
    {0, kPanelClass, kPanel, WS_EX_CONTROLPARENT, 8, 368, 385, 45, L""},
    {34, L"STATIC", kChild | SS_NOTIFY, 0, 0, 0, 385, 45, L""},
    {0, STATUSCLASSNAMEW, kChild | SBARS_SIZEGRIP | CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 0, 415, 402, 19, L""},
};

constexpr int kChildCount = sizeof kChildren / sizeof kChildren[0];

const wchar_t* const kPages[] = {L"资源使用情况", L"选项", L"增强选项", L"缓存", L"内存荷载", L"关于"};

const wchar_t* const kMenus[] = {L"文件(&F)", L"查看(&V)", L"网站(&W)", L"帮助(&H)"};

// A menu bar of four menus with 45 items among them, as Quillet's.
HMENU makeMenuBar() {
    HMENU bar = CreateMenu();
    for (int menu = 0; menu < 4; ++menu) {
        HMENU popup = CreatePopupMenu();
        for (int item = 0; item < (menu == 0 ? 15 : 10); ++item) {
            wchar_t text[32];
            wsprintfW(text, L"命令 %d", item + 1);
            AppendMenuW(popup, MF_STRING, 2000 + menu * 100 + item, text);
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), kMenus[menu]);
    }
    return bar;
}

// An owner-drawn button as a flat button draws itself: face, edge, caption.
void drawButton(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    RECT edge = item.rcItem;
    DrawEdge(item.hDC, &edge, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    wchar_t caption[64];
    GetWindowTextW(item.hwndItem, caption, 64);
    SetBkMode(item.hDC, TRANSPARENT);
    DrawTextW(item.hDC, caption, -1, &edge, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT CALLBACK panelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK paintBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

bool drawChildButton(UINT message, LPARAM lParam) {
    if (message != WM_DRAWITEM) return false;
    drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return true;
}

void addChildWindows(HWND window, HFONT font) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = panelProc;
    wc.lpszClassName = kPanelClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = paintBoxProc;
    wc.lpszClassName = kPaintBoxClass;
    RegisterClassExW(&wc);

    SetMenu(window, makeMenuBar());
    HWND made[kChildCount + 1] = {window};
    for (int i = 0; i < kChildCount; ++i) {
        const Child& c = kChildren[i];
        made[i + 1] = CreateWindowExW(c.exStyle, c.windowClass, c.text, c.style, c.x, c.y, c.width, c.height,
                                      made[c.parent], reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000 + i)),
                                      instance, nullptr);
        SendMessageW(made[i + 1], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    HWND tabs = made[1];
    for (int i = 0; i < 6; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(kPages[i]);
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    HWND status = made[kChildCount];
    int parts[] = {200, -1};
    SendMessageW(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"物理内存：24,118MB"));
}
