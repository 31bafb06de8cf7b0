#include "ui/timer.h"

namespace ui {

bool Timer::elapsed() {
    if (!running() || pushing()) return false;
    run(onTimer);
    return true;
}

}  // namespace ui
