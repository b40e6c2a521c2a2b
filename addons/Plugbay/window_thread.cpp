#include "addons/Plugbay/window_thread.h"

#include "platform/app/gui_thread.h"

void OnWindowThread(const std::function<void()>& work) {
    if (gui_thread::Started() && !gui_thread::IsGuiThread()) {
        gui_thread::RunAndWait(work);
    } else {
        work();
    }
}
