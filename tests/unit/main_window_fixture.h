#pragma once
// The main window on a fake machine, driven headless: what most window tests share.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/paths.h"
#include "mainwindow/main_form.h"
#include "monitor/os_detection.h"
#include "platform/fake/fake_platform.h"
#include "tests/unit/ui_recording_backend.h"

class MainWindowTest : public ::testing::Test {
protected:
    static constexpr uint32_t MB = 1048576;

    // Makes the window as the program does (paths, OS description, creation) and shows it;
    // with loopRuns, the message loop's first round follows: the tray icon comes.
    void createWindow(bool show = true, bool loopRuns = true) {
        app::setAppPaths(app::findAppPaths(machine, machine));
        monitor::detectOs(machine);
        window = std::make_unique<mainwindow::TQuilletForm>(os, backend);
        window->create();
        if (show) window->show();
        if (loopRuns) machine.deliverPosted();
    }
    template <class T>
    T& get(const std::string& name) {
        return window->form().get<T>(name);
    }
    // A value in the settings file beside the program.
    void setIni(const std::string& key, const std::string& value) {
        machine.setIni(app::makeAppPaths(machine.program).iniPath, "Settings", key, value);
    }
    // The started recovery's worker runs to its end and the window handles what it posted.
    void finishRecovery() {
        machine.runThreads();
        machine.deliverPosted();
    }
    // The same, answering the size the worker asked for first (0: it asked nothing).
    uint64_t finishRecoveryAsked() {
        const size_t before = machine.commits.size();
        finishRecovery();
        return machine.commits.size() > before ? machine.commits[before].size : 0;
    }

    platform::fake::FakeMachine machine;
    uitest::RecordingBackend backend;  // what reaches the controls' windows, for the tests that ask
    platform::Platform os = machine.services();
    std::unique_ptr<mainwindow::TQuilletForm> window;  // destroyed before the backend
};
