#include "mainwindow/main_form_layout.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>

#include "app/resource_names.h"
#include "app/version.h"

namespace mainwindow {

namespace {

// Sizes the tables leave to the controls themselves. A check box is one line of text high and
// as wide as its box and caption, like an auto-sized label, so it never reaches over the edit
// that continues its sentence and a click beside the text does nothing. Edits and drop-down
// lists are as high as the 9-point window font needs and no higher, so that no control reaches
// into the next line: the lines of the pages are only 14 to 17 pixels apart.
constexpr int kCheckBoxHeight = 14;
constexpr int kCheckBoxGlyphAndGaps = 20;  // the 13-pixel box, the gap before the text, a margin
constexpr int kEditHeight = 18;
constexpr int kDropDownHeight = 20;

// Width of one line of text in the window font: 宋体 at 9 points draws ASCII characters 6
// pixels wide and all others (Chinese, full-width punctuation) 12.
int textWidth(std::string_view utf8) {
    int width = 0;
    for (unsigned char byte : utf8) {
        if ((byte & 0xC0) == 0x80) continue;  // continuation byte of a character already counted
        width += byte < 0x80 ? 6 : 12;
    }
    return width;
}

// The edges of the parent that the controls below the pages and those of the stress page keep
// their distance to (ui::Anchors: left, top, right, bottom).
constexpr ui::Anchors kLeftBottom{true, false, false, true};
constexpr ui::Anchors kRightBottom{false, false, true, true};
constexpr ui::Anchors kLeftRightBottom{true, false, true, true};
constexpr ui::Anchors kLeftTopRight{true, true, true, false};

// Fonts of the window (functions, so that they exist before any static initialiser asks for
// the tables). The form's font is the one every control inherits unless it has its own.
ui::Font font(int height, platform::Color color, bool bold = false, bool underline = false) {
    ui::Font f = ui::dialogFont(bold);
    f.height = height;
    f.color = color;
    f.underline = underline;
    return f;
}
ui::Font formFont() { return font(-12, kWindowTextColor); }
ui::Font limeText() { return font(-13, kLime); }
ui::Font limeHeading() { return font(-13, kLime, false, true); }
ui::Font whiteText() { return font(-13, kWhite); }
ui::Font yellowBoldText() { return font(-13, kYellow, true); }
// The scale labels keep the window's size so that "1000MB" fits their 40 pixels.
ui::Font scaleText() { return font(-12, kYellow); }
ui::Font limeButtonText() { return font(-12, kLime); }
ui::Font yellowButtonText() { return font(-12, kYellow); }
ui::Font heading() { return font(-13, kWindowTextColor, false, true); }
ui::Font productText() { return font(-13, kWindowTextColor); }
ui::Font productTitle() { return font(-16, kWindowTextColor, true); }
ui::Font recoveringCaption() { return font(-16, kBlack, true); }
// Web and mail links on the About page look like links on a web page.
ui::Font linkText() { return font(-12, kBlue, false, true); }

// One row of the control table, written fluently.
class Row {
public:
    Row(ui::Kind kind, const char* name, const char* parent) {
        c_.kind = kind;
        c_.name = name;
        c_.parent = parent;
    }
    Row& at(int left, int top) {
        c_.left = left;
        c_.top = top;
        return *this;
    }
    Row& size(int width, int height) {
        c_.width = width;
        c_.height = height;
        return *this;
    }
    Row& text(const char* value) { return set(c_.text, value); }
    Row& hint(const char* value) { return set(c_.hint, value); }
    Row& tab(int order) { return set(c_.tabOrder, order); }
    Row& anchors(ui::Anchors value) { return set(c_.anchors, value); }
    Row& align(ui::Align value) { return set(c_.align, value); }
    Row& font(const ui::Font& value) { return set(c_.font, value); }
    Row& color(platform::Color value) { return set(c_.color, value); }
    Row& disabled() { return set(c_.enabled, false); }
    Row& hidden() { return set(c_.visible, false); }
    Row& alignment(ui::TextAlignment value) { return set(c_.alignment, value); }
    Row& wordWrap() { return set(c_.wordWrap, true); }
    Row& bevel(ui::BevelCut value) { return set(c_.bevel, value); }
    Row& maxLength(int value) { return set(c_.maxLength, value); }
    Row& items(std::initializer_list<const char*> values) {
        for (const char* v : values) c_.items.emplace_back(v);
        return *this;
    }
    Row& itemIndex(int value) { return set(c_.itemIndex, value); }
    Row& columns(int value) { return set(c_.columns, value); }
    Row& range(int minimum, int maximum, int position) {
        c_.minimum = minimum;
        c_.maximum = maximum;
        c_.position = position;
        return *this;
    }
    Row& pageSize(int value) { return set(c_.pageSize, value); }
    Row& ticks(ui::TickStyle style, ui::TickMarks marks = ui::TickMarks::BottomRight) {
        c_.tickStyle = style;
        c_.tickMarks = marks;
        return *this;
    }
    Row& thumb(int length) { return set(c_.thumbLength, length); }
    // A paint box showing a gradient bar: colours, background, percentage shown, caption centred.
    Row& bar(platform::Color start, platform::Color end, platform::Color back, bool percent, bool centred) {
        c_.drawing = Drawing::GradientBar;
        c_.startColor = start;
        c_.endColor = end;
        c_.color = back;
        c_.showPercent = percent;
        c_.centerText = centred;
        c_.minimum = 0;
        c_.maximum = 100;
        c_.position = 1;
        c_.font = whiteText();
        return *this;
    }
    // A paint box that shows the performance graph.
    Row& graph(int grid, int step, int graphScale, int graphGradient, int pen) {
        c_.drawing = Drawing::PerformanceGraph;
        c_.gridSize = grid;
        c_.stepSize = step;
        c_.scale = graphScale;
        c_.gradient = graphGradient;
        c_.penWidth = pen;
        return *this;
    }
    Row& hotKey(uint16_t value) { return set(c_.hotKey, value); }
    Row& picture(const char* value) { return set(c_.picture, value); }
    Row& statusPanels(std::initializer_list<int> widths) {
        c_.panelWidths.assign(widths.begin(), widths.end());
        return *this;
    }
    Row& interval(int ms) { return set(c_.interval, ms); }
    Row& onClick(const char* handler) { return set(c_.onClick, handler); }
    Row& onChange(const char* handler) { return set(c_.onChange, handler); }
    Row& onEnter(const char* handler) { return set(c_.onEnter, handler); }
    Row& onChanging(const char* handler) { return set(c_.onChanging, handler); }
    Row& onTimer(const char* handler) { return set(c_.onTimer, handler); }
    Row& formEvents(const char* create, const char* close, const char* resize) {
        c_.onCreate = create;
        c_.onClose = close;
        c_.onResize = resize;
        return *this;
    }

    const ControlLayout& layout() const { return c_; }

private:
    template <typename T, typename V>
    Row& set(T& field, V&& value) {
        field = std::forward<V>(value);
        return *this;
    }
    ControlLayout c_;
};

// Shorthands for the kinds that make up most rows.
Row label(const char* name, const char* parent, int left, int top, const char* caption) {
    return std::move(Row(ui::Kind::Label, name, parent).at(left, top).text(caption));
}
Row checkBox(const char* name, const char* parent, int left, int top, const char* caption) {
    const int width = kCheckBoxGlyphAndGaps + textWidth(caption);
    return std::move(Row(ui::Kind::CheckBox, name, parent).at(left, top).size(width, kCheckBoxHeight).text(caption));
}
Row edit(const char* name, const char* parent, int left, int top, int width, const char* designText) {
    return std::move(Row(ui::Kind::Edit, name, parent).at(left, top).size(width, kEditHeight).text(designText));
}
Row dropDown(const char* name, const char* parent, int left, int top, int width) {
    return std::move(Row(ui::Kind::ComboBox, name, parent).at(left, top).size(width, kDropDownHeight));
}
Row control(ui::Kind kind, const char* name, const char* parent, int left, int top, int width, int height) {
    return std::move(Row(kind, name, parent).at(left, top).size(width, height));
}

// The control table. A counting table only counts its rows: the rows are counted first so
// that the table is made at its final size in one block, not grown by doubling, which leaves
// every smaller block behind in the heap, still committed after the table is gone. A visiting
// table keeps no row: it hands each one to its visitor as it is written.
class Table {
public:
    enum Mode { Fill, Count };
    explicit Table(Mode mode = Fill, size_t rows = 0) : counting_(mode == Count) { rows_.reserve(rows); }
    explicit Table(const std::function<void(const ControlLayout&)>& visit) : counting_(false), visit_(&visit) {}
    void add(const Row& row) {
        if (visit_ != nullptr) (*visit_)(row.layout());
        else if (counting_) ++counted_;
        else rows_.push_back(row.layout());
    }
    size_t counted() const { return counted_; }
    std::vector<ControlLayout> take() { return std::move(rows_); }

private:
    bool counting_;
    const std::function<void(const ControlLayout&)>* visit_ = nullptr;
    size_t counted_ = 0;
    std::vector<ControlLayout> rows_;
};

constexpr const char* kForm = "QuilletForm";
constexpr const char* kPages = "MainPageControl";

// The form, the page control with its six pages, and what lies below the pages.
void addFrame(Table& t) {
    t.add(control(ui::Kind::Form, kForm, "", 0, 0, 402, 434)  // client area; Windows picks the position
              .text("Quillet 简体中文版")
              .hint(" 将光标移动到菜单或按钮上可以查看它的详细说明！")
              .font(formFont())
              .color(kButtonFaceColor)
              .formEvents("FormCreate", "FormClose", "FormResize"));
    t.add(control(ui::Kind::PageControl, kPages, kForm, 8, 0, 385, 325)
              .anchors(ui::Anchors::all())
              .tab(0)
              .itemIndex(0)  // the resource page is shown first
              .onChanging("MainPageControlChanging"));
    // The pages fill the page control's display area below one row of tabs.
    const std::pair<const char*, const char*> pages[] = {
        {"MemoryTabSheet", "资源使用情况"}, {"OptionsTabSheet", "选项"}, {"TweaksTabSheet", "增强选项"},
        {"CacheTabSheet", "缓存"},          {"StressTabSheet", "内存荷载"}, {"AboutTabSheet", "关于"},
    };
    for (const auto& [name, caption] : pages) {
        t.add(control(ui::Kind::TabSheet, name, kPages, 4, 24, 377, 297).align(ui::Align::Client).text(caption));
    }

    t.add(label("QuilletLabel", kForm, 8, 340, "Quillet 简体中文版")
              .font(productText())
              .disabled()
              .anchors(kLeftBottom));
    t.add(control(ui::Kind::FlatButton, "HideSpeedButton", kForm, 185, 332, 65, 25)
              .text("最小化")
              .hint(" 最小化 Quillet 到系统托盘")
              .picture(app::resources::kGlyphHide)
              .anchors(kRightBottom)
              .onClick("HideSpeedButtonClick"));
    t.add(control(ui::Kind::FlatButton, "ExitSpeedButton", kForm, 255, 332, 60, 25)
              .text("退出")
              .hint(" 退出 Quillet简体中文版。")
              .picture(app::resources::kGlyphExit)
              .anchors(kRightBottom)
              .onClick("ExitSpeedButtonClick"));
    t.add(control(ui::Kind::FlatButton, "RecoverSpeedButton", kForm, 320, 332, 60, 25)
              .text("释放")
              .hint(" 释放系统内存")
              .picture(app::resources::kGlyphRecover)
              .anchors(kRightBottom)
              .onClick("RecoverRAM1Click"));
    // The two glyphs of DisableAutoRecoverSpeedButton, never shown themselves.
    t.add(control(ui::Kind::Picture, "EnableImage", kForm, 104, 328, 16, 16)
              .picture(app::resources::kEnableImage)
              .hidden()
              .anchors(kLeftBottom));
    t.add(control(ui::Kind::Picture, "DisableImage", kForm, 120, 328, 16, 16)
              .picture(app::resources::kDisableImage)
              .hidden()
              .anchors(kLeftBottom));
    t.add(control(ui::Kind::Panel, "HintPanel", kForm, 8, 368, 385, 45)
              .bevel(ui::BevelCut::Lowered)
              .anchors(kLeftRightBottom));
    // Filled by the hint hook with the long hint under the mouse; empty until then.
    t.add(control(ui::Kind::Label, "HintLabel", "HintPanel", 1, 1, 383, 43).align(ui::Align::Client).wordWrap());
    t.add(control(ui::Kind::StatusBar, "MainStatusBar", kForm, 0, 415, 402, 19)
              .align(ui::Align::Bottom)
              .statusPanels({50}));
    t.add(Row(ui::Kind::Timer, "MainTimer", kForm).interval(500).onTimer("MainTimerTimer"));
}

// Page 1: lime figures on black, the graph and its scale.
void addMemoryPage(Table& t) {
    constexpr const char* p = "GraphPanel";
    t.add(control(ui::Kind::Panel, p, "MemoryTabSheet", 0, 0, 377, 293)
              .bevel(ui::BevelCut::Lowered)
              .color(kBlack)
              .anchors(ui::Anchors::all()));
    t.add(label("FreeRamLabel", p, 8, 12, "未用的物理内存").font(limeHeading()));
    t.add(label("FreeRamValLabel", p, 8, 28, "1000MB").font(limeText()));
    t.add(label("FreePageFileLabel", p, 8, 52, "未使用的缓存").font(limeHeading()));
    t.add(label("FreePageFileValLabel", p, 8, 68, "1000MB").font(limeText()));
    t.add(label("MemLoadLabel", p, 8, 92, "装载存储器").font(limeHeading()));
    t.add(label("MemLoadValLabel", p, 8, 108, "100%").font(limeText()));
    t.add(label("ResourceLabel", p, 8, 132, "资源").font(limeHeading()));
    t.add(label("GDIFreeLabel", p, 8, 148, "GDI:").font(limeText()));
    t.add(label("GDIFreeValLabel", p, 56, 148, "0%").font(whiteText()).hint(" 释放图形设备接口资源 (仅限 Win 9x/ME)"));
    t.add(label("SystemFreeLabel", p, 8, 164, "系统：").font(limeText()));
    t.add(label("SystemFreeValLabel", p, 56, 164, "0%").font(limeText()).hint(" 释放系统资源(仅限 Win 9x/ME)"));
    t.add(label("UserFreeLabel", p, 8, 180, "用户：").font(limeText()));
    t.add(label("UserFreeValLabel", p, 56, 180, "0%").font(limeText()).hint(" 释放用户资源(仅限 Win 9x/ME)"));
    // The CPU figure and the buttons below the graph stay under it when the graph grows.
    t.add(label("CPULabel", p, 8, 205, "CPU 使用率").font(limeHeading()).anchors(kLeftBottom));
    t.add(control(ui::Kind::PaintBox, "CPUProgressBar", p, 8, 220, 73, 15)
              .bar(kBlue, kRed, kBlack, true, false)
              .anchors(kLeftBottom));
    t.add(label("Label1", p, 152, 12, "物理内存使用情况").font(yellowBoldText()));
    // The scale of the graph; FormResize moves them along the graph's height.
    const std::pair<const char*, int> scale[] = {
        {"Ram100Label", 32}, {"Ram75Label", 72}, {"Ram50Label", 112}, {"Ram25Label", 160}, {"Ram0Label", 208},
    };
    for (const auto& [name, top] : scale) {
        t.add(control(ui::Kind::Label, name, p, 108, top, 40, 12)
                  .text(top == 208 ? "0MB" : "1000MB")
                  .font(scaleText())
                  .alignment(ui::TextAlignment::Right));
    }
    // Shows its caption while the graph is hidden during a recovery; its colour follows GraphColor.
    t.add(control(ui::Kind::Panel, "GraphBackPanel", p, 152, 32, 217, 214)
              .text("正在释放内存...")
              .font(recoveringCaption())
              .alignment(ui::TextAlignment::Center)
              .color(kLime)
              .anchors(ui::Anchors::all()));
    t.add(control(ui::Kind::PaintBox, "PerformanceGraph", "GraphBackPanel", 2, 1, 213, 212)
              .graph(16, 1, 100, 100, 1)
              .hint("可用内存")
              .anchors(ui::Anchors::all()));
    t.add(control(ui::Kind::FlatButton, "DisableAutoRecoverSpeedButton", p, 8, 255, 147, 22)
              .text("停用自动释放功能")
              .hint("禁止或启动自动释放内存。当您进行磁盘整理或扫描您的硬盘时可以使用这个功能让 Quillet "
                    "在后台运行，您也可以从系统托盘恢复。")
              .font(limeButtonText())
              .anchors(kLeftBottom)
              .onClick("DisableAutoRecover1Click"));
    t.add(control(ui::Kind::FlatButton, "TuneRamSpeedButton", p, 161, 255, 79, 22)
              .text("调整内存")
              .hint("您可以单击此按钮更改[预设内存]和[自动恢复值]的设置，您可以在\"物理内存使用情况\"中看到所作的改变。"
                    "(白线和红线)")
              .font(yellowButtonText())
              .picture(app::resources::kGlyphTune)
              .anchors(kLeftBottom)
              .onClick("TuneRamSpeedButtonClick"));
    // Its caption is the home-page address, put in by the settings load.
    t.add(Row(ui::Kind::LinkLabel, "HomePageLabel", p)
              .at(201, 277)
              .hint(" 访问 Quillet 网站！")
              .font(limeHeading())
              .anchors(kLeftBottom)
              .onClick("WebAboutValLabelClick"));
}

// Page 2. Several lines are one sentence made of a check box, edits and labels.
void addOptionsPage(Table& t) {
    constexpr const char* p = "OptionsTabSheet";
    t.add(label("GeneralLabel", p, 8, 8, "常规选项").font(heading()));
    t.add(checkBox("StartWithWindowsCheckBox", p, 16, 24, "允许 Quillet 随 Windows 一同启动。").tab(0));
    t.add(checkBox("ReleaseAfterStartupCheckBox", p, 16, 41, "启动 Quillet ")
              .tab(1)
              .onClick("ReleaseAfterStartupCheckBoxClick"));
    t.add(edit("ReleaseAfterStartupWaitEdit", p, 169, 39, 25, "")
              .maxLength(4)
              .tab(3)
              .onChange("ReleaseAfterStartupWaitEditChange"));
    t.add(label("Label17", p, 196, 43, "秒后"));
    t.add(label("Label16", p, 224, 43, "释放内存至"));
    // Wide enough for its five digits; the unit is a label of its own after it, since blanks
    // left in a caption for the edit are as wide as the font makes them, and the edit would
    // cover the unit in another font.
    t.add(edit("ReleaseAfterStartupEdit", p, 289, 38, 41, "")
              .maxLength(5)
              .tab(2)
              .onChange("ReleaseAfterStartupEditChange"));
    t.add(label("ReleaseAfterStartupUnitLabel", p, 334, 43, "MB。"));
    t.add(checkBox("StartMinimizedCheckBox", p, 16, 64, "启动后，将 Quillet 最小化到系统托盘。").tab(4));
    t.add(checkBox("AutoRecoverCheckBox", p, 16, 81, "当内存使用量达到报警值时自动释放内存。").tab(5));
    t.add(checkBox("RecoverEveryXMinutesCheckBox", p, 16, 98, "如果可用内存小于")
              .tab(6)
              .onClick("RecoverEveryXMinutesCheckBoxClick"));
    t.add(edit("RecoverEveryXMinutesPercentEdit", p, 141, 96, 25, "10")
              .tab(8)
              .onChange("RecoverEveryXMinutesPercentEditChange"));
    t.add(label("Label2", p, 171, 100, "%"));
    t.add(label("MinutesLabel", p, 183, 100, "便自动释放"));
    t.add(edit("RecoverEveryXMinutesEdit", p, 249, 97, 25, "30")
              .maxLength(4)
              .tab(7)
              .onChange("RecoverEveryXMinutesEditChange"));
    t.add(label("MinutesUnitLabel", p, 278, 100, "M。"));
    t.add(checkBox("DisableCPUMonitorCheckBox", p, 16, 114, "停用 CPU 监视器")
              .tab(9)
              .onClick("DisableCPUMonitorCheckBoxClick"));
    t.add(checkBox("RecoverBelowCPUUsageCheckBox", p, 24, 132, "除非 CPU 使用量低于")
              .tab(10)
              .onClick("RecoverBelowCPUUsageCheckBoxClick"));
    t.add(edit("RecoverBelowCPUUsageEdit", p, 170, 130, 23, "80")
              .maxLength(4)
              .tab(11)
              .onChange("RecoverBelowCPUUsageEditChange"));
    t.add(label("PercentLabel", p, 198, 133, "%，否则不自动释放。"));
    t.add(checkBox("HotkeyCheckBox", p, 16, 155, "使用\"现在恢复\"快捷键")
              .tab(12)
              .onClick("HotkeyCheckBoxClick"));
    t.add(control(ui::Kind::HotKeyBox, "RecoverHotKey", p, 167, 154, 121, 19)
              .hotKey(0xC052)  // Ctrl+Alt+R
              .tab(13)
              .onEnter("RecoverHotKeyEnter"));
    t.add(checkBox("DisableAutoRecoverCheckBox", p, 16, 176, "使用\"禁用自动恢复\"快捷键")
              .tab(14)
              .onClick("DisableAutoRecoverCheckBoxClick"));
    t.add(control(ui::Kind::HotKeyBox, "DisableAutoRecoverHotKey", p, 193, 174, 121, 19)
              .hotKey(0xC044)  // Ctrl+Alt+D
              .tab(15)
              .onEnter("DisableAutoRecoverHotKeyEnter"));
    // The two memory track bars get their ranges from the machine's memory at start.
    t.add(label("TargetFreeRamLabel", p, 8, 204, "释放内存到"));
    t.add(control(ui::Kind::TrackBar, "TargetFreeRamTrackBar", p, 79, 203, 169, 17)
              .ticks(ui::TickStyle::None)
              .thumb(14)
              .tab(16)
              .onChange("TargetFreeRamTrackBarChange"));
    t.add(label("TargetFreeRamValLabel", p, 249, 204, "0M"));
    t.add(label("AutoRecoverLevelLabel", p, 8, 226, "自动释放到"));
    t.add(control(ui::Kind::TrackBar, "AutoRecoverLevelTrackBar", p, 78, 225, 61, 17)
              .ticks(ui::TickStyle::None)
              .thumb(14)
              .tab(17)
              .onChange("AutoRecoverLevelTrackBarChange"));
    t.add(label("AutoRecoverLevelValLabel", p, 248, 225, "0M"));
    t.add(checkBox("LowResourceCheckBox", p, 16, 248, "当系统资源达到或低于")
              .tab(18)
              .onClick("LowResourceCheckBoxClick"));
    t.add(edit("LowResourceEdit", p, 164, 248, 25, "").maxLength(3).tab(19).onChange("LowResourceEditChange"));
    t.add(label("Label18", p, 194, 249, "%警告我。(限Windows 9x/ME)"));
    // Greyed until window creation has read ShowSplash.
    t.add(checkBox("StartSplashCheckBox", p, 16, 264, "不显示启动画面。").tab(20).disabled());
}

// Page 3: system tweaks and the window's look.
void addTweaksPage(Table& t) {
    constexpr const char* p = "TweaksTabSheet";
    t.add(control(ui::Kind::FlatButton, "ShortCutsSpeedButton", p, 8, 8, 118, 22)
              .text("创建快捷方式")
              .hint("  您可以自己设定某些应用程序的快捷方式，使此程序在使用前由 Quillet 进行内存优化工作。")
              .picture(app::resources::kGlyphShortcut)
              .onClick("ShortCutsSpeedButtonClick"));
    t.add(checkBox("CableDSLModemCheckBox", p, 8, 32, "增强调制解调器和 DSL 的性能。")
              .tab(0)
              .onClick("CableDSLModemCheckBoxClick"));
    t.add(checkBox("SimultaneousConnectionsCheckBox", p, 8, 48, "同时允许")
              .tab(1)
              .onClick("SimultaneousConnectionsCheckBoxClick"));
    t.add(edit("SimultaneousConnectionsEdit", p, 79, 46, 25, "4")
              .maxLength(3)
              .hint("  有效范围：1-32")
              .tab(2)
              .onChange("SimultaneousConnectionsEditChange"));
    t.add(label("SimultaneousConnectionsLabel", p, 109, 49, "组 Internet 连接。"));
    t.add(checkBox("AlwaysUnloadDLLCheckBox", p, 8, 64, "强行从内存中卸载 .DLL文件。(可能会引起问题！)")
              .tab(3)
              .onClick("AlwaysUnloadDLLCheckBoxClick"));
    t.add(checkBox("ContigFileAllocSizeCheckBox", p, 8, 80, "尽可能减少硬盘文件碎片并加速文件存取。")
              .hint("这个选项可以优化相邻的文件大小(即优化文件系统)。特别是在硬盘经常被频繁读写的情况下尤其有用。")
              .tab(4)
              .onClick("ContigFileAllocSizeCheckBoxClick"));
    // Window creation enables translucency on Windows 2000 and XP only.
    t.add(checkBox("TranslucentCheckBox", p, 8, 96, "允许视窗透明。(仅限Win2000/XP)")
              .disabled()
              .tab(5)
              .onClick("TranslucentCheckBoxClick"));
    t.add(control(ui::Kind::TrackBar, "TranslucentTrackBar", p, 229, 96, 142, 25)
              .range(20, 255, 255)
              .pageSize(15)
              .ticks(ui::TickStyle::Auto, ui::TickMarks::BottomRight)
              .hint(" Adjust the translucent effect")
              .disabled()
              .tab(6)
              .onChange("TranslucentTrackBarChange"));
    t.add(checkBox("RecoverSndCheckBox", p, 8, 125, "释放内存时使用声音效果。")
              .tab(7)
              .onClick("RecoverSndCheckBoxClick"));
    t.add(edit("RecoverSoundFileEdit", p, 8, 144, 329, "").tab(8));
    t.add(control(ui::Kind::Button, "RecoverSndFileSpeedButton", p, 344, 144, 23, 22)
              .text("...")
              .hint(" 在此可以浏览并选择一个 .wav 文件作为释放内存时的音效。")
              .onClick("RecoverSndFileSpeedButtonClick"));
    t.add(label("UILabel", p, 8, 184, "用户界面").font(heading()));
    t.add(label("GraphColorLabel", p, 16, 200, "内存曲线图颜色"));
    t.add(dropDown("GraphColorComboBox", p, 111, 197, 65)
              .items({"绿色", "红色", "蓝色", "白色"})
              .tab(9)
              .onChange("GraphColorComboBoxChange"));
    t.add(label("TabStyleLabel", p, 187, 200, "界面风格"));
    t.add(dropDown("TabStyleComboBox", p, 242, 196, 89)
              .items({"标签栏", "按钮", "平面按钮"})
              .hint("  按照您的习惯改变界面各选项标签的风格，要求您拥有 Internet Explorer 4 以上版本。")
              .tab(10)
              .onChange("TabStyleComboBoxChange"));
    // No item is chosen at design: the settings load picks one and so sets the graph's pace.
    t.add(control(ui::Kind::RadioGroup, "GraphSpeedRadioGroup", p, 16, 224, 353, 33)
              .text("内存曲线速率")
              .items({"非常快", "快", "中速", "慢"})
              .columns(4)
              .tab(11)
              .onClick("GraphSpeedRadioGroupClick"));
    t.add(control(ui::Kind::Label, "Label11", p, 8, 264, 360, 33)
              .text("注意：上面的一些选项在NT系统下可能呈现灰色(禁止使用)。这是由于当前使用者的用户权限不够。")
              .wordWrap());
}

// Page 4: one box per OS family; window creation greys the one that does not apply.
void addCachePage(Table& t) {
    constexpr const char* p = "CacheTabSheet";
    constexpr const char* g9x = "Win9xMEGroupBox";
    constexpr const char* gNt = "WinNT2000XPCacheGroupBox";
    t.add(control(ui::Kind::GroupBox, g9x, p, 8, 8, 361, 161).text("Windows 9x/ME 缓存").tab(0));
    t.add(label("Label9", g9x, 8, 24, "缓存方案"));
    t.add(dropDown("CacheSchemeComboBox", g9x, 128, 19, 145)
              .items({"标准系统", "光盘制作用户", "大内存用户", "低内存用户", "多媒体用户", "游戏玩家"})
              .hint("  如果您不想自己设定缓存，您可以在此选择一个适合您系统的预设方案。")
              .tab(0)
              .onChange("CacheSchemeComboBoxChange"));
    t.add(label("Label3", g9x, 8, 51, "磁盘缓存(最小)"));
    t.add(edit("MinimumDiskCacheEdit", g9x, 128, 48, 57, "0")
              .maxLength(6)
              .hint("输入最小磁盘缓存，单位为千字节。")
              .tab(1)
              .onChange("MinimumDiskCacheEditChange"));
    t.add(label("Label4", g9x, 192, 51, "KB"));
    t.add(checkBox("MinimumDiskCacheCheckBox", g9x, 216, 51, "应用").tab(2));
    t.add(label("Label5", g9x, 8, 83, "磁盘缓存(最大)"));
    t.add(edit("MaximumDiskCacheEdit", g9x, 128, 80, 57, "0")
              .maxLength(6)
              .hint("输入最大磁盘缓存，单位为千字节。")
              .tab(3)
              .onChange("MaximumDiskCacheEditChange"));
    t.add(label("Label6", g9x, 192, 83, "KB"));
    t.add(checkBox("MaximumDiskCacheCheckBox", g9x, 216, 83, "应用").tab(4));
    t.add(label("Label7", g9x, 8, 115, "块大小"));
    t.add(edit("ChunkSizeEdit", g9x, 128, 112, 57, "0").maxLength(4).tab(5).onChange("ChunkSizeEditChange"));
    t.add(label("Label8", g9x, 192, 115, "KB"));
    t.add(checkBox("ChunkSizeCheckBox", g9x, 216, 115, "应用").tab(6));
    // One character wider than its caption in 宋体: the capitals W, M and B of a proportional
    // font standing in for 宋体 take more than half a character each.
    t.add(checkBox("ConserveSwapFileCheckBox", g9x, 8, 136, "最后使用缓存 (Win98/ME 128MB以上内存)")
              .size(kCheckBoxGlyphAndGaps + textWidth("最后使用缓存 (Win98/ME 128MB以上内存)") + 12, kCheckBoxHeight)
              .hint("  只有所有物理内存被使用时才让 Windows 使用您硬盘上的缓存。")
              .tab(7));

    t.add(control(ui::Kind::GroupBox, gNt, p, 8, 176, 361, 113).text("Windows NT/2000/XP 缓存").tab(1));
    t.add(label("Label10", gNt, 8, 16, "要想启用这些设置，用户必须拥有系统管理员权限。"));
    t.add(checkBox("Disable83NameCreationCheckBox", gNt, 8, 40, "不允许在 NTFS 分区产生 MS-DOS 8.3 文件名")
              .hint("  使用此选项可以增强 NTFS 分区大量使用长文件名的性能。")
              .tab(0)
              .onClick("Disable83NameCreationCheckBoxClick"));
    t.add(checkBox("DisableLastAccessTimeStampCheckBox", gNt, 8, 56, "不允许 NTFS 分区修改最近存取时间标记")
              .hint("  此选项可以 NTFS 分区的性能。")
              .tab(1)
              .onClick("DisableLastAccessTimeStampCheckBoxClick"));
    t.add(checkBox("DisablePagingExecutiveCheckBox", gNt, 8, 72, "将 Windows NT 核心系统装载在内存中")
              .hint("  在拥有大量物理内存的机器上使用此选项，可以强制 Windows NT 系统核心驻留在物理内存中，"
                    "而不存储于硬盘上的缓存中。可以增强系统性能。")
              .tab(2)
              .onClick("DisablePagingExecutiveCheckBoxClick"));
    t.add(checkBox("LargeSystemCacheCheckBox", gNt, 8, 88, "使用大量系统缓存")
              .hint("当启用后，操作系统将使用更多内存缓存文件系统。这将使用更多的内存来增强性能。")
              .tab(3)
              .onClick("LargeSystemCacheCheckBoxClick"));
}

// Page 5: holding memory back, with the two bars that show the effect. The separator, the
// black panel and both bars widen with the window.
void addStressPage(Table& t) {
    constexpr const char* p = "StressTabSheet";
    constexpr const char* s = "StressPanel";
    const ui::Anchors wide = kLeftTopRight;
    t.add(control(ui::Kind::Picture, "Image1", p, 8, 8, 32, 32).picture(app::resources::kMainIcon));
    t.add(control(ui::Kind::Label, "Label12", p, 48, 8, 321, 41)
              .text("您可以参考 Quillet 测试出的内存载荷数据，释放可用物理内存。如果释放到一个极限数值，将影响您的系统性能。")
              .wordWrap());
    t.add(control(ui::Kind::Panel, "Panel1", p, 8, 56, 361, 2).bevel(ui::BevelCut::Lowered).anchors(wide));
    t.add(checkBox("ReduceRAMCheckBox", p, 8, 64, "释放可用内存").tab(0).onClick("ReduceRAMCheckBoxClick"));
    t.add(edit("ReduceRAMEdit", p, 160, 62, 33, "0").maxLength(4).tab(1).onChange("ReduceRAMEditChange"));
    t.add(label("Label13", p, 200, 66, "MB"));
    t.add(control(ui::Kind::Panel, s, p, 8, 96, 361, 113).bevel(ui::BevelCut::Lowered).color(kBlack).anchors(wide));
    t.add(label("Label14", s, 8, 8, "未使用的内存").font(limeHeading()));
    t.add(control(ui::Kind::PaintBox, "StressGradient", s, 8, 24, 345, 17)
              .bar(kOlive, kLime, kGrey, false, true)
              .anchors(wide));
    t.add(label("Label15", s, 8, 56, "内存荷载").font(limeHeading()));
    t.add(control(ui::Kind::PaintBox, "StressMemLoadGradient", s, 8, 72, 345, 17)
              .bar(kLime, kRed, kGrey, true, false)
              .anchors(wide));
}

// Page 6: the product, its links and the machine.
void addAboutPage(Table& t) {
    constexpr const char* p = "AboutTabSheet";
    t.add(label("QuilletAboutLabel", p, 6, 13, "Quillet 简体中文版").font(productTitle()).disabled());
    t.add(control(ui::Kind::Picture, "Image2", p, 243, 8, 32, 32).picture(app::resources::kMainIcon));
    t.add(label("CopyRightAboutLabel", p, 8, 40, kOwnershipNotice).disabled());
    t.add(label("VersionAboutLabel", p, 8, 64, "版本："));
    // The values stand clear of the longest caption, "电子邮件：".
    t.add(label("VersionAboutValLabel", p, 72, 64, app::kProgramVersion));
    // The two links show the home-page and support addresses that the settings load puts in.
    t.add(label("WebAboutLabel", p, 8, 80, "主页："));
    t.add(Row(ui::Kind::LinkLabel, "WebAboutValLabel", p).at(72, 80).font(linkText()).onClick("WebAboutValLabelClick"));
    t.add(label("EmailAboutLabel", p, 8, 96, "电子邮件："));
    t.add(Row(ui::Kind::LinkLabel, "EmailAboutValLabel", p)
              .at(72, 96)
              .font(linkText())
              .onClick("EmailAboutValLabelClick"));
    t.add(label("ElapsedLabel", p, 8, 120, "软件运行总时间估计为："));
    t.add(control(ui::Kind::Bevel, "Bevel1", p, 8, 160, 361, 2).bevel(ui::BevelCut::Lowered));
    t.add(label("SystemInfoAboutLabel", p, 8, 168, "(系统信息)"));
    t.add(label("TotalPhysicalRamAboutLabel", p, 8, 192, "物理内存总量："));
    t.add(label("TotalPhysicalRamAboutValLabel", p, 128, 192, "0 KB"));
    t.add(label("TotalPageFileAboutLabel", p, 8, 208, "缓存总量："));
    t.add(label("TotalPageFileAboutValLabel", p, 128, 208, "0 KB"));
    t.add(label("OperatingSystemAboutLabel", p, 8, 232, "操作系统："));
    t.add(label("OperatingSystemAboutValLabel", p, 128, 232, "Windows"));
    t.add(label("OSVersionAboutLabel", p, 8, 248, "版本："));
    t.add(label("OSVersionAboutValLabel", p, 128, 248, "0.0"));
    t.add(label("OSNAMEAboutLabel", p, 8, 264, "Windows"));
}

void addAll(Table& t) {
    addFrame(t);
    addMemoryPage(t);
    addOptionsPage(t);
    addTweaksPage(t);
    addCachePage(t);
    addStressPage(t);
    addAboutPage(t);
}

std::vector<ControlLayout> buildControls() {
    Table counting(Table::Count);
    addAll(counting);
    Table t(Table::Fill, counting.counted());
    addAll(t);
    return t.take();
}

// Menu rows.
MenuItemLayout item(const char* parent, const char* name, const char* caption, const char* hint, const char* handler) {
    MenuItemLayout m;
    m.parent = parent;
    m.name = name;
    m.caption = caption;
    m.hint = hint;
    m.onClick = handler;
    return m;
}
MenuItemLayout submenu(const char* parent, const char* name, const char* caption) {
    return item(parent, name, caption, "", "");
}
MenuItemLayout separator(const char* parent, const char* name) {
    MenuItemLayout m = item(parent, name, "-", "", "");
    m.separator = true;
    return m;
}

std::vector<MenuItemLayout> buildMainMenu() {
    const char* menu = kMainMenuName;
    // The account submenu is greyed until window creation enables its web links.
    MenuItemLayout account = submenu("Web1", "UserAccount1", "用户帐户");
    account.enabled = false;
    return {
        submenu(menu, "File1", "文件(&F)"),
        item("File1", "RecoverRAM1", "释放内存", " 释放系统内存！", "RecoverRAM1Click"),
        item("File1", "FreeWindowsClipboardMemory1", "清空 Windows 剪贴板", " 清空剪贴版所占用的内存！",
             "FreeWindowsClipboardMemory1Click"),
        item("File1", "CleartheRecentDocumentsFolder1", "清除最近使用的文件纪录", " 清除最近被使用的文件列表",
             "CleartheRecentDocumentsFolder1Click"),
        separator("File1", "N1"),
        item("File1", "SaveSettings1", "保存设置", " 保存您所作的任何改变。", "SaveSettings1Click"),
        separator("File1", "N4"),
        item("File1", "Exit1", "退出(&X)", " 退出 Quillet", "Exit1Click"),

        // No items for the stress and About pages.
        submenu(menu, "View1", "查看(&V)"),
        item("View1", "FreeMemory1", "资源使用情况", "", "FreeMemory1Click"),
        item("View1", "Options1", "选项", "", "Options1Click"),
        item("View1", "Tweaks1", "增强选项", "", "Tweaks1Click"),
        item("View1", "Cache1", "缓存", "", "Cache1Click"),

        submenu(menu, "Web1", "网站(&W)"),
        item("Web1", "Quilletwebsite1", "Quillet 网站...", " 访问 Quillet 网站！", "Quilletwebsite1Click"),
        item("Web1", "JoinourfreeNewsletter1", "加入我们免费的时事通讯", "", "JoinourfreeNewsletter1Click"),
        separator("Web1", "N6"),
        item("Web1", "CheckforUpgrade1", "检查升级", " 检查可用的 Quillet 更新版本。", "CheckforUpgrade1Click"),
        account,
        item("UserAccount1", "Login1", "登录...", "", "Login1Click"),
        item("UserAccount1", "Forgottenyourpassword1", "忘记您的密码...", "", "Forgottenyourpassword1Click"),

        submenu(menu, "Help1", "帮助(&H)"),
        item("Help1", "QuilletHelpTopics1", "Quillet 帮助主题", " Quillet相关文件及帮助说明", "QuilletHelpTopics1Click"),
        separator("Help1", "N3"),
        item("Help1", "AboutQuillet1", "关于 Quillet...", " 关于本产品。", "AboutQuillet1Click"),
    };
}

std::vector<MenuItemLayout> buildTrayMenu() {
    const char* menu = kTrayMenuName;
    std::vector<MenuItemLayout> items;
    MenuItemLayout open = item(menu, "Open1", "打开", "", "Open1Click");
    open.isDefault = true;
    items.push_back(open);
    items.push_back(item(menu, "Optimize1", "释放内存", "", "RecoverRAM1Click"));
    // Ticked while automatic recovery is switched off.
    items.push_back(item(menu, "DisableAutoRecover1", "停用自动释放功能", "", "DisableAutoRecover1Click"));
    items.push_back(submenu(menu, "TryToRecover1", "尝试释放"));
    // Window creation replaces these captions with the megabytes of each share.
    for (int percent = 10; percent <= 90; percent += 10) {
        const std::string name = "N" + std::to_string(percent) + "RAM1";
        const std::string caption = std::to_string(percent) + "% RAM";
        items.push_back(item("TryToRecover1", name.c_str(), caption.c_str(), "", (name + "Click").c_str()));
    }
    items.push_back(item(menu, "FreeWindowsClipboardMemory2", "清空 Windows 剪贴板", "", "FreeWindowsClipboardMemory1Click"));
    items.push_back(
        item(menu, "CleartheRecentDocumentsFolder2", "清除最近使用的文件纪录", "", "CleartheRecentDocumentsFolder1Click"));
    items.push_back(separator(menu, "N2"));
    items.push_back(item(menu, "RestartComputer1", "重新启动计算机", "", "RestartComputer1Click"));
    items.push_back(item(menu, "ShutdownComputer1", "关闭计算机", "", "ShutdownComputer1Click"));
    items.push_back(separator(menu, "N5"));
    items.push_back(item(menu, "CloseQuillet1", "关闭 Quillet", "", "Exit1Click"));
    return items;
}

template <typename T>
const T* findIn(const std::vector<T>& rows, std::string_view name) {
    for (const T& row : rows) {
        if (row.name == name) return &row;
    }
    return nullptr;
}

template <typename T>
void appendChildren(const std::vector<T>& rows, std::string_view parent, std::vector<const T*>& out) {
    for (const T& row : rows) {
        if (row.parent == parent) out.push_back(&row);
    }
}

}  // namespace

bool isContainer(ui::Kind kind) {
    switch (kind) {
        case ui::Kind::Form:
        case ui::Kind::PageControl:
        case ui::Kind::TabSheet:
        case ui::Kind::Panel:
        case ui::Kind::GroupBox:
            return true;
        default:
            return false;
    }
}

namespace {

// The two menu tables, made on first use and kept until releaseLayoutTables.
struct Tables {
    std::vector<MenuItemLayout> mainMenu = buildMainMenu();
    std::vector<MenuItemLayout> trayMenu = buildTrayMenu();
};

std::unique_ptr<Tables>& heldTables() {
    static std::unique_ptr<Tables> held;
    return held;
}

const Tables& tables() {
    std::unique_ptr<Tables>& held = heldTables();
    if (!held) held = std::make_unique<Tables>();
    return *held;
}

// The control table as a whole, made only when mainFormControls or a lookup below asks for it:
// the window itself is built row by row through forEachControl.
std::unique_ptr<std::vector<ControlLayout>>& heldControls() {
    static std::unique_ptr<std::vector<ControlLayout>> held;
    return held;
}

}  // namespace

void forEachControl(const std::function<void(const ControlLayout&)>& visit) {
    Table t(visit);
    addAll(t);
}

const std::vector<ControlLayout>& mainFormControls() {
    std::unique_ptr<std::vector<ControlLayout>>& held = heldControls();
    if (!held) held = std::make_unique<std::vector<ControlLayout>>(buildControls());
    return *held;
}

const std::vector<MenuItemLayout>& mainMenuItems() { return tables().mainMenu; }

const std::vector<MenuItemLayout>& trayMenuItems() { return tables().trayMenu; }

void releaseLayoutTables() {
    heldTables().reset();
    heldControls().reset();
}

const ControlLayout* findControl(std::string_view name) { return findIn(mainFormControls(), name); }

const MenuItemLayout* findMenuItem(std::string_view name) {
    if (const MenuItemLayout* found = findIn(mainMenuItems(), name)) return found;
    return findIn(trayMenuItems(), name);
}

std::vector<const ControlLayout*> childControls(std::string_view parent) {
    std::vector<const ControlLayout*> out;
    appendChildren(mainFormControls(), parent, out);
    return out;
}

std::vector<const MenuItemLayout*> childMenuItems(std::string_view parent) {
    std::vector<const MenuItemLayout*> out;
    appendChildren(mainMenuItems(), parent, out);
    appendChildren(trayMenuItems(), parent, out);
    return out;
}

}  // namespace mainwindow
