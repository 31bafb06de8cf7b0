// Part of the Win32 backend of the control layer (ui_backend.h): containers drawn by the
// program: panels, group boxes, bevels, page controls and their tab sheets, radio groups.
#include "win32/controls/win32_peers.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "win32/services/wide_text.h"
#include "ui/controls.h"

namespace win32::ui_peers {

namespace {

void drawCaption(HDC dc, HFONT font, const ui::Control& control, RECT r, UINT format) {
    const std::wstring text = widen(control.text());
    if (text.empty()) return;
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, resolve(control.font().color));
    SetBkColor(dc, resolve(control.color()));
    SetBkMode(dc, OPAQUE);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    SelectObject(dc, old);
}

class ContainerPeer : public WindowPeer {
public:
    ContainerPeer(Win32UiBackend& backend, ui::Control& control) : WindowPeer(backend, control) { makeWindow(); }
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            paint(dc);
            EndPaint(hwnd_, &ps);
            result = 0;
            return true;
        }
        if (control_.kind() == Kind::Bevel) {
            if (message == WM_NCHITTEST) {
                result = HTTRANSPARENT;
                return true;
            }
            if (message == WM_ERASEBKGND) {
                result = 1;
                return true;
            }
        }
        return WindowPeer::handle(message, wParam, lParam, result);
    }

protected:
    // For a kind that makes its window later.
    struct Later {};
    ContainerPeer(Win32UiBackend& backend, ui::Control& control, Later) : WindowPeer(backend, control) {}
    void makeWindow() {
        create(kContainerClass, WS_CLIPCHILDREN,
               control_.kind() == Kind::Bevel ? WS_EX_TRANSPARENT : WS_EX_CONTROLPARENT);
    }

    void showText() override { InvalidateRect(hwnd_, nullptr, TRUE); }
    void appearance() override { InvalidateRect(hwnd_, nullptr, TRUE); }
    void fontChanged() override { InvalidateRect(hwnd_, nullptr, TRUE); }

    int captionHeight(HDC dc) const {
        HGDIOBJ old = SelectObject(dc, font());
        TEXTMETRICW tm;
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        return tm.tmHeight;
    }

    void paintGroupFrame(HDC dc) {
        RECT r;
        GetClientRect(hwnd_, &r);
        const int h = captionHeight(dc);
        RECT frame{r.left, r.top + h / 2, r.right, r.bottom};
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        RECT text{r.left + scaled(8), r.top, r.right - scaled(8), r.top + h};
        const std::wstring caption = widen(control_.text());
        if (!caption.empty()) {
            const std::wstring padded = L" " + caption + L" ";
            HGDIOBJ old = SelectObject(dc, font());
            SetTextColor(dc, resolve(control_.font().color));
            SetBkColor(dc, resolve(control_.color()));
            SetBkMode(dc, OPAQUE);
            DrawTextW(dc, padded.c_str(), static_cast<int>(padded.size()), &text, DT_LEFT | DT_SINGLELINE | DT_TOP);
            SelectObject(dc, old);
        }
    }

    virtual void paint(HDC dc) {
        RECT r;
        GetClientRect(hwnd_, &r);
        switch (control_.kind()) {
        case Kind::Panel: {
            const auto& panel = static_cast<const ui::Panel&>(control_);
            if (panel.borderStyle() == ui::BorderLine::Single) {
                FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                InflateRect(&r, -1, -1);
            }
            auto bevel = [&](ui::BevelCut cut) {
                if (cut == ui::BevelCut::None) return;
                for (int i = 0; i < panel.bevelWidth(); ++i) {
                    DrawEdge(dc, &r, cut == ui::BevelCut::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
                    InflateRect(&r, -1, -1);
                }
            };
            bevel(panel.bevelOuter());
            bevel(panel.bevelInner());
            UINT align = DT_CENTER;
            if (panel.alignment() == ui::TextAlignment::Left) align = DT_LEFT;
            if (panel.alignment() == ui::TextAlignment::Right) align = DT_RIGHT;
            drawCaption(dc, font(), control_, r, align | DT_VCENTER | DT_SINGLELINE);
            break;
        }
        case Kind::GroupBox: paintGroupFrame(dc); break;
        case Kind::Bevel: {
            const auto& bevel = static_cast<const ui::Bevel&>(control_);
            const UINT thin = bevel.style() == ui::BevelCut::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER;
            switch (bevel.shape()) {
            case ui::BevelShape::Box: DrawEdge(dc, &r, thin, BF_RECT); break;
            case ui::BevelShape::Frame: DrawEdge(dc, &r, bevel.style() == ui::BevelCut::Raised ? EDGE_BUMP : EDGE_ETCHED, BF_RECT); break;
            case ui::BevelShape::TopLine: r.bottom = r.top + 2; DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP); break;
            case ui::BevelShape::BottomLine: r.top = r.bottom - 2; DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP); break;
            case ui::BevelShape::LeftLine: r.right = r.left + 2; DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT); break;
            case ui::BevelShape::RightLine: r.left = r.right - 2; DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT); break;
            case ui::BevelShape::Spacer: break;
            }
            break;
        }
        default: break;
        }
    }
};

class TabSheetPeer;

class PageControlPeer : public WindowPeer {
public:
    PageControlPeer(Win32UiBackend& backend, ui::PageControl& pages) : WindowPeer(backend, pages), pages_(pages) {
        create(WC_TABCONTROLW, WS_CLIPCHILDREN | kindStyle(), WS_EX_CONTROLPARENT);
        pad();
        measureDisplayArea();
        finishCreation();
    }
    bool notify(NMHDR& header, LRESULT& result) override {
        if (header.code == TCN_SELCHANGING) {
            result = FALSE;  // the choice is put to onChanging once it is known (TCN_SELCHANGE)
            return true;
        }
        if (header.code == TCN_SELCHANGE) {
            const int index = static_cast<int>(SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0));
            pages_.userChanged(index);
            showPages();
            result = 0;
            return true;
        }
        return false;
    }
    void showPages();
    void measureDisplayArea() {
        RECT r;
        GetClientRect(hwnd_, &r);
        if (r.right <= 0 || r.bottom <= 0) return;
        SendMessageW(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
        pages_.setDisplayArea(ui::Bounds{r.left, r.top, r.right - r.left, r.bottom - r.top});
    }

protected:
    DWORD kindStyle() const override {
        switch (pages_.tabStyle()) {
        case ui::TabStyle::Tabs: return 0;
        case ui::TabStyle::Buttons: return TCS_BUTTONS;
        case ui::TabStyle::FlatButtons: return TCS_BUTTONS | TCS_FLATBUTTONS;
        }
        return 0;
    }
    DWORD kindStyleMask() const override { return TCS_BUTTONS | TCS_FLATBUTTONS; }
    void showText() override {}
    void place() override {
        WindowPeer::place();
        measureDisplayArea();
    }
    void fontChanged() override {
        if (hwnd_ != nullptr && control_.peer() != nullptr) measureDisplayArea();
    }
    void dpiChanged() override {
        pad();
        measureDisplayArea();
    }
    void updateKind(Change what) override {
        if (what == Change::Selection) {
            SendMessageW(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(pages_.activePageIndex()), 0);
            showPages();
        } else if (what == Change::TabStyle) {
            restyle();
            measureDisplayArea();
        }
    }

private:
    // The space around a tab's text: the control's own 6 x 3 pixels are those of 96 dpi.
    void pad() {
        if (dpi() == platform::kDesignDpi && !padded_) return;
        SendMessageW(hwnd_, TCM_SETPADDING, 0, MAKELPARAM(scaled(6), scaled(3)));
        padded_ = true;
    }

    ui::PageControl& pages_;
    bool padded_ = false;
};

class TabSheetPeer : public ContainerPeer {
public:
    // A page's window is made when the page first shows (or a control is made on it): at start
    // only the chosen page's is needed, and every window costs the start-up time.
    TabSheetPeer(Win32UiBackend& backend, ui::TabSheet& sheet)
        : ContainerPeer(backend, sheet, Later{}), sheet_(sheet), tabs_(parentWindow()), index_(sheet.pageIndex()) {
        const std::wstring text = widen(sheet.text());
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&item));
        SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(sheet.pageControl().activePageIndex()), 0);
        // The row of tabs only takes its height once it holds a tab: measure the pages' area again.
        if (auto* pages = dynamic_cast<PageControlPeer*>(sheet.pageControl().peer())) pages->measureDisplayArea();
        if (visibleNow()) madeWindow();
    }
    HWND madeWindow() override {
        if (hwnd_ == nullptr) {
            makeWindow();
            place();  // in the pages' area as it is now
            finishCreation();
        }
        return hwnd_;
    }
    ~TabSheetPeer() override { SendMessageW(tabs_, TCM_DELETEITEM, static_cast<WPARAM>(index_), 0); }
    bool visibleNow() const override {
        return sheet_.visible() && sheet_.pageControl().activePage() == &sheet_;
    }

protected:
    void showText() override {
        const std::wstring text = widen(sheet_.text());
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tabs_, TCM_SETITEMW, static_cast<WPARAM>(sheet_.pageIndex()), reinterpret_cast<LPARAM>(&item));
    }

private:
    ui::TabSheet& sheet_;
    HWND tabs_;
    int index_;
};

void PageControlPeer::showPages() {
    for (int i = 0; i < pages_.pageCount(); ++i)
        if (auto* peer = dynamic_cast<TabSheetPeer*>(pages_.page(i).peer())) peer->showVisible();
}

class RadioGroupPeer : public ContainerPeer {
public:
    RadioGroupPeer(Win32UiBackend& backend, ui::RadioGroup& group) : ContainerPeer(backend, group), group_(group) {
        makeButtons();
        finishCreation();
    }
    void childCommand(HWND child, WORD code) override {
        if (code != BN_CLICKED) return;
        const auto it = std::find(buttons_.begin(), buttons_.end(), child);
        if (it == buttons_.end()) return;
        if (SendMessageW(child, BM_GETCHECK, 0, 0) != BST_CHECKED) return;
        group_.userChanged(static_cast<int>(it - buttons_.begin()));
    }
    const std::vector<HWND>& buttons() const { return buttons_; }

protected:
    void paint(HDC dc) override { paintGroupFrame(dc); }
    void updateKind(Change what) override {
        if (what == Change::Items) makeButtons();
        else if (what == Change::Selection) check();
    }
    void appearance() override {
        layout();
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
    void place() override {
        WindowPeer::place();
        layout();
    }
    void fontChanged() override {
        for (HWND b : buttons_) SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

private:
    void makeButtons() {
        for (HWND b : buttons_) DestroyWindow(b);
        buttons_.clear();
        for (const auto& item : group_.items()) {
            const DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (buttons_.empty() ? WS_GROUP | WS_TABSTOP : 0);
            HWND b = CreateWindowExW(0, L"BUTTON", widen(item).c_str(), style, 0, 0, 10, 10, hwnd_,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(buttons_.size() + 1)), instance(),
                                     nullptr);
            if (b == nullptr) throw std::runtime_error("CreateWindowEx failed for a radio button");
            SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
            buttons_.push_back(b);
        }
        layout();
        check();
    }
    void layout() {
        if (buttons_.empty()) return;
        RECT r;
        GetClientRect(hwnd_, &r);
        const int columns = group_.columns();
        const int count = static_cast<int>(buttons_.size());
        const int rows = (count + columns - 1) / columns;
        const int top = scaled(16), bottom = scaled(4), side = scaled(8);
        const int columnWidth = std::max(1, static_cast<int>(r.right - 2 * side) / columns);
        const int rowHeight = std::max(1, static_cast<int>(r.bottom - top - bottom) / std::max(rows, 1));
        for (int i = 0; i < count; ++i) {
            const int column = i / rows, row = i % rows;
            SetWindowPos(buttons_[static_cast<size_t>(i)], nullptr, side + column * columnWidth, top + row * rowHeight,
                         columnWidth, std::min(rowHeight, scaled(20)), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    void check() {
        for (size_t i = 0; i < buttons_.size(); ++i)
            SendMessageW(buttons_[i], BM_SETCHECK,
                         static_cast<int>(i) == group_.itemIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    ui::RadioGroup& group_;
    std::vector<HWND> buttons_;
};

}  // namespace

std::unique_ptr<ui::Peer> makeContainerPeer(Win32UiBackend& backend, ui::Control& control) {
    auto peer = std::make_unique<ContainerPeer>(backend, control);
    peer->showVisible();
    return peer;
}

std::unique_ptr<ui::Peer> makePageControlPeer(Win32UiBackend& backend, ui::PageControl& control) {
    return std::make_unique<PageControlPeer>(backend, control);
}

std::unique_ptr<ui::Peer> makeTabSheetPeer(Win32UiBackend& backend, ui::TabSheet& control) {
    return std::make_unique<TabSheetPeer>(backend, control);
}

std::unique_ptr<ui::Peer> makeRadioGroupPeer(Win32UiBackend& backend, ui::RadioGroup& control) {
    return std::make_unique<RadioGroupPeer>(backend, control);
}

}  // namespace win32::ui_peers
