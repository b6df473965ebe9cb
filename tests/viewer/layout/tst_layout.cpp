// The parts of the control side by side, never over each other, on the real components at
// several sizes; the thumbnails scrolled and the page ranges reached with the mouse; the
// splitter between thumbnails and page, dragged with the mouse, on recording doubles.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

#include "platform/twips.h"
#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/viewerharness.h"
#include "viewer/layout/panelayout.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// The control on the real components, shown, with a document opened.
struct Shown {
    std::shared_ptr<RealFactory> factory = std::make_shared<RealFactory>();
    std::unique_ptr<ViewerControl> v;
    Shown(const QString& path, QSize size, bool thumbs) {
        moduleState() = ViewerModuleState();
        factory->makeEngine = [] { return std::make_unique<RecordingEngine>(); };
        factory->settings->writeBool("bThumbs", thumbs);
        factory->makeTextProvider = [] { return std::make_unique<ScriptedPageText>(); };
        v = std::make_unique<ViewerControl>(factory);
        v->resize(size);
        v->show();
        if (QTest::qWaitForWindowExposed(v.get()))
            v->OpenImage(path);
    }
    const ViewerWidgets& w() const { return v->widgets(); }
};

// What is wrong with the layout: a part outside the control, or two parts over each other
// by more than a pixel's edge (each part where it can paint: cut by its parents). "" = fine.
QString layoutFault(const ViewerControl& v) {
    auto* page = qobject_cast<QAbstractScrollArea*>(v.widgets().editor->widget());
    QList<QWidget*> parts{page->verticalScrollBar(), page->horizontalScrollBar()};
    for (const char* part :
         {"MainToolbar", "OcrToolbar", "SelectionToolbar", "StatusBar", "tabPages", "btnRanges",
          "ctlKTImgThumbs1", "VScroll1", "btnSplitter", "ctlKTImgEdit1", "findBar"})
        parts << v.findChild<QWidget*>(part);
    const auto name = [](const QWidget* part) {
        return part->objectName().isEmpty() ? QString(part->metaObject()->className())
                                            : part->objectName();
    };
    const auto painted = [&v](const QWidget* part) {
        QRect r(part->mapTo(&v, QPoint()), part->size());
        for (const QWidget* p = part->parentWidget(); p != &v; p = p->parentWidget())
            r &= QRect(p->mapTo(&v, QPoint()), p->size());
        return r;
    };
    parts.removeIf([](const QWidget* part) { return !part->isVisible(); });
    for (const QWidget* a : parts) {
        if (!v.rect().contains(painted(a)))
            return name(a) + " leaves the control";
        for (const QWidget* b : parts) {
            const QRect both = painted(a) & painted(b);
            if (a < b && !a->isAncestorOf(b) && !b->isAncestorOf(a) && both.width() > 1 &&
                both.height() > 1)
                return name(a) + " over " + name(b);
        }
    }
    return {};
}

}  // namespace

class TestLayout : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QMap<int, QString> m_documents;  // by page count, small fax pages

private slots:
    void initTestCase() {
        TiffPage tiny;
        tiny.size = QSize(40, 52);
        for (int pages : {1, 50, 1000})
            m_documents[pages] =
                writeTiff(m_dir.filePath(QString("%1.fax").arg(pages)), pages, tiny);
    }

    void partsNeverOverlap_data() {
        columns<QSize, int, bool>("size", "pages", "thumbs");
        for (QSize size : {QSize(640, 480), QSize(1024, 768), QSize(1920, 1080)})
            for (int pages : {1, 50, 1000})
                for (bool thumbs : {false, true})
                    QTest::addRow("%dx%d, %d pages%s", size.width(), size.height(), pages,
                                  thumbs ? ", thumbnails" : "")
                        << size << pages << thumbs;
    }
    void partsNeverOverlap() {
        auto [size, pages, thumbs] = fetch<QSize, int, bool>("size", "pages", "thumbs");
        Shown s(m_documents[pages], size, thumbs);
        QCOMPARE(s.w().thumbs->widget()->isVisible(), thumbs);
        QCOMPARE(layoutFault(*s.v), QString());
        QTest::keyClick(s.v.get(), Qt::Key_F, Qt::ControlModifier);  // the find bar opened
        QVERIFY(s.v->findChild<QWidget*>("findBar")->isVisible());
        s.v->resize(size.transposed());
        QCOMPARE(layoutFault(*s.v), QString());
        s.v->resize(size);
        s.w().VScroll1->setValue(s.w().VScroll1->maximum());
        QCOMPARE(layoutFault(*s.v), QString());
    }

    // With the mouse: the thumbnails follow the thumb while it is dragged, the wheel and a
    // touchpad over them scroll them, and the drop-down beside the tabs reaches the last
    // range of a 1000-page fax in one choice.
    void thumbnailsScrolledAndRangesReached_data() {
        columns<QString, int>("how", "scrolled");
        addRow("thumb dragged 100 pixels down", QString("drag"), 100);
        addRow("wheel turned one notch down", QString("wheel"), 59 + 60);
        addRow("touchpad swiped 25 pixels up", QString("touchpad"), 59 - 25);
        addRow("range chosen from the drop-down", QString("ranges"), 0);
    }
    void thumbnailsScrolledAndRangesReached() {
        auto [how, scrolled] = fetch<QString, int>("how", "scrolled");
        Shown s(m_documents[1000], QSize(1024, 768), true);
        QScrollBar* bar = s.w().VScroll1;
        QWidget* pane = s.w().thumbs->widget();
        if (how == "drag") {
            QStyleOptionSlider o;
            o.initFrom(bar);
            std::tie(o.orientation, o.minimum, o.maximum, o.pageStep, o.sliderPosition) =
                std::tuple(Qt::Vertical, 1, bar->maximum(), bar->pageStep(), 1);
            const QPoint at =
                bar->style()
                    ->subControlRect(QStyle::CC_ScrollBar, &o, QStyle::SC_ScrollBarSlider, bar)
                    .center();
            QTest::mousePress(bar, Qt::LeftButton, {}, at);
            QTest::mouseMove(bar, at + QPoint(0, 100));
            scrolled = bar->value() - 1;  // the steps of 100 pixels of the bar's track
            QVERIFY(bar->isSliderDown() && scrolled > 100);
            QCOMPARE(pane->y(), -scrolled);  // before the thumb is let go
            QTest::mouseRelease(bar, Qt::LeftButton, {}, at + QPoint(0, 100));
        } else if (how == "ranges") {
            QVERIFY(s.w().btnRanges->isVisible());
            s.factory->prompts->menuChoices << "951...1000";
            QTest::mouseClick(s.w().btnRanges, Qt::LeftButton);
            QCOMPARE(s.w().statusBar->text("PageNumber"), QString("951 of 1000"));
            QCOMPARE(s.w().tabPages->currentIndex(), 19);
        } else {
            const QPointF at(20, 20);
            const QPoint pixels(0, how == "touchpad" ? 25 : 0);
            QWheelEvent turn(at, pane->mapToGlobal(at), pixels,
                             QPoint(0, pixels.isNull() ? -120 : 20), Qt::NoButton, {},
                             Qt::NoScrollPhase, false);
            bar->setValue(60);  // 59 pixels down, then turned
            QApplication::sendEvent(pane, &turn);
        }
        QCOMPARE(bar->sliderPosition() - 1, scrolled);
        QCOMPARE(pane->y(), -scrolled);
        QCOMPARE(layoutFault(*s.v), QString());
    }

    void splitter_data() {
        // over: where the pointer moves after the release; moves: x of each move in pixels;
        // splitter: left edge afterwards
        columns<QString, QList<int>, int, bool>("over", "moves", "splitter", "pending");
        addRow("thumbnails at 250", "thumbs", QList<int>{250}, 250, false);
        addRow("thumbnails at 80: refused", "thumbs", QList<int>{80}, 156, true);
        addRow("page 60 to the right", "page", QList<int>{60}, 216, false);
        addRow("page too close to its right edge", "page", QList<int>{10000}, 156, true);
    }
    void splitter() {
        auto [over, moves, splitter, pending] =
            fetch<QString, QList<int>, int, bool>("over", "moves", "splitter", "pending");
        ViewerHarness h;
        ViewerControl& v = *h.viewer;
        PaneLayout& layout = v.layout();
        h.w().thumbs->widget()->show();
        h.w().btnSplitter->show();
        layout.ArrangePanes();
        const double tpp = twips::perPixelX();
        QPushButton* button = h.w().btnSplitter;
        QLabel* bar = h.w().pBoxDrag;

        const auto send = [](QWidget* w, QEvent::Type type, Qt::MouseButton b, int x = 2) {
            const Qt::MouseButtons held = type == QEvent::MouseMove ? Qt::MouseButtons(b) : b;
            QMouseEvent e(type, QPointF(x, 2), QPointF(x, 2),
                          type == QEvent::MouseMove ? Qt::NoButton : b, held, Qt::NoModifier);
            QApplication::sendEvent(w, &e);
        };
        // Hovering shows the resize pointer; the background restores the old one.
        layout.setMousePointer(2);
        layout.btnSplitter_MouseMove(0, 0, 0, 0);
        QCOMPARE(v.cursor().shape(), Qt::SizeHorCursor);
        send(&v, QEvent::MouseMove, Qt::NoButton);
        QCOMPARE(layout.mousePointer(), qint16(2));

        send(button, QEvent::MouseButtonPress, Qt::RightButton);
        QVERIFY(bar->isHidden());
        send(button, QEvent::MouseButtonPress, Qt::LeftButton);
        QVERIFY(!bar->isHidden());
        send(button, QEvent::MouseMove, Qt::LeftButton, 40);
        QCOMPARE(bar->x(), 156 + 40);
        QCOMPARE(button->x(), 156);
        send(button, QEvent::MouseButtonRelease, Qt::LeftButton);
        QVERIFY(bar->isHidden());

        for (int x : moves) {
            int b = 0, shift = 0;
            float fy = 10;
            float fx = over == "thumbs" ? static_cast<float>(x) : static_cast<float>(x * tpp);
            if (over == "thumbs")
                layout.ctlKTImgThumbs1_MouseMove(b, shift, fx, fy);
            else
                v.ctlKTImgEdit1_MouseMove(b, shift, fx, fy);
        }
        QCOMPARE(button->x(), splitter);
        QCOMPARE(ViewerControl::module().splitterDrag(), pending);
        if (!pending)
            QCOMPARE(h.w().tabPages->width() + 1, splitter);  // re-laid, up to the splitter
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
