// Page decoding and document opening, each next to what plain libtiff does with the
// same file. Run: bench_imaging (QT_QPA_PLATFORM=offscreen for headless machines).

#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <tiffio.h>

#include <vector>

#include "imaging/document.h"
#include "imaging/tiffstructure.h"
#include "imaging/tiffwriter.h"

namespace {

QTemporaryDir* g_dir = nullptr;
QString g_a4;         // 2480 x 3508, 300 dpi, G4, dense text
QString g_manyPages;  // 1000 pages of the same

QImage denseTextPage() {
    QImage rgb(2480, 3508, QImage::Format_RGB32);
    rgb.fill(Qt::white);
    QPainter p(&rgb);
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPixelSize(42);
    p.setFont(f);
    p.setPen(Qt::black);
    for (int line = 0; line < 60; ++line)
        p.drawText(
            150, 200 + line * 52,
            QStringLiteral("Line %1: the quick brown fox jumps over the lazy dog, 0123456789.")
                .arg(line + 1));
    p.end();
    QImage mono = rgb.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    mono.setDotsPerMeterX(11811);
    mono.setDotsPerMeterY(11811);
    return mono;
}

void makeFiles() {
    g_dir = new QTemporaryDir;
    g_a4 = g_dir->filePath(QStringLiteral("a4.tif"));
    ktdv::imaging::writeTiffImage(g_a4, denseTextPage());
    QFile f(g_a4);
    f.open(QIODevice::ReadOnly);
    ktdv::imaging::tiff::File file;
    ktdv::imaging::tiff::read(f.readAll(), &file, nullptr);
    const auto page = file.pages.front();
    file.pages.assign(1000, page);
    g_manyPages = g_dir->filePath(QStringLiteral("pages1000.tif"));
    QFile out(g_manyPages);
    out.open(QIODevice::WriteOnly);
    out.write(ktdv::imaging::tiff::write(file));
}

void BM_DecodeA4G4_Document(benchmark::State& state) {
    const auto doc = ktdv::imaging::Document::open(g_a4);
    for (auto _ : state)
        benchmark::DoNotOptimize(doc->decodePage(0));
}

void BM_DecodeA4G4_PlainLibtiff(benchmark::State& state) {
    for (auto _ : state) {
        TIFF* tif = TIFFOpen(QFile::encodeName(g_a4).constData(), "r");
        std::vector<uchar> buffer(size_t(TIFFStripSize(tif)));
        for (quint32 s = 0; s < TIFFNumberOfStrips(tif); ++s)
            TIFFReadEncodedStrip(tif, s, buffer.data(), -1);
        benchmark::DoNotOptimize(buffer.data());
        TIFFClose(tif);
    }
}

void BM_Open1000Pages_Document(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ktdv::imaging::Document::open(g_manyPages));
}

void BM_Open1000Pages_PlainLibtiff(benchmark::State& state) {
    for (auto _ : state) {
        TIFF* tif = TIFFOpen(QFile::encodeName(g_manyPages).constData(), "r");
        benchmark::DoNotOptimize(TIFFNumberOfDirectories(tif));
        TIFFClose(tif);
    }
}

BENCHMARK(BM_DecodeA4G4_Document)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeA4G4_PlainLibtiff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open1000Pages_Document)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open1000Pages_PlainLibtiff)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    makeFiles();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_dir;
    return 0;
}
