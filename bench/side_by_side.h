// Operations timed in turn inside one benchmark loop, so that each sees the same state of the
// machine, and reported as counters: each one's time per unit of work and the ratio of two of
// them next to its target. Times are the thread's processor time, not the wall clock: the
// machine is shared, and time spent waiting for a processor belongs to neither operation.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <string>

#include <benchmark/benchmark.h>

namespace bench {

// The thread's processor time; the wall clock, for work spread over threads of its own; or
// the processor time of all the process's threads, which is that work's sum.
enum class Clock { kThread, kWall, kProcess };

template <std::size_t N, Clock kClock = Clock::kThread>
class SideBySide {
public:
    // Runs the operation and adds its time to slot `which`.
    template <typename Operation>
    void Time(std::size_t which, Operation&& operation) {
        double const start = Seconds();
        operation();
        fSeconds[which] += Seconds() - start;
    }

    // Nanoseconds per unit of slot `which` over the iterations run.
    double Nanoseconds(benchmark::State const& state, std::size_t which, double units) const {
        auto const runs = static_cast<double>(state.iterations());
        return runs == 0 ? 0.0 : fSeconds[which] * 1e9 / runs / units;
    }

    // Sets "<name>_ns" to the nanoseconds per unit of a slot.
    void ReportTime(benchmark::State& state, std::size_t which, std::string const& name,
                    double units) const {
        state.counters[name + "_ns"] = Nanoseconds(state, which, units);
    }

    // Sets "ratio" to slot a over slot b (each per its units) and "target" beside it.
    void ReportRatio(benchmark::State& state, std::size_t a, double unitsA, std::size_t b,
                     double unitsB, double target) const {
        double const below = Nanoseconds(state, b, unitsB);
        state.counters["ratio"] = below == 0 ? 0.0 : Nanoseconds(state, a, unitsA) / below;
        state.counters["target"] = target;
    }

private:
    static double Seconds() {
        if constexpr (kClock == Clock::kWall) {
            return std::chrono::duration<double>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        } else if constexpr (kClock == Clock::kProcess) {
            return ClockSeconds(CLOCK_PROCESS_CPUTIME_ID);
        } else {
            return ThreadSeconds();
        }
    }

    static double ThreadSeconds() { return ClockSeconds(CLOCK_THREAD_CPUTIME_ID); }

    static double ClockSeconds(clockid_t clock) {
        timespec now{};
        clock_gettime(clock, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }

    std::array<double, N> fSeconds{};
};

} // namespace bench
