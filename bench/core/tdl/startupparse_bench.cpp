// The template library parse as the program does it at its start: the real binary is
// started afresh for every run and reports the parse time in its start-up trace
// (TEDSMITH_DEBUG). It is stopped once the library is parsed. Libraries: the shipped one
// (the build's program folder) and 1000 synthetic templates; target: median under 100 ms
// each. For comparison, a library of one template; the peak memory of each run is shown.

#include "bench/support/syntheticlibrary.h"
#include "core/base/textfile.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 11;

struct Run {
    double parseMs = 0;
    int templates = 0;
    double peakMiB = 0;
};

// Starts the program in folder, reads its trace until the parse line, stops it.
std::optional<Run> startOnce(const fs::path& binary, const fs::path& profile)
{
    int out[2];
    if (::pipe(out) != 0)
        return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        ::dup2(out[1], 2);
        ::close(out[0]);
        ::close(out[1]);
        ::setenv("AllUsersProfile", profile.c_str(), 1);
        ::setenv("TEDSMITH_DEBUG", "1", 1);
        ::setenv("TEDSMITH_NO_DIALOGS", "1", 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::unsetenv("TEDSMITH_SIMNET");
        ::execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    static const std::regex line(R"(Template library: (\d+) templates parsed in ([0-9.]+) ms)");
    std::string text;
    std::optional<Run> run;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buf, static_cast<std::size_t>(n));
        std::smatch m;
        if (std::regex_search(text, m, line)) {
            run = Run{std::stod(m[2].str()), std::stoi(m[1].str()), 0};
            break;
        }
    }
    ::kill(pid, SIGKILL);
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    if (run)
        run->peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    else
        std::fprintf(stderr, "%s: no parse line in its trace:\n%s\n", binary.c_str(), text.c_str());
    return run;
}

// A program folder with its own library: the binary, the lists and one description file.
fs::path programWith(const fs::path& root, const std::string& name, const std::string& library)
{
    const fs::path dir = root / name;
    fs::create_directories(dir);
    std::error_code ec;
    fs::create_hard_link(TS_BINARY, dir / "tedsmith", ec);
    if (ec)
        fs::copy_file(TS_BINARY, dir / "tedsmith");
    for (const char* f : {"TagList.xdl", "ManufacturerList.xdl"})
        fs::copy_file(fs::path(TS_DATA_DIR) / f, dir / f);
    core::writeFileAtomic(dir / (name + ".tdl"), library);
    return dir / "tedsmith";
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Prints the medians; false when a run failed or the target is missed.
bool measure(const char* what, const fs::path& binary, const fs::path& profile, double limit)
{
    std::vector<double> ms, mib;
    int templates = 0;
    for (int i = 0; i < kRuns; ++i) {
        const auto run = startOnce(binary, profile);
        if (!run)
            return false;
        ms.push_back(run->parseMs);
        mib.push_back(run->peakMiB);
        templates = run->templates;
    }
    const double med = median(ms);
    const bool ok = limit <= 0 || med < limit;
    std::printf("%-40s %5d templates  min %6.1f ms  median %6.1f ms  peak memory %6.1f MiB  (%d starts", what, templates,
                *std::min_element(ms.begin(), ms.end()), med, median(mib), kRuns);
    if (limit > 0)
        std::printf(", target < %.0f ms) %s\n", limit, ok ? "ok" : "TOO SLOW");
    else
        std::printf(", for comparison)\n");
    return ok;
}

} // namespace

int main()
{
    const fs::path root = fs::temp_directory_path() / ("tedsmith-bench-startup-" + std::to_string(::getpid()));
    fs::create_directories(root / "profile");
    const fs::path synthetic = programWith(root, "Synthetic", bench_support::syntheticLibrary(1000));
    const fs::path small = programWith(root, "Small", bench_support::syntheticLibrary(1));
    bool ok = true;
    ok = measure("start-up parse, shipped library", TS_BINARY, root / "profile", 100) && ok;
    ok = measure("start-up parse, 1000 synthetic templates", synthetic, root / "profile", 100) && ok;
    ok = measure("start-up parse, one template", small, root / "profile", 0) && ok;
    std::error_code ec;
    fs::remove_all(root, ec);
    return ok ? 0 : 1;
}
