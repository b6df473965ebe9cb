// Thumbnail pane timings on a generated 1000-page A4 300 dpi G4 text document, each set against
// a reference measured in the same run:
//   first screen   time from loadDocument until the thumbnails in view are drawn
//   all pages      every thumbnail of the 20 ranges made, vs 1000 x one plain libtiff page
//                  decode / cores
//   UI stall       longest gap of a 5 ms timer on the UI thread while the pages fill in
//   delete page    imaging::deletePage vs tiffcp copying the whole file
// Ratios are printed at the end.

#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

#include "imaging/tiffpageedit.h"
#include "imaging/tiffwriter.h"
#include "platform/promptservice.h"
#include "support/fixtures.h"
#include "widgets/thumbnails/thumbnailview.h"

using namespace ktdv;

namespace {

constexpr int kPages = 1000;
constexpr int kDistinctPages = 20;
constexpr int kTimeoutMs = 600000;

class SilentPrompts : public PromptService {
public:
    void message(QWidget*, const QString&) override {}
    bool question(QWidget*, const QString&, const QString&, bool) override { return false; }
    FileDialogResult fileDialog(QWidget*, const FileDialogRequest&) override { return {}; }
    void popupMenu(QMenu*, const QPoint&) override {}
    int execDialog(QDialog*) override { return 0; }
};

struct Figures {
    double firstScreenMs = 0;
    double allPagesMs = 0;
    double referenceDecodeMs = 0;  // one page, plain libtiff
    double longestStallMs = 0;
    double deletePageMs = 0;
    double tiffcpMs = 0;
} g_figures;

QTemporaryDir& workDir() {
    static QTemporaryDir dir;
    return dir;
}

// 1000 pages of text, like a scanned letter, built from 20 rendered ones by copying their
// compressed strips, so making the document takes seconds, not minutes.
QString thousandPageDocument() {
    static QString path;
    if (!path.isEmpty()) {
        return path;
    }
    std::vector<TIFF*> seeds;
    for (int i = 0; i < kDistinctPages; ++i) {
        QStringList lines;
        for (int line = 0; line < 50; ++line) {
            lines << QStringLiteral(
                         "Page %1, line %2: the quick brown fox jumps over the lazy "
                         "dog 0123456789")
                         .arg(i + 1)
                         .arg(line + 1);
        }
        const QImage page = test::renderTextPage(lines, QSize(2480, 3508), 300, 11);
        const QString seed = workDir().filePath(QStringLiteral("seed%1.tif").arg(i));
        if (!imaging::writeTiffImage(seed, page).ok) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(seed));
            std::exit(1);
        }
        seeds.push_back(TIFFOpen(QFile::encodeName(seed).constData(), "r"));
    }
    const QString target = workDir().filePath("thousand.tif");
    TIFF* out = TIFFOpen(QFile::encodeName(target).constData(), "w");
    if (!out) {
        std::fprintf(stderr, "cannot make the test document\n");
        std::exit(1);
    }
    std::vector<unsigned char> buffer;
    for (int page = 0; page < kPages; ++page) {
        TIFF* in = seeds[size_t(page % kDistinctPages)];
        uint32_t width = 0, height = 0, rowsPerStrip = 0;
        uint16_t bits = 1, samples = 1, photometric = 0, unit = RESUNIT_INCH;
        float xres = 300, yres = 300;
        TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(in, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetFieldDefaulted(in, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
        TIFFGetField(in, TIFFTAG_XRESOLUTION, &xres);
        TIFFGetField(in, TIFFTAG_YRESOLUTION, &yres);
        TIFFGetFieldDefaulted(in, TIFFTAG_RESOLUTIONUNIT, &unit);
        TIFFSetField(out, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(out, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(out, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, bits);
        TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, samples);
        TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(out, TIFFTAG_PHOTOMETRIC, photometric);
        TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
        TIFFSetField(out, TIFFTAG_XRESOLUTION, xres);
        TIFFSetField(out, TIFFTAG_YRESOLUTION, yres);
        TIFFSetField(out, TIFFTAG_RESOLUTIONUNIT, unit);
        TIFFSetField(out, TIFFTAG_PAGENUMBER, uint16_t(page), uint16_t(kPages));
        uint64_t* counts = nullptr;
        TIFFGetField(in, TIFFTAG_STRIPBYTECOUNTS, &counts);
        for (tstrip_t strip = 0; strip < TIFFNumberOfStrips(in); ++strip) {
            buffer.resize(counts[strip]);
            const tmsize_t n = TIFFReadRawStrip(in, strip, buffer.data(), tmsize_t(buffer.size()));
            TIFFWriteRawStrip(out, strip, buffer.data(), n);
        }
        TIFFWriteDirectory(out);
    }
    for (TIFF* seed : seeds) {
        TIFFClose(seed);
    }
    TIFFClose(out);
    path = target;
    return path;
}

// Runs the event loop until done() holds, tracking the longest gap of a 5 ms timer.
template <typename Done>
double runUntil(Done done, double* longestGapMs) {
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QEventLoop loop;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - lastTick);
        lastTick = now;
        if (done() || clock.elapsed() > kTimeoutMs) {
            loop.quit();
        }
    });
    ticker.start();
    if (!done()) {
        loop.exec();
    }
    if (longestGapMs) {
        *longestGapMs = std::max(*longestGapMs, longest / 1e6);
    }
    return clock.nsecsElapsed() / 1e6;
}

void openLikeTheViewer(ThumbnailView& view, const QString& path) {
    view.setFirstPage(0);
    view.clearThumbnails();
    view.redraw();
    view.loadDocument(path);
}

void BM_FirstScreen(benchmark::State& state) {
    const QString path = thousandPageDocument();
    double total = 0;
    for (auto _ : state) {
        ThumbnailView view(std::make_shared<SilentPrompts>());
        view.resize(180, 800);
        view.show();
        QElapsedTimer clock;
        clock.start();
        openLikeTheViewer(view, path);
        runUntil([&] { return view.thumbnails().readyIn(view.viewport().visibleThumbnails()); },
                 nullptr);
        const double ms = clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000.0);
        total += ms;
    }
    g_figures.firstScreenMs = total / double(state.iterations());
    state.counters["ms"] = g_figures.firstScreenMs;
}
BENCHMARK(BM_FirstScreen)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_AllPages(benchmark::State& state) {
    const QString path = thousandPageDocument();
    for (auto _ : state) {
        ThumbnailView view(std::make_shared<SilentPrompts>());
        view.resize(180, 800);
        view.show();
        double stall = 0;
        QElapsedTimer clock;
        clock.start();
        openLikeTheViewer(view, path);
        int made = 0;
        for (int range = 0; range < kPages / ThumbnailView::kRangeSize; ++range) {
            if (range > 0) {  // the viewer's range change
                view.setFirstPage(range * ThumbnailView::kRangeSize);
                view.clearThumbnails();
                view.reloadThumbnails();
                view.redraw();
                view.setScrollPosition(1);
                view.setViewHeight(800);
                view.arrange(true);
            }
            runUntil([&] { return view.thumbnails().allReady(); }, &stall);
            made += view.thumbnails().count();
        }
        const double ms = clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000.0);
        g_figures.allPagesMs = ms;
        g_figures.longestStallMs = stall;
        if (made != kPages) {
            state.SkipWithError("not every thumbnail was made");
        }
    }
    state.counters["ms"] = g_figures.allPagesMs;
    state.counters["stall_ms"] = g_figures.longestStallMs;
}
BENCHMARK(BM_AllPages)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// One page decoded with plain libtiff into a buffer, the least any viewer has to do.
void BM_ReferenceDecode(benchmark::State& state) {
    const QString path = thousandPageDocument();
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    std::vector<unsigned char> buffer(size_t(TIFFStripSize(tif)));
    int page = 0;
    QElapsedTimer clock;
    double total = 0;
    for (auto _ : state) {
        clock.start();
        TIFFSetDirectory(tif, tdir_t(page++ % kDistinctPages));
        for (tstrip_t strip = 0; strip < TIFFNumberOfStrips(tif); ++strip) {
            TIFFReadEncodedStrip(tif, strip, buffer.data(), tmsize_t(buffer.size()));
        }
        benchmark::DoNotOptimize(buffer.data());
        const double ms = clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000.0);
        total += ms;
    }
    TIFFClose(tif);
    g_figures.referenceDecodeMs = total / double(state.iterations());
    state.counters["ms"] = g_figures.referenceDecodeMs;
}
BENCHMARK(BM_ReferenceDecode)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

double runTiffcp(const QString& from, const QString& to) {
    QElapsedTimer clock;
    clock.start();
    QProcess tiffcp;
    tiffcp.start(QStringLiteral("tiffcp"), {from, to});
    if (!tiffcp.waitForFinished(kTimeoutMs) || tiffcp.exitCode() != 0) {
        return -1;
    }
    return clock.nsecsElapsed() / 1e6;
}

void BM_DeletePage(benchmark::State& state) {
    const QString path = thousandPageDocument();
    double deleteTotal = 0;
    double copyTotal = 0;
    for (auto _ : state) {
        const QString copy = workDir().filePath("delete.tif");
        QFile::remove(copy);
        QFile::copy(path, copy);
        QElapsedTimer clock;
        clock.start();
        const imaging::WriteResult result = imaging::deletePage(copy, kPages / 2);
        const double ms = clock.nsecsElapsed() / 1e6;
        if (!result.ok) {
            state.SkipWithError(qPrintable(result.error));
            break;
        }
        state.SetIterationTime(ms / 1000.0);
        deleteTotal += ms;
        const QString copied = workDir().filePath("tiffcp.tif");
        QFile::remove(copied);
        const double tiffcpMs = runTiffcp(path, copied);
        if (tiffcpMs < 0) {
            state.SkipWithError("tiffcp failed");
            break;
        }
        copyTotal += tiffcpMs;
    }
    if (state.iterations() > 0) {
        g_figures.deletePageMs = deleteTotal / double(state.iterations());
        g_figures.tiffcpMs = copyTotal / double(state.iterations());
    }
    state.counters["ms"] = g_figures.deletePageMs;
    state.counters["tiffcp_ms"] = g_figures.tiffcpMs;
}
BENCHMARK(BM_DeletePage)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void printRatios() {
    const Figures& f = g_figures;
    const int cores = QThread::idealThreadCount();
    const double ideal = kPages * f.referenceDecodeMs / cores;
    std::printf("\nThumbnail pane, %d-page A4 300 dpi G4 document, %d cores\n", kPages, cores);
    std::printf("  first screen of thumbnails      %9.1f ms\n", f.firstScreenMs);
    std::printf("  all %d thumbnails (20 ranges) %9.1f ms\n", kPages, f.allPagesMs);
    std::printf("  reference: %d x libtiff decode %.2f ms / %d cores = %9.1f ms  ratio %.2f\n",
                kPages, f.referenceDecodeMs, cores, ideal, ideal > 0 ? f.allPagesMs / ideal : 0);
    std::printf("  longest UI stall                %9.1f ms\n", f.longestStallMs);
    std::printf("  delete one page                 %9.1f ms\n", f.deletePageMs);
    std::printf("  tiffcp copying the whole file   %9.1f ms  ratio %.2f\n", f.tiffcpMs,
                f.tiffcpMs > 0 ? f.deletePageMs / f.tiffcpMs : 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printRatios();
    return 0;
}
