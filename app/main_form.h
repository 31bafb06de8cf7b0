#pragma once
#include "monitor/cpu_usage.h"
#include "platform/platform.h"

namespace app {

// The main window. For now it is an empty window of the program's class with its caption;
// the single-instance test finds running copies by that class name.
class TQuilletForm : public platform::WindowHandler {
public:
    static constexpr int kClientWidth = 402;
    static constexpr int kClientHeight = 434;

    explicit TQuilletForm(platform::Platform& os)
        : os_(os), cpuUsageSampler_(os.osVersion, os.ntSystem, os.registry) {}
    ~TQuilletForm() override;
    TQuilletForm(const TQuilletForm&) = delete;
    TQuilletForm& operator=(const TQuilletForm&) = delete;

    // Creates the window (hidden). Throws when the system cannot make it.
    void create();
    void show();
    // The exit sequence: ends the message loop.
    void Exit1Click();

    bool handleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;

    platform::Window window() const { return window_; }
    // The program's one CPU sampler; the monitor tick samples through it.
    monitor::CpuUsageSampler& cpuUsageSampler() { return cpuUsageSampler_; }

private:
    platform::Platform& os_;
    monitor::CpuUsageSampler cpuUsageSampler_;
    platform::Window window_ = nullptr;
};

}  // namespace app
