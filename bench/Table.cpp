#include "Table.h"

#include <cstdio>

namespace skarvel::bench {

namespace {

// Skarvel's programs exit with 2 for a file they cannot open.
const char* failure(const Measure& m)
{
    return m.ok ? "" : m.exitCode == 2 ? " (refused)" : " (FAILED)";
}

} // namespace

void printRows(const std::vector<Row>& rows, double harnessMiB)
{
    std::printf("\n| GIF | operation | Skarvel | reference | ratio | goal | CPU Skarvel / reference | files alone | "
                "Skarvel peak | reference peak | peak goal |\n");
    std::printf("|---|---|---:|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& row : rows) {
        const double ratio = ratioOf(row.ours, row.theirs);
        const bool timeMet = row.ours.ok && ratio <= row.timeGoal;
        const std::string timeGoal = row.timeGoal > 0 ? std::to_string(row.timeGoal).substr(0, 4) + (timeMet ? " met" : " MISSED") : "-";
        const bool memoryMet = row.ours.ok && row.ours.peakMiB <= row.memoryGoal;
        const std::string memoryGoal = row.memoryGoal > 0 ? std::to_string(int(row.memoryGoal)) + " MiB" + (memoryMet ? " met" : " MISSED") : "-";
        const std::string files = row.floor.ok ? std::to_string(int(row.floor.seconds * 1000 + 0.5)) + " ms" : "-";
        if (row.reference.empty()) { // measured for its memory alone
            std::printf("| %s | %s | %.0f ms%s | - | - | - | %.0f ms | %s | %.0f MiB | - | %s |\n", row.gif.c_str(),
                        row.what.c_str(), row.ours.seconds * 1000, failure(row.ours), row.ours.cpuSeconds * 1000,
                        files.c_str(), row.ours.peakMiB, memoryGoal.c_str());
            continue;
        }
        std::printf("| %s | %s | %.0f ms%s | %s %.0f ms%s | %.2f | %s | %.0f / %.0f ms | %s | %.0f MiB | %.0f MiB | %s |\n",
                    row.gif.c_str(), row.what.c_str(), row.ours.seconds * 1000, failure(row.ours),
                    row.reference.c_str(), row.theirs.seconds * 1000, row.theirs.ok ? "" : " (FAILED)", ratio,
                    timeGoal.c_str(), row.ours.cpuSeconds * 1000, row.theirs.cpuSeconds * 1000, files.c_str(), row.ours.peakMiB,
                    row.theirs.peakMiB, memoryGoal.c_str());
    }
    std::printf("\nTimes are wall-clock, the best of the runs. The runs of a GIF take turns, round after round, and "
                "the ratio is the median over the rounds of the two runs of one round: a host whose speed drifts "
                "slows both alike. CPU is user + system time of all threads (the "
                "least of the runs). 'Files alone' is the time to create the same number of files of the same sizes "
                "with plain open, write and close: what any tool pays for the file system. Peak memory is each process's peak resident set; every figure includes the "
                "harness's own %.0f MiB (a process that does nothing); that of a program the harness starts (skarvel-frames, "
                "gifsicle, convert) is its own, but never below the harness's. 'Refused' is a file that Skarvel cannot open "
                "(exit code 2).\n",
                harnessMiB);
}

} // namespace skarvel::bench
