#include "automation_object.h"

#include <systemd/sd-bus.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace stats::host {
namespace {

// Where the plug-in looks for the running host on the session bus.
constexpr const char* kName = "Zorv2.Application";
constexpr const char* kPath = "/Zorv2/Application";
constexpr const char* kInterface = "Zorv2.Application";

int RunMacro(sd_bus_message* call, void*, sd_bus_error*) {
    const char* text = nullptr;
    const int r = sd_bus_message_read(call, "s", &text);
    if (r < 0) return r;  // answered with an error
    std::fprintf(stderr, "host: macro %s\n", text);
    std::fflush(stderr);
    return sd_bus_reply_method_return(call, "");
}

const sd_bus_vtable kVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("RunMacro", "s", "", &RunMacro, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

}  // namespace

struct AutomationObject::State {
    sd_bus* bus = nullptr;
    sd_bus_slot* object = nullptr;
    std::thread thread;
    std::atomic<bool> stop{false};

    ~State() {
        stop = true;
        if (thread.joinable()) thread.join();
        sd_bus_slot_unref(object);
        // Closing the connection gives the name back.
        sd_bus_flush_close_unref(bus);
    }

    void Serve() {
        while (!stop) {
            if (sd_bus_process(bus, nullptr) > 0) continue;
            sd_bus_wait(bus, 100'000);  // a tenth of a second, to see stop
        }
    }
};

AutomationObject::AutomationObject() : state_(std::make_unique<State>()) {}

AutomationObject::~AutomationObject() = default;

bool AutomationObject::Start() {
    if (state_->thread.joinable()) return true;
    State& s = *state_;
    if (sd_bus_open_user(&s.bus) < 0 ||
        sd_bus_add_object_vtable(s.bus, &s.object, kPath, kInterface, kVtable, nullptr) < 0 ||
        sd_bus_request_name(s.bus, kName, 0) < 0) {
        s.object = sd_bus_slot_unref(s.object);
        s.bus = sd_bus_flush_close_unref(s.bus);
        return false;
    }
    s.thread = std::thread([&s] { s.Serve(); });
    return true;
}

}  // namespace stats::host
