// Annotations through the page view's commands, as the viewer sends them: what the file
// holds afterwards and what the view draws. (Read-only files are the page editor's tests.)
#include <tiffio.h>

#include <QFile>
#include <QPlainTextEdit>
#include <QtTest>

#include "imaging/tiffpageedit.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "support/fixtures.h"
#include "support/rows.h"
#include "widgets/pageview/pageview.h"

#include "support/scriptedprompts.h"

using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv;
using imaging::Annotation;
using imaging::AnnotationStatus;
using test::rawPages;

Q_DECLARE_METATYPE(ktdv::imaging::AnnotationStatus)

namespace {

constexpr QSize kPage(600, 400);

// A page rectangle as the view shows it after the turns R (clockwise) and F (flip).
QRectF turned(QRectF r, const QString& turns) {
    QSizeF page(kPage);
    for (QChar op : turns) {
        if (op == QLatin1Char('R')) {
            r = QRectF(page.height() - r.bottom(), r.left(), r.height(), r.width());
            page.transpose();
        } else {
            r = QRectF(r.left(), page.height() - r.bottom(), r.width(), r.height());
        }
    }
    return r;
}

QPointF toWidget(PageView& view, QPointF shownPagePoint) {
    return QPointF(view.view().pageOrigin()) + shownPagePoint * view.view().zoom();
}

QPoint toTwips(QPointF px) {
    return QPoint(qRound(px.x() * twips::perPixelX()), qRound(px.y() * twips::perPixelY()));
}

// The record the viewer builds for a drag over rect (page pixels of the page as shown); a
// stamp's record is the empty rectangle at its anchor.
AnnotationRecord dragRecord(PageView& view, qint32 type, const QRectF& shown,
                            const QString& text = {}) {
    AnnotationRecord r;
    r.type = type;
    r.text = text;
    const QPoint a = toTwips(toWidget(view, shown.topLeft()));
    const QPoint b = toTwips(toWidget(view, shown.bottomRight()));
    r.left = a.x(), r.top = a.y(), r.right = b.x(), r.bottom = b.y();
    return r;
}

bool command(PageView& view, const char* name, AnnotationRecord record = {}, int x = 0, int y = 0,
             bool highlight = false) {
    return view.annotations().annotationCommand(QLatin1String(name), record, 0,
                                                view.document().imagePath(),
                                                view.document().pageIndex(), x, y, true, highlight);
}

void applyTurns(PageView& view, const QString& turns) {
    for (QChar op : turns)
        op == QLatin1Char('R') ? view.document().rotateRight() : view.document().flip();
}

}  // namespace

class TestPageAnnotations : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<SettingsStore> m_settings;
    std::shared_ptr<test::ScriptedPromptService> m_prompts;
    std::unique_ptr<PageView> m_view;
    int m_fileNo = 0;

    QString freshTiff() {
        test::TiffPage layout;
        layout.size = kPage;
        layout.compression = test::G4;
        return test::writeTiff(m_dir.filePath(QStringLiteral("doc%1.tif").arg(++m_fileNo)), 3,
                               layout);
    }
    std::unique_ptr<PageView> makeView() {
        auto view = std::make_unique<PageView>(m_prompts, m_settings);
        view->resize(900, 700);
        view->show();
        return view;
    }
    // As the viewer's page loading does it.
    static void loadPage(PageView& view, const QString& path, int page, int percent = 100) {
        view.document().clearImage();
        view.document().setImagePath(path);
        view.document().setPageIndex(page);
        AnnotationRecord record;
        view.annotations().annotationCommand(QStringLiteral("load"), record, 0, path, page);
        view.view().zoomTo(QStringLiteral("IN"), percent);
    }
    QList<Annotation> storedOn(const QString& path, int page) {
        auto view = makeView();
        loadPage(*view, path, page);
        return view->annotations().list();
    }

private Q_SLOTS:
    void initTestCase() {
        TIFFSetWarningHandler(nullptr);  // our private tag is unknown to libtiff
    }
    void init() {
        m_settings = createMemorySettingsStore();
        m_prompts = std::make_shared<test::ScriptedPromptService>();
        m_view = makeView();
    }
    void cleanup() { m_view.reset(); }

    // Placed at several zooms and turns: stored in page pixels with the colours of the
    // settings, drawn where placed, saved without touching the image data.
    void placedSavedAndDrawn_data() {
        columns<int, QString>("percent", "turns");
        addRow("50", 50, QString());
        addRow("200", 200, QString());
        addRow("100-right", 100, QStringLiteral("R"));
        addRow("100-flipped", 100, QStringLiteral("F"));
        addRow("75-right-flipped", 75, QStringLiteral("RF"));
    }
    void placedSavedAndDrawn() {
        auto [percent, turns] = fetch<int, QString>("percent", "turns");
        m_settings->writeInt(QStringLiteral("rectFillColor"), 0x0000FF);    // red
        m_settings->writeInt(QStringLiteral("rectBorderColor"), 0xFF0000);  // blue
        m_settings->writeInt(QStringLiteral("highColor"), 0x00FAFF);        // yellow
        m_settings->writeInt(QStringLiteral("stampColor"), 0x123456);
        const QString path = freshTiff();
        const QList<QByteArray> pages = rawPages(path);
        loadPage(*m_view, path, 1, percent);
        applyTurns(*m_view, turns);
        const QImage before = m_view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRectF areas[] = {{20, 20, 120, 60}, {160, 20, 120, 60}, {300, 20, 120, 60}};
        QVERIFY(command(*m_view, "add", dragRecord(*m_view, 6, turned(areas[0], turns))));
        QVERIFY(command(*m_view, "add", dragRecord(*m_view, 5, turned(areas[1], turns))));
        QVERIFY(
            command(*m_view, "add", dragRecord(*m_view, 6, turned(areas[2], turns)), 0, 0, true));
        // A stamp is anchored at the corner where its text starts, as seen.
        const QRectF anchor = turned(QRectF(100, 250, 0, 0), turns);
        QVERIFY(command(*m_view, "add", dragRecord(*m_view, 9, anchor, QStringLiteral("Draft"))));
        const QList<Annotation>& shown = m_view->annotations().list();
        QCOMPARE(shown.size(), 4);
        for (int i = 0; i < 3; ++i)  // in page pixels of the unturned page
            QCOMPARE(shown.at(i).rect, areas[i]);
        const QPointF corner = turned(shown.at(3).rect, turns).topLeft() - anchor.topLeft();
        QVERIFY2(corner.manhattanLength() < 1, qPrintable(turns));

        const QImage after = m_view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        auto at = [&](const QImage& img, QPointF pagePoint) {
            return QColor(img.pixel(
                toWidget(*m_view, turned(QRectF(pagePoint, QSizeF(0, 0)), turns).topLeft())
                    .toPoint()));
        };
        QCOMPARE(at(after, {80, 50}), QColor(Qt::red));
        QCOMPARE(at(after, {161, 50}), QColor(Qt::blue));
        QCOMPARE(at(after, {220, 50}), at(before, {220, 50}));
        const QColor lit = at(after, {360, 30}), paper = at(before, {360, 30});
        QVERIFY(lit.blue() < 40 && qAbs(lit.red() - paper.red()) < 10);

        QVERIFY(command(*m_view, "save"));
        QCOMPARE(storedOn(path, 1), shown);
        QCOMPARE(rawPages(path), pages);
        // libtiff's own tool reads every directory and strip; our private tag is the only
        // thing it may remark on.
        for (const QString& line : test::tiffinfoComplaints(path))
            QVERIFY2(line.contains(QLatin1String("65101")), qPrintable(line));
        // A turn saved by the view moves the annotations with the content.
        applyTurns(*m_view, QStringLiteral("R"));
        QVERIFY(m_view->document().savePageChanges(1, 3));
        const QList<Annotation> stored = storedOn(path, 1);
        QCOMPARE(stored.size(), 4);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(stored.at(i).rect, turned(areas[i], turns + QLatin1Char('R')));
    }

    void unreadableAnnotationsAreKept_data() {
        columns<QByteArray, AnnotationStatus>("payload", "status");
        QByteArray good = imaging::encodeAnnotations(
            {Annotation::make(Annotation::FilledRect, QRectF(1, 2, 30, 40))});
        addRow("truncated", good.chopped(7), AnnotationStatus::Damaged);
        addRow("foreign", QByteArray("someone else's data"), AnnotationStatus::Foreign);
        good[10] = 9;  // oldest reader: version 9
        addRow("future version", good, AnnotationStatus::FutureVersion);
    }
    void unreadableAnnotationsAreKept() {
        auto [payload, status] = fetch<QByteArray, AnnotationStatus>("payload", "status");
        const QString path = freshTiff();
        QVERIFY(imaging::writePageTag(path, 1, imaging::kAnnotationTag, payload).ok);
        loadPage(*m_view, path, 1);
        QVERIFY(!m_view->document().shownPage().isNull());
        QCOMPARE(m_view->annotations().status(), status);
        QVERIFY(m_view->annotations().list().isEmpty());
        QVERIFY(!command(*m_view, "add", dragRecord(*m_view, 6, QRectF(10, 10, 40, 40))));
        QVERIFY(!command(*m_view, "save"));
        m_view->document().rotateRight();
        QVERIFY(
            m_view->document().savePageChanges(1, 3));  // the page turns, its tag stays as it was
        QCOMPARE(imaging::readPageTag(path, 1, imaging::kAnnotationTag), payload);
    }

    void textIsTypedInPlace_data() {
        columns<QString, QString>("ending", "expected");
        addRow("enter", QStringLiteral("enter"), QStringLiteral("Hello there"));
        addRow("escape", QStringLiteral("escape"), QString());
        addRow("view closed", QStringLiteral("close"), QStringLiteral("Hello there"));
    }
    void textIsTypedInPlace() {
        auto [ending, expected] = fetch<QString, QString>("ending", "expected");
        const QString path = freshTiff();
        loadPage(*m_view, path, 2);
        QVERIFY(command(*m_view, "add", dragRecord(*m_view, 7, QRectF(50, 50, 300, 60))));
        QVERIFY(command(*m_view, "save"));
        loadPage(*m_view, path, 2);  // the viewer reloads the page at once
        QPlainTextEdit* editor = m_view->annotations().textFrameEditor();
        QVERIFY(editor);
        m_view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
        QVERIFY(editor->hasFocus());
        QTest::keyClicks(editor, QStringLiteral("Hello there"));
        if (ending == QLatin1String("enter"))
            QTest::keyClick(editor, Qt::Key_Return);
        else if (ending == QLatin1String("escape"))
            QTest::keyClick(editor, Qt::Key_Escape);
        else
            m_view.reset();
        const QList<Annotation> stored = storedOn(path, 2);
        QCOMPARE(stored.size(), expected.isEmpty() ? 0 : 1);  // never stored empty
        if (!stored.isEmpty())
            QCOMPARE(stored.front().text, expected);
    }
};

QTEST_MAIN(TestPageAnnotations)
#include "tst_pageannotations.moc"
