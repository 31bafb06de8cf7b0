#include "mainwindow/main_form_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using mainwindow::ControlLayout;
using mainwindow::MenuItemLayout;
using Names = std::vector<std::string>;
using Ints = std::vector<int>;

namespace {

ui::Font font(const char* face, int height, bool bold, bool underline, platform::Color color) {
    ui::Font f;
    static_cast<platform::Font&>(f) = platform::Font{face, height, bold, color};
    f.underline = underline;
    return f;
}

const ControlLayout& ctl(const std::string& name) {
    const ControlLayout* c = mainwindow::findControl(name);
    if (c == nullptr) throw std::runtime_error("no control " + name);
    return *c;
}

const MenuItemLayout& menuItem(const std::string& name) {
    const MenuItemLayout* m = mainwindow::findMenuItem(name);
    if (m == nullptr) throw std::runtime_error("no menu item " + name);
    return *m;
}

Ints bounds(const std::string& name) {
    const ControlLayout& c = ctl(name);
    return {c.left, c.top, c.width, c.height};
}

// Names of a parent's children that are tab stops, in tab order.
Names tabSequence(const std::string& parent) {
    auto stops = mainwindow::childControls(parent);
    stops.erase(std::remove_if(stops.begin(), stops.end(), [](auto* c) { return c->tabOrder < 0; }), stops.end());
    std::sort(stops.begin(), stops.end(), [](auto* a, auto* b) { return a->tabOrder < b->tabOrder; });
    Names out;
    for (const ControlLayout* c : stops) out.push_back(c->name);
    return out;
}

Names menuChildren(const std::string& parent) {
    Names out;
    for (const MenuItemLayout* m : mainwindow::childMenuItems(parent)) out.push_back(m->name);
    return out;
}

}  // namespace

// --- Structure -----------------------------------------------------------------------------

TEST(MainFormLayoutStructure, NamesAreUniqueAcrossControlsAndBothMenus) {
    std::set<std::string> seen = {mainwindow::kMainMenuName, mainwindow::kTrayMenuName};
    for (const ControlLayout& c : mainwindow::mainFormControls()) EXPECT_TRUE(seen.insert(c.name).second) << c.name;
    for (const auto* menu : {&mainwindow::mainMenuItems(), &mainwindow::trayMenuItems()}) {
        for (const MenuItemLayout& m : *menu) EXPECT_TRUE(seen.insert(m.name).second) << m.name;
    }
}

TEST(MainFormLayoutStructure, TheFormComesFirstAndEveryParentIsAnEarlierContainer) {
    const auto& controls = mainwindow::mainFormControls();
    ASSERT_EQ(controls.front().name, mainwindow::kMainFormName);
    EXPECT_EQ(controls.front().kind, ui::Kind::Form);
    std::map<std::string, ui::Kind> earlier = {{controls.front().name, ui::Kind::Form}};
    for (size_t i = 1; i < controls.size(); ++i) {
        const ControlLayout& c = controls[i];
        auto parent = earlier.find(c.parent);
        ASSERT_NE(parent, earlier.end()) << c.name << " in " << c.parent;
        EXPECT_TRUE(mainwindow::isContainer(parent->second)) << c.name;
        // Only the page control holds pages, and it holds nothing else.
        EXPECT_EQ(c.kind == ui::Kind::TabSheet, parent->second == ui::Kind::PageControl) << c.name;
        earlier.emplace(c.name, c.kind);
    }
}

TEST(MainFormLayoutStructure, ControlsLieInsideTheirParent) {
    for (const ControlLayout& c : mainwindow::mainFormControls()) {
        if (c.kind == ui::Kind::Form || c.kind == ui::Kind::Timer) continue;
        const ControlLayout& p = ctl(c.parent);
        EXPECT_TRUE(c.left >= 0 && c.top >= 0) << c.name;
        EXPECT_LE(c.left + std::max(c.width, 1), p.width) << c.name;
        EXPECT_LE(c.top + std::max(c.height, 1), p.height) << c.name;
    }
}

// Check boxes, edits and the like sit in lines only 14 to 17 pixels apart; none may reach into
// a neighbour (labels size themselves and are left out; pages share the page control's area).
TEST(MainFormLayoutStructure, SizedSiblingsDoNotOverlap) {
    auto sized = [](const ControlLayout& c) {
        return c.width > 0 && c.height > 0 && c.visible && c.kind != ui::Kind::TabSheet;
    };
    const auto& controls = mainwindow::mainFormControls();
    for (size_t i = 1; i < controls.size(); ++i) {
        const ControlLayout& a = controls[i];
        for (size_t j = i + 1; j < controls.size() && sized(a); ++j) {
            const ControlLayout& b = controls[j];
            if (!sized(b) || b.parent != a.parent) continue;
            EXPECT_FALSE(a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
                         b.top < a.top + a.height)
                << a.name << " and " << b.name;
        }
    }
}

// A label sizes itself to its text, so the tables give it no width: its text must still stay
// clear of every other control beside it, or the control covers part of it (or it the control).
// The window font draws ASCII characters half as wide as its height and every other character
// as wide as its height; a label with no design text (a link filled in at start) still stands
// at its left edge. The texts that follow an edit in a sentence are labels of their own, since
// blanks left in a caption for an edit are as wide as the font makes them.
TEST(MainFormLayoutStructure, LabelTextsStayClearOfTheirNeighbours) {
    struct Box {
        const ControlLayout* c;
        int left, top, right, bottom;
    };
    auto box = [](const ControlLayout& c) {
        const bool autoSized = (c.kind == ui::Kind::Label || c.kind == ui::Kind::LinkLabel) && c.width == 0;
        if (!autoSized) return Box{&c, c.left, c.top, c.left + c.width, c.top + c.height};
        int size = 12;
        for (const ControlLayout* at = &c; at != nullptr; at = at->parent.empty() ? nullptr : &ctl(at->parent)) {
            if (at->font) {
                size = -at->font->height;
                break;
            }
        }
        int width = 0;
        for (unsigned char byte : c.text) {
            if ((byte & 0xC0) == 0x80) continue;
            width += byte < 0x80 ? (size + 1) / 2 : size;
        }
        return Box{&c, c.left, c.top, c.left + std::max(width, 1), c.top + size};
    };
    std::map<std::string, std::vector<Box>> byParent;
    for (const ControlLayout& c : mainwindow::mainFormControls()) {
        if (c.parent.empty() || !c.visible || c.kind == ui::Kind::TabSheet || c.kind == ui::Kind::Timer) continue;
        byParent[c.parent].push_back(box(c));
    }
    int labels = 0;
    for (const auto& [parent, boxes] : byParent) {
        for (const Box& a : boxes) {
            if (a.c->kind != ui::Kind::Label && a.c->kind != ui::Kind::LinkLabel) continue;
            if (a.c->width != 0) continue;
            ++labels;
            for (const Box& b : boxes) {
                if (&a == &b) continue;
                EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                    << a.c->name << " \"" << a.c->text << "\" reaches " << b.c->name << " in " << parent;
            }
        }
    }
    EXPECT_GT(labels, 40);
}

TEST(MainFormLayoutStructure, CheckBoxesAreAsWideAsTheirCaption) {
    // Box and gaps, then 6 pixels per ASCII character and 12 per other character.
    EXPECT_EQ(ctl("MinimumDiskCacheCheckBox").width, 20 + 24);
    EXPECT_EQ(ctl("ReleaseAfterStartupCheckBox").width, 20 + 24 + 6 * 9);
    EXPECT_EQ(ctl("HotkeyCheckBox").width, 20 + 12 * 9 + 6 * 2);
}

TEST(MainFormLayoutStructure, SixPagesInOrderStartingOnTheResourcePage) {
    const auto pages = mainwindow::childControls("MainPageControl");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"MemoryTabSheet", "资源使用情况"}, {"OptionsTabSheet", "选项"}, {"TweaksTabSheet", "增强选项"},
        {"CacheTabSheet", "缓存"},          {"StressTabSheet", "内存荷载"}, {"AboutTabSheet", "关于"},
    };
    ASSERT_EQ(pages.size(), expected.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i]->name, expected[i].first);
        EXPECT_EQ(pages[i]->text, expected[i].second);
    }
    EXPECT_EQ(ctl("MainPageControl").itemIndex, 0);
    EXPECT_EQ(mainwindow::findControl("NoSuchControl"), nullptr);
    EXPECT_EQ(mainwindow::findMenuItem("CloseQuillet1")->caption, "关闭 Quillet");  // the tray menu too
}

// --- Tab order -----------------------------------------------------------------------------

TEST(MainFormLayoutTabOrder, UniqueAndGaplessWithinEachParent) {
    std::map<std::string, Ints> orders;
    for (const ControlLayout& c : mainwindow::mainFormControls()) {
        if (c.tabOrder >= 0) orders[c.parent].push_back(c.tabOrder);
    }
    for (auto& [parent, list] : orders) {
        std::sort(list.begin(), list.end());
        for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i], static_cast<int>(i)) << parent;
    }
    const std::set<ui::Kind> passive = {ui::Kind::Label,   ui::Kind::LinkLabel, ui::Kind::Button,
                                        ui::Kind::FlatButton, ui::Kind::Picture, ui::Kind::PaintBox,
                                        ui::Kind::Timer,   ui::Kind::TabSheet};
    for (const ControlLayout& c : mainwindow::mainFormControls()) {
        if (passive.count(c.kind) != 0) {
            EXPECT_EQ(c.tabOrder, -1) << c.name;
        }
    }
}

TEST(MainFormLayoutTabOrder, PagesFollowTheirOrders) {
    EXPECT_EQ(tabSequence("OptionsTabSheet"),
              (Names{"StartWithWindowsCheckBox", "ReleaseAfterStartupCheckBox", "ReleaseAfterStartupEdit",
                     "ReleaseAfterStartupWaitEdit", "StartMinimizedCheckBox", "AutoRecoverCheckBox",
                     "RecoverEveryXMinutesCheckBox", "RecoverEveryXMinutesEdit", "RecoverEveryXMinutesPercentEdit",
                     "DisableCPUMonitorCheckBox", "RecoverBelowCPUUsageCheckBox", "RecoverBelowCPUUsageEdit",
                     "HotkeyCheckBox", "RecoverHotKey", "DisableAutoRecoverCheckBox", "DisableAutoRecoverHotKey",
                     "TargetFreeRamTrackBar", "AutoRecoverLevelTrackBar", "LowResourceCheckBox", "LowResourceEdit",
                     "StartSplashCheckBox"}));
    EXPECT_EQ(tabSequence("TweaksTabSheet"),
              (Names{"CableDSLModemCheckBox", "SimultaneousConnectionsCheckBox", "SimultaneousConnectionsEdit",
                     "AlwaysUnloadDLLCheckBox", "ContigFileAllocSizeCheckBox", "TranslucentCheckBox",
                     "TranslucentTrackBar", "RecoverSndCheckBox", "RecoverSoundFileEdit", "GraphColorComboBox",
                     "TabStyleComboBox", "GraphSpeedRadioGroup"}));
    EXPECT_EQ(tabSequence("Win9xMEGroupBox"),
              (Names{"CacheSchemeComboBox", "MinimumDiskCacheEdit", "MinimumDiskCacheCheckBox", "MaximumDiskCacheEdit",
                     "MaximumDiskCacheCheckBox", "ChunkSizeEdit", "ChunkSizeCheckBox", "ConserveSwapFileCheckBox"}));
    EXPECT_EQ(tabSequence("CacheTabSheet"), (Names{"Win9xMEGroupBox", "WinNT2000XPCacheGroupBox"}));
}

// --- Texts that are easy to get wrong ----------------------------------------------------------

TEST(MainFormLayoutTexts, CaptionsKeepTheirQuotesAndBlanks) {
    EXPECT_EQ(ctl("HotkeyCheckBox").text, "使用\"现在恢复\"快捷键");
    EXPECT_EQ(ctl("DisableAutoRecoverCheckBox").text, "使用\"禁用自动恢复\"快捷键");
    // The units after the two edits in a sentence are labels of their own.
    EXPECT_EQ(ctl("Label16").text, "释放内存至");
    EXPECT_EQ(ctl("ReleaseAfterStartupUnitLabel").text, "MB。");
    EXPECT_EQ(ctl("MinutesLabel").text, "便自动释放");
    EXPECT_EQ(ctl("MinutesUnitLabel").text, "M。");
    EXPECT_EQ(ctl("ReleaseAfterStartupCheckBox").text, "启动 Quillet ");
    EXPECT_EQ(ctl("GDIFreeLabel").text, "GDI:");
    EXPECT_EQ(ctl("SystemFreeLabel").text, "系统：");
    EXPECT_EQ(ctl("QuilletForm").text, "Quillet 简体中文版");
}

TEST(MainFormLayoutTexts, HintsKeepTheirLeadingBlanks) {
    EXPECT_EQ(ctl("QuilletForm").hint, " 将光标移动到菜单或按钮上可以查看它的详细说明！");
    EXPECT_EQ(ctl("SimultaneousConnectionsEdit").hint, "  有效范围：1-32");
    EXPECT_EQ(ctl("TranslucentTrackBar").hint, " Adjust the translucent effect");
    EXPECT_EQ(ctl("DisableLastAccessTimeStampCheckBox").hint, "  此选项可以 NTFS 分区的性能。");
    EXPECT_EQ(ctl("LargeSystemCacheCheckBox").hint,
              "当启用后，操作系统将使用更多内存缓存文件系统。这将使用更多的内存来增强性能。");
    EXPECT_EQ(ctl("TuneRamSpeedButton").hint,
              "您可以单击此按钮更改[预设内存]和[自动恢复值]的设置，您可以在\"物理内存使用情况\"中看到所作的改变。(白线和红线)");
    EXPECT_EQ(ctl("GDIFreeValLabel").hint, " 释放图形设备接口资源 (仅限 Win 9x/ME)");
    EXPECT_EQ(menuItem("RecoverRAM1").hint, " 释放系统内存！");
}

TEST(MainFormLayoutTexts, ListItemsInOrder) {
    EXPECT_EQ(ctl("GraphColorComboBox").items, (Names{"绿色", "红色", "蓝色", "白色"}));
    EXPECT_EQ(ctl("TabStyleComboBox").items, (Names{"标签栏", "按钮", "平面按钮"}));
    EXPECT_EQ(ctl("CacheSchemeComboBox").items,
              (Names{"标准系统", "光盘制作用户", "大内存用户", "低内存用户", "多媒体用户", "游戏玩家"}));
    const ControlLayout& speed = ctl("GraphSpeedRadioGroup");
    EXPECT_EQ(speed.text, "内存曲线速率");
    EXPECT_EQ(speed.items, (Names{"非常快", "快", "中速", "慢"}));
    EXPECT_EQ(speed.columns, 4);
    // Nothing is selected at design, so loading any stored speed runs the speed handler.
    EXPECT_EQ(speed.itemIndex, -1);
}

// --- Design values -------------------------------------------------------------------------

TEST(MainFormLayoutDesign, FormAndTimer) {
    const ControlLayout& form = ctl("QuilletForm");
    EXPECT_EQ(bounds("QuilletForm"), (Ints{0, 0, 402, 434}));
    ASSERT_TRUE(form.font.has_value());
    EXPECT_EQ(static_cast<const platform::Font&>(*form.font), (platform::Font{"宋体", -12, false, mainwindow::kWindowTextColor}));
    EXPECT_TRUE(mainwindow::isSystemColor(*form.color));
    EXPECT_EQ(mainwindow::systemColorIndex(*form.color), 15u);  // button face
    EXPECT_EQ((Names{form.onCreate, form.onClose, form.onResize}), (Names{"FormCreate", "FormClose", "FormResize"}));
    EXPECT_EQ(ctl("MainTimer").interval, 500);
    EXPECT_EQ(ctl("MainTimer").onTimer, "MainTimerTimer");
    EXPECT_FALSE(ctl("StartWithWindowsCheckBox").font.has_value());  // the window's font
}

TEST(MainFormLayoutDesign, GraphAndItsScale) {
    const ControlLayout& graph = ctl("PerformanceGraph");
    EXPECT_EQ(graph.parent, "GraphBackPanel");
    EXPECT_EQ(bounds("PerformanceGraph"), (Ints{2, 1, 213, 212}));
    EXPECT_EQ((Ints{graph.gridSize, graph.stepSize, graph.scale, graph.gradient, graph.penWidth}),
              (Ints{16, 1, 100, 100, 1}));
    EXPECT_EQ(graph.anchors, ui::Anchors::all());
    EXPECT_EQ(bounds("GraphBackPanel"), (Ints{152, 32, 217, 214}));
    for (const auto& [name, top] : std::map<std::string, int>{
             {"Ram100Label", 32}, {"Ram75Label", 72}, {"Ram50Label", 112}, {"Ram25Label", 160}, {"Ram0Label", 208}}) {
        EXPECT_EQ(bounds(name), (Ints{108, top, 40, 12})) << name;
        EXPECT_EQ(ctl(name).alignment, ui::TextAlignment::Right) << name;
    }
    EXPECT_EQ(ctl("Ram0Label").text, "0MB");
}

TEST(MainFormLayoutDesign, TrackBarsHotKeysAndGradientBars) {
    EXPECT_EQ(bounds("TargetFreeRamTrackBar"), (Ints{79, 203, 169, 17}));
    EXPECT_EQ(bounds("AutoRecoverLevelTrackBar"), (Ints{78, 225, 61, 17}));
    for (const char* name : {"TargetFreeRamTrackBar", "AutoRecoverLevelTrackBar"}) {
        EXPECT_EQ(ctl(name).tickStyle, ui::TickStyle::None) << name;
        EXPECT_EQ(ctl(name).thumbLength, 14) << name;
    }
    const ControlLayout& translucent = ctl("TranslucentTrackBar");
    EXPECT_EQ(bounds("TranslucentTrackBar"), (Ints{229, 96, 142, 25}));
    EXPECT_EQ((Ints{translucent.minimum, translucent.maximum, translucent.position, translucent.pageSize}),
              (Ints{20, 255, 255, 15}));
    EXPECT_EQ(translucent.tickStyle, ui::TickStyle::Auto);

    EXPECT_EQ(ctl("RecoverHotKey").hotKey, 0xC052);  // Ctrl+Alt+R
    EXPECT_EQ(ctl("DisableAutoRecoverHotKey").hotKey, 0xC044);  // Ctrl+Alt+D

    const ControlLayout& free = ctl("StressGradient");
    EXPECT_EQ((std::vector<platform::Color>{free.startColor, free.endColor, *free.color}),
              (std::vector<platform::Color>{0x008080, 0x00FF00, 0x808080}));
    EXPECT_FALSE(free.showPercent);
    EXPECT_TRUE(free.centerText);
    EXPECT_TRUE(ctl("StressMemLoadGradient").showPercent);
    EXPECT_EQ(ctl("CPUProgressBar").anchors, (ui::Anchors{true, false, false, true}));
}

TEST(MainFormLayoutDesign, OnlyTheNamedControlsStartDisabledOrHidden) {
    std::set<std::string> disabled, hidden;
    for (const ControlLayout& c : mainwindow::mainFormControls()) {
        if (!c.enabled) disabled.insert(c.name);
        if (!c.visible) hidden.insert(c.name);
    }
    EXPECT_EQ(disabled, (std::set<std::string>{"TranslucentCheckBox", "TranslucentTrackBar", "QuilletLabel",
                                               "QuilletAboutLabel", "CopyRightAboutLabel", "StartSplashCheckBox"}));
    EXPECT_EQ(hidden, (std::set<std::string>{"EnableImage", "DisableImage"}));
    for (const ControlLayout& c : mainwindow::mainFormControls()) {
        if (c.kind == ui::Kind::Picture) {
            EXPECT_FALSE(c.picture.empty()) << c.name;
        }
    }
}

TEST(MainFormLayoutDesign, ResourcePageIsLimeOnBlack) {
    EXPECT_EQ(ctl("GraphPanel").color, mainwindow::kBlack);
    EXPECT_EQ(*ctl("FreeRamLabel").font, font("宋体", -13, false, true, mainwindow::kLime));
    EXPECT_EQ(*ctl("FreeRamValLabel").font, font("宋体", -13, false, false, mainwindow::kLime));
    EXPECT_EQ(ctl("GDIFreeValLabel").font->color, mainwindow::kWhite);
    EXPECT_EQ(*ctl("Label1").font, font("宋体", -13, true, false, mainwindow::kYellow));
}

// --- Handlers ------------------------------------------------------------------------------

TEST(MainFormLayoutHandlers, ControlsBindTheirOwnHandlerUnlessTheyShareOne) {
    const std::map<std::string, std::string> shared = {
        {"RecoverSpeedButton", "RecoverRAM1Click"},
        {"DisableAutoRecoverSpeedButton", "DisableAutoRecover1Click"},
        {"HomePageLabel", "WebAboutValLabelClick"},
    };
    for (const ControlLayout& c : mainwindow::mainFormControls()) {
        auto s = shared.find(c.name);
        const std::string own = s != shared.end() ? s->second : c.name + "Click";
        EXPECT_TRUE(c.onClick.empty() || c.onClick == own) << c.name;
        EXPECT_TRUE(c.onChange.empty() || c.onChange == c.name + "Change") << c.name;
        EXPECT_TRUE(c.onEnter.empty() || c.onEnter == c.name + "Enter") << c.name;
    }
    EXPECT_EQ(ctl("RecoverSpeedButton").onClick, "RecoverRAM1Click");
    EXPECT_EQ(ctl("TargetFreeRamTrackBar").onChange, "TargetFreeRamTrackBarChange");
    EXPECT_EQ(ctl("RecoverHotKey").onEnter, "RecoverHotKeyEnter");
    EXPECT_EQ(ctl("MainPageControl").onChanging, "MainPageControlChanging");
    EXPECT_TRUE(ctl("StartWithWindowsCheckBox").onClick.empty());
    EXPECT_TRUE(ctl("MinimumDiskCacheCheckBox").onClick.empty());
}

// --- Menus ---------------------------------------------------------------------------------

TEST(MainFormLayoutMenus, EveryItemHangsFromItsMenuOrAnEarlierSubmenu) {
    for (const auto* menu : {&mainwindow::mainMenuItems(), &mainwindow::trayMenuItems()}) {
        std::set<std::string> earlier = {menu == &mainwindow::mainMenuItems() ? mainwindow::kMainMenuName
                                                                              : mainwindow::kTrayMenuName};
        for (const MenuItemLayout& m : *menu) {
            EXPECT_EQ(earlier.count(m.parent), 1u) << m.name;
            if (m.separator) {
                EXPECT_EQ(m.caption, "-") << m.name;
            }
            // Separators and submenus do nothing when chosen; every other item runs a command.
            const bool opens = m.separator || !mainwindow::childMenuItems(m.name).empty();
            EXPECT_EQ(m.onClick.empty(), opens) << m.name;
            earlier.insert(m.name);
        }
    }
}

TEST(MainFormLayoutMenus, MainMenu) {
    EXPECT_EQ(menuChildren(mainwindow::kMainMenuName), (Names{"File1", "View1", "Web1", "Help1"}));
    EXPECT_EQ(menuItem("File1").caption, "文件(&F)");
    EXPECT_EQ(menuChildren("File1"), (Names{"RecoverRAM1", "FreeWindowsClipboardMemory1",
                                           "CleartheRecentDocumentsFolder1", "N1", "SaveSettings1", "N4", "Exit1"}));
    EXPECT_EQ(menuItem("Exit1").caption, "退出(&X)");
    // Exactly four pages can be opened from the View menu.
    EXPECT_EQ(menuChildren("View1"), (Names{"FreeMemory1", "Options1", "Tweaks1", "Cache1"}));
    EXPECT_EQ(menuItem("FreeMemory1").caption, "资源使用情况");
    EXPECT_EQ(menuChildren("Web1"),
              (Names{"Quilletwebsite1", "JoinourfreeNewsletter1", "N6", "CheckforUpgrade1", "UserAccount1"}));
    EXPECT_EQ(menuChildren("UserAccount1"), (Names{"Login1", "Forgottenyourpassword1"}));
    EXPECT_FALSE(menuItem("UserAccount1").caption.empty());
    EXPECT_FALSE(menuItem("UserAccount1").enabled);  // window creation enables it
    EXPECT_EQ(menuChildren("Help1"), (Names{"QuilletHelpTopics1", "N3", "AboutQuillet1"}));
}

TEST(MainFormLayoutMenus, TrayMenu) {
    EXPECT_EQ(menuChildren(mainwindow::kTrayMenuName),
              (Names{"Open1", "Optimize1", "DisableAutoRecover1", "TryToRecover1", "FreeWindowsClipboardMemory2",
                     "CleartheRecentDocumentsFolder2", "N2", "RestartComputer1", "ShutdownComputer1", "N5",
                     "CloseQuillet1"}));
    Names defaults;
    for (const MenuItemLayout& m : mainwindow::trayMenuItems()) {
        if (m.isDefault) defaults.push_back(m.name);
    }
    EXPECT_EQ(defaults, (Names{"Open1"}));
    EXPECT_EQ(menuItem("Open1").caption, "打开");
    EXPECT_FALSE(menuItem("DisableAutoRecover1").checked);

    const auto shares = mainwindow::childMenuItems("TryToRecover1");
    ASSERT_EQ(shares.size(), 9u);
    for (int i = 0; i < 9; ++i) {
        const std::string percent = std::to_string((i + 1) * 10);
        EXPECT_EQ(shares[i]->name, "N" + percent + "RAM1");
        EXPECT_EQ(shares[i]->caption, percent + "% RAM");
        EXPECT_EQ(shares[i]->onClick, "N" + percent + "RAM1Click");
    }
    // Items that run the main menu's commands.
    EXPECT_EQ(menuItem("Optimize1").onClick, "RecoverRAM1Click");
    EXPECT_EQ(menuItem("FreeWindowsClipboardMemory2").onClick, "FreeWindowsClipboardMemory1Click");
    EXPECT_EQ(menuItem("CloseQuillet1").onClick, "Exit1Click");
}
