// The viewer on its real components: generated documents are opened, paged, zoomed, turned,
// edited from the thumbnails and closed as a user would; libtiff's tiffinfo reads the files.
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>

#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

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
        addRow("JPEG image", "photo.jpg", 0, false, QStringList());
    }

    void pagesOfDocuments() {
        auto [name, pages, thumbs, tabs] =
            fetch<QString, int, bool, QStringList>("name", "pages", "thumbs", "tabs");
        moduleState() = ViewerModuleState();
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        TiffPage page;
        page.size = QSize(200, 280);
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
        ViewerControl v(factory);
        const ViewerWidgets& w = v.widgets();
        v.resize(900, 700);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.setUserPermission(24);
        // Hosts and tests find every control by its name, toolbar buttons by key.
        for (const char* control : {"ctlKTImgEdit1", "ctlKTImgThumbs1", "StatusBar", "tabPages",
                                    "VScroll1", "btnSplitter", "pBoxDrag", "fraGoto",
                                    "tboxPageNumber", "vsPages", "btnFind", "ProgressBar1"})
            QVERIFY2(v.findChild<QWidget*>(control), control);
        for (const char* bar : {"MainToolbar", "OcrToolbar", "SelectionToolbar"})
            QVERIFY2(v.findChild<QToolBar*>(bar)->findChild<QWidget*>("Select") || bar[0] == 'S',
                     bar);
        QVERIFY(v.findChild<QToolBar*>("SelectionToolbar")->findChild<QWidget*>("OCR"));
        v.OpenImage(path);
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
        QCOMPARE(w.thumbs->widget()->isVisible(), thumbs);
        if (thumbs) {
            QStringList captions;
            for (int i = 0; i < w.tabPages->count(); ++i)
                captions << w.tabPages->tabText(i);
            QCOMPARE(captions, tabs);
        }
        v.MainToolbar_ButtonClick("LastPage");
        QCOMPARE(w.statusBar->text("PageNumber"), QString("%1 of %1").arg(count));
        if (pages > 0)  // the last page itself is shown, not a stale one
            QCOMPARE(
                static_cast<PageView&>(*w.editor).shownPage().convertToFormat(QImage::Format_RGB32),
                renderPage(page, count).convertToFormat(QImage::Format_RGB32));
        // On a one-page document the first-page rule leaves "NextPage" enabled.
        QCOMPARE(w.mainToolbar->enabled("NextPage"), count == 1);
        QCOMPARE(w.mainToolbar->enabled("FirstPage"), count > 1);
        if (count > 1) {
            // The go-to-page box: typed digits are shown, anything else is dropped, one page
            // too many is replaced by the page count.
            v.MainToolbar_ButtonClick("FirstPage");
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
            QCOMPARE(w.editor->pageIndex(), count / 2);
            // A right-click empties the clipboard, so nothing but digits can be pasted.
            QGuiApplication::clipboard()->setText("not a number");
            QTest::mouseClick(w.tboxPageNumber, Qt::RightButton);
            QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
            QTest::mouseClick(goTo, Qt::LeftButton);
            QVERIFY(w.fraGoto->isHidden());
        }
        if (thumbs && tabs.size() > 1) {
            // A range tab shows the first page of its range.
            w.tabPages->setCurrentIndex(1);
            QCOMPARE(w.statusBar->text("PageNumber"), QString("51 of %1").arg(count));
            w.tabPages->setCurrentIndex(0);
        }
        v.MainToolbar_ButtonClick("ZoomIn");
        QVERIFY(w.statusBar->text("ZoomFactor") != QStringLiteral("100 %"));
        v.CloseImage();
        v.resize(950, 720);  // a closed document stays closed
        QCOMPARE(w.statusBar->text("PageNumber"), QString());
        QVERIFY(w.editor->imagePath().isEmpty());
        QCOMPARE(static_cast<ThumbnailView&>(*w.thumbs).thumbnailCount(), 0);
        QVERIFY(!w.mainToolbar->enabled("Print"));
        QCOMPARE(QFileInfo(conf).lastModified(), written);
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
            QTest::mouseClick(&r.pane(), Qt::LeftButton, {}, r.pane().thumbnailRect(1).center());
        } else {
            r.v->OpenImage(writeTiff(dir.filePath("other.tif"), 1, layout));
        }
        QVERIFY(w.statusBar->text("PageNumber") != "1 of 3");
        const QString first = chkSaveTIF == "1" ? "280x200" : "200x280";
        QCOMPARE(fileSizes(path), (QStringList{first, "200x280", "200x280"}));
        r.v->OpenImage(path);
        const QSize shown = static_cast<PageView&>(*w.editor).shownPage().size();
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
        QTest::mouseClick(&pane, Qt::LeftButton, {}, pane.thumbnailRect(thumb).center());
        r.factory->prompts->questionAnswers << true;
        for (const QString& key : keys.split(' '))
            QTest::keySequence(&pane, QKeySequence(key));

        const QStringList sizes = fileSizes(path);
        const int shown = pageNumber.section(' ', 0, 0).toInt() - 1;
        QCOMPARE(w.statusBar->text("PageNumber"), pageNumber);
        QCOMPARE(pageNumber.section(' ', 2).toInt(), sizes.size());
        QCOMPARE(sizes.value(shown), QString("%1x280").arg(width));
        QCOMPARE(static_cast<PageView&>(*w.editor).shownPage().width(), width);
        QCOMPARE(w.tabPages->count(), (sizes.size() + 49) / 50);
        QCOMPARE(w.tabPages->currentIndex(), shown / 50);
        QCOMPARE(pane.pageCount(), sizes.size());
        QCOMPARE(pane.firstPage(), shown / 50 * 50);
        QCOMPARE(pane.currentPage(), shown);
        if (keys.contains("Ctrl"))
            QCOMPARE(pane.firstPage() + pane.selectedIndex(), shown);
        QVERIFY(r.factory->prompts->messages.isEmpty());
    }
};

QTEST_MAIN(TestViewerReal)
#include "tst_viewerreal.moc"
