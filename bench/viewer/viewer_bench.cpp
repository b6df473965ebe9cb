// The viewer on a 1000-page A4 300 dpi G4 fax, against libtiff decoding one page:
// opening and showing the first page at fit width, the next page, paging through the
// whole document, and a resize. Prints each time and its ratio to the reference.
//
//   viewer_bench [--pages N] [--folder DIR]      (default 1000 pages in /tmp/ktdv-bench)
//   viewer_bench --memory-probe N                (peak RSS after paging N pages and showing
//                                                 the thumbnails of every page range)
//   viewer_bench --only-benchmarks               (no paging run, no memory probes: profiling)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTabBar>

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "common/faxdocument.h"
#include "imaging/pagecache.h"
#include "interfaces/componentfactory.h"
#include "interfaces/imageeditor.h"
#include "interfaces/progressbar.h"
#include "interfaces/recognitionengine.h"
#include "interfaces/thumbnailpane.h"
#include "platform/settingsstore.h"
#include "viewer/core/defaultfactory.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "widgets/thumbnails/thumbnailview.h"

namespace {

using namespace ktdv;

// The real components with settings kept in memory (the user's settings stay untouched).
class BenchFactory : public ComponentFactory {
public:
    explicit BenchFactory(bool thumbnails = false)
        : m_real(createDefaultFactory()), m_settings(createMemorySettingsStore()) {
        m_settings->setValue(QStringLiteral("gStepInOut"), QStringLiteral("12"));  // fit width
        m_settings->setValue(QStringLiteral("bThumbs"),
                             thumbnails ? QStringLiteral("True") : QStringLiteral("False"));
    }
    std::unique_ptr<ImageEditor> createImageEditor(QWidget* p) override {
        return m_real->createImageEditor(p);
    }
    std::unique_ptr<ThumbnailPane> createThumbnailPane(QWidget* p) override {
        return m_real->createThumbnailPane(p);
    }
    std::unique_ptr<ProgressBar> createProgressBar(QWidget* p) override {
        return m_real->createProgressBar(p);
    }
    std::unique_ptr<RecognitionEngine> createRecognitionEngine() override {
        return m_real->createRecognitionEngine();
    }
    std::shared_ptr<PromptService> promptService() override { return m_real->promptService(); }
    std::shared_ptr<SettingsStore> settingsStore() override { return m_settings; }
    std::shared_ptr<MachineValues> machineValues() override { return m_real->machineValues(); }
    std::shared_ptr<PrinterStatus> printerStatus() override { return m_real->printerStatus(); }

private:
    std::shared_ptr<ComponentFactory> m_real;
    std::shared_ptr<SettingsStore> m_settings;
};

QString g_path;
ViewerControl* g_viewer = nullptr;

void showNow() {
    g_viewer->repaint();
    QCoreApplication::processEvents();
}

void BM_ReferenceDecode(benchmark::State& state) {
    for (auto _ : state) {
        const double s = bench::referenceDecodeSeconds(g_path, 0);
        state.SetIterationTime(s);
    }
}

void BM_OpenFirstPage(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        g_viewer->CloseImage();
        imaging::PageCache::shared().clear();
        state.ResumeTiming();
        g_viewer->OpenImage(g_path);
        showNow();
    }
}

void BM_NextPage(benchmark::State& state) {
    g_viewer->OpenImage(g_path);
    for (auto _ : state) {
        if (g_viewer->widgets().editor->document().pageIndex() + 1 >=
            g_viewer->widgets().editor->document().pageCount()) {
            state.PauseTiming();
            g_viewer->MainToolbar_ButtonClick(QStringLiteral("FirstPage"));
            state.ResumeTiming();
        }
        g_viewer->MainToolbar_ButtonClick(QStringLiteral("NextPage"));
        showNow();
    }
}

void BM_Resize(benchmark::State& state) {
    g_viewer->OpenImage(g_path);
    int step = 0;
    for (auto _ : state) {
        g_viewer->resize(1000 + (step++ % 2) * 20, 800);
        showNow();
    }
}

// Paging through every page once; reported per page.
double pageThroughAll() {
    g_viewer->OpenImage(g_path);
    const int count = g_viewer->widgets().editor->document().pageCount();
    QElapsedTimer t;
    t.start();
    for (int i = 1; i < count; ++i) {
        g_viewer->MainToolbar_ButtonClick(QStringLiteral("NextPage"));
        showNow();
        if (g_viewer->widgets().editor->document().pageIndex() != i) {
            std::fprintf(stderr, "stale page: expected %d, shown %d\n", i,
                         g_viewer->widgets().editor->document().pageIndex());
            return -1;
        }
    }
    return double(t.nsecsElapsed()) / 1e9 / std::max(1, count - 1);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration)
                seconds[r.run_name.function_name] =
                    r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
    }
    std::map<std::string, double> seconds;
};

int memoryProbe(int pages, const QString& folder) {
    g_path = bench::faxDocument(folder, pages);
    ViewerControl viewer(std::make_shared<BenchFactory>(true));
    g_viewer = &viewer;
    viewer.resize(1000, 800);
    viewer.show();
    viewer.OpenImage(g_path);
    for (int i = 1; i < std::min(pages, 30); ++i) {
        viewer.MainToolbar_ButtonClick(QStringLiteral("LastPage"));
        viewer.MainToolbar_ButtonClick(QStringLiteral("FirstPage"));
    }
    // Every page range in turn, as a user clicking its tab: the range's thumbnails are made
    // and its first page is shown.
    const ViewerWidgets& w = viewer.widgets();
    const auto& thumbs = static_cast<const ThumbnailView&>(*w.thumbs).thumbnails();
    for (int tab = 0; tab < w.tabPages->count(); ++tab) {
        w.tabPages->setCurrentIndex(tab);
        QElapsedTimer waited;
        waited.start();
        while (!thumbs.allReady() && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    std::printf("%ld\n", bench::peakRssKiB());
    return 0;
}

long probe(const QString& self, int pages, const QString& folder) {
    QProcess p;
    p.start(self, {QStringLiteral("--memory-probe"), QString::number(pages),
                   QStringLiteral("--folder"), folder});
    p.waitForFinished(600000);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed().toLong();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int pages = 1000;
    int probePages = 0;
    bool onlyBenchmarks = false;
    QString folder = QDir::tempPath() + QStringLiteral("/ktdv-bench");
    const QStringList args = app.arguments();
    onlyBenchmarks = args.contains(QStringLiteral("--only-benchmarks"));
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--pages"))
            pages = args[i + 1].toInt();
        if (args[i] == QLatin1String("--folder"))
            folder = args[i + 1];
        if (args[i] == QLatin1String("--memory-probe"))
            probePages = args[i + 1].toInt();
    }
    QDir().mkpath(folder);
    if (probePages > 0)
        return memoryProbe(probePages, folder);

    std::fprintf(stderr, "generating %d-page fax in %s ...\n", pages, qPrintable(folder));
    g_path = bench::faxDocument(folder, pages);
    // The viewer inside a host window, as hosts place it: a resize of the viewer is what a
    // host's layout or splitter does, and the window itself keeps its size.
    QWidget host;
    host.resize(1100, 900);
    ViewerControl viewer(std::make_shared<BenchFactory>(), &host);
    g_viewer = &viewer;
    viewer.resize(1000, 800);
    host.show();
    QCoreApplication::processEvents();

    benchmark::RegisterBenchmark("reference/libtiff_decode_page", BM_ReferenceDecode)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("viewer/open_and_show_first_page", BM_OpenFirstPage)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("viewer/next_page", BM_NextPage)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("viewer/resize", BM_Resize)->Unit(benchmark::kMillisecond);
    // Google Benchmark's own flags (--benchmark_filter=..., --benchmark_min_time=...) pass through.
    std::vector<char*> bargv{argv[0]};
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]).starts_with("--benchmark"))
            bargv.push_back(argv[i]);
    int bargc = int(bargv.size());
    benchmark::Initialize(&bargc, bargv.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    if (onlyBenchmarks)
        return 0;
    const double perPage = pageThroughAll();
    const double ref = reporter.seconds["reference/libtiff_decode_page"];
    auto ratio = [&](double s) { return ref > 0 ? s / ref : 0.0; };
    std::printf("\n%-40s %10s %8s %8s\n", "measure", "ms", "ratio", "target");
    std::printf("%-40s %10.2f %8.2f %8s\n", "libtiff decode of one page (reference)", ref * 1e3,
                1.0, "");
    const struct {
        const char* name;
        double s;
        const char* target;
    } rows[] = {
        {"open + first page shown (fit width)", reporter.seconds["viewer/open_and_show_first_page"],
         "<= 3"},
        {"next page shown", reporter.seconds["viewer/next_page"], "<= 3"},
        {"paging through every page, per page", perPage, "<= 3"},
        {"resize (no new decode)", reporter.seconds["viewer/resize"], "<= 0.5"},
    };
    for (const auto& r : rows)
        std::printf("%-40s %10.2f %8.2f %8s\n", r.name, r.s * 1e3, ratio(r.s), r.target);

    viewer.CloseImage();
    const long small = probe(app.applicationFilePath(), 10, folder);
    const long large = probe(app.applicationFilePath(), pages, folder);
    std::printf("%-40s %10ld KiB (10 pages: %ld KiB, growth %.1f KiB per page)\n", "peak memory",
                large, small, pages > 10 ? double(large - small) / (pages - 10) : 0.0);
    return 0;
}
