// The viewer on its real components: generated documents are opened, paged, zoomed, turned,
// edited from the thumbnails and closed as a user would; libtiff's tiffinfo reads the files.
#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QTabBar>
#include <QToolBar>
#include <QtEndian>
#include <QtTest>

#include "imaging/annotationstore.h"
#include "imaging/document.h"
#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/viewerharness.h"
#include "viewer/undo/undoredo.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// The control shown and active, allowed to annotate, with the document opened.
std::unique_ptr<ViewerControl> openShown(std::shared_ptr<RealFactory> factory,
                                         const QString& path) {
    moduleState() = ViewerModuleState();
    auto v = std::make_unique<ViewerControl>(factory);
    v->resize(900, 700);
    v->show();
    v->setUserPermission(24);
    if (QTest::qWaitForWindowActive(v.get()))
        v->OpenImage(path);
    return v;
}

// Each page's size as tiffinfo reads it from the file: "<width>x<length>".
QStringList fileSizes(const QString& path) {
    QProcess p;
    p.start("tiffinfo", {path});
    p.waitForFinished(10000);
    static const QRegularExpression size("Image Width: (\\d+) Image Length: (\\d+)");
    QStringList sizes;
    for (const QRegularExpressionMatch& m : size.globalMatch(p.readAllStandardOutput()))
        sizes << m.captured(1) + 'x' + m.captured(2);
    return sizes;
}

// A one-page little-endian TIFF made by hand, as no writer would make it: the given tags
// (as LONGs), the strip's tags added, and 8 bytes of image data.
QByteArray handMadeTiff(QMap<quint16, quint32> tags) {
    tags.insert(273, quint32(8 + 2 + 12 * (tags.size() + 2) + 4));
    tags.insert(279, 8);
    QByteArray b;
    QDataStream out(&b, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0x4949) << quint16(42) << quint32(8) << quint16(tags.size());
    for (const auto [tag, value] : tags.asKeyValueRange())
        out << tag << quint16(4) << quint32(1) << value;
    out << quint32(0) << quint64(0);
    return b;
}

// A shown viewer on the real components, thumbnails wanted, with a settings store of its own.
struct RealViewer {
    std::shared_ptr<RealFactory> factory = std::make_shared<RealFactory>();
    std::unique_ptr<ViewerControl> v;
    explicit RealViewer(const std::function<void(SettingsStore&)>& prepare) {
        moduleState() = ViewerModuleState();
        prepare(*factory->settings);
        v = std::make_unique<ViewerControl>(factory);
        v->resize(900, 700);
        v->show();
        v->setUserPermission(24);
    }
    const ViewerWidgets& w() const { return v->widgets(); }
    void click(const char* key) {
        Toolbar& bar = *w().mainToolbar;
        QTest::mouseClick(bar.buttonWidget(bar.position(key)), Qt::LeftButton);
    }
    ThumbnailView& pane() const { return static_cast<ThumbnailView&>(*w().thumbs); }
};

}  // namespace

class TestViewerReal : public QObject {
    Q_OBJECT
private slots:
    void pagesOfDocuments_data() {
        columns<QString, int, bool, QStringList>("name", "pages", "thumbs", "tabs");
        addRow("one-page TIFF", "one.tif", 1, false, QStringList());
        addRow("12-page fax with thumbnails", "twelve.fax", 12, true, QStringList{"1...50"});
        addRow("120 pages with thumbnails", "long.tiff", 120, true,
               QStringList{"1...50", "51...100", "101...150"});
        addRow("1000 pages", "thousand.tif", 1000, false, QStringList());
        addRow("32,800 pages", "huge.tif", 32800, false, QStringList());
        addRow("JPEG image hides the thumbnails", "photo.jpg", 0, true, QStringList());
        // The kind of a document comes from its content, never from its name.
        addRow("TIFF named .dat", "scan.dat", 3, true, QStringList{"1...50"});
        addRow("TIFF without an extension", "scan", 2, true, QStringList{"1...50"});
        addRow("JPEG named .tif", "photo.tif", 0, true, QStringList());
    }

    void pagesOfDocuments() {
        auto [name, pages, thumbs, tabs] =
            fetch<QString, int, bool, QStringList>("name", "pages", "thumbs", "tabs");
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        TiffPage page;
        page.size = pages > 10000 ? QSize(16, 16) : QSize(200, 280);
        if (pages > 0) {
            QVERIFY(!writeTiff(path, pages, page).isEmpty());
        } else {
            QImage image(120, 80, QImage::Format_RGB32);
            image.fill(Qt::white);
            QVERIFY(!writeImage(path, image, "JPEG").isEmpty());
        }
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        auto factory = std::make_shared<RealFactory>();
        factory->settings = createUserSettingsStore();
        factory->settings->writeBool("bThumbs", thumbs);
        factory->settings->setValue("bReadOnly", "True");  // overwritten on load, never consulted
        const auto v = std::make_unique<ViewerControl>(factory);
        const ViewerWidgets& w = v->widgets();
        v->resize(900, 700);
        v->show();
        QVERIFY(QTest::qWaitForWindowExposed(v.get()));
        v->setUserPermission(24);
        // Hosts and tests find every control by its name, toolbar buttons by key.
        for (const char* control : {"ctlKTImgEdit1", "ctlKTImgThumbs1", "StatusBar", "tabPages",
                                    "VScroll1", "btnSplitter", "pBoxDrag", "fraGoto",
                                    "tboxPageNumber", "vsPages", "btnFind", "ProgressBar1"})
            QVERIFY2(v->findChild<QWidget*>(control), control);
        for (const char* bar : {"MainToolbar", "OcrToolbar", "SelectionToolbar"})
            QVERIFY2(v->findChild<QToolBar*>(bar)->findChild<QWidget*>("Select") || bar[0] == 'S',
                     bar);
        QVERIFY(v->findChild<QToolBar*>("SelectionToolbar")->findChild<QWidget*>("OCR"));
        // Opened through the Open button and its file chooser.
        factory->prompts->fileAnswers.append({path, 1});
        QTest::mouseClick(w.mainToolbar->buttonWidget(w.mainToolbar->position("Open")),
                          Qt::LeftButton);
        QCOMPARE(factory->prompts->fileRequests.size(), 1);
        QCOMPARE(factory->prompts->fileRequests[0].filter,
                 QString("Image Files |*.bmp;*.gif;*.jpg;*.jpeg;*.tif;*.tiff;*.fax|All files "
                         "|*.*|PNG Images |*.png|PDF Documents |*.pdf"));
        // From here on nothing changes a setting: the settings file is not written again.
        const QString conf = QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                       "Tavrin Networks", "Tavrin Networks")
                                 .fileName();
        const QDateTime written = QDateTime::currentDateTime().addDays(-1);
        QFile file(conf);
        QVERIFY(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(written, QFileDevice::FileModificationTime));
        file.close();
        const int count = qMax(1, pages);
        QCOMPARE(w.statusBar->text("PageNumber"), QString("1 of %1").arg(count));
        QCOMPARE(w.statusBar->text("ImagePath"), path);
        QCOMPARE(w.statusBar->text("ZoomFactor"), QStringLiteral("100 %"));
        QCOMPARE(w.thumbs->widget()->isVisible(), thumbs && pages > 0);
        QCOMPARE(factory->settings->value("bReadOnly"), QStringLiteral("False"));
        QCOMPARE(w.ocrToolbar->enabled("Rectangle"), pages > 0);  // a JPEG takes no annotations
        QVERIFY(v->findChild<QAction*>("actUndo")->toolTip().contains(pages > 0 ? "Nothing to undo"
                                                                                : "no TIFF pages"));
        if (thumbs && pages > 0) {
            QStringList captions;
            for (int i = 0; i < w.tabPages->count(); ++i)
                captions << w.tabPages->tabText(i);
            QCOMPARE(captions, tabs);
        }
        v->MainToolbar_ButtonClick("LastPage");
        QCOMPARE(w.statusBar->text("PageNumber"), QString("%1 of %1").arg(count));
        if (pages > 0)  // the last page itself is shown, not a stale one
            QCOMPARE(static_cast<PageView&>(*w.editor).document().shownPage().convertToFormat(
                         QImage::Format_RGB32),
                     renderPage(page, count).convertToFormat(QImage::Format_RGB32));
        // On a one-page document the first-page rule leaves "NextPage" enabled.
        QCOMPARE(w.mainToolbar->enabled("NextPage"), count == 1);
        QCOMPARE(w.mainToolbar->enabled("FirstPage"), count > 1);
        if (count > 1) {
            // The go-to-page box: typed digits are shown, anything else is dropped, one page
            // too many is replaced by the page count.
            v->MainToolbar_ButtonClick("FirstPage");
            QWidget* goTo = w.ocrToolbar->buttonWidget(w.ocrToolbar->position("GoToPage"));
            QTest::mouseClick(goTo, Qt::LeftButton);
            QVERIFY(w.fraGoto->isVisible());
            w.tboxPageNumber->clear();
            QTest::keyClicks(w.tboxPageNumber, QString::number(count + 1));
            QTest::mouseClick(w.btnFind, Qt::LeftButton);
            QCOMPARE(w.tboxPageNumber->text(), QString::number(count));
            QCOMPARE(w.statusBar->text("PageNumber"), QString("1 of %1").arg(count));
            w.tboxPageNumber->clear();
            QTest::keyClicks(w.tboxPageNumber, "-" + QString::number(count / 2 + 1) + "a.");
            QTest::mouseClick(w.btnFind, Qt::LeftButton);
            QCOMPARE(w.statusBar->text("PageNumber"),
                     QString("%1 of %2").arg(count / 2 + 1).arg(count));
            QCOMPARE(w.editor->document().pageIndex(), count / 2);
            // A right-click empties the clipboard, so nothing but digits can be pasted.
            QGuiApplication::clipboard()->setText("not a number");
            QTest::mouseClick(w.tboxPageNumber, Qt::RightButton);
            QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
            QTest::mouseClick(goTo, Qt::LeftButton);
            QVERIFY(w.fraGoto->isHidden());
        }
        if (thumbs && tabs.size() > 1) {
            // A range tab shows the first page of its range.
            w.tabPages->setCurrentIndex(2);
            QCOMPARE(w.statusBar->text("PageNumber"), QString("101 of %1").arg(count));
            w.tabPages->setCurrentIndex(0);
        }
        v->MainToolbar_ButtonClick("ZoomIn");
        QVERIFY(w.statusBar->text("ZoomFactor") != QStringLiteral("100 %"));
        v->CloseImage();
        v->resize(950, 720);  // a closed document stays closed
        QCOMPARE(w.statusBar->text("PageNumber"), QString());
        QVERIFY(w.editor->document().imagePath().isEmpty());
        QCOMPARE(static_cast<ThumbnailView&>(*w.thumbs).thumbnails().count(), 0);
        QVERIFY(!w.mainToolbar->enabled("Print"));
        QCOMPARE(QFileInfo(conf).lastModified(), written);
        QVERIFY(factory->prompts->messages.isEmpty());
    }

    void damagedPages() {
        // Four pages cut short before the last page's directory; page 2's image data starts
        // where the file now ends.
        QTemporaryDir dir;
        const QString path = dir.filePath("cut.tif");
        TiffPage page;
        page.size = QSize(200, 280);
        QVERIFY(!writeTiff(path, 4, page).isEmpty());
        QByteArray bytes = readAll(path);
        const QVector<quint64> ifds = imaging::Document::open(path)->directoryOffsets();
        const auto cut = qsizetype(ifds.at(3));
        for (qsizetype e = qsizetype(ifds.at(1)) + 2; e < qsizetype(ifds.at(1)) + 200; e += 12)
            if (qFromLittleEndian<quint16>(bytes.constData() + e) == 273)  // StripOffsets
                qToLittleEndian(quint32(cut), bytes.data() + e + 8);
        QVERIFY(!writeBytes(path, bytes.left(cut)).isEmpty());
        auto factory = std::make_shared<RealFactory>();
        factory->settings->writeBool("bThumbs", true);
        ViewerControl v(factory);
        const ViewerWidgets& w = v.widgets();
        v.resize(900, 700);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.OpenImage(path);
        PageView& view = *factory->page;
        QCOMPARE(w.statusBar->text("PageNumber"), QStringLiteral("1 of 3"));
        QCOMPARE(view.document().pageMessage(), QString());
        QWidget* next = w.mainToolbar->buttonWidget(w.mainToolbar->position("NextPage"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(w.statusBar->text("PageNumber"), QStringLiteral("2 of 3"));
        QCOMPARE(
            view.document().pageMessage(),
            QStringLiteral("Page 2 cannot be shown: the file ends inside the page's image data"));
        // Painted where the page would be, on the background.
        const QImage shot = view.viewport()->grab().toImage();
        QCOMPARE(shot.pixel(5, 5), view.palette().color(QPalette::Dark).rgb());
        QVERIFY(shot.pixel(shot.rect().center()) != view.palette().color(QPalette::Dark).rgb());
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(w.statusBar->text("PageNumber"), QStringLiteral("3 of 3"));
        QVERIFY(!view.document().shownPage().isNull());
        QCOMPARE(view.document().pageMessage(),
                 QStringLiteral("The pages after page 3 cannot be shown: the "
                                "file ends before the next page directory"));
        // The thumbnails count the page that cannot be shown and say why.
        auto& thumbs = static_cast<ThumbnailView&>(*w.thumbs);
        QCOMPARE(thumbs.thumbnails().count(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(thumbs.thumbnails().allReady(), 5000);
        QVERIFY(thumbs.thumbnails().image(1).isNull() && !thumbs.thumbnails().image(2).isNull());
        QVERIFY(thumbs.thumbnails().toolTipText(1).contains(
            "The file ends inside the page's image data"));
        QVERIFY(factory->prompts->messages.isEmpty());
    }

    // A file that cannot be shown leaves no document, no message box and empty status
    // panels; the empty view says which file and why, until a document is shown.
    void fileThatCannotBeShown_data() {
        columns<QString, QString>("made", "told");
        addRow("text named .tif", "text", "Not a picture.");
        addRow("pages cut before the first directory", "cut", "Damaged before its first page.");
        addRow("floating-point samples", "float",
               "64-bit floating-point samples are not supported.");
        addRow("huge page in the header", "huge", "Too large: 120000 x 90000 pixels.");
    }
    void fileThatCannotBeShown() {
        auto [made, told] = fetch<QString, QString>("made", "told");
        QTemporaryDir dir;
        const QString good = writeTiff(dir.filePath("good.tif"), 1), path = dir.filePath("bad.tif");
        QMap<quint16, quint32> tags{{256, 4}, {257, 2}, {258, 64}, {259, 1}, {262, 1}, {339, 3}};
        if (made == "huge")
            tags = {{256, 120000}, {257, 90000}, {259, 4}, {262, 0}};
        const QByteArray pages = readAll(writeTiff(path, 4));
        const QByteArray bytes =
            made == "text" ? QByteArray("meeting notes\n")
            : made == "cut"
                ? pages.left(qsizetype(imaging::Document::open(path)->directoryOffsets()[0]))
                : handMadeTiff(tags);
        QVERIFY(!writeBytes(path, bytes).isEmpty());
        RealViewer r([](SettingsStore&) {});
        const ViewerWidgets& w = r.w();
        PageView& view = *r.factory->page;
        r.v->OpenImage(good);
        r.v->OpenImage(path);
        QCOMPARE(view.document().loadFailure(), "bad.tif could not be shown.\n" + told);
        QVERIFY(view.document().imagePath().isEmpty() && !w.mainToolbar->enabled("Print"));
        for (const char* key : {"ImagePath", "ZoomFactor", "PageNumber", "FileAttributes"})
            QVERIFY(r.v->findChild<QLabel*>(key)->text().isEmpty());
        const QImage shot = view.viewport()->grab().toImage();
        QCOMPARE(shot.pixel(5, 5), view.palette().color(QPalette::Dark).rgb());
        QVERIFY(shot.pixel(shot.rect().center()) != view.palette().color(QPalette::Dark).rgb());
        QVERIFY(r.factory->prompts->messages.isEmpty());
        r.v->OpenImage(good);
        QVERIFY(view.document().loadFailure().isEmpty());
    }

    // A long path is shortened in its middle, whatever the width; its tooltip is the whole path. A
    // read-only document says so in words.
    void statusPanels() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QString(150, 'f'));
        QVERIFY(QDir().mkpath(folder));
        const QString path = writeTiff(folder + "/signed contract.tif", 1);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        RealViewer r([](SettingsStore&) {});
        r.v->OpenImage(path);
        const auto* label = r.v->findChild<QLabel*>("ImagePath");
        QCOMPARE(r.w().statusBar->text("ImagePath"), path);
        QCOMPARE(label->toolTip(), path);
        QStringList shown;
        for (int width : {900, 600}) {
            r.v->resize(width, 700);
            shown << label->text();
            static const QRegularExpression ellipsis(QStringLiteral("\u2026|\\.\\.\\."));
            const QStringList ends = shown.last().split(ellipsis);
            QVERIFY2(ends.size() == 2 && path.startsWith(ends[0]) && path.endsWith(ends[1]) &&
                         ends[1].size() >= 4,
                     qPrintable(shown.last()));
            QVERIFY(label->fontMetrics().horizontalAdvance(shown.last()) <=
                    label->contentsRect().width());
        }
        QVERIFY(shown[1].size() < shown[0].size());
        QCOMPARE(r.w().statusBar->text("FileAttributes"), QString("RA  Read-only"));
    }

    // However the shown page changed, its thumbnail is in view and marked, its range's tab
    // chosen and an open go-to-page box shows its number; the mouse wheel over the tabs
    // changes nothing.
    void thumbnailsFollowThePage_data() {
        columns<QString, QString, int>("how", "input", "page");
        addRow("typed, Enter", "type", "1000", 1000);
        addRow("End key", "key", "End", 10000);
        addRow("typed, Enter on the keypad", "type", "5001", 5001);
        addRow("next page at a range's end", "key", "PgDown", 51);
        addRow("range tab", "tab", "3", 151);
        addRow("wheel over the tabs", "wheel", "", 50);
    }
    void thumbnailsFollowThePage() {
        auto [how, input, page] = fetch<QString, QString, int>("how", "input", "page");
        QTemporaryDir dir;
        TiffPage tiny;
        tiny.size = QSize(24, 34);
        QList<TiffPage> pages(10000, tiny);
        for (int i = 0; how == "tab" && i < pages.size(); i += 50)
            pages[i].size = QSize(1728, 2200);  // what a range tab shows first is a fax page
        auto factory = std::make_shared<RealFactory>();
        factory->settings->writeBool("bThumbs", true);
        const auto v = openShown(factory, writeTiff(dir.filePath("long.tif"), pages));
        const ViewerWidgets& w = v->widgets();
        QTest::mouseClick(w.ocrToolbar->buttonWidget(w.ocrToolbar->position("GoToPage")),
                          Qt::LeftButton);
        w.tboxPageNumber->setText("50");
        QTest::keyClick(w.tboxPageNumber, Qt::Key_Return);
        if (how == "type") {
            w.tboxPageNumber->clear();
            QTest::keyClicks(w.tboxPageNumber, input);
            QTest::keyClick(w.tboxPageNumber, page == 1000 ? Qt::Key_Return : Qt::Key_Enter);
        } else if (how == "key") {
            QTest::keySequence(v.get(), QKeySequence(input));
        } else if (how == "tab") {
            QTest::mouseClick(w.tabPages, Qt::LeftButton, {},
                              w.tabPages->tabRect(input.toInt()).center());
        } else {
            const QPointF at = w.tabPages->tabRect(0).center();
            QWheelEvent wheel(at, w.tabPages->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(w.tabPages, &wheel);
        }
        QCOMPARE(w.statusBar->text("PageNumber"), QString("%1 of 10000").arg(page));
        auto& thumbs = static_cast<ThumbnailView&>(*w.thumbs);
        QCOMPARE(w.tabPages->currentIndex(), (page - 1) / 50);
        QCOMPARE(thumbs.thumbnails().pageLabel(0).toInt(), (page - 1) / 50 * 50 + 1);
        QCOMPARE(thumbs.currentPage(), page - 1);
        QCOMPARE(thumbs.selectedIndex(), (page - 1) % 50);
        const int centre =
            thumbs.pageRect(page - 1).translated(thumbs.mapTo(v.get(), QPoint())).center().y();
        QVERIFY2(w.VScroll1->isHidden() || w.VScroll1->geometry().contains(w.VScroll1->x(), centre),
                 qPrintable(QString::number(centre)));
        if (how != "key")  // page turning closes the box
            QCOMPARE(w.tboxPageNumber->text(), QString::number(page));
        if (how != "tab")
            return;
        // Every range visited in turn: one range of thumbnails and a few decoded pages are
        // kept, so resident memory stays within 4 MiB (1024 pages) over the last 40 ranges.
        const auto resident = [] {
            QFile statm("/proc/self/statm");
            return statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ')[1].toLongLong() : 0;
        };
        qint64 before = 0;
        for (int tab = 0; tab < 60; ++tab) {
            w.tabPages->setCurrentIndex(tab);
            QTRY_VERIFY_WITH_TIMEOUT(
                thumbs.thumbnails().allReady() && thumbs.thumbnails().count() <= 50, 5000);
            before = tab == 20 ? resident() : before;
        }
#ifndef __SANITIZE_ADDRESS__  // the address sanitizer keeps freed memory resident a while
        QVERIFY2(resident() - before < 1024, qPrintable(QString::number(resident() - before)));
#endif
    }

    // A resize and a drawn rectangle keep the zoom mode and the part of the page in view,
    // a resize keeps a turn not saved yet; the next page comes at the default zoom, at its top.
    void viewKeptAcrossLayoutAndDrawing_data() {
        columns<QString, QString, QSize>("button", "panel", "size");
        addRow("fit width", QString("FitWidth"), QString("Fit Width"), QSize(1240, 1754));
        addRow("fit height", QString("FitHeight"), QString("Fit Height"), QSize(3000, 1000));
        addRow("zoomed in", QString("ZoomIn"), QString("125 %"), QSize(1240, 1754));
    }
    void viewKeptAcrossLayoutAndDrawing() {
        auto [button, panel, size] = fetch<QString, QString, QSize>("button", "panel", "size");
        QTemporaryDir dir;
        auto factory = std::make_shared<RealFactory>();
        TiffPage layout;
        layout.size = size;
        const auto v = openShown(factory, writeTiff(dir.filePath("a.tif"), 2, layout));
        const ViewerWidgets& w = v->widgets();
        auto& view = static_cast<PageView&>(*w.editor);
        const auto click = [](Toolbar& bar, const QString& key) {
            QTest::mouseClick(bar.buttonWidget(bar.position(key)), Qt::LeftButton);
        };
        click(*w.mainToolbar, button);
        for (QScrollBar* bar : {view.horizontalScrollBar(), view.verticalScrollBar()})
            bar->setValue(bar->maximum() / 2);
        QPoint at(view.view().viewLeft(), view.view().viewTop());
        QVERIFY(at.x() + at.y() > 0);
        const auto kept = [&] {
            const QSizeF shown = view.view().displaySize(), room = view.viewport()->size();
            QCOMPARE(w.statusBar->text("ZoomFactor"), panel);
            if (button == "ZoomIn")
                QCOMPARE(view.view().zoomPercent(), 125);
            else if (button == "FitWidth")
                QVERIFY(qAbs(shown.width() - room.width()) <= 1);
            else
                QVERIFY(qAbs(shown.height() - room.height()) <= 1);
            QVERIFY(
                (QPoint(view.view().viewLeft(), view.view().viewTop()) - at).manhattanLength() <=
                4);
        };
        v->resize(1000, 780);
        kept();
        click(*w.ocrToolbar, "Rectangle");
        QWidget* page = view.viewport();
        QTest::mousePress(page, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(page, QPoint(150, 140));
        QTest::mouseMove(page, QPoint(200, 180));
        QTest::mouseRelease(page, Qt::LeftButton, {}, QPoint(200, 180));
        QCOMPARE(imaging::AnnotationStore::load(view.document().imagePath(), 0).annotations.size(),
                 1);
        kept();
        click(*w.mainToolbar, "Rotate90Right");
        at = QPoint(view.view().viewLeft(), view.view().viewTop());
        v->resize(900, 700);
        QVERIFY(!view.document().turn().isIdentity());
        kept();
        QTest::keySequence(v.get(), QKeySequence("PgDown"));
        QCOMPARE(w.statusBar->text("ZoomFactor"), QString("100 %"));
        QCOMPARE(QPoint(view.view().viewLeft(), view.view().viewTop()), QPoint(0, 0));
    }

    // A zoom or page turn keeps the annotation tool, and the press that closes a tool's
    // style pop-up draws on the page.
    void firstPressAfterStylePopupDraws_data() {
        columns<QString>("tool");
        addRow("rectangle", QString("Rectangle"));
        addRow("stamp", QString("Stamp"));
    }
    void firstPressAfterStylePopupDraws() {
        auto [tool] = fetch<QString>("tool");
        QTemporaryDir dir;
        auto factory = std::make_shared<RealFactory>();
        factory->prompts->realMenus = true;
        const auto v = openShown(factory, writeTiff(dir.filePath("a.tif"), 2, TiffPage()));
        const ViewerWidgets& w = v->widgets();
        auto& view = static_cast<PageView&>(*w.editor);
        QWindow* window = v->windowHandle();
        const QPoint from = view.mapTo(v.get(), view.rect().center()), to = from + QPoint(60, 40);
        const auto dragOn = [&] {
            QTest::mouseMove(window, to);
            QTest::mouseRelease(window, Qt::LeftButton, {}, to);
        };
        // The first press on the page comes while the pop-up is open.
        QTimer::singleShot(0, [&] { QTest::mousePress(window, Qt::LeftButton, {}, from); });
        QTest::mouseClick(w.ocrToolbar->buttonWidget(w.ocrToolbar->position(tool)), Qt::LeftButton);
        dragOn();
        QCOMPARE(view.annotations().list().size(), 1);
        for (const char* key : {"Ctrl++", "PgDown", "Ctrl+-", "PgUp"}) {
            QTest::keySequence(v.get(), QKeySequence(key));
            QCOMPARE(w.ocrToolbar->value(tool), 1);
        }
        QTest::mousePress(window, Qt::LeftButton, {}, from);
        dragOn();
        QCOMPARE(view.annotations().list().size(), 2);
        QVERIFY(factory->prompts->messages.isEmpty());
    }

    // A turned page is written into its file whenever the user leaves it, however that is
    // done, and comes back turned; with "chkSaveTIF" 0 the turn is dropped.
    void turnedPageSaved_data() {
        columns<QString, QString>("chkSaveTIF", "leave");
        addRow("toolbar", "1", "NextPage");
        addRow("keyboard", "1", "PageDown");
        addRow("go-to-page box", "1", "goto");
        addRow("thumbnail", "1", "thumbnail");
        addRow("another document", "1", "open");
        addRow("not asked to save", "0", "NextPage");
    }
    void turnedPageSaved() {
        auto [chkSaveTIF, leave] = fetch<QString, QString>("chkSaveTIF", "leave");
        QTemporaryDir dir;
        TiffPage layout;
        layout.size = QSize(200, 280);
        const QString path = writeTiff(dir.filePath("doc.tif"), 3, layout);
        RealViewer r([&](SettingsStore& s) {
            s.writeBool("bThumbs", true);
            s.setValue("chkSaveTIF", chkSaveTIF);
        });
        const ViewerWidgets& w = r.w();
        r.v->OpenImage(path);
        r.click("Rotate90Left");
        if (leave == "NextPage") {
            r.click("NextPage");
        } else if (leave == "PageDown") {
            r.v->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(r.v.get()));
            w.editor->widget()->setFocus();
            QTest::keyClick(w.editor->widget(), Qt::Key_PageDown);
        } else if (leave == "goto") {
            QTest::mouseClick(w.ocrToolbar->buttonWidget(w.ocrToolbar->position("GoToPage")),
                              Qt::LeftButton);
            w.tboxPageNumber->clear();
            QTest::keyClicks(w.tboxPageNumber, "3");
            QTest::mouseClick(w.btnFind, Qt::LeftButton);
        } else if (leave == "thumbnail") {
            QTest::mouseClick(&r.pane(), Qt::LeftButton, {},
                              r.pane().viewport().thumbnailRect(1).center());
        } else {
            r.v->OpenImage(writeTiff(dir.filePath("other.tif"), 1, layout));
        }
        QVERIFY(w.statusBar->text("PageNumber") != "1 of 3");
        const QString first = chkSaveTIF == "1" ? "280x200" : "200x280";
        QCOMPARE(fileSizes(path), (QStringList{first, "200x280", "200x280"}));
        if (leave != "open")  // another document has a history of its own
            QCOMPARE(r.v->findChild<QAction*>("actUndo")->text(),
                     chkSaveTIF == "1" ? "Undo Rotate Page 1" : "Undo");
        r.v->OpenImage(path);
        const QSize shown = static_cast<PageView&>(*w.editor).document().shownPage().size();
        QCOMPARE(QString("%1x%2").arg(shown.width()).arg(shown.height()), first);
        QVERIFY(r.factory->prompts->messages.isEmpty());
    }

    // Pages deleted or moved with the thumbnail pane's keys: the file as tiffinfo reads it,
    // the status panel, the tabs and the thumbnails agree, and the page the pane selects is
    // the page shown. Page n of the document is 200 + n pixels wide.
    void pagesDeletedAndMoved_data() {
        // tab and thumb: clicked first; keys: pressed on the pane
        columns<int, int, QString, QString, int>("tab", "thumb", "keys", "pageNumber", "width");
        addRow("only page of the last range, its tab shown", 1, 0, "Del", "50 of 50", 250);
        addRow("delete in the first range", 0, 2, "Del", "3 of 50", 204);
        addRow("moved down", 0, 2, "Ctrl+Down", "4 of 51", 203);
        addRow("moved down twice at once", 0, 2, "Ctrl+Down Ctrl+Down", "5 of 51", 203);
        addRow("moved up", 1, 0, "Ctrl+Up", "50 of 51", 251);
    }
    void pagesDeletedAndMoved() {
        auto [tab, thumb, keys, pageNumber, width] =
            fetch<int, int, QString, QString, int>("tab", "thumb", "keys", "pageNumber", "width");
        QTemporaryDir dir;
        QList<TiffPage> pages(51);
        for (int i = 0; i < pages.size(); ++i)
            pages[i].size = QSize(201 + i, 280);
        const QString path = writeTiff(dir.filePath("doc.tif"), pages);
        RealViewer r([](SettingsStore& s) { s.writeBool("bThumbs", true); });
        const ViewerWidgets& w = r.w();
        ThumbnailView& pane = r.pane();
        r.v->OpenImage(path);
        QTest::mouseClick(w.tabPages, Qt::LeftButton, {}, w.tabPages->tabRect(tab).center());
        QTest::mouseClick(&pane, Qt::LeftButton, {}, pane.viewport().thumbnailRect(thumb).center());
        r.factory->prompts->questionAnswers << true;
        for (const QString& key : keys.split(' '))
            QTest::keySequence(&pane, QKeySequence(key));

        const QStringList sizes = fileSizes(path);
        const int shown = pageNumber.section(' ', 0, 0).toInt() - 1;
        QCOMPARE(w.statusBar->text("PageNumber"), pageNumber);
        QCOMPARE(pageNumber.section(' ', 2).toInt(), sizes.size());
        QCOMPARE(sizes.value(shown), QString("%1x280").arg(width));
        QCOMPARE(static_cast<PageView&>(*w.editor).document().shownPage().width(), width);
        QCOMPARE(w.tabPages->count(), (sizes.size() + 49) / 50);
        QCOMPARE(w.tabPages->currentIndex(), shown / 50);
        QCOMPARE(pane.thumbnails().pageCount(), sizes.size());
        QCOMPARE(pane.firstPage(), shown / 50 * 50);
        QCOMPARE(pane.currentPage(), shown);
        if (keys.contains("Ctrl"))
            QCOMPARE(pane.firstPage() + pane.selectedIndex(), shown);
        QVERIFY(r.factory->prompts->messages.isEmpty());
    }

    // Undo and redo from the keys and both pop-up menus: a page deleted from the pane comes
    // back and goes again; the file, status panel, thumbnails and actions follow each step.
    void undoAndRedo() {
        QTemporaryDir dir;
        QList<TiffPage> pages(3);  // page n is 200 + n pixels wide
        for (int i = 0; i < pages.size(); ++i)
            pages[i].size = QSize(201 + i, 280);
        const QString path = writeTiff(dir.filePath("doc.tif"), pages);
        const QList notes{imaging::Annotation::make({}, {9, 9, 99, 99})};  // filled rectangle
        QVERIFY(imaging::AnnotationStore::save(path, 0, notes).ok);
        const QStringList original = pageSnapshots(path);
        RealViewer r([](SettingsStore& s) { s.writeBool("bThumbs", true); });
        ThumbnailView& pane = r.pane();
        r.v->OpenImage(path);
        r.v->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(r.v.get()));
        QAction *undo = r.v->findChild<QAction*>("actUndo"), *redo = r.v->undoRedo().redoAction();
        QVERIFY(undo && redo->objectName() == "actRedo");
        r.click("NextPage");  // its thumbnail is selected
        r.factory->prompts->questionAnswers << true;
        const QStringList two{"201x280", "203x280"}, three{"201x280", "202x280", "203x280"};
        const QString undone = "Undo Delete Page 2", redone = "Redo Delete Page 2";
        using S = std::tuple<QString, QStringList, QString, QString>;  // a step
        // Keys pressed on the pane or the menu chosen, then the file's pages and the actions.
        for (const auto& [how, sizes, undoText, redoText] :
             {S{"Del", two, undone, "Redo"}, S{"Ctrl+Z", three, "Undo", redone},
              S{"Ctrl+Y", two, undone, "Redo"}, S{"pane menu", three, "Undo", redone},
              S{"note menu", two, undone, "Redo"}, S{"Ctrl+Z", three, "Undo", redone},
              S{"Ctrl+Shift+Z", two, undone, "Redo"}, S{"Ctrl+Shift+Z", two, undone, "Redo"}}) {
            if (how == "pane menu") {
                r.factory->prompts->menuChoices << undo->text();
                QTest::mouseClick(&pane, Qt::RightButton, {},
                                  pane.viewport().thumbnailRect(1).center());
            } else if (how == "note menu") {
                r.factory->prompts->menuChoices << redo->text();
                r.click("FirstPage");
                QTest::mouseClick(
                    r.w().ocrToolbar->buttonWidget(r.w().ocrToolbar->position("Select")),
                    Qt::LeftButton);
                auto& page = static_cast<PageView&>(*r.w().editor);
                QTest::mouseClick(page.viewport(), Qt::LeftButton, {},
                                  page.annotations().pageToWidget().map(QPointF(50, 50)).toPoint());
                QCOMPARE(r.factory->prompts->menus.last().actions.mid(3),
                         (QStringList{"Undo", redone}));
            } else {
                pane.setFocus();
                QTest::keySequence(&pane, QKeySequence(how));
            }
            QCOMPARE(fileSizes(path), sizes);
            QCOMPARE(r.w().statusBar->text("PageNumber"), QString("2 of %1").arg(sizes.size()));
            QCOMPARE(pane.thumbnails().pageCount(), sizes.size());
            QCOMPARE(undo->text(), undoText);
            QCOMPARE(redo->text(), redoText);
            QCOMPARE(undo->isEnabled(), undoText != "Undo");
        }
        QCOMPARE(r.factory->prompts->menus.first().actions.mid(3), (QStringList{undone, "Redo"}));
        QTest::keySequence(&pane, QKeySequence("Ctrl+Z"));
        QCOMPARE(pageSnapshots(path), original);
        QVERIFY(r.factory->prompts->messages.isEmpty());
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));  // no history, and why
        r.v->OpenImage(path);
        QVERIFY(!undo->isEnabled() && undo->toolTip().contains("read-only"));
    }
};

QTEST_MAIN(TestViewerReal)
#include "tst_viewerreal.moc"
