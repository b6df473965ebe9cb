// The viewer's annotation handling on recording doubles: drawing with the mouse over the
// page, stamps, the style pop-ups of the annotation toolbar and the Properties pop-up (saving
// and deleting on a real file: tst_annotationsreal). Mouse positions are in twips (15 to the pixel
// on the test screen).
#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QToolBar>
#include <QtTest>

#include "support/viewerharness.h"
#include "viewer/annotations/annotationinteraction.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

struct Annotating : ViewerHarness {
    QString path;
    // A three-page TIFF with page 2 (index 1) shown, annotation allowed, Select mode.
    Annotating() {
        viewer->setUserPermission(24);
        path = document(QStringLiteral("doc.tif"), 3);
        load(path, 1);
        editor().calls.clear();
        editor().annotationCalls.clear();
        prompts().clearRecords();
    }
    // "<mode> <tool>[ flags]": mode Select, Scroll or none; tool a key or "-"; flags
    // <setting>=N, busy, right (right button), clip=X,Y (release clipped there).
    void setup(const QString& text) {
        const QStringList w = text.split(QLatin1Char(' '));
        main().setValue(QStringLiteral("Select"), w[0] == QLatin1String("Select") ? 1 : 0);
        main().setValue(QStringLiteral("Scroll"), w[0] == QLatin1String("Scroll") ? 1 : 0);
        tool(w.value(1) == QLatin1String("-") ? QString() : w.value(1));
        for (const QString& flag : w.mid(2)) {
            const QString value = flag.section(QLatin1Char('='), 1);
            if (flag.contains(QLatin1Char('=')) && !flag.startsWith(QLatin1String("clip")))
                settings().setValue(flag.section(QLatin1Char('='), 0, 0), value);
            editor().isBusy |= flag == QLatin1String("busy");
            button = flag == QLatin1String("right") ? 2 : button;
            if (flag.startsWith(QLatin1String("clip="))) {
                editor().clipped = true;
                editor().clipX = value.section(QLatin1Char(','), 0, 0).toInt();
                editor().clipY = value.section(QLatin1Char(','), 1).toInt();
            }
        }
    }
    void tool(const QString& key) {
        for (int pos : ocr().positions(AnnotationTools))
            ocr().setValue(pos, 0);
        if (!key.isEmpty())
            ocr().setValue(key, 1);
    }
    // "x,y x,y ...": press at the first point, move through the others, release at the last.
    void gesture(const QString& points) {
        QList<QPointF> p;
        for (const QString& xy : points.split(QLatin1Char(' ')))
            p << QPointF(xy.section(QLatin1Char(','), 0, 0).toDouble(),
                         xy.section(',', 1).toDouble());
        int b = button, shift = 0;
        float x = float(p[0].x()), y = float(p[0].y());
        viewer->ctlKTImgEdit1_MouseDown(b, shift, x, y);
        for (qsizetype i = 1; i < p.size(); ++i) {
            x = float(p[i].x()), y = float(p[i].y());
            viewer->ctlKTImgEdit1_MouseMove(b, shift, x, y);
        }
        viewer->ctlKTImgEdit1_MouseUp(b, shift, x, y);
    }
    // Added annotations as "type [left,top,right,bottom] filled highlight 'text'".
    QString added() {
        QStringList out;
        for (const auto& c : editor().annotationCalls) {
            const AnnotationRecord& r = c.record;
            if (c.command == QLatin1String("add"))
                out << QStringLiteral("%1 [%2,%3,%4,%5]%6%7%8")
                           .arg(r.type)
                           .arg(r.left)
                           .arg(r.top)
                           .arg(r.right)
                           .arg(r.bottom)
                           .arg(c.filled ? " filled" : "", c.highlight ? " highlight" : "",
                                r.text.isEmpty() ? QString() : " '" + r.text + "'");
        }
        return out.join(QStringLiteral("; "));
    }
    // Rubber band and pan calls | annotations added | tools set.
    QString observed() {
        QStringList tools = only(editor().calls, {QStringLiteral("setTool(")});
        tools.replaceInStrings(QRegularExpression(QStringLiteral("setTool\\((\\w+)\\)")), "\\1");
        return editor().strokes.join(' ') + " | " + added() + " | " + tools.join(' ');
    }
    void click(const QString& key) { ocr().action(ocr().position(key))->trigger(); }
    int button = 1;
};

// A row of text columns.
template <class... T>
void textRow(const char* name, const T&... values) {
    addRow(name, QString(values)...);
}

}  // namespace

class TestAnnotationsViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void gestures_data() {
        columns<QString, QString, QString>("setup", "points", "expected");
        const QString drag = QStringLiteral("150,300 600,900");
        const QString band =
            QStringLiteral("clear start(150,300) draw(600,900,%1) end(600,900) | ");
        const QString none = QStringLiteral(" |  | ");
        textRow("rectangle, kind unset: filled frame, filled rectangle", "Select Rectangle", drag,
                band.arg("0,10,16711680,true") + "6 [150,300,600,900] filled | Wait Default");
        textRow("rectangle, kind 2: frame in border colour, hollow", "Select Rectangle intRect=2",
                drag, band.arg("0,10,255,false") + "5 [150,300,600,900] filled | Wait Default");
        textRow(
            "highlight in its colour", "Select Highlight", drag,
            band.arg("0,10,65535,true") + "6 [150,300,600,900] filled highlight | Wait Default");
        textRow("drag up and to the left is normalised", "Select Text", "600,900 150,300",
                "clear start(600,900) draw(150,300,2,10,-1,false) end(150,300) | "
                "7 [150,300,600,900] | Wait Default");
        textRow("click without movement: nothing, Tool untouched", "Select Rectangle", "150,300",
                "clear start(150,300) end(150,300)" + none);
        textRow("release outside the page ends at the clipped point", "Select Text clip=3000,4500",
                "150,300 9000,9000",
                "clear start(150,300) draw(9000,9000,2,10,-1,false) end(9000,9000) | "
                "7 [150,300,3000,4500] | Wait Default");
        // Stamps are anchored at the click in whole twips, added without filling.
        const QString click = QStringLiteral("150.5,301.5");
        const QString stamp = QStringLiteral(
            "start(150.5,301.5) draw(150.5,301.5,2,10,-1,false) end(150.5,301.5) clear | "
            "9 [150,302,150,302] '%1' | Wait Stamp");
        textRow("stamp, kind unset: approved", "Select Stamp", click, stamp.arg("Approved %D"));
        textRow("scroll mode pans in pixels, tools not consulted", "Scroll Rectangle",
                "150,300 301,451", "startPan(10,20) panTo(20,30) endPan" + none);
        textRow("busy editor: nothing", "Select Rectangle busy", drag, none);
    }

    void gestures() {
        auto [setup, points, expected] =
            fetch<QString, QString, QString>("setup", "points", "expected");
        Annotating t;
        t.setup(setup);
        t.gesture(points);
        const QString today = QLocale().toString(QDate::currentDate(), "dd/MMM/yyyy");
        QCOMPARE(t.observed(), expected.replace(QStringLiteral("%D"), today));
        if (t.added().isEmpty())  // nothing saved, nothing reloaded
            QCOMPARE(only(t.editor().calls, {"annotationCommand(save", "setImagePath"}),
                     QStringList());
    }

    // The date of a stamp follows the locale's month names and date separator.
    void stampDate() {
        QCOMPARE(AnnotationInteraction::StampText(1, QDate(2026, 12, 5), QLocale(QLocale::Swedish)),
                 QStringLiteral("Approved 05-dec.-2026"));
        // An abbreviation ending in the separator does not double it.
        QCOMPARE(AnnotationInteraction::StampText(3, QDate(2026, 12, 5), QLocale(QLocale::German)),
                 QStringLiteral("Received 05.Dez.2026"));
    }

    void stylePopups_data() {
        // state: open or busy; shown: items of the menu shown, checked ones
        // marked with '*', "" = no menu; after: the stored kind and the checked items after.
        columns<QString, QString, QString, QString, QString, QString>("state", "key", "stored",
                                                                      "choice", "shown", "after");
        const QString rect = QStringLiteral("Rectangle");
        textRow("rectangle, kind unset: filled checked and stored", "open", rect, "", "",
                "*Filled Rectangle,Hollow Rectangle", "1 Filled Rectangle");
        textRow("stamp, draft chosen", "open", "Stamp", "3", "Draft",
                "Approved,Draft,*Received,Rejected", "2 Draft");
        textRow("busy editor: nothing", "busy", "Stamp", "", "", "", " ");
    }

    void stylePopups() {
        auto [state, key, stored, choice, shown, after] =
            fetch<QString, QString, QString, QString, QString, QString>("state", "key", "stored",
                                                                        "choice", "shown", "after");
        Annotating t;
        const bool stamp = key == QLatin1String("Stamp");
        const QString setting = stamp ? QStringLiteral("StampType") : QStringLiteral("intRect");
        if (!stored.isEmpty())
            t.settings().setValue(setting, stored);
        t.editor().isBusy = state == QLatin1String("busy");
        t.prompts().menuChoices << choice;

        t.click(key);

        QStringList seen, checkedAfter;
        for (const RecordedMenu& m : t.prompts().menus)
            for (const QString& a : m.actions)
                seen << (m.checked.contains(a) ? "*" + a : a);
        for (QAction* a :
             (stamp ? t.viewer->annotations().stampMenu() : t.viewer->annotations().rectangleMenu())
                 ->actions())
            if (a->isChecked())
                checkedAfter << a->text();
        QCOMPARE(seen.join(','), shown);
        QCOMPARE(t.settings().value(setting) + ' ' + checkedAfter.join(','), after);
        if (shown.isEmpty())
            return;
        // A second click releases the tool and offers nothing.
        t.click(key);
        QCOMPARE(t.prompts().menus.size(), 1);
        QCOMPARE(t.editor().tool(), QStringLiteral("default"));
    }

    // Releases over the annotation toolbar: other buttons than the left over Rectangle,
    // Highlight or Stamp offer "Properties", which opens that tool's style dialog.
    void properties_data() {
        columns<Qt::MouseButton, QString, QString>("button", "over", "dialog");
        addRow("right over Highlight", Qt::RightButton, "Highlight", "highlightProperties");
        addRow("right over Text", Qt::RightButton, "Text", "");
    }
    void properties() {
        auto [button, over, dialog] =
            fetch<Qt::MouseButton, QString, QString>("button", "over", "dialog");
        Annotating t;
        t.viewer->show();
        QVERIFY(QTest::qWaitForWindowExposed(t.viewer.get()));
        t.prompts().menuChoices << QStringLiteral("Properties");
        QTest::mouseClick(t.ocr().buttonWidget(t.ocr().position(over)), button, {}, QPoint(4, 4));
        QCOMPARE(only(t.editor().calls,
                      {"rectangleProperties", "highlightProperties", "stampProperties"})
                     .join(' '),
                 dialog);
        QCOMPARE(t.prompts().menus.size(), dialog.isEmpty() ? 0 : 1);
    }
};

QTEST_MAIN(TestAnnotationsViewer)
#include "tst_annotationsviewer.moc"
