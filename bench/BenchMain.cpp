// Entry point of the benchmark program: a Qt application object for the
// benchmarks that need one (painting needs a GUI application, on the offscreen
// platform unless another is asked for), then Google Benchmark's own runner.
#include <QApplication>
#include <QtGlobal>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
