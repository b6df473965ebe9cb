// Long use of the viewer on its real components: documents opened, paged, annotated,
// shortened by a page and closed 1500 times. Resident memory and open file handles must stay
// flat once warmed up.
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
#include "viewer/core/viewerwidgets.h"
#include "viewer/session/documentsession.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

struct Usage {
    qint64 rssKiB = 0;
    int fds = 0;
};

Usage usage() {
    Usage u;
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (statm.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = statm.readAll().split(' ');
        if (fields.size() > 1)
            u.rssKiB = fields[1].toLongLong() * (sysconf(_SC_PAGESIZE) / 1024);
    }
    u.fds = int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
    return u;
}

int iterations() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("KTDV_SOAK_ITERATIONS", &ok);
    return ok && n > 0 ? n : 1500;
}

}  // namespace

class TestSoak : public QObject {
    Q_OBJECT

    // Open, page, annotate, delete a page, sometimes turn one, close: "" or what surprised.
    QString cycle(ViewerControl& viewer, RealFactory& factory, int i) {
        QFile::remove(m_doc);
        if (!QFile::copy(m_template, m_doc) ||
            !QFile::setPermissions(m_doc, QFile::ReadOwner | QFile::WriteOwner))
            return QStringLiteral("cannot copy the document");
        viewer.OpenImage(m_doc);
        for (const char* key :
             {"NextPage", "NextPage", "LastPage", "PreviousPage", "FirstPage", "NextPage"})
            viewer.MainToolbar_ButtonClick(QString::fromLatin1(key));
        const QString shown = viewer.widgets().statusBar->text(QStringLiteral("PageNumber"));
        if (shown != QLatin1String("2 of 4"))
            return QStringLiteral("paging ended on \"%1\"").arg(shown);
        bool saved = false;
        if (!annotateMiddle(*viewer.widgets().editor, m_doc, 1, &saved) || !saved)
            return QStringLiteral("annotation not added and saved");
        QString path = m_doc;
        viewer.session().LoadPage(path, QStringLiteral("navigate"), 1);
        auto* thumbs = dynamic_cast<ThumbnailView*>(viewer.widgets().thumbs.get());
        if (!thumbs)
            return QStringLiteral("no thumbnail pane");
        factory.prompts->questionAnswers = {true};
        thumbs->deletePageAt(3);
        QCoreApplication::processEvents();  // thumbnails finished meanwhile arrive
        if (viewer.widgets().editor->document().pageCount() != 3 ||
            thumbs->thumbnails().pageCount() != 3)
            return QStringLiteral("the page was not deleted");
        if (i % 4 == 0)  // a turned page is written back when the document closes
            viewer.MainToolbar_ButtonClick(QStringLiteral("Rotate90Right"));
        viewer.CloseImage();
        factory.prompts->clearRecords();
        return {};
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        TiffPage layout;
        layout.size = QSize(1240, 1754);  // A4 fills the view: a rectangle in the middle is on it
        m_template = writeTiff(m_dir.filePath(QStringLiteral("template.tif")), 4, layout);
        QVERIFY(!m_template.isEmpty());
        m_doc = m_dir.filePath(QStringLiteral("doc.tif"));
    }

    void usageStaysFlat() {
        auto factory = std::make_shared<RealFactory>();
        factory->settings->writeBool(QStringLiteral("bThumbs"), true);
        factory->settings->writeInt(QStringLiteral("chkSaveTIF"), 1);
        ViewerControl viewer(factory);
        viewer.resize(900, 700);
        viewer.show();
        viewer.setUserPermission(24);
        const int total = iterations();
        const int warmUp = qMax(5, total / 10);
        Usage start;
        for (int i = 0; i < total; ++i) {
            if (i == warmUp) {
                QTest::qWait(200);  // background thumbnail work settles
                start = usage();
            }
            const QString why = cycle(viewer, *factory, i);
            QVERIFY2(why.isEmpty(), qPrintable(QStringLiteral("cycle %1: %2").arg(i).arg(why)));
        }
        QTest::qWait(200);
        const Usage end = usage();
        qInfo("%d cycles: RSS %lld -> %lld KiB, open files %d -> %d", total, start.rssKiB,
              end.rssKiB, start.fds, end.fds);
        QVERIFY2(end.fds <= start.fds + 1, "file handles leak");
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        QSKIP("a sanitizer's own bookkeeping grows with the run; resident memory not compared");
#endif
        // Allocator slack and lazily built font and glyph caches, not growth per cycle.
        const qint64 allowedKiB = qMax<qint64>(8 * 1024, start.rssKiB / 10);
        QVERIFY2(
            end.rssKiB - start.rssKiB <= allowedKiB,
            qPrintable(
                QStringLiteral("resident memory grew by %1 KiB").arg(end.rssKiB - start.rssKiB)));
    }

private:
    // In memory where the system has such a folder: the soak is about memory and handles,
    // and thousands of disk flushes would only make it slow.
    QTemporaryDir m_dir{QDir(QStringLiteral("/dev/shm")).exists()
                            ? QStringLiteral("/dev/shm/ktdv-soak-XXXXXX")
                            : QDir::tempPath() + QStringLiteral("/ktdv-soak-XXXXXX")};
    QString m_template;
    QString m_doc;
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
