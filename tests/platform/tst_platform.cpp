// Platform services: settings conversions and stores, the real prompts (message boxes,
// questions, file dialogs with their filters) and the progress bar's drawing.
#include "platform/printerqueue.h"
#include "platform/qtpromptservice.h"
#include "platform/settingsstore.h"
#include "platform/viewererror.h"
#include "widgets/progressbar/progressbarwidget.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include "support/rows.h"

using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv;

namespace {

// Reads key "k" with the reader the row's name starts with ("bool", "int16", "int32",
// "double"): the value, or the error number and text when the read throws.
QPair<double, QString> readAs(const SettingsStore& s) {
    const QString reader = QString::fromLatin1(QTest::currentDataTag()).section(' ', 0, 0);
    const QString k = QStringLiteral("k");
    try {
        return {reader == "bool"    ? double(s.readBool(k, false))
                : reader == "int16" ? double(s.readInt16(k, -7))
                : reader == "int32" ? double(s.readInt32(k, -7))
                                    : s.readDouble(k, -7.5),
                QString()};
    } catch (const ViewerError& e) {
        return {e.number(), e.description()};
    }
}

// While it lives, answers the next modal window: check runs on it. The running test fails,
// and every dialog is closed so the code under test returns, when check left the window
// open, when none opened within 5 s, or when none opened at all; nothing waits for a person.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(QWidget*)> check) : m_check(std::move(check)) {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }
    ~ModalAnswer() {
        if (!m_done && !QTest::currentTestFailed())
            QTest::qFail("no modal window opened", __FILE__, __LINE__);
    }

private:
    void poll() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w && m_clock.elapsed() < 5000)
            return;
        m_timer.stop();
        m_done = true;
        if (w)
            m_check(w);
        if (w && !w->isVisible())
            return;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(top); d && d->isVisible())
                d->done(QDialog::Rejected);
        QTest::qFail(w ? "the window stayed open after the check" : "no modal window within 5 s",
                     __FILE__, __LINE__);
    }

    std::function<void(QWidget*)> m_check;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_done = false;
};

}  // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // Keep the user's real settings out of reach.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home.path());
        QApplication::setApplicationDisplayName(QStringLiteral("Viewer Test"));
    }

    void conversions_data() {
        // error: 6 Overflow, 13 Type mismatch (then expected is the error number)
        columns<QString, double, QString>("stored", "expected", "error");
        const QString none;
        addRow("bool True", QString("True"), 1.0, none);
        addRow("bool yes is no bool", QString("yes"), 13.0, QString("Type mismatch"));
        addRow("int16 negative, blanks", QString(" -12 "), -12.0, none);
        addRow("int16 2.5 to even", QString("2.5"), 2.0, none);
        addRow("int16 hex FFFF is -1", QString("&HFFFF"), -1.0, none);
        addRow("int16 32767.5 rounds over", QString("32767.5"), 6.0, QString("Overflow"));
        addRow("int16 hex long overflow", QString("&H10000"), 6.0, QString("Overflow"));
        addRow("int16 arabic-indic digits", QString::fromUtf8("\u0661"), 13.0,
               QString("Type mismatch"));
        addRow("int32 overflow", QString("2147483648"), 6.0, QString("Overflow"));
        addRow("int32 hex 8 digits", QString("&HFFFFFFFF"), -1.0, none);
        addRow("double huge", QString("1e400"), 6.0, QString("Overflow"));
        addRow("double nan text", QString("nan"), 13.0, QString("Type mismatch"));
    }

    void conversions() {
        auto [stored, expected, error] =
            fetch<QString, double, QString>("stored", "expected", "error");
        const auto store = createMemorySettingsStore();
        store->setValue(QStringLiteral("k"), stored);
        QCOMPARE(readAs(*store), qMakePair(expected, error));
    }

    // The user's store: values read back as written, Booleans and numbers stored as the
    // text a person would type, in section "Common" of the user's file, seen by a second store.
    void userStore() {
        const auto store = createUserSettingsStore();
        QVERIFY(!store->contains("bThumbs"));
        QCOMPARE(store->readBool("bReadOnly", true), true);
        store->writeBool("bThumbs", true);
        store->writeBool("bReadOnly", false);
        store->writeInt("StampType", -3);
        store->setValue("path", QStringLiteral("/a, b/c=d;e"));
        QCOMPARE(store->readBool("bReadOnly", true), false);
        QCOMPARE(store->readInt16("StampType", 1), qint16(-3));
        QCOMPARE(store->value("path"), QStringLiteral("/a, b/c=d;e"));
        QCOMPARE(createUserSettingsStore()->value("bThumbs"), QStringLiteral("True"));
        QSettings raw(QSettings::UserScope, QStringLiteral("Tavrin Networks"),
                      QStringLiteral("Tavrin Networks"));
        QVERIFY(raw.fileName().endsWith(QStringLiteral("/Tavrin Networks/Tavrin Networks.conf")));
        QCOMPARE(raw.value("Common/StampType").toString(), QStringLiteral("-3"));
    }

    // What the print system says about the default printer, whether printing goes ahead
    // and what the user is told: only no printer, a stopped one, one refusing jobs or an
    // "-error" reason hold it back.
    void printerStatus_data() {
        // state 0: the destination gives none; problem "" = "Ready"
        columns<bool, int, bool, QString, QString>("found", "state", "accepting", "reasons",
                                                   "problem");
        addRow("idle", true, 3, true, QString("none"), QString());
        addRow("warnings and reports", true, 3, true,
               QString("toner-low-warning, media-low-report,other"), QString());
        addRow("stopped", true, 5, true, QString("paused"),
               QString("the printer \"q\" is stopped"));
        addRow("error among warnings", true, 4, true,
               QString("toner-low-warning, Media-Empty-Error"),
               QString("the printer \"q\" reports \"Media-Empty-Error\""));
        addRow("refusing jobs", true, 3, false, QString("none"),
               QString("the printer \"q\" does not accept jobs"));
        addRow("no printer", false, 0, true, QString(), QString("no printer is set up"));
    }
    void printerStatus() {
        auto [found, state, accepting, reasons, problem] = fetch<bool, int, bool, QString, QString>(
            "found", "state", "accepting", "reasons", "problem");
        PrinterQueueState queue{found, QStringLiteral("q"), state, accepting, reasons};
        const auto printer = createPrinterStatus([queue] { return queue; });
        QCOMPARE(printer->status(), problem.isEmpty() ? QString("Ready") : QString("Busy"));
        QCOMPARE(printer->problem(), problem);
    }

    // A message has the application's name as its title and only OK; a question has its
    // own title, the asked default, and Escape answers No.
    void prompts_data() {
        // question: 0 a message, 1 default Yes, 2 default No; pressDefault: else Escape
        columns<int, bool, bool>("question", "pressDefault", "expected");
        addRow("message", 0, true, false);
        addRow("default No, Enter", 2, true, false);
        addRow("default Yes, Enter", 1, true, true);
        addRow("default Yes, Escape", 1, false, false);
    }
    void prompts() {
        auto [question, pressDefault, expected] =
            fetch<int, bool, bool>("question", "pressDefault", "expected");
        QString title;
        QList<QMessageBox::StandardButton> buttons;
        ModalAnswer answer([&, question = question, pressDefault = pressDefault](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            for (QAbstractButton* b : box->buttons())
                buttons << box->standardButton(b);
            if (question)
                QCOMPARE(box->defaultButton(),
                         box->button(question == 2 ? QMessageBox::No : QMessageBox::Yes));
            if (pressDefault)
                box->defaultButton() ? box->defaultButton()->click() : box->buttons()[0]->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        if (question == 0) {
            QtPromptService().message(nullptr, QStringLiteral("OpenImage: Error (53)"));
            QCOMPARE(title, QStringLiteral("Viewer Test"));
            QCOMPARE(buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
        } else {
            QCOMPARE(QtPromptService().question(nullptr, "Delete", "Sure?", question == 2),
                     expected);
            QCOMPARE(title, QStringLiteral("Delete"));
        }
    }

    void fileDialog_data() {
        // chooseFilter: 1-based filter to pick in the dialog; offered: the filters it shows
        columns<QString, QStringList, bool, int, int>("filter", "offered", "accept", "chooseFilter",
                                                      "maxLength");
        const QString open(
            "Image Files |*.bmp;*.gif;*.jpg;*.jpeg;*.tif;*.tiff;*.fax|All files |*.*");
        const QStringList images{"Image Files (*.bmp *.gif *.jpg *.jpeg *.tif *.tiff *.fax)",
                                 "All files (*.*)"};
        addRow("open, first filter", open, images, true, 1, 260);
        addRow("cancelled", open, images, false, 2, 260);
        addRow("name too long", open, images, true, 1, 5);
        addRow("patterns in the names: shown once",
               QString("Rich Text (*.rtf)|*.rtf|HTML (*.html)|*.html"),
               QStringList{"Rich Text (*.rtf)", "HTML (*.html)"}, true, 2, 260);
    }

    void fileDialog() {
        auto [filter, expected, accept, chooseFilter, maxLength] =
            fetch<QString, QStringList, bool, int, int>("filter", "offered", "accept",
                                                        "chooseFilter", "maxLength");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.tif"));
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        FileDialogRequest request;
        request.filter = filter;
        request.flags = 4100;
        request.maxFileNameLength = maxLength;
        QStringList offered;
        QString initialFilter;
        ModalAnswer answer([&, accept = accept, chooseFilter = chooseFilter](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            offered = dialog->nameFilters();
            initialFilter = dialog->selectedNameFilter();
            dialog->selectNameFilter(offered.value(chooseFilter - 1));
            // The name field keeps what a person types while it has the focus: selectFile()
            // leaves it alone once the window has become active, and accept() then finds no
            // file and keeps the dialog open.
            if (QWidget* focused = dialog->focusWidget())
                focused->clearFocus();
            dialog->selectFile(path);
            QCOMPARE(dialog->selectedFiles(), QStringList{path});
            QDialog* asDialog = dialog;  // accept() is public on QDialog
            accept ? asDialog->accept() : asDialog->reject();
        });
        const FileDialogResult result = QtPromptService().fileDialog(nullptr, request);
        QCOMPARE(offered, expected);
        QCOMPARE(initialFilter, offered.value(0));
        const bool chosen = accept && maxLength >= path.size();
        QCOMPARE(result.fileName, chosen ? path : QString());
        if (chosen)
            QCOMPARE(result.filterIndex, chooseFilter);
    }

    void progressFill_data() {
        columns<int, int, double, double>("min", "max", "value", "fraction");
        addRow("quarter", 0, 100, 25.0, 0.25);
        addRow("whole 16-bit range", -32768, 32767, 0.0, 32768.0 / 65535);
        addRow("not a number draws empty", 0, 100, std::numeric_limits<double>::quiet_NaN(), 0.0);
    }

    void progressFill() {
        auto [min, max, value, fraction] =
            fetch<int, int, double, double>("min", "max", "value", "fraction");
        ProgressBarWidget bar;
        bar.setMin(qint16(min));
        bar.setMax(qint16(max));
        bar.setValue(value);
        // The value is kept as given, only the drawing is clamped.
        QVERIFY(qIsNaN(value) || bar.value() == value);
        // Filled up to the fraction, empty beyond it.
        bar.resize(202, 20);
        const QImage img = bar.grab().toImage();
        for (int x = 2; x < 200; x += 9) {
            const double at = (x - 1 + 0.5) / 200.0;
            if (qAbs(at - fraction) >= 0.02)
                QCOMPARE(img.pixelColor(x, 4),
                         bar.palette().color(at < fraction ? QPalette::Highlight : QPalette::Base));
        }
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
