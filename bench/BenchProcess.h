#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <vector>

extern char **environ;

// One run of a program in a process of its own, as its user starts it.
struct ProcessRun
{
    double seconds = 0;    // on the clock
    double cpuSeconds = 0; // user and system
    double peakMB = 0;     // resident
    bool ok = false;       // exit status 0
};

// Starts the program through GNU time, which reports its peak memory: a child
// started straight from this process would inherit this process's memory
// high-water mark and report it as its own. peakFile is scratch space.
inline ProcessRun runMeasured(const std::vector<QByteArray> &programAndArguments,
                              const QString &peakFile)
{
    std::vector<QByteArray> args{"/usr/bin/time", "-f", "%M", "-o", QFile::encodeName(peakFile)};
    args.insert(args.end(), programAndArguments.begin(), programAndArguments.end());
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    ProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // GNU time's own share is a millisecond or less.
    run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    QFile peak(peakFile);
    if (peak.open(QIODevice::ReadOnly))
        run.peakMB = double(peak.readAll().trimmed().toLong()) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// Keeps the largest peak of the runs in the counter peak_MB; a failed run ends
// the benchmark with the error failed.
inline bool countRun(benchmark::State &state, const ProcessRun &run, const char *failed)
{
    state.counters["peak_MB"] = std::max<double>(state.counters["peak_MB"].value, run.peakMB);
    if (!run.ok)
        state.SkipWithError(failed);
    return run.ok;
}

// A benchmark of a program's runs, iterations of them for each row of arguments.
inline benchmark::internal::Benchmark *programRuns(const char *name,
                                                   void (*run)(benchmark::State &), int iterations)
{
    return benchmark::RegisterBenchmark(name, run)
        ->Iterations(iterations)
        ->Unit(benchmark::kMillisecond);
}
