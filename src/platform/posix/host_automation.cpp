#include "platform/host_automation.h"

#include <systemd/sd-bus.h>

#include <cstdint>
#include <string>

namespace stats::platform {
namespace {

// A host that does not answer within this time is taken as refusing; the
// operator waits for the result no longer than this per attempt.
constexpr std::uint64_t kCallTimeoutUsec = 2'000'000;

// The host's method behind dispatch identifier 16.
constexpr int kRunMacroDispatchId = 16;
constexpr const char* kRunMacroMethod = "RunMacro";

// The connection of the current attempt; the objects found in it hold
// references of their own, so it stays open while one of them is kept.
sd_bus* attemptBus = nullptr;

struct RemoteObject {
    sd_bus* bus;          // one reference
    std::string owner;    // the unique name of the program that owned the name
    std::string path;
    std::string interface;
};

RemoteObject* FromHandle(AutomationObject object) { return reinterpret_cast<RemoteObject*>(object); }
AutomationObject ToHandle(RemoteObject* object) { return reinterpret_cast<AutomationObject>(object); }

bool IsUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t more = 0;
        if (c >= 0x80) {
            if ((c & 0xE0) == 0xC0)
                more = 1;
            else if ((c & 0xF0) == 0xE0)
                more = 2;
            else if ((c & 0xF8) == 0xF0)
                more = 3;
            else
                return false;
        }
        if (more > text.size() - i - 1) return false;
        for (size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return true;
}

// The bus carries UTF-8 only; 8-bit text that is not UTF-8 already is taken
// as Latin-1.
std::string ToBusText(const std::string& text) {
    if (IsUtf8(text)) return text;
    std::string out;
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

// The well-known name stays as it is; the object path is the name with its
// dots turned into slashes, as the host publishes it.
AutomationClass MapProgrammaticId(const char* programmaticId) { return {programmaticId ? programmaticId : ""}; }

void EnterAutomation() {
    if (attemptBus != nullptr) return;
    sd_bus* bus = nullptr;
    // A private connection, so it can be closed again; none without a bus.
    if (sd_bus_open_user(&bus) >= 0) attemptBus = bus;
}

void LeaveAutomation() { attemptBus = sd_bus_unref(attemptBus); }

AutomationObject GetRunningObject(const AutomationClass& cls) {
    if (attemptBus == nullptr || cls.identity.empty()) return 0;
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    AutomationObject found = 0;
    // Asking the bus itself starts nobody: GetNameOwner never activates.
    if (sd_bus_message_new_method_call(attemptBus, &call, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                       "org.freedesktop.DBus", "GetNameOwner") >= 0 &&
        sd_bus_message_set_auto_start(call, 0) >= 0 &&
        sd_bus_message_append(call, "s", cls.identity.c_str()) >= 0 &&
        sd_bus_call(attemptBus, call, kCallTimeoutUsec, &error, &reply) >= 0) {
        const char* owner = nullptr;
        if (sd_bus_message_read(reply, "s", &owner) >= 0 && owner != nullptr && *owner != '\0') {
            std::string path = "/" + cls.identity;
            for (char& c : path)
                if (c == '.') c = '/';
            found = ToHandle(new RemoteObject{sd_bus_ref(attemptBus), owner, path, cls.identity});
        }
    }
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
    return found;
}

// The method call itself shows whether the host serves the interface; here the
// dispatch reference is a second reference to the same object.
AutomationObject QueryDispatch(AutomationObject object) {
    if (object == 0) return 0;
    const RemoteObject* from = FromHandle(object);
    return ToHandle(new RemoteObject{sd_bus_ref(from->bus), from->owner, from->path, from->interface});
}

// The last reference to a connection closes it.
void ReleaseObject(AutomationObject object) {
    if (object == 0) return;
    RemoteObject* remote = FromHandle(object);
    sd_bus_unref(remote->bus);
    delete remote;
}

bool InvokeWithText(AutomationObject dispatch, int dispatchId, const std::string& text) {
    if (dispatch == 0 || dispatchId != kRunMacroDispatchId) return false;
    const RemoteObject* remote = FromHandle(dispatch);
    sd_bus_message* call = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const std::string busText = ToBusText(text);
    // Sent to the program found in this attempt, never to whoever owns the name
    // by then, and never starting one.
    const bool accepted =
        sd_bus_message_new_method_call(remote->bus, &call, remote->owner.c_str(), remote->path.c_str(),
                                       remote->interface.c_str(), kRunMacroMethod) >= 0 &&
        sd_bus_message_set_auto_start(call, 0) >= 0 && sd_bus_message_append(call, "s", busText.c_str()) >= 0 &&
        sd_bus_call(remote->bus, call, kCallTimeoutUsec, &error, nullptr) >= 0;
    sd_bus_error_free(&error);
    sd_bus_message_unref(call);
    return accepted;
}

}  // namespace stats::platform
