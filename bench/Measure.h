#pragma once

#include <functional>
#include <string>
#include <vector>

namespace skarvel::bench {

// One timed run in a process of its own, or the best of several.
struct Measure {
    double seconds = 0;
    double peakMiB = 0;
    bool ok = false;
    double cpuSeconds = 0; // user + system, all threads
    std::vector<double> rounds = {}; // the wall time of every run, when taken in turns with others
    int exitCode = -1;               // a program's, when it ran to its end
};

// How many times as long `ours` took as `theirs`: the median over the rounds in which both ran,
// each against the other run of its own round, or else the ratio of the best runs.
double ratioOf(const Measure& ours, const Measure& theirs);

// The time `share` of a measurement would take, plus `otherShare` of another, round by round.
Measure shared(const Measure& m, double share, const Measure& other = {}, double otherShare = 0);

// Runs `work` in a child process: its own time, and the child's peak resident memory.
Measure inChild(const std::function<bool()>& work);

// Runs a program: wall time from start to end, and its peak memory. Its standard output goes
// into `output` when given, else it is thrown away with its errors.
Measure program(const std::vector<std::string>& argv, std::string* output = nullptr);

// Runs `cli export OPTIONS FILE FOLDER` as program() does.
Measure exportProgram(const std::string& cli, const std::vector<std::string>& options, const std::string& file,
                      const std::string& folder);

// One measurement of the table: `prepare` runs before each run, untimed.
struct Run {
    std::function<Measure()> run;
    std::function<void()> prepare = {};
};

// Every run `repeat` times, taking turns, so that a shared host whose speed drifts slows each of
// them alike; then the best of each (the least disturbed run tells the cost), with the largest
// peak memory seen.
std::vector<Measure> bestInTurns(int repeat, const std::vector<Run>& runs);

} // namespace skarvel::bench
