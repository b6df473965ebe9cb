// The viewer on a generated 200-page A4 PDF (text and shapes on every page): opening it and
// showing the first page at fit width, and the next page, each against pdftoppm drawing
// that page at the size shown (the process started, the document read, the page drawn).
// Medians of several runs; prints each time and the ratio.
//
//   pdf_bench [--pages N] [--folder DIR]

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QThreadPool>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "imaging/pagecache.h"
#include "interfaces/componentfactory.h"
#include "interfaces/progressbar.h"
#include "interfaces/recognitionengine.h"
#include "interfaces/thumbnailpane.h"
#include "platform/settingsstore.h"
#include "viewer/core/defaultfactory.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "widgets/pageview/pageview.h"

namespace {

using namespace ktdv;

constexpr int kRuns = 7;

// The real components with settings kept in memory, zoom at fit width, no thumbnails.
class BenchFactory : public ComponentFactory {
public:
    BenchFactory() : m_real(createDefaultFactory()), m_settings(createMemorySettingsStore()) {
        m_settings->setValue(QStringLiteral("gStepInOut"), QStringLiteral("12"));
        m_settings->setValue(QStringLiteral("bThumbs"), QStringLiteral("False"));
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
    std::unique_ptr<RecognitionEngine> createRecognitionEngine() override { return nullptr; }
    std::shared_ptr<PromptService> promptService() override { return m_real->promptService(); }
    std::shared_ptr<SettingsStore> settingsStore() override { return m_settings; }
    std::shared_ptr<MachineValues> machineValues() override { return m_real->machineValues(); }
    std::shared_ptr<PrinterStatus> printerStatus() override { return m_real->printerStatus(); }

private:
    std::shared_ptr<ComponentFactory> m_real;
    std::shared_ptr<SettingsStore> m_settings;
};

bool writeDocument(const QString& path, int pages) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter p(&writer);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        p.fillRect(QRectF(50, 40, 200, 30), QColor(30, 60, 160));
        for (int line = 0; line < 50; ++line)
            p.drawText(QPointF(50, 100 + line * 14),
                       QStringLiteral("Page %1, line %2: the quick brown fox jumps over the lazy "
                                      "dog, again and again.")
                           .arg(i + 1)
                           .arg(line + 1));
        p.drawEllipse(QRectF(300, 720, 200, 80));
    }
    return p.end();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void showNow(ViewerControl& viewer) {
    viewer.repaint();
    QCoreApplication::processEvents();
}

// pdftoppm drawing one page at width pixels into a file, in seconds.
double pdftoppmSeconds(const QString& pdf, int page, int width, const QString& out) {
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(
        QStringLiteral("pdftoppm"),
        {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
         QStringLiteral("-scale-to-x"), QString::number(width), QStringLiteral("-scale-to-y"),
         QStringLiteral("-1"), QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, out});
    p.waitForFinished(60000);
    return t.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int pages = 200;
    QString folder = QDir::temp().filePath(QStringLiteral("ktdv-pdf-bench"));
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--pages"))
            pages = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--folder"))
            folder = args[i + 1];
    }
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("document.pdf"));
    if (!writeDocument(path, pages)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    ViewerControl viewer(std::make_shared<BenchFactory>());
    viewer.resize(1000, 800);
    viewer.show();
    QCoreApplication::processEvents();
    viewer.setUserPermission(24);

    std::vector<double> open, next;
    int width = 0;
    for (int run = 0; run < kRuns; ++run) {
        viewer.CloseImage();
        imaging::PageCache::shared().clear();
        QElapsedTimer t;
        t.start();
        viewer.OpenImage(path);
        showNow(viewer);
        open.push_back(t.nsecsElapsed() / 1e9);
        auto* view = qobject_cast<PageView*>(viewer.widgets().editor->widget());
        width = view ? view->view().deviceSize().width() : 0;
        for (int step = 0; step < 3; ++step) {
            // The neighbours fetched after the last paint are ready, as after a user's pause.
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
            t.restart();
            viewer.MainToolbar_ButtonClick(QStringLiteral("NextPage"));
            showNow(viewer);
            next.push_back(t.nsecsElapsed() / 1e9);
        }
    }
    viewer.CloseImage();
    std::vector<double> refFirst, refNext;
    const QString out = QDir(folder).filePath(QStringLiteral("reference"));
    for (int run = 0; run < kRuns; ++run) {
        refFirst.push_back(pdftoppmSeconds(path, 1, width, out));
        refNext.push_back(pdftoppmSeconds(path, 2, width, out));
    }
    const double o = median(open), n = median(next);
    const double ro = median(refFirst), rn = median(refNext);
    std::printf("%d-page PDF, page shown %d pixels wide\n", pages, width);
    std::printf("%-40s %10s %12s %8s %8s\n", "measure", "ms", "pdftoppm ms", "ratio", "target");
    std::printf("%-40s %10.2f %12.2f %8.2f %8s\n", "open + first page shown (fit width)", o * 1e3,
                ro * 1e3, o / ro, "<= 1.5");
    std::printf("%-40s %10.2f %12.2f %8.2f %8s\n", "next page shown", n * 1e3, rn * 1e3, n / rn,
                "<= 1.5");
    return 0;
}
