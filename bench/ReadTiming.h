#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

// Inputs and timing of file reads, shared by the read benchmarks.

// Writes a generated input; false when it could not be written whole.
inline bool write_file(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline double user_time_ms()
{
    rusage r;
    getrusage(RUSAGE_SELF, &r);
    return double(r.ru_utime.tv_sec) * 1e3 + double(r.ru_utime.tv_usec) / 1e3;
}

// Times `load`, which returns what it read (null on failure), freed outside
// the timing. User CPU time is counted apart: the kernel's share (mostly
// page faults for fresh arrays) grows with how busy the machine is, the
// parsing does not.
template <typename Load>
void time_read(benchmark::State& state, std::size_t bytes, Load load)
{
    double user_ms = 0.0;
    for (auto _ : state) {
        const double before = user_time_ms();
        auto held = load();
        user_ms += user_time_ms() - before;
        if (!held) state.SkipWithError("read failed");
        state.PauseTiming();
        held.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes));
    state.counters["user_ms"] = user_ms / double(state.iterations());
}

// Records each run's mean real and CPU time in milliseconds for the
// closing summary.
class Recorder : public benchmark::ConsoleReporter {
public:
    explicit Recorder(OutputOptions options) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.iterations > 0) {
                ms[r.run_name.function_name] = r.real_accumulated_time * 1e3 / double(r.iterations);
                cpu_ms[r.run_name.function_name] = r.cpu_accumulated_time * 1e3 / double(r.iterations);
                const auto user = r.counters.find("user_ms");
                if (user != r.counters.end()) user_ms[r.run_name.function_name] = user->second.value;
            }
    }
    std::map<std::string, double> ms, cpu_ms, user_ms;
};
