// The viewer for assistive technologies and for the keyboard alone, on the real components:
// every child named, and every toolbar command, an annotation and its deletion reached with
// keys only; the file is read back from disk.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QToolBar>
#include <QtTest>

#include "imaging/annotationstore.h"
#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// A user with a keyboard only: keys go to whichever widget has the focus.
struct KeyboardUser {
    ViewerControl& v;
    void press(Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier, int times = 1) {
        for (int i = 0; i < times; ++i)
            if (QWidget* focus = QApplication::focusWidget())
                QTest::keyClick(focus, key, m);
    }
    bool inside(const QWidget* region) const {
        const QWidget* f = QApplication::focusWidget();
        return f && (f == region || region->isAncestorOf(f));
    }
    // F6 to the region, then the arrow keys to the named button, which Enter presses.
    bool use(const QWidget* region, const QString& name = QString()) {
        for (int i = 0; i < 6 && !inside(region); ++i)
            press(Qt::Key_F6);
        for (int i = 0; i < 40 && !name.isEmpty() && QApplication::focusWidget() &&
                        QApplication::focusWidget()->objectName() != name;
             ++i)
            press(Qt::Key_Right);
        if (!inside(region) ||
            (!name.isEmpty() && QApplication::focusWidget()->objectName() != name))
            return false;
        if (!name.isEmpty())
            press(Qt::Key_Return);
        return true;
    }
    // On the page: Enter at the cursor, Shift+arrows to the opposite corner, Enter.
    void drag(int right, int down) {
        press(Qt::Key_Return);
        press(Qt::Key_Right, Qt::ShiftModifier, right);
        press(Qt::Key_Down, Qt::ShiftModifier, down);
        press(Qt::Key_Return);
    }
};

QString accessibleName(QObject* object) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(object);
    return i ? i->text(QAccessible::Name) : QString();
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<RealFactory> m_factory;
    std::unique_ptr<ViewerControl> m_v;
    RecordingEngine* m_engine = nullptr;

private slots:
    // A three-page TIFF with its thumbnails, shown, annotation allowed, the control focused.
    void init() {
        moduleState() = ViewerModuleState();
        m_factory = std::make_shared<RealFactory>();
        m_factory->settings->writeBool(settings::Thumbs, true);
        auto printer = std::make_shared<FixedPrinterStatus>();
        printer->answer = QStringLiteral("Offline");
        m_factory->printer = printer;
        m_factory->makeEngine = [this] {
            auto engine = std::make_unique<RecordingEngine>();
            m_engine = engine.get();
            return engine;
        };
        m_v = std::make_unique<ViewerControl>(m_factory);
        m_v->resize(1000, 760);
        m_v->show();
        m_v->setUserPermission(24);
        QVERIFY(QTest::qWaitForWindowActive(m_v.get()));
        TiffPage layout;
        layout.size = QSize(600, 800);
        m_v->OpenImage(writeTiff(m_dir.filePath("doc.tif"), 3, layout));
        m_v->setFocus();
        QTRY_VERIFY(m_v->hasFocus());
    }
    void cleanup() { m_v.reset(); }

    void everyChildIsNamed() {
        QStringList unnamed;
        QList<QWidget*> widgets = m_v->findChildren<QWidget*>();
        widgets.prepend(m_v.get());
        for (QWidget* w : widgets)
            if (accessibleName(w).isEmpty() || w->accessibleDescription().isEmpty())
                unnamed << QString::fromLatin1(w->metaObject()->className()) + ' ' +
                               w->objectName();
        for (QAction* a : m_v->findChildren<QAction*>())
            if (a->text().isEmpty() && !a->isSeparator())
                unnamed << "action " + a->objectName();
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        QCOMPARE(accessibleName(m_v->widgets().editor->widget()), "Page 1 of 3, 100 %");
        // The thumbnails are a list of pages, the first one shown and selected.
        QAccessibleInterface* list =
            QAccessible::queryAccessibleInterface(m_v->widgets().thumbs->widget());
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->childCount(), 3);
        QCOMPARE(list->child(0)->text(QAccessible::Name), "Page 1, shown");
        QCOMPARE(list->child(2)->text(QAccessible::Name), "Page 3");
        QVERIFY(list->child(0)->state().selected && !list->child(1)->state().selected);
    }

    // Each command of the three toolbars with keys only; each changes what the viewer shows
    // or asks (a prompt, the engine).
    void everyCommandByKeyboard() {
        const ViewerWidgets& w = m_v->widgets();
        QWidget* page = w.editor->widget();
        KeyboardUser user{*m_v};
        const auto& prompts = *m_factory->prompts;
        const auto state = [&] {
            QStringList s{w.statusBar->text("ZoomFactor"),
                          w.editor->view().zoomFactor(),
                          accessibleName(page),
                          w.editor->view().tool(),
                          QString::number(m_factory->page->document().shownPage().cacheKey()),
                          QString::number(w.thumbs->widget()->isVisible()),
                          QString::number(m_factory->settings->readBool(settings::Thumbs)),
                          QString::number(w.fraGoto->isVisible()),
                          QString::number(w.ocrToolbar->image(2)),
                          QString::number(prompts.messages.size()),
                          QString::number(prompts.fileRequests.size()),
                          QString::number(prompts.dialogs.size()),
                          QString::number(m_engine->calls.size()),
                          QString::number(QGuiApplication::clipboard()->image().isNull()),
                          QString::number(m_v->findChild<QWidget*>("findBar")->isVisible())};
            for (const char* tool : {"Select", "Highlight", "Text", "Stamp", "Rectangle"})
                s << QString::number(w.ocrToolbar->value(tool));
            return s.join('|');
        };
        const auto run = [&](Toolbar* bar, const char* key) {
            const QString before = state();
            QVERIFY2(user.use(bar->widget(), key), key);
            QVERIFY2(state() != before, qPrintable(key + (": " + before)));
        };
        for (const char* key :
             {"Open",      "Print",         "Scroll",    "Select",          "ZoomIn",
              "ZoomOut",   "FitWidth",      "FitHeight", "OneToOne",        "Rotate90Left",
              "Flip",      "Rotate90Right", "NextPage",  "LastPage",        "PreviousPage",
              "FirstPage", "ShowImage",     "ShowBoth",  "Viewer Settings", "FindText"})
            run(w.mainToolbar, key);
        // The page view says where it is after a page change.
        run(w.mainToolbar, "NextPage");
        QCOMPARE(accessibleName(page), "Page 2 of 3, 100 %");
        for (const char* key : {"GoToPage", "PrintAnnotations", "OcrToFile", "OcrToClipboard",
                                "Select", "Highlight", "Text", "Stamp", "Rectangle"})
            run(w.ocrToolbar, key);

        // A rectangle drawn at the keyboard cursor lands in the file, and is deleted again.
        const QString path = w.editor->document().imagePath();
        const auto stored = [&] {
            return imaging::AnnotationStore::load(path, 1).annotations.size();
        };
        QVERIFY(user.use(page));
        user.drag(3, 2);
        QCOMPARE(stored(), 1);
        run(w.ocrToolbar, "Select");
        QVERIFY(user.use(page));
        user.press(Qt::Key_Left, Qt::ShiftModifier);
        m_factory->prompts->dialogScripts
            << [](QDialog* d) { ScriptedPromptService::clickButton(d, "btnYes"); };
        user.press(Qt::Key_Delete);
        QCOMPARE(stored(), 0);

        // Zones for the selection toolbar, below 100 % so that it offers Zoom.
        run(w.mainToolbar, "ZoomOut");
        for (const char* key : {"Copy", "Zoom", "OCR"}) {
            QVERIFY(user.use(page));
            user.drag(3, 3);
            QVERIFY(w.selectionToolbar->widget()->isVisible());
            run(w.selectionToolbar, key);
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
