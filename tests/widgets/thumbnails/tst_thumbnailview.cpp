// The thumbnail pane as a user and the viewer see it: which pages a range shows and how
// they look, clicks, scrolling, deleting and moving pages (menu, keys, drag and drop) with
// the file checked afterwards.

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "widgets/thumbnails/thumbnaillayout.h"
#include "widgets/thumbnails/thumbnailview.h"
#include "imaging/document.h"
#include "platform/promptservice.h"
#include "support/fixtures.h"
#include "support/rows.h"

using ktdv::test::columns;
using ktdv::test::fetch;
#include "support/scriptedprompts.h"

using namespace ktdv;

namespace {

constexpr int kFillTimeoutMs = 60000;

struct Events {
    QList<QList<int>> clicks;  // index, button, shift
    QList<bool> deleted;
    QList<bool> moved;
    QList<float> moveXs;

    void attach(ThumbnailView& view) {
        view.onThumbClick = [this](int& index, int& button, int& shift, float&, float&) {
            clicks.append({index, button, shift});
        };
        view.onPageDeleted = [this](bool& ok) { deleted.append(ok); };
        view.onPageMoved = [this](bool& ok) { moved.append(ok); };
        view.onMouseMove = [this](int&, int&, float& x, float&) { moveXs.append(x); };
    }
};

// A page management case: the file, the user's action ("menu:<item>" or "key:<sequence>")
// and answer, then the page order, the events raised ("true", "false" or none), the
// questions asked and the selection afterwards.
struct Manage {
    int pages;
    bool readOnly;
    int index;
    QString action;
    bool answer;
    QString order, deleted, moved;
    int questions, selected;
};

// Page n (1-based) is 200 + 8n pixels wide, so the order of pages in a file can be read
// back from their widths.
QString writeNumberedPages(const QString& path, int count) {
    QList<test::TiffPage> pages;
    for (int n = 1; n <= count; ++n) {
        test::TiffPage page;
        page.size = QSize(200 + 8 * n, 300);
        page.dpi = QSizeF(100, 100);
        pages.append(page);
    }
    return test::writeTiff(path, pages);
}

QString pageOrder(const QString& path) {
    const auto document = imaging::Document::open(path);
    if (!document)
        return QStringLiteral("unreadable");
    QStringList order;
    for (int i = 0; i < document->pageCount(); ++i)
        order << QString::number((document->page(i).pixelSize.width() - 200) / 8);
    return order.join(',');
}

// The viewer's call order for opening a document with thumbnails on.
void openLikeTheViewer(ThumbnailView& view, const QString& path) {
    view.setFirstPage(0);
    view.clearThumbnails();
    view.redraw();
    view.loadDocument(path);
}

// The viewer's call order for a change of page range, then its scroll step.
void showRangeLikeTheViewer(ThumbnailView& view, int firstPage) {
    view.setFirstPage(firstPage);
    view.clearThumbnails();
    view.reloadThumbnails();
    view.redraw();
    view.setScrollPosition(1);
    view.setViewHeight(float(view.height()));
    view.arrange(true);
    view.redraw();
}

// Scrolls so that thumbnail index is in view and returns its centre.
QPoint bringIntoView(ThumbnailView& view, int index) {
    view.setScrollPosition(1);
    const int top = view.thumbnailRect(index).top();
    view.setScrollPosition(qint16(std::clamp(top - 20, 1, int(view.scrollRange()))));
    view.arrange(true);
    return view.thumbnailRect(index).center();
}

void sendMouse(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), QPointF(widget.mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

// A shown pane of the given size with the document opened as the viewer opens it.
std::unique_ptr<ThumbnailView> openView(
    const QString& path, QSize size, bool hostScrolls = false,
    std::shared_ptr<test::ScriptedPromptService> prompts = nullptr) {
    auto view = std::make_unique<ThumbnailView>(
        prompts ? prompts : std::make_shared<test::ScriptedPromptService>());
    view->setContentScrolledByHost(hostScrolls);
    view->resize(size);
    view->show();
    openLikeTheViewer(*view, path);
    return view;
}

QString joined(const QList<bool>& values) {
    QStringList texts;
    for (bool value : values)
        texts << (value ? "true" : "false");
    return texts.join(',');
}

// Share of dark pixels in a part of an image.
double darkShare(const QImage& image, const QRect& part) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    int dark = 0;
    int all = 0;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) {
            dark += qGray(grey.pixel(x, y)) < 128 ? 1 : 0;
            ++all;
        }
    }
    return all ? double(dark) / all : 0.0;
}

}  // namespace

class TestThumbnailView : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_mixed;  // 120 pages of four kinds

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        // Pages cycle through A4 G4, fax G3 (204 x 98 dpi: wider in pixels than tall), A4 grey
        // LZW and landscape colour JPEG.
        struct Kind {
            QSize size;
            QSizeF dpi;
            test::PageKind kind;
            int compression;
        };
        const Kind kinds[] = {{{620, 877}, {75, 75}, test::PageKind::Bilevel, test::G4},
                              {{1728, 1145}, {204, 98}, test::PageKind::Bilevel, test::G3},
                              {{620, 877}, {75, 75}, test::PageKind::Gray8, test::Lzw},
                              {{877, 620}, {75, 75}, test::PageKind::Rgb8, test::Jpeg}};
        QList<test::TiffPage> pages;
        for (int i = 0; i < 120; ++i) {
            test::TiffPage page;
            page.size = kinds[i % 4].size;
            page.dpi = kinds[i % 4].dpi;
            page.kind = kinds[i % 4].kind;
            page.compression = kinds[i % 4].compression;
            pages.append(page);
        }
        m_mixed = test::writeTiff(m_dir.filePath("mixed.tif"), pages);
        QVERIFY(!m_mixed.isEmpty());
    }

    void ranges_data() {
        QTest::addColumn<int>("firstPage");
        QTest::addColumn<int>("expectedCount");

        QTest::newRow("pages 1 to 50") << 0 << 50;
        QTest::newRow("last range holds the rest") << 100 << 20;
        QTest::newRow("range past the end is empty") << 150 << 0;
    }
    void ranges() {
        QFETCH(int, firstPage);
        QFETCH(int, expectedCount);

        const auto pane = openView(m_mixed, {180, 700}, true);
        ThumbnailView& view = *pane;
        showRangeLikeTheViewer(view, firstPage);

        QCOMPARE(view.firstPage(), firstPage);
        QCOMPARE(view.thumbnailCount(), expectedCount);
        QCOMPARE(view.selectedIndex(), qint16(0));
        QTRY_VERIFY_WITH_TIMEOUT(view.allThumbnailsReady(), kFillTimeoutMs);

        for (int i = 0; i < expectedCount; ++i) {
            const int page = firstPage + i;
            QCOMPARE(view.pageLabel(i), QString::number(page + 1));
            const QRect rect = view.thumbnailRect(i);
            const QImage image = view.thumbnailImage(i);
            QVERIFY2(!image.isNull(),
                     qPrintable(QString("page %1 has no thumbnail").arg(page + 1)));
            QCOMPARE(image.size(), rect.size());
            // Height over width in inches; the fax page (8.47 x 11.68 in) is taller than wide.
            const double expected[] = {1.414, 1.379, 1.414, 0.707};
            const double aspect = double(rect.height()) / rect.width();
            QVERIFY2(qAbs(aspect - expected[page % 4]) < 0.03, qPrintable(QString::number(aspect)));
            // The page's inked top-left block shows; its blank bottom-right corner stays light.
            const QSize s = image.size();
            QVERIFY(darkShare(image, QRect(s.width() * 3 / 100 + 1, s.height() * 2 / 100 + 1,
                                           s.width() / 12, s.height() / 24)) > 0.5);
            QVERIFY(darkShare(image, QRect(s.width() * 8 / 10, s.height() * 8 / 10, s.width() / 12,
                                           s.height() / 12)) < 0.1);
        }
        // Labels sit under their pictures, one thumbnail after the other.
        for (int i = 1; i < expectedCount; ++i) {
            QVERIFY(view.labelRect(i - 1).top() > view.thumbnailRect(i - 1).bottom());
            QVERIFY(view.thumbnailRect(i).top() > view.labelRect(i - 1).bottom());
        }
    }

    void clicks_data() {
        columns<int, int, int, int, int, int>("firstPage", "index", "qtButton", "qtModifiers",
                                              "button", "shift");

        QTest::newRow("last of pages 51-100") << 50 << 49 << int(Qt::LeftButton) << 0 << 1 << 0;
        QTest::newRow("right click") << 0 << 5 << int(Qt::RightButton) << 0 << 2 << 0;
        QTest::newRow("shift and ctrl held")
            << 0 << 1 << int(Qt::LeftButton) << int(Qt::ShiftModifier | Qt::ControlModifier) << 1
            << 3;
    }
    void clicks() {
        auto [firstPage, index, qtButton, qtModifiers, button, shift] =
            fetch<int, int, int, int, int, int>("firstPage", "index", "qtButton", "qtModifiers",
                                                "button", "shift");

        auto prompts = std::make_shared<test::ScriptedPromptService>();
        const auto pane = openView(m_mixed, {180, 500}, false, prompts);
        ThumbnailView& view = *pane;
        Events events;
        events.attach(view);
        showRangeLikeTheViewer(view, firstPage);
        const QByteArray before = test::readAll(m_mixed);

        const QPoint centre = bringIntoView(view, index);
        QTest::mouseClick(&view, Qt::MouseButton(qtButton), Qt::KeyboardModifiers(qtModifiers),
                          centre);

        QCOMPARE(events.clicks.size(), 1);
        QCOMPARE(events.clicks[0], (QList<int>{index, button, shift}));
        QCOMPARE(view.selectedIndex(), qint16(index));
        if (button == 2) {  // the page menu, nothing chosen: the file stays as it was
            QCOMPARE(prompts->menus.size(), 1);
            QCOMPARE(prompts->menus[0].actions,
                     (QStringList{"Delete Page", "Move Page Up", "Move Page Down"}));
            QCOMPARE(test::readAll(m_mixed), before);
        } else {
            QVERIFY(prompts->menus.isEmpty());
        }

        // A click between thumbnails selects nothing and reports nothing.
        const QPoint gap(view.thumbnailRect(index).center().x(),
                         view.labelRect(index).bottom() + ThumbnailLayout::kSpacing / 2 + 2);
        QTest::mouseClick(&view, Qt::LeftButton, {}, gap);
        QCOMPARE(events.clicks.size(), 1);
        QCOMPARE(view.selectedIndex(), qint16(index));

        // Pointer moves are reported in pixels from the pane's left edge.
        sendMouse(view, QEvent::MouseMove, QPoint(123, 40), Qt::NoButton, Qt::NoButton);
        QVERIFY(!events.moveXs.isEmpty());
        QCOMPARE(events.moveXs.last(), 123.0f);
    }

    // Fifty pages overflow the pane: the scroll positions reach both ends and no further.
    void scrolling() {
        const int height = 600;
        const QString path = writeNumberedPages(m_dir.filePath("scroll.tif"), 50);
        const auto pane = openView(path, {160, height});
        ThumbnailView& view = *pane;
        view.setViewHeight(float(height));
        view.arrange(true);
        const int range = view.scrollRange();
        const int last = view.thumbnailCount() - 1;
        QVERIFY(range > 1);
        QCOMPARE(view.visibleThumbnails().first, 0);
        // The bottom position shows the last thumbnail and its page number entirely.
        view.setScrollPosition(qint16(range));
        view.arrange(true);
        QCOMPARE(view.visibleThumbnails().second, last);
        QVERIFY(view.visibleThumbnails().first > 0);
        QVERIFY(view.labelRect(last).bottom() < height);
        QVERIFY(view.labelRect(last).bottom() > height - 30);
        QCOMPARE(view.contentOffset(), range - 1);
        // Positions beyond either end stay at that end.
        view.setScrollPosition(qint16(range + 500));
        QCOMPARE(view.visibleThumbnails().second, last);
        view.setScrollPosition(0);
        QCOMPARE(view.visibleThumbnails().first, 0);
        QCOMPARE(view.contentOffset(), 0);
    }

    void scrollPositionsFitSixteenBits() {
        // Fifty long strips in a wide pane are taller than a 16-bit scroll bar counts: the
        // positions spread over the list and the last one still reaches its end.
        ThumbnailLayout layout;
        layout.setWidth(800);
        layout.setPages(QVector<QSizeF>(50, QSizeF(1.0, 50.0)));
        const int range = layout.scrollRange(400);
        QCOMPARE(range, ThumbnailLayout::kMaxScrollPositions);
        QCOMPARE(layout.offsetForPosition(range, 400), layout.contentHeight() - 400);
        QCOMPARE(layout.imageSize(0).height(), int(layout.imageSize(0).width() * 3.0));
    }

    void pageManagement_data() {
        QTest::addColumn<Manage>("row");
        auto row = [](const char* name, const Manage& m) { QTest::newRow(name) << m; };
        row("menu delete, yes",
            {5, false, 1, "menu:Delete Page", true, "1,3,4,5", "true", "", 1, 1});
        row("menu delete, no", {5, false, 1, "menu:Delete Page", false, "1,2,3,4,5", "", "", 1, 1});
        row("delete key on the last, yes",
            {5, false, 4, "key:Del", true, "1,2,3,4", "true", "", 1, 3});
        row("delete on a read-only file",
            {5, true, 1, "menu:Delete Page", true, "1,2,3,4,5", "false", "", 0, 1});
        row("delete the only page", {1, false, 0, "key:Del", true, "1", "false", "", 0, 0});
        row("menu move up",
            {5, false, 2, "menu:Move Page Up", true, "1,3,2,4,5", "", "true", 0, 1});
        row("ctrl+up", {5, false, 1, "key:Ctrl+Up", true, "2,1,3,4,5", "", "true", 0, 0});
        row("move up offered disabled on the first page",
            {5, false, 0, "menu:Move Page Up", true, "1,2,3,4,5", "", "", 0, 0});
        row("move on a read-only file",
            {5, true, 3, "key:Ctrl+Up", true, "1,2,3,4,5", "", "false", 0, 3});
    }
    void pageManagement() {
        QFETCH(Manage, row);
        const auto [pages, readOnly, index, action, answer, expectedOrder, expectedDeleted,
                    expectedMoved, expectedQuestions, expectedSelected] = row;
        const QString path = writeNumberedPages(m_dir.filePath("manage.tif"), pages);
        QVERIFY(!path.isEmpty());
        if (readOnly)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        const QByteArray before = test::readAll(path);
        const QString orderBefore = pageOrder(path);

        auto prompts = std::make_shared<test::ScriptedPromptService>();
        prompts->questionAnswers = {answer};
        const auto pane = openView(path, {180, 900}, false, prompts);
        ThumbnailView& view = *pane;
        Events events;
        events.attach(view);

        const QPoint centre = bringIntoView(view, index);
        if (action.startsWith("menu:")) {
            prompts->menuChoices = {action.mid(5)};
            QTest::mouseClick(&view, Qt::RightButton, {}, centre);
        } else {
            QTest::mouseClick(&view, Qt::LeftButton, {}, centre);
            QTest::keySequence(&view, QKeySequence(action.mid(4)));
        }

        QCOMPARE(pageOrder(path), expectedOrder);
        QCOMPARE(joined(events.deleted), expectedDeleted);
        QCOMPARE(joined(events.moved), expectedMoved);
        QCOMPARE(prompts->questions.size(), expectedQuestions);
        if (expectedQuestions > 0)
            QVERIFY(prompts->questions.last().defaultNo);
        if (expectedOrder == orderBefore) {
            QCOMPARE(test::readAll(path), before);  // untouched, byte for byte
        }
        // A refused change is explained to the user.
        QCOMPARE(!prompts->messages.isEmpty(),
                 expectedDeleted == "false" || expectedMoved == "false");

        // The pane shows the file as it is now.
        QCOMPARE(view.thumbnailCount(), expectedOrder.count(',') + 1);
        QCOMPARE(view.selectedIndex(), qint16(expectedSelected));
        QTRY_VERIFY_WITH_TIMEOUT(view.allThumbnailsReady(), kFillTimeoutMs);
        const QStringList order = expectedOrder.split(',');
        for (int i = 0; i < view.thumbnailCount(); ++i) {
            QCOMPARE(view.pageLabel(i), QString::number(i + 1));
            // Wider pages give flatter thumbnails: the picture follows the page that is there.
            const int width = 200 + 8 * order[i].toInt();
            const double aspect = 300.0 / width;
            const QRect rect = view.thumbnailRect(i);
            QVERIFY(qAbs(double(rect.height()) / rect.width() - aspect) < 0.02);
        }
        if (readOnly)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

    void dragAndDrop_data() {
        // onto: thumbnail whose upper (or lower) half the drop hits; distance: 0: the drop point;
        // else a small wiggle only
        columns<int, int, bool, int, QString, int>("from", "onto", "lowerHalf", "distance",
                                                   "expectedOrder", "expectedMoves");

        QTest::newRow("first below the third") << 0 << 2 << true << 0 << "2,3,1,4,5" << 1;
        QTest::newRow("fourth to the top") << 3 << 0 << false << 0 << "4,1,2,3,5" << 1;
        QTest::newRow("dropped where it was") << 2 << 2 << true << 0 << "1,2,3,4,5" << 0;
        QTest::newRow("a wiggle is a click") << 1 << 3 << false << 2 << "1,2,3,4,5" << 0;
    }
    void dragAndDrop() {
        auto [from, onto, lowerHalf, distance, expectedOrder, expectedMoves] =
            fetch<int, int, bool, int, QString, int>("from", "onto", "lowerHalf", "distance",
                                                     "expectedOrder", "expectedMoves");

        const QString path = writeNumberedPages(m_dir.filePath("drag.tif"), 5);
        const auto pane = openView(path, {140, 1200}, true);
        ThumbnailView& view = *pane;
        Events events;
        events.attach(view);
        QCOMPARE(view.scrollRange(), qint16(1));

        const QPoint start = view.thumbnailRect(from).center();
        const QRect target = view.thumbnailRect(onto);
        QPoint end = lowerHalf ? QPoint(target.center().x(), target.bottom() - 2)
                               : QPoint(target.center().x(), target.top() + 2);
        if (distance > 0)
            end = start + QPoint(distance, 0);
        sendMouse(view, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        const QPoint middle = (start + end) / 2;
        sendMouse(view, QEvent::MouseMove, middle, Qt::NoButton, Qt::LeftButton);
        sendMouse(view, QEvent::MouseMove, end, Qt::NoButton, Qt::LeftButton);
        sendMouse(view, QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);

        QCOMPARE(pageOrder(path), expectedOrder);
        QCOMPARE(events.moved.size(), expectedMoves);
        if (expectedMoves) {
            QVERIFY(events.moved.first());
            QVERIFY(events.clicks.isEmpty());  // a drag is not a click
        }
        if (distance > 0)
            QCOMPARE(events.clicks.size(), 1);
    }
};

QTEST_MAIN(TestThumbnailView)
#include "tst_thumbnailview.moc"
