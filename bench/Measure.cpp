#include "Measure.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace skarvel::bench {

namespace {

double cpuOf(const rusage& usage)
{
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

double ratioOf(const Measure& ours, const Measure& theirs)
{
    if (ours.rounds.empty() || ours.rounds.size() != theirs.rounds.size())
        return ours.seconds / theirs.seconds;
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.rounds.size(); ++i)
        ratios.push_back(ours.rounds[i] / theirs.rounds[i]);
    std::ranges::sort(ratios);
    const std::size_t middle = ratios.size() / 2;
    return ratios.size() % 2 ? ratios[middle] : (ratios[middle - 1] + ratios[middle]) / 2;
}

Measure shared(const Measure& m, double share, const Measure& other, double otherShare)
{
    Measure result = m;
    result.seconds = m.seconds * share + other.seconds * otherShare;
    result.cpuSeconds = m.cpuSeconds * share + other.cpuSeconds * otherShare;
    for (std::size_t i = 0; i < result.rounds.size(); ++i)
        result.rounds[i] = m.rounds[i] * share + (i < other.rounds.size() ? other.rounds[i] * otherShare : 0);
    return result;
}

Measure inChild(const std::function<bool()>& work)
{
    int ends[2];
    if (pipe(ends) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const double start = now();
        const bool ok = work();
        const double report[2] = {now() - start, ok ? 1.0 : 0.0};
        _exit(write(ends[1], report, sizeof report) == sizeof report ? 0 : 1);
    }
    close(ends[1]);
    double report[2] = {0, 0};
    const bool got = read(ends[0], report, sizeof report) == sizeof report;
    close(ends[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return {report[0], usage.ru_maxrss / 1024.0, got && report[1] != 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0,
            cpuOf(usage)};
}

Measure program(const std::vector<std::string>& argv, std::string* output)
{
    int ends[2] = {-1, -1};
    if (output && pipe(ends) != 0)
        return {};
    const double start = now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(output ? ends[1] : null, 1);
        dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    if (output) {
        close(ends[1]);
        output->clear();
        char buffer[4096];
        for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;)
            output->append(buffer, std::size_t(got));
        close(ends[0]);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const bool exited = WIFEXITED(status);
    return {now() - start, usage.ru_maxrss / 1024.0, exited && WEXITSTATUS(status) == 0, cpuOf(usage), {},
            exited ? WEXITSTATUS(status) : -1};
}

Measure exportProgram(const std::string& cli, const std::vector<std::string>& options, const std::string& file,
                      const std::string& folder)
{
    std::vector<std::string> command{cli, "export"};
    command.insert(command.end(), options.begin(), options.end());
    command.push_back(file);
    command.push_back(folder);
    return program(command);
}

std::vector<Measure> bestInTurns(int repeat, const std::vector<Run>& runs)
{
    std::vector<Measure> results(runs.size());
    for (Measure& result : results) {
        result.seconds = 1e30;
        result.cpuSeconds = 1e30;
        result.ok = true;
    }
    for (int i = 0; i < repeat; ++i) {
        for (std::size_t k = 0; k < runs.size(); ++k) {
            if (runs[k].prepare)
                runs[k].prepare();
            const Measure m = runs[k].run();
            Measure& result = results[k];
            result.ok = result.ok && m.ok;
            result.exitCode = m.exitCode;
            result.seconds = std::min(result.seconds, m.seconds);
            result.cpuSeconds = std::min(result.cpuSeconds, m.cpuSeconds);
            result.peakMiB = std::max(result.peakMiB, m.peakMiB);
            result.rounds.push_back(m.seconds);
        }
    }
    return results;
}

} // namespace skarvel::bench
