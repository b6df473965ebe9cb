// The thumbnail pane as a user and the viewer see it: which pages a range shows and how
// they look, clicks, deleting and moving pages (menu, keys, drag and drop) with the file
// read back by libtiff afterwards.

#include <tiffio.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "support/fixtures.h"
#include "support/rows.h"
#include "support/scriptedprompts.h"
#include "widgets/thumbnails/thumbnailview.h"

using namespace ktdv;
using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

namespace {

constexpr int kFillTimeoutMs = 60000;

struct Events {
    QList<QList<int>> clicks;  // index, button, shift
    QList<bool> deleted;
    QList<bool> moved;

    void attach(ThumbnailView& view) {
        view.setHandlers({.thumbClick =
                              [this](int& index, int& button, int& shift, float&, float&) {
                                  clicks.append({index, button, shift});
                              },
                          .mouseMove = {},
                          .pageDeleted = [this](bool& ok) { deleted.append(ok); },
                          .pageMoved = [this](bool& ok) { moved.append(ok); }});
    }
};

// A page management case: the file, the user's action and answer, then the page order, the
// events raised ("true", "false" or none), the questions asked and the selection afterwards
// (-1: not checked). Actions: "menu:<item>", "key:<sequence>", "drag:<onto>:<upper|lower>"
// (the half of the thumbnail the drop hits) and "wiggle" (a press with a tiny move).
struct Manage {
    int pages;
    bool readOnly;
    int index;
    QString action;
    bool answer;
    QString order, deleted, moved;
    int questions, selected;
};

test::TiffPage layout(QSize size, QSizeF dpi, test::PageKind kind = test::PageKind::Bilevel,
                      int compression = test::G4) {
    test::TiffPage page;
    page.size = size;
    page.dpi = dpi;
    page.kind = kind;
    page.compression = compression;
    return page;
}

// Page n (1-based) is 200 + 8n pixels wide, so the order of pages in a file can be read
// back from their widths.
QString writeNumberedPages(const QString& path, int count) {
    QList<test::TiffPage> pages;
    for (int n = 1; n <= count; ++n)
        pages.append(layout(QSize(200 + 8 * n, 300), QSizeF(100, 100)));
    return test::writeTiff(path, pages);
}

// The page numbers of the file in their order, as libtiff reads them.
QString pageOrder(const QString& path) {
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    QStringList order;
    for (bool more = tif != nullptr; more; more = TIFFReadDirectory(tif)) {
        uint32_t width = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
        order << QString::number((int(width) - 200) / 8);
    }
    if (tif)
        TIFFClose(tif);
    return tif ? order.join(',') : QStringLiteral("unreadable");
}

void sendMouse(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), QPointF(widget.mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

// A shown pane of the given size with the document opened.
std::unique_ptr<ThumbnailView> openView(
    const QString& path, QSize size, bool hostScrolls = false,
    std::shared_ptr<test::ScriptedPromptService> prompts = nullptr) {
    auto view = std::make_unique<ThumbnailView>(
        prompts ? prompts : std::make_shared<test::ScriptedPromptService>());
    view->setContentScrolledByHost(hostScrolls);
    view->resize(size);
    view->show();
    view->loadDocument(path);
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
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x)
            dark += qGray(grey.pixel(x, y)) < 128 ? 1 : 0;
    }
    return part.isEmpty() ? 0.0 : double(dark) / (part.width() * part.height());
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
        using test::PageKind;
        const test::TiffPage kinds[] = {
            layout({620, 877}, {75, 75}, PageKind::Bilevel, test::G4),
            layout({1728, 1145}, {204, 98}, PageKind::Bilevel, test::G3),
            layout({620, 877}, {75, 75}, PageKind::Gray8, test::Lzw),
            layout({877, 620}, {75, 75}, PageKind::Rgb8, test::Jpeg)};
        QList<test::TiffPage> pages;
        for (int i = 0; i < 120; ++i)
            pages.append(kinds[i % 4]);
        m_mixed = test::writeTiff(m_dir.filePath("mixed.tif"), pages);
        QVERIFY(!m_mixed.isEmpty());
    }

    void ranges_data() {
        columns<int, int>("firstPage", "expectedCount");
        addRow("pages 1 to 50", 0, 50);
        addRow("last range holds the rest", 100, 20);
        addRow("range past the end is empty", 150, 0);
    }
    void ranges() {
        auto [firstPage, expectedCount] = fetch<int, int>("firstPage", "expectedCount");
        const auto pane = openView(m_mixed, {180, 700}, true);
        ThumbnailView& view = *pane;
        view.setFirstPage(firstPage);
        view.reloadThumbnails();
        QCOMPARE(view.thumbnails().count(), expectedCount);
        QCOMPARE(view.selectedIndex(), qint16(0));
        // Pictures are made in the background: the pane answers before they are all there.
        QCOMPARE(view.thumbnails().allReady(), expectedCount == 0);
        QTRY_VERIFY_WITH_TIMEOUT(view.thumbnails().allReady(), kFillTimeoutMs);

        for (int i = 0; i < expectedCount; ++i) {
            const int page = firstPage + i;
            QCOMPARE(view.thumbnails().pageLabel(i), QString::number(page + 1));
            const QRect rect = view.viewport().thumbnailRect(i);
            const QImage image = view.thumbnails().image(i);
            QVERIFY2(!image.isNull(), qPrintable(QString("page %1 has no picture").arg(page + 1)));
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
    }

    void pageManagement_data() {
        QTest::addColumn<Manage>("row");
        auto row = [](const char* name, const Manage& m) { addRow(name, m); };
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
        row("drag the first below the third",
            {5, false, 0, "drag:2:lower", true, "2,3,1,4,5", "", "true", 0, -1});
        row("drag the fourth to the top",
            {5, false, 3, "drag:0:upper", true, "4,1,2,3,5", "", "true", 0, -1});
        row("dropped where it was",
            {5, false, 2, "drag:2:lower", true, "1,2,3,4,5", "", "", 0, -1});
        row("a wiggle is a click", {5, false, 1, "wiggle", true, "1,2,3,4,5", "", "", 0, 1});
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
        const auto pane = openView(path, {140, 1200}, false, prompts);
        ThumbnailView& view = *pane;
        QCOMPARE(view.scrollRange(), qint16(1));  // every thumbnail in view
        Events events;
        events.attach(view);

        const QPoint centre = view.viewport().thumbnailRect(index).center();
        const QStringList parts = action.split(':');
        if (parts[0] == "menu") {
            prompts->menuChoices = {parts[1]};
            QTest::mouseClick(&view, Qt::RightButton, {}, centre);
        } else if (parts[0] == "key") {
            QTest::mouseClick(&view, Qt::LeftButton, {}, centre);
            QTest::keySequence(&view, QKeySequence(parts[1]));
        } else {
            QPoint end = centre + QPoint(2, 0);
            if (parts[0] == "drag") {
                const QRect target = view.viewport().thumbnailRect(parts[1].toInt());
                end = QPoint(target.center().x(),
                             parts[2] == "lower" ? target.bottom() - 2 : target.top() + 2);
            }
            sendMouse(view, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
            sendMouse(view, QEvent::MouseMove, (centre + end) / 2, Qt::NoButton, Qt::LeftButton);
            sendMouse(view, QEvent::MouseMove, end, Qt::NoButton, Qt::LeftButton);
            sendMouse(view, QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
        }
        // The host hears of the click (1 left, 2 right button) but not of a drag.
        const bool dragged = parts[0] == "drag" && expectedMoved == "true";
        const QList<int> click{index, parts[0] == "menu" ? 2 : 1, 0};
        if (parts[0] != "drag" || dragged)
            QCOMPARE(events.clicks, dragged ? QList<QList<int>>() : QList<QList<int>>{click});

        QCOMPARE(pageOrder(path), expectedOrder);
        QCOMPARE(joined(events.deleted), expectedDeleted);
        QCOMPARE(joined(events.moved), expectedMoved);
        QCOMPARE(prompts->questions.size(), expectedQuestions);
        if (expectedQuestions > 0)
            QVERIFY(prompts->questions.last().defaultNo);
        if (expectedOrder == orderBefore)
            QCOMPARE(test::readAll(path), before);  // untouched, byte for byte
        // A refused change is explained to the user.
        QCOMPARE(!prompts->messages.isEmpty(),
                 expectedDeleted == "false" || expectedMoved == "false");

        // The pane shows the file as it is now.
        QCOMPARE(view.thumbnails().count(), expectedOrder.count(',') + 1);
        if (expectedSelected >= 0)
            QCOMPARE(view.selectedIndex(), qint16(expectedSelected));
        for (int i = 0; i < view.thumbnails().count(); ++i)
            QCOMPARE(view.thumbnails().pageLabel(i), QString::number(i + 1));
        if (readOnly)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_MAIN(TestThumbnailView)
#include "tst_thumbnailview.moc"
