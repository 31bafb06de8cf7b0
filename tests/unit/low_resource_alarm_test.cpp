// The low-resource alarm on a Windows 98 machine: the figures on the resource page, the strict
// threshold, the warning dialog (its live figures, one at a time, again while still low), the
// options' handlers and their settings; and the systems without the figures.
#include <gtest/gtest.h>

#include "tests/unit/main_window_fixture.h"

#include <functional>
#include <string>
#include <vector>

#include "monitor/low_res_form.h"
#include "ui/controls.h"
#include "ui/timer.h"

namespace {

using platform::ResourceKind;

class LowResourceAlarm : public MainWindowTest {
protected:
    LowResourceAlarm() {
        machine.setVersion(platform::kPlatformWin32Windows, 4, 10, 0x040A08AE, " A ");
        machine.clientOriginX = 70;
        machine.clientOriginY = 90;
        // Every warning the program opens: counted, and handed to the script of the test.
        backend.onModal = [this](ui::Form& form) {
            auto& dialog = dynamic_cast<monitor::TLowResForm&>(form);
            ++warnings;
            if (whileOpen) whileOpen(dialog);
        };
    }
    void figures(uint16_t gdi, uint16_t system, uint16_t user) {
        machine.freeResources[static_cast<int>(ResourceKind::Gdi)] = gdi;
        machine.freeResources[static_cast<int>(ResourceKind::System)] = system;
        machine.freeResources[static_cast<int>(ResourceKind::User)] = user;
    }
    std::string caption(const char* name) { return get<ui::Label>(name).caption(); }
    static std::vector<std::string> shown(const monitor::TLowResForm& dialog) {
        return {dialog.gdiLabel().caption(), dialog.systemLabel().caption(), dialog.userLabel().caption()};
    }

    int warnings = 0;
    std::function<void(monitor::TLowResForm&)> whileOpen;
};

using Texts = std::vector<std::string>;

TEST_F(LowResourceAlarm, AFigureBelowTheThresholdWarnsOneAtTheThresholdDoesNot) {
    figures(10, 10, 10);
    createWindow();  // no settings file: the alarm is on at 10 %
    EXPECT_EQ(get<ui::Edit>("LowResourceEdit").text(), "10");
    EXPECT_EQ(caption("GDIFreeValLabel"), "10%");
    EXPECT_EQ(caption("UserFreeValLabel"), "10%");
    EXPECT_EQ(machine.freeResourceQueries, (std::vector<uint16_t>{1, 0, 2})) << "GDI, system, user";
    EXPECT_EQ(warnings, 0) << "reaching the threshold is not enough";

    figures(12, 11, 9);
    whileOpen = [&](monitor::TLowResForm& dialog) {
        EXPECT_EQ(shown(dialog), (Texts{"12%", "11%", "9%"})) << "the main window's texts";
        EXPECT_EQ(dialog.bounds(), (ui::Bounds{70, 90, 451, 264})) << "at the main window's client origin";
        EXPECT_FALSE(get<ui::Timer>("MainTimer").enabled()) << "the tick waits for the dialog";
        EXPECT_TRUE(window->state().lowResourceAlarmShowing);
    };
    backend.advance(500);
    EXPECT_EQ(caption("UserFreeValLabel"), "9%");
    EXPECT_EQ(warnings, 1);
    EXPECT_FALSE(window->state().lowResourceAlarmShowing);
    EXPECT_TRUE(get<ui::Timer>("MainTimer").enabled());

    // Cleared, the box silences the alarm; so does a threshold that is no number.
    whileOpen = nullptr;
    get<ui::CheckBox>("LowResourceCheckBox").setChecked(false);
    backend.advance(500);
    get<ui::CheckBox>("LowResourceCheckBox").setChecked(true);
    get<ui::Edit>("LowResourceEdit").setText("x");
    backend.advance(500);
    EXPECT_EQ(warnings, 1);

    // Any one figure below the threshold warns, whichever it is.
    get<ui::Edit>("LowResourceEdit").setText("10");
    const uint16_t alone[][3] = {{9, 50, 50}, {50, 9, 50}, {50, 50, 9}};
    for (const auto& low : alone) {
        figures(low[0], low[1], low[2]);
        const int before = warnings;
        backend.advance(500);
        EXPECT_EQ(warnings, before + 1) << "GDI " << low[0] << ", system " << low[1] << ", user " << low[2];
    }
}

TEST_F(LowResourceAlarm, ClosedWhileStillLowItReturnsHalfASecondLater) {
    createWindow();
    figures(5, 50, 50);
    whileOpen = [&](monitor::TLowResForm& dialog) {
        backend.advance(3000);  // the user reads for a while
        dialog.okButton().click();
        EXPECT_NE(dialog.modalResult(), ui::kModalNone) << "OK ends the dialog";
    };
    backend.advance(500);
    EXPECT_EQ(warnings, 1);
    backend.advance(499);
    EXPECT_EQ(warnings, 1);
    backend.advance(1);
    EXPECT_EQ(warnings, 2) << "nothing but the figures holds it back";

    figures(50, 50, 50);
    backend.advance(5000);
    EXPECT_EQ(warnings, 2);
}

TEST_F(LowResourceAlarm, TheDialogFollowsTheFiguresEverySecondAsBareNumbers) {
    createWindow();
    figures(8, 40, 60);
    whileOpen = [&](monitor::TLowResForm& dialog) {
        EXPECT_EQ(dialog.caption(), "系统资源过低警告");
        auto paragraph = [&](const char* name) { return dynamic_cast<ui::Label&>(*dialog.find(name)).caption(); };
        EXPECT_EQ(paragraph("Label1"),
                  "Quillet 监测到目前系统资源已经降低到您所设定的警告标准。出现这种情况可能是因为您在后台运行了过多的程序"
                  "或者运行了内存需求量颇大的程序。(您也可以考虑系统是否感染病毒)");
        EXPECT_EQ(paragraph("Label3"),
                  "出现这个警告窗口是因为您在\"选项\"栏启动了系统低资源警告选项。如果您经常看到此窗口，请您到\"选项\"栏"
                  "将资源报警数值调到一个较低的范围。");
        EXPECT_EQ(paragraph("Label2"),
                  "您可以关闭一些程序，以缓解资源紧缺的情况。您也可以保存您现在的工作，然后重新启动您的系统。在有些情况下"
                  "重新启动系统是释放系统资源唯一的办法。(您也可以在重新启动后运行杀毒软件查杀病毒)");
        EXPECT_EQ(dialog.borderIcons(), (ui::BorderIcons{true, false, false}));
        backend.advance(999);
        EXPECT_EQ(shown(dialog), (Texts{"8%", "40%", "60%"}));
        figures(7, 41, 100);
        backend.advance(1);
        EXPECT_EQ(shown(dialog), (Texts{"7", "41", "100"}));
        EXPECT_EQ(caption("GDIFreeValLabel"), "8%") << "the main window stands still";
        figures(30, 30, 30);
        backend.advance(1000);
        EXPECT_EQ(shown(dialog), (Texts{"30", "30", "30"}));
    };
    backend.advance(500);
    EXPECT_EQ(warnings, 1);
}

TEST_F(LowResourceAlarm, AWarningAtCreationIsNotOpenedAgainByTheTicksInsideIt) {
    figures(3, 3, 3);
    bool refreshedInside = false;
    whileOpen = [&](monitor::TLowResForm&) {
        if (warnings > 1) return;  // a second one would open a third, and so on
        const std::string before = caption("ElapsedLabel");
        machine.tick += 2000;
        backend.advance(2000);  // the main timer runs: the window is still being made
        refreshedInside = caption("ElapsedLabel") != before;
    };
    createWindow();
    EXPECT_TRUE(refreshedInside);
    EXPECT_EQ(warnings, 1);
}

TEST_F(LowResourceAlarm, ThresholdAboveNinetyBecomesNinetyAndSoIsLoadedAndSaved) {
    setIni("LowReourceAlarmPercent", "200");
    setIni("LowReourceAlarm", "0");
    createWindow();
    auto& edit = get<ui::Edit>("LowResourceEdit");
    EXPECT_EQ(edit.text(), "90");
    EXPECT_FALSE(edit.enabled()) << "the cleared box greys its edit at load";
    window->SaveSettings();
    const std::string saved = app::appPaths().iniPath;
    EXPECT_EQ(machine.iniValue(saved, "Settings", "LowReourceAlarmPercent"), "90");
    EXPECT_EQ(machine.iniValue(saved, "Settings", "LowReourceAlarm"), "0");

    get<ui::CheckBox>("LowResourceCheckBox").setChecked(true);
    EXPECT_TRUE(edit.enabled());
    window->Options1Click();
    edit.userChanged("95");
    EXPECT_EQ(edit.text(), "90");
    edit.userChanged("0");
    EXPECT_EQ(edit.text(), "0") << "no lower bound";
}

TEST_F(LowResourceAlarm, SystemsWithoutTheFiguresShowNotAvailableAndNeverWarn) {
    figures(0, 0, 0);
    machine.freeResourcesPresent = false;  // a build without the 16-bit route
    createWindow();
    backend.advance(500);
    EXPECT_EQ(caption("SystemFreeValLabel"), "N/A");
    EXPECT_EQ(warnings, 0);

    machine.setVersion(platform::kPlatformWin32Nt, 5, 1, 2600, "Service Pack 3");
    machine.freeResourcesPresent = true;
    machine.freeResourceQueries.clear();
    backend.advance(500);
    EXPECT_EQ(caption("GDIFreeValLabel"), "N/A");
    EXPECT_EQ(caption("UserFreeValLabel"), "N/A");
    EXPECT_TRUE(machine.freeResourceQueries.empty()) << "the NT family is not asked";
    EXPECT_EQ(warnings, 0);
}

}  // namespace
