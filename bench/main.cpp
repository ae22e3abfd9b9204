// The benchmark main of Google Benchmark, and the application object that
// some benchmarks make put away before the process ends.
#include <benchmark/benchmark.h>

#include "BenchApplication.h"

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::closeApplication();
    return 0;
}
