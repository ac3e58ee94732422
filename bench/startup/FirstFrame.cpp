// Starts a program on the current X display and measures, from the moment before fork():
//  - when its first window is mapped and when that window first receives pixels, seen through
//    the DAMAGE extension (the server reports the client's own drawing; a Qt window has no
//    server-painted background, so the first damage after the map is the first painted frame);
//  - its peak resident memory (VmHWM) after the start-up has settled;
//  - optionally, over an idle period after that: CPU time (utime + stime, and the scheduler's
//    nanosecond run time), context switches summed over all its threads (the per-process
//    figures of /proc/<pid>/status cover the main thread only), wakeup bursts (runs of 10 ms
//    samples in which any thread switched) and damage reports, i.e. repaints.
// Then it ends the program with SIGTERM and waits for it.
//
//   qb-firstframe [--settle MS] [--idle MS] [--timeout MS] -- <program> [arguments...]
//
// Prints one line of name=value pairs on standard output, and a second line "threads=" with the
// idle context switches of each thread when an idle period was measured. Exit code 0 when a
// frame was seen, 3 when the start could not be watched (the window was mapped before its damage
// monitor existed; start again), 1 otherwise.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace qb {
namespace {

using TMs = double;

TMs NowMs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1.0e6;
}

struct TOptions {
    int SettleMs = 3000;
    int IdleMs = 0;
    int TimeoutMs = 20000;
    std::vector<char*> Command;
};

std::optional<TOptions> ParseOptions(int argc, char** argv)
{
    TOptions options;
    int i = 1;
    auto number = [&](int& target) {
        if (i + 1 >= argc)
            return false;
        const char* text = argv[++i];
        const auto [end, error] = std::from_chars(text, text + std::strlen(text), target);
        return error == std::errc() && *end == '\0' && target >= 0;
    };
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        bool ok = false;
        if (arg == "--settle")
            ok = number(options.SettleMs);
        else if (arg == "--idle")
            ok = number(options.IdleMs);
        else if (arg == "--timeout")
            ok = number(options.TimeoutMs);
        if (!ok)
            return std::nullopt;
    }
    for (; i < argc; ++i)
        options.Command.push_back(argv[i]);
    if (options.Command.empty())
        return std::nullopt;
    options.Command.push_back(nullptr);
    return options;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A "Name:   123 kB" style field of a status file; -1 when absent.
long long StatusField(const std::string& status, const std::string& name)
{
    const std::string key = "\n" + name + ":";
    const std::size_t at = ("\n" + status).find(key);
    if (at == std::string::npos)
        return -1;
    return std::atoll(status.c_str() + at + key.size() - 1);
}

// What a process (or one thread) has used so far.
struct TUsage {
    long long CpuTicks = 0; // utime + stime, in clock ticks
    long long RunNs = 0; // scheduler run time
    long long Voluntary = 0;
    long long Involuntary = 0;
};

TUsage ProcessCpu(pid_t pid)
{
    TUsage usage;
    // Fields after the command name, which sits in parentheses and may contain spaces.
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    if (close != std::string::npos) {
        std::istringstream fields(stat.substr(close + 2));
        std::vector<std::string> values;
        for (std::string value; fields >> value;)
            values.push_back(value);
        // utime and stime are fields 14 and 15 of the whole line, 12 and 13 after the name.
        if (values.size() > 12)
            usage.CpuTicks = std::atoll(values[11].c_str()) + std::atoll(values[12].c_str());
    }
    return usage;
}

struct TThreadUsage {
    std::string Name;
    TUsage Usage;
};

std::map<int, TThreadUsage> ThreadUsage(pid_t pid, bool details = true)
{
    std::map<int, TThreadUsage> threads;
    const std::string base = "/proc/" + std::to_string(pid) + "/task/";
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(base.c_str()), closedir);
    if (!dir)
        return threads;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        const std::string task = base + entry->d_name + "/";
        TThreadUsage& thread = threads[std::atoi(entry->d_name)];
        const std::string status = ReadFile(task + "status");
        thread.Usage.Voluntary = StatusField(status, "voluntary_ctxt_switches");
        thread.Usage.Involuntary = StatusField(status, "nonvoluntary_ctxt_switches");
        if (!details)
            continue;
        thread.Name = ReadFile(task + "comm");
        while (!thread.Name.empty() && thread.Name.back() == '\n')
            thread.Name.pop_back();
        thread.Usage.RunNs = std::atoll(ReadFile(task + "schedstat").c_str());
    }
    return threads;
}

// Context switches of all threads together, read from their status files only.
long long SwitchCount(pid_t pid)
{
    long long total = 0;
    for (const auto& [tid, thread] : ThreadUsage(pid, false))
        total += thread.Usage.Voluntary + thread.Usage.Involuntary;
    return total;
}

constexpr TMs KBurstSampleMs = 10;

class TWatcher {
public:
    explicit TWatcher(xcb_connection_t* connection)
        : FConnection(connection)
    {
    }

    bool Init()
    {
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(FConnection, &xcb_damage_id);
        if (!damage || !damage->present) {
            std::fprintf(stderr, "qb-firstframe: the X server has no DAMAGE extension\n");
            return false;
        }
        FDamageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
        // The server accepts no damage request from a client that did not ask for a version.
        std::free(xcb_damage_query_version_reply(FConnection,
            xcb_damage_query_version(FConnection, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
            nullptr));
        FRoot = xcb_setup_roots_iterator(xcb_get_setup(FConnection)).data->root;
        FPidAtom = InternAtom("_NET_WM_PID");
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(FConnection, FRoot, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(FConnection);
        return true;
    }

    void SetChild(pid_t pid) { FChild = pid; }

    // Handles the events that arrive until `deadline` or until `stop` is true.
    template <typename TStop> void Pump(TMs deadline, TStop stop)
    {
        const int fd = xcb_get_file_descriptor(FConnection);
        while (!stop()) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(FConnection)) {
                Handle(event, NowMs());
                std::free(event);
            }
            if (xcb_connection_has_error(FConnection) || stop())
                return;
            const TMs left = deadline - NowMs();
            if (left <= 0)
                return;
            pollfd p { fd, POLLIN, 0 };
            poll(&p, 1, static_cast<int>(std::min<TMs>(left, 50.0)) + 1);
        }
    }

    std::optional<TMs> MappedAt() const { return FMappedAt; }
    std::optional<TMs> PaintedAt() const { return FPaintedAt; }
    long long DamageCount() const { return FDamageCount; }
    // The program mapped a window before its monitor was in place.
    bool Raced() const { return FRaced; }
    // Bounding box of the first report and the window's size then: whether the first frame
    // was the whole window or only part of it.
    xcb_rectangle_t FirstArea() const { return FFirstArea; }
    xcb_rectangle_t WindowSize() const { return FWindowSize; }

private:
    struct TWindow {
        xcb_damage_damage_t Damage = 0;
        bool Ours = false;
        bool Mapped = false;
    };

    xcb_atom_t InternAtom(const char* name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(FConnection,
            xcb_intern_atom(FConnection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    bool BelongsToChild(xcb_window_t window)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(FConnection,
            xcb_get_property(FConnection, 0, window, FPidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        bool ours = false;
        if (reply && xcb_get_property_value_length(reply) == 4) {
            uint32_t pid = 0;
            std::memcpy(&pid, xcb_get_property_value(reply), 4);
            ours = static_cast<pid_t>(pid) == FChild;
        }
        std::free(reply);
        return ours;
    }

    void Handle(xcb_generic_event_t* event, TMs at)
    {
        const uint8_t type = event->response_type & 0x7F;
        if (type == 0)
            return; // BadMatch for input-only windows, BadWindow for windows already gone
        if (type == XCB_CREATE_NOTIFY) {
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (created->parent != FRoot)
                return;
            // Watch every new top-level window from its creation on, before it can be drawn:
            // whose it is can only be read from its properties, and those may come later.
            TWindow& window = FWindows[created->window];
            const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(FConnection, created->window, XCB_CW_EVENT_MASK, &mask);
            window.Damage = xcb_generate_id(FConnection);
            xcb_damage_create(FConnection, window.Damage, created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            // Asked after the monitor was set up, so answered after it: a window that is still
            // unmapped then cannot have shown anything we missed. On a busy machine the program
            // may win that race; such a start is reported as not measurable.
            xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
                FConnection, xcb_get_window_attributes(FConnection, created->window), nullptr);
            if (attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED
                && BelongsToChild(created->window))
                FRaced = true;
            std::free(attributes);
        } else if (type == XCB_MAP_NOTIFY) {
            const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
            const auto found = FWindows.find(mapped->window);
            if (found == FWindows.end() || found->second.Mapped)
                return;
            found->second.Mapped = true;
            found->second.Ours = BelongsToChild(mapped->window);
            if (found->second.Ours && !FMappedAt)
                FMappedAt = at;
        } else if (type == FDamageEvent) {
            const auto* damaged = reinterpret_cast<xcb_damage_notify_event_t*>(event);
            // Re-arm: a non-empty report comes again only after the damage was taken away.
            xcb_damage_subtract(FConnection, damaged->damage, XCB_NONE, XCB_NONE);
            xcb_flush(FConnection);
            const auto found = FWindows.find(damaged->drawable);
            if (found == FWindows.end() || !found->second.Ours || !found->second.Mapped)
                return;
            ++FDamageCount;
            if (!FPaintedAt) {
                FPaintedAt = at;
                FFirstArea = damaged->area;
                FWindowSize = damaged->geometry;
            }
        }
    }

    xcb_connection_t* FConnection;
    xcb_window_t FRoot = 0;
    xcb_atom_t FPidAtom = XCB_ATOM_NONE;
    uint8_t FDamageEvent = 0;
    pid_t FChild = 0;
    std::map<xcb_window_t, TWindow> FWindows;
    std::optional<TMs> FMappedAt;
    std::optional<TMs> FPaintedAt;
    long long FDamageCount = 0;
    bool FRaced = false;
    xcb_rectangle_t FFirstArea {};
    xcb_rectangle_t FWindowSize {};
};

pid_t StartChild(const std::vector<char*>& command)
{
    const pid_t pid = fork();
    if (pid == 0) {
        // Standard output carries our result line only.
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0)
            dup2(null, STDOUT_FILENO);
        execvp(command[0], command.data());
        std::fprintf(stderr, "qb-firstframe: cannot start %s: %s\n", command[0], std::strerror(errno));
        _exit(127);
    }
    return pid;
}

// SIGTERM, then SIGKILL when the program has not ended within a few seconds. The time it took
// to end, or -1 when it had to be killed.
TMs EndChild(pid_t pid, int& status)
{
    const TMs start = NowMs();
    kill(pid, SIGTERM);
    while (NowMs() - start < 5000) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return NowMs() - start;
        usleep(5000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

int Run(const TOptions& options)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "qb-firstframe: no X display\n");
        return 2;
    }
    TWatcher watcher(connection);
    if (!watcher.Init())
        return 2;

    const TMs start = NowMs();
    const pid_t child = StartChild(options.Command);
    if (child < 0) {
        std::perror("qb-firstframe: fork");
        return 2;
    }
    watcher.SetChild(child);

    bool exited = false;
    int status = 0;
    auto gone = [&] {
        if (!exited && waitpid(child, &status, WNOHANG) == child)
            exited = true;
        return exited;
    };
    watcher.Pump(start + options.TimeoutMs,
        [&] { return watcher.PaintedAt().has_value() || watcher.Raced() || gone(); });
    if (watcher.Raced()) {
        std::fprintf(
            stderr, "qb-firstframe: the window was mapped before it could be watched; start again\n");
        if (!exited)
            EndChild(child, status);
        xcb_disconnect(connection);
        return 3;
    }
    if (!watcher.PaintedAt()) {
        std::fprintf(stderr, "qb-firstframe: %s\n",
            exited ? "the program ended before it showed a frame" : "no frame within the time-out");
        if (!exited)
            EndChild(child, status);
        xcb_disconnect(connection);
        return 1;
    }

    watcher.Pump(NowMs() + options.SettleMs, gone);
    const std::string statusPath = "/proc/" + std::to_string(child) + "/status";
    const long long settledHwm = StatusField(ReadFile(statusPath), "VmHWM");

    std::string threadLine;
    std::ostringstream idle;
    if (options.IdleMs > 0 && !exited) {
        const long long damageBefore = watcher.DamageCount();
        const TUsage cpuBefore = ProcessCpu(child);
        const auto threadsBefore = ThreadUsage(child);
        const TMs idleStart = NowMs();
        // Counters alone cannot tell one timer tick that makes several round trips from several
        // timers: sample them every few milliseconds and count the runs of samples in which
        // anything switched as one wakeup burst each.
        long long bursts = 0;
        bool lastActive = false;
        long long lastSwitches = SwitchCount(child);
        for (TMs next = idleStart + KBurstSampleMs; next < idleStart + options.IdleMs && !gone();
             next += KBurstSampleMs) {
            watcher.Pump(next, gone);
            const long long switches = SwitchCount(child);
            const bool active = switches != lastSwitches;
            if (active && !lastActive)
                ++bursts;
            lastActive = active;
            lastSwitches = switches;
        }
        watcher.Pump(idleStart + options.IdleMs, gone);
        const TMs idleMs = NowMs() - idleStart;
        const TUsage cpuAfter = ProcessCpu(child);
        const auto threadsAfter = ThreadUsage(child);

        TUsage total;
        TUsage main;
        std::ostringstream perThread;
        for (const auto& [tid, after] : threadsAfter) {
            const auto before = threadsBefore.find(tid);
            const TUsage from = before == threadsBefore.end() ? TUsage {} : before->second.Usage;
            const TUsage delta { 0, after.Usage.RunNs - from.RunNs, after.Usage.Voluntary - from.Voluntary,
                after.Usage.Involuntary - from.Involuntary };
            total.RunNs += delta.RunNs;
            total.Voluntary += delta.Voluntary;
            total.Involuntary += delta.Involuntary;
            if (tid == child)
                main = delta;
            std::string name = after.Name;
            std::replace(name.begin(), name.end(), ' ', '_');
            perThread << (perThread.tellp() > 0 ? "," : "") << name << ':' << delta.Voluntary << '/'
                      << delta.Involuntary;
        }
        const double tick = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
        idle << " idle_s=" << idleMs / 1000.0
             << " idle_cpu_ms=" << (cpuAfter.CpuTicks - cpuBefore.CpuTicks) * tick
             << " idle_run_ms=" << total.RunNs / 1.0e6 << " idle_csw=" << total.Voluntary + total.Involuntary
             << " idle_csw_main=" << main.Voluntary + main.Involuntary << " idle_bursts=" << bursts
             << " idle_damage=" << watcher.DamageCount() - damageBefore
             << " threads_n=" << threadsAfter.size();
        threadLine = "threads=" + perThread.str();
    }
    const long long finalHwm = StatusField(ReadFile(statusPath), "VmHWM");

    const TMs endMs = exited ? -2 : EndChild(child, status);
    xcb_disconnect(connection);

    const xcb_rectangle_t area = watcher.FirstArea();
    const xcb_rectangle_t window = watcher.WindowSize();
    std::printf(
        "map_ms=%.1f frame_ms=%.1f first_area=%dx%d window=%dx%d hwm_kb=%lld hwm_end_kb=%lld%s end_ms=%.0f\n",
        *watcher.MappedAt() - start, *watcher.PaintedAt() - start, area.width, area.height, window.width,
        window.height, settledHwm, finalHwm, idle.str().c_str(), endMs);
    if (!threadLine.empty())
        std::printf("%s\n", threadLine.c_str());
    return 0;
}

} // namespace
} // namespace qb

int main(int argc, char** argv)
{
    const auto options = qb::ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr,
            "usage: qb-firstframe [--settle MS] [--idle MS] [--timeout MS] -- <program> [arguments...]\n");
        return 2;
    }
    return qb::Run(*options);
}
