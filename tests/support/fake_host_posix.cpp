#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include "support/fake_host.h"
#include "support/workdir.h"

namespace stats::test {

std::ostream& operator<<(std::ostream& out, const ReceivedMacro& macro) {
    return out << "{" << macro.text << (macro.accepted ? ", accepted" : ", refused") << ", note " << macro.note
               << "}";
}

namespace {

constexpr const char* kName = "Zorv2.Application";
constexpr const char* kPath = "/Zorv2/Application";
constexpr const char* kInterface = "Zorv2.Application";
constexpr auto kSettle = std::chrono::seconds(2);

// A session bus of the test's own: a dbus-daemon with a configuration that
// lets everyone own any name and can start the host on request, which shows
// in a marker file, so a test can tell that nobody asked for that.
class PrivateBus {
public:
    PrivateBus() {
        char pattern[] = "/tmp/stats-bus-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        dir_ = pattern;
        marker_ = dir_ / "host-started";
        std::filesystem::create_directory(dir_ / "services");
        WriteFile(dir_ / "services" / "Zorv2.Application.service",
                  "[D-BUS Service]\nName=Zorv2.Application\nExec=/usr/bin/touch " + marker_.string() + "\n");
        WriteFile(dir_ / "bus.conf",
                  "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
                  " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                  "<busconfig>\n"
                  "  <type>session</type>\n"
                  "  <listen>unix:path=" + (dir_ / "bus").string() + "</listen>\n"
                  "  <auth>EXTERNAL</auth>\n"
                  "  <servicedir>" + (dir_ / "services").string() + "</servicedir>\n"
                  "  <policy context=\"default\">\n"
                  "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                  "    <allow eavesdrop=\"true\"/>\n"
                  "    <allow own=\"*\"/>\n"
                  "  </policy>\n"
                  "</busconfig>\n");
        Start();
    }

    ~PrivateBus() {
        Stop();
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }

    const std::string& Address() const { return address_; }
    bool StartRequested() const { return std::filesystem::exists(marker_); }

private:
    void Start() {
        int fds[2];
        if (pipe(fds) != 0) return;
        const std::string config = "--config-file=" + (dir_ / "bus.conf").string();
        const std::string printAddress = "--print-address=" + std::to_string(fds[1]);
        const char* argv[] = {"dbus-daemon", config.c_str(), printAddress.c_str(), "--nofork", "--nopidfile", nullptr};
        const std::string log = (dir_ / "bus.log").string();
        pid_ = fork();
        if (pid_ == 0) {
            // Its complaints (as about raising its file limit) go to a log.
            const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (out >= 0) dup2(out, STDERR_FILENO);
            close(fds[0]);
            execvp(argv[0], const_cast<char* const*>(argv));
            _exit(127);
        }
        close(fds[1]);
        // The address comes as one line once the bus listens; bounded wait.
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (pid_ > 0 && line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd p{fds[0], POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char buffer[256];
            const ssize_t n = read(fds[0], buffer, sizeof buffer);
            if (n <= 0) break;
            line.append(buffer, static_cast<size_t>(n));
        }
        close(fds[0]);
        if (const size_t end = line.find('\n'); end != std::string::npos) address_ = line.substr(0, end);
    }

    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }

    std::filesystem::path dir_;
    std::filesystem::path marker_;
    std::string address_;
    pid_t pid_ = -1;
};

}  // namespace

struct FakeHost::State {
    PrivateBus bus;
    std::optional<std::string> previousAddress;

    sd_bus* connection = nullptr;  // used on the host's thread only
    sd_bus_slot* object = nullptr;
    sd_bus_slot* watch = nullptr;
    std::string ownName;
    bool owning = false;
    std::thread thread;
    std::atomic<bool> stop{false};

    std::mutex lock;  // guards what follows
    std::vector<std::function<void()>> tasks;
    HostMode mode = HostMode::kAbsent;
    std::vector<ReceivedMacro> received;
    std::function<std::string()> observer;
    int connectionsSeen = 0;

    static int RunMacro(sd_bus_message* call, void* self, sd_bus_error*) {
        State* state = static_cast<State*>(self);
        const char* text = nullptr;
        if (sd_bus_message_read(call, "s", &text) < 0) text = "?unreadable";
        std::function<std::string()> observer;
        HostMode mode;
        {
            std::lock_guard<std::mutex> guard(state->lock);
            observer = state->observer;
            mode = state->mode;
        }
        ReceivedMacro macro{text, mode == HostMode::kPresent, observer ? observer() : std::string()};
        {
            std::lock_guard<std::mutex> guard(state->lock);
            state->received.push_back(macro);
        }
        switch (mode) {
            case HostMode::kPresent:
                return sd_bus_reply_method_return(call, "");
            case HostMode::kFailing:
                return sd_bus_reply_method_errorf(call, "Zorv2.Error.MacroFailed", "macro %s failed", text);
            case HostMode::kBroken:
                return sd_bus_reply_method_errorf(call, SD_BUS_ERROR_UNKNOWN_METHOD, "no such method");
            case HostMode::kHung:
            case HostMode::kAbsent:
                break;
        }
        return 1;  // no answer at all
    }

    static int NameOwnerChanged(sd_bus_message* signal, void* self, sd_bus_error*) {
        State* state = static_cast<State*>(self);
        const char *name = nullptr, *before = nullptr, *after = nullptr;
        if (sd_bus_message_read(signal, "sss", &name, &before, &after) < 0) return 0;
        if (name[0] == ':' && before[0] == '\0' && after[0] != '\0' && state->ownName != name) {
            std::lock_guard<std::mutex> guard(state->lock);
            ++state->connectionsSeen;
        }
        return 0;
    }

    bool Connect() {
        if (bus.Address().empty()) return false;
        static const sd_bus_vtable vtable[] = {
            SD_BUS_VTABLE_START(0),
            SD_BUS_METHOD("RunMacro", "s", "", &State::RunMacro, SD_BUS_VTABLE_UNPRIVILEGED),
            SD_BUS_VTABLE_END,
        };
        const char* unique = nullptr;
        if (sd_bus_new(&connection) < 0 || sd_bus_set_address(connection, bus.Address().c_str()) < 0 ||
            sd_bus_set_bus_client(connection, 1) < 0 || sd_bus_start(connection) < 0 ||
            sd_bus_get_unique_name(connection, &unique) < 0)
            return false;
        ownName = unique;
        return sd_bus_add_object_vtable(connection, &object, kPath, kInterface, vtable, this) >= 0 &&
               sd_bus_match_signal(connection, &watch, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                   "org.freedesktop.DBus", "NameOwnerChanged", &State::NameOwnerChanged,
                                   this) >= 0;
    }

    void Serve() {
        while (!stop) {
            std::vector<std::function<void()>> now;
            {
                std::lock_guard<std::mutex> guard(lock);
                now.swap(tasks);
            }
            for (auto& task : now) task();
            if (sd_bus_process(connection, nullptr) > 0) continue;
            sd_bus_wait(connection, 20'000);
        }
    }

    // Runs the task on the host's thread and waits for it.
    template <typename Result>
    Result OnHostThread(std::function<Result()> task) {
        std::packaged_task<Result()> packaged(task);
        std::future<Result> done = packaged.get_future();
        {
            std::lock_guard<std::mutex> guard(lock);
            tasks.push_back([&packaged] { packaged(); });
        }
        return done.get();
    }

    int OtherConnections() {
        sd_bus_message* reply = nullptr;
        int count = 0;
        if (sd_bus_call_method(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                               "ListNames", nullptr, &reply, "") >= 0) {
            char** names = nullptr;
            if (sd_bus_message_read_strv(reply, &names) >= 0 && names != nullptr) {
                for (char** n = names; *n; ++n) {
                    if ((*n)[0] == ':' && ownName != *n) ++count;
                    free(*n);
                }
                free(names);
            }
        }
        sd_bus_message_unref(reply);
        return count;
    }
};

FakeHost::FakeHost() : state_(new State) {
    if (const char* previous = getenv("DBUS_SESSION_BUS_ADDRESS")) state_->previousAddress = previous;
    if (!state_->Connect()) {
        ADD_FAILURE() << "the test's session bus did not start (is dbus-daemon installed?)";
        return;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", state_->bus.Address().c_str(), 1);
    state_->thread = std::thread([this] { state_->Serve(); });
}

FakeHost::~FakeHost() {
    state_->stop = true;
    if (state_->thread.joinable()) state_->thread.join();
    sd_bus_slot_unref(state_->watch);
    sd_bus_slot_unref(state_->object);
    sd_bus_flush_close_unref(state_->connection);
    if (state_->previousAddress)
        setenv("DBUS_SESSION_BUS_ADDRESS", state_->previousAddress->c_str(), 1);
    else
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    delete state_;
}

void FakeHost::SetMode(HostMode mode) {
    if (!state_->thread.joinable()) return;
    {
        std::lock_guard<std::mutex> guard(state_->lock);
        state_->mode = mode;
    }
    const bool own = mode != HostMode::kAbsent;
    const bool done = state_->OnHostThread<bool>([this, own] {
        if (own == state_->owning) return true;
        const int r = own ? sd_bus_request_name(state_->connection, kName, 0)
                          : sd_bus_release_name(state_->connection, kName);
        if (r < 0) return false;
        state_->owning = own;
        return true;
    });
    ASSERT_TRUE(done) << "the fake host could not " << (own ? "take" : "give up") << " its bus name";
}

std::vector<ReceivedMacro> FakeHost::Received() {
    std::lock_guard<std::mutex> guard(state_->lock);
    return state_->received;
}

void FakeHost::OnMacro(std::function<std::string()> observer) {
    std::lock_guard<std::mutex> guard(state_->lock);
    state_->observer = std::move(observer);
}

int FakeHost::PluginLinks(int expected) {
    if (!state_->thread.joinable()) return -1;
    const auto deadline = std::chrono::steady_clock::now() + kSettle;
    for (;;) {
        const int count = state_->OnHostThread<int>([this] { return state_->OtherConnections(); });
        if (count == expected || std::chrono::steady_clock::now() >= deadline) return count;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

int FakeHost::ConnectionsSeen() {
    if (!state_->thread.joinable()) return -1;
    // A round trip to the bus reads every signal it sent before; then they are
    // handled.
    state_->OnHostThread<int>([this] {
        const int count = state_->OtherConnections();
        while (sd_bus_process(state_->connection, nullptr) > 0) {
        }
        return count;
    });
    std::lock_guard<std::mutex> guard(state_->lock);
    return state_->connectionsSeen;
}

bool FakeHost::StartRequested() { return state_->bus.StartRequested(); }

}  // namespace stats::test
