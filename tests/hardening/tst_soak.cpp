// Long use of the viewer on its real components: documents opened, paged, annotated,
// shortened by a page and closed thousands of times, in one viewer and in two viewers on
// one thread. Resident memory and open file handles must stay flat once warmed up.
//
// KTDV_SOAK_ITERATIONS sets the number of cycles (fewer under valgrind).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include "editorannotation.h"
#include "interfaces/imageeditor.h"
#include "support/fixtures.h"
#include "support/realfactory.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// Resident KiB and open file handles.
QPair<qint64, int> usage() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    const QList<QByteArray> fields =
        statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ') : QList<QByteArray>();
    return {
        fields.value(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024),
        int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size())};
}

struct Viewer {
    std::shared_ptr<RealFactory> factory = std::make_shared<RealFactory>();
    std::unique_ptr<ViewerControl> control;
    QString doc;
};

// Open, page, annotate, delete a page, sometimes turn one, close: "" or what surprised.
QString cycle(Viewer& v, const QString& templatePath, int i) {
    QFile::remove(v.doc);
    if (!QFile::copy(templatePath, v.doc) ||
        !QFile::setPermissions(v.doc, QFile::ReadOwner | QFile::WriteOwner))
        return QStringLiteral("cannot copy the document");
    ViewerControl& c = *v.control;
    c.OpenImage(v.doc);
    for (const char* key :
         {"NextPage", "NextPage", "LastPage", "PreviousPage", "FirstPage", "NextPage"})
        c.MainToolbar_ButtonClick(QString::fromLatin1(key));
    const QString shown = c.StatusBar->text(QStringLiteral("PageNumber"));
    if (shown != QLatin1String("2 of 4"))
        return QStringLiteral("paging ended on \"%1\"").arg(shown);
    bool saved = false;
    if (!annotateMiddle(*c.ctlKTImgEdit1, v.doc, 1, &saved) || !saved)
        return QStringLiteral("annotation not added and saved");
    QString path = v.doc;
    c.LoadPage(path, QStringLiteral("navigate"), 1);
    auto* thumbs = dynamic_cast<ThumbnailView*>(c.ctlKTImgThumbs1.get());
    if (!thumbs)
        return QStringLiteral("no thumbnail pane");
    v.factory->prompts->questionAnswers = {true};
    thumbs->deletePageAt(3);
    QCoreApplication::processEvents();  // thumbnails finished meanwhile arrive
    if (c.ctlKTImgEdit1->pageCount() != 3 || thumbs->pageCount() != 3)
        return QStringLiteral("the page was not deleted");
    if (i % 4 == 0)  // a turned page is written back when the document closes
        c.MainToolbar_ButtonClick(QStringLiteral("Rotate90Right"));
    c.CloseImage();
    v.factory->prompts->clearRecords();
    return {};
}

}  // namespace

class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void usageStaysFlat_data() {
        QTest::addColumn<int>("viewers");
        QTest::newRow("one viewer") << 1;
        QTest::newRow("two viewers on one thread") << 2;
    }

    void usageStaysFlat() {
        QFETCH(int, viewers);
        // A4 fills the view: a rectangle in the middle is on the page.
        const QString templatePath = writeTiff(m_dir.filePath(QStringLiteral("template.tif")), 4);
        QVERIFY(!templatePath.isEmpty());
        moduleState() = ViewerModuleState();
        std::vector<Viewer> all(static_cast<size_t>(viewers));
        for (int n = 0; n < viewers; ++n) {
            Viewer& v = all[size_t(n)];
            v.factory->settings->writeBool(QStringLiteral("bThumbs"), true);
            v.factory->settings->writeInt(QStringLiteral("chkSaveTIF"), 1);
            v.control = std::make_unique<ViewerControl>(v.factory);
            v.control->resize(900, 700);
            v.control->show();
            v.control->setUserPermission(24);
            v.doc = m_dir.filePath(QStringLiteral("doc%1.tif").arg(n));
        }
        const int asked = qEnvironmentVariableIntValue("KTDV_SOAK_ITERATIONS");
        const int total = (asked > 0 ? asked : 1500) / viewers;
        const int warmUp = qMax(5, total / 10);
        QPair<qint64, int> start;
        for (int i = 0; i < total; ++i) {
            if (i == warmUp) {
                QTest::qWait(200);  // background thumbnail work settles
                start = usage();
            }
            for (Viewer& v : all) {
                const QString why = cycle(v, templatePath, i);
                QVERIFY2(why.isEmpty(), qPrintable(QStringLiteral("cycle %1: %2").arg(i).arg(why)));
            }
        }
        QTest::qWait(200);
        const QPair<qint64, int> end = usage();
        qInfo("%d viewer(s), %d cycles each: RSS %lld -> %lld KiB, open files %d -> %d", viewers,
              total, start.first, end.first, start.second, end.second);
        QVERIFY2(end.second <= start.second + 1, "file handles leak");
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        QSKIP("a sanitizer's own bookkeeping grows with the run; resident memory not compared");
#endif
        // Allocator slack and lazily built font and glyph caches, not growth per cycle.
        const qint64 grown = end.first - start.first;
        QVERIFY2(grown <= qMax<qint64>(8 * 1024, start.first / 10),
                 qPrintable(QStringLiteral("resident memory grew by %1 KiB").arg(grown)));
    }

private:
    // In memory where the system has such a folder: the soak is about memory and handles,
    // and thousands of disk flushes would only make it slow.
    QTemporaryDir m_dir{QDir(QStringLiteral("/dev/shm")).exists()
                            ? QStringLiteral("/dev/shm/ktdv-soak-XXXXXX")
                            : QDir::tempPath() + QStringLiteral("/ktdv-soak-XXXXXX")};
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
