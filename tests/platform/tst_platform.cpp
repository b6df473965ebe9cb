// Platform services: settings conversions and stores, the real prompts (message boxes,
// questions, file dialogs with their filters) and the progress bar's drawing.
#include "platform/printerqueue.h"
#include "platform/qtpromptservice.h"
#include "platform/settingsstore.h"
#include "platform/viewererror.h"
#include "widgets/progressbar/progressbarwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include "support/rows.h"

using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv;

namespace {

enum class Reader { Bool, Int16, Int32, Double };

struct Outcome {
    double value = 0;
    int error = 0;
    QString description;
};

// Reads key "k" with the given reader; the error number and text when the read throws.
Outcome readAs(const SettingsStore& s, Reader r) {
    const QString k = QStringLiteral("k");
    try {
        switch (r) {
            case Reader::Bool:
                return {s.readBool(k, false) ? 1.0 : 0.0, 0, {}};
            case Reader::Int16:
                return {double(s.readInt16(k, -7)), 0, {}};
            case Reader::Int32:
                return {double(s.readInt32(k, -7)), 0, {}};
            case Reader::Double:
                return {s.readDouble(k, -7.5), 0, {}};
        }
    } catch (const ViewerError& e) {
        return {0, e.number(), e.description()};
    }
    return {};
}

// While it lives, answers the next modal window: check runs on it, and the window is closed
// if check left it open. The running test fails, and the window is closed, when check left it
// open, when none opened within kModalWaitMs, or when none opened at all; nothing waits for a
// person.
class ModalAnswer {
public:
    static constexpr int kModalWaitMs = 5000;

    explicit ModalAnswer(std::function<void(QWidget*)> check) : m_check(std::move(check)) {
        m_clock.start();
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    ~ModalAnswer() {
        if (!m_done && !QTest::currentTestFailed())
            QTest::qFail("no modal window opened", __FILE__, __LINE__);
    }

private:
    void poll() {
        if (QWidget* w = QApplication::activeModalWidget()) {
            m_timer.stop();
            m_done = true;
            m_check(w);
            if (w->isVisible()) {
                const QString what = QStringLiteral("%1 \"%2\" stayed open after the check")
                                         .arg(w->metaObject()->className(), w->windowTitle());
                closeAll();
                QTest::qFail(qPrintable(what), __FILE__, __LINE__);
            }
        } else if (m_clock.elapsed() > kModalWaitMs) {
            m_timer.stop();
            m_done = true;
            closeAll();
            QTest::qFail("no modal window opened within 5 s", __FILE__, __LINE__);
        }
    }
    // Ends every dialog on the screen, so the code under test returns.
    static void closeAll() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                d->done(QDialog::Rejected);
    }

    std::function<void(QWidget*)> m_check;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_done = false;
};

const QString kOpenFilter =
    QStringLiteral("Image Files |*.bmp;*.gif;*.jpg;*.jpeg;*.tif;*.tiff;*.fax|All files |*.*");

}  // namespace

Q_DECLARE_METATYPE(Reader)

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        // Keep the user's real settings out of reach.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home.path());
        QApplication::setApplicationDisplayName(QStringLiteral("Viewer Test"));
    }

    void conversions_data() {
        // stored: "<absent>" = key not present; error: 6 Overflow, 13 Type mismatch
        columns<Reader, QString, double, int>("reader", "stored", "expected", "error");

        const QString absent = QStringLiteral("<absent>");
        const auto B = Reader::Bool, S = Reader::Int16, L = Reader::Int32, D = Reader::Double;
        addRow("bool absent -> default", B, absent, 0.0, 0);
        addRow("bool True", B, QString("True"), 1.0, 0);
        addRow("bool numeric 0.5", B, QString("0.5"), 1.0, 0);
        addRow("bool yes is no bool", B, QString("yes"), 0.0, 13);
        addRow("int16 negative, blanks", S, QString(" -12 "), -12.0, 0);
        addRow("int16 2.5 to even", S, QString("2.5"), 2.0, 0);
        addRow("int16 hex FFFF is -1", S, QString("&HFFFF"), -1.0, 0);
        addRow("int16 32767.5 rounds over", S, QString("32767.5"), 0.0, 6);
        addRow("int16 hex long overflow", S, QString("&H10000"), 0.0, 6);
        addRow("int16 arabic-indic digits", S, QString::fromUtf8("\u0661"), 0.0, 13);
        addRow("int32 beyond int16", L, QString("40000"), 40000.0, 0);
        addRow("int32 overflow", L, QString("2147483648"), 0.0, 6);
        addRow("int32 hex 8 digits", L, QString("&HFFFFFFFF"), -1.0, 0);
        addRow("double huge", D, QString("1e400"), 0.0, 6);
        addRow("double nan text", D, QString("nan"), 0.0, 13);
    }

    void conversions() {
        auto [reader, stored, expected, error] =
            fetch<Reader, QString, double, int>("reader", "stored", "expected", "error");
        const auto store = createMemorySettingsStore();
        if (stored != QLatin1String("<absent>"))
            store->setValue(QStringLiteral("k"), stored);
        const Outcome out = readAs(*store, reader);
        QCOMPARE(out.error, error);
        if (error == 0)
            QCOMPARE(out.value, expected);
        else
            QCOMPARE(out.description, QString(error == 6 ? "Overflow" : "Type mismatch"));
    }

    // Both stores: written values read back as the same text, keys stay apart, and a value
    // written as a Boolean or number is stored as the text a person would type.
    void stores_data() {
        QTest::addColumn<bool>("persistent");
        QTest::newRow("memory") << false;
        QTest::newRow("user") << true;
    }

    void stores() {
        QFETCH(bool, persistent);
        const auto store = persistent ? createUserSettingsStore() : createMemorySettingsStore();
        const QString prefix = QStringLiteral("t%1_").arg(m_round++);
        QVERIFY(!store->contains(prefix + "bThumbs"));
        QCOMPARE(store->readBool(prefix + "bReadOnly", true), true);

        store->writeBool(prefix + "bThumbs", true);
        store->writeBool(prefix + "bReadOnly", false);
        store->writeInt(prefix + "StampType", -3);
        store->setValue(prefix + "path", QStringLiteral("/a, b/c=d;e"));

        QCOMPARE(store->value(prefix + "bThumbs"), QStringLiteral("True"));
        QCOMPARE(store->value(prefix + "bReadOnly"), QStringLiteral("False"));
        QCOMPARE(store->value(prefix + "StampType"), QStringLiteral("-3"));
        QCOMPARE(store->readBool(prefix + "bReadOnly", true), false);
        QCOMPARE(store->readInt16(prefix + "StampType", 1), qint16(-3));
        QCOMPARE(store->value(prefix + "path"), QStringLiteral("/a, b/c=d;e"));
        if (!persistent)
            return;
        // A second store sees the values, in section "Common" of the user's file.
        QCOMPARE(createUserSettingsStore()->value(prefix + "bThumbs"), QStringLiteral("True"));
        QSettings raw(QSettings::UserScope, QStringLiteral("Tavrin Networks"),
                      QStringLiteral("Tavrin Networks"));
        QVERIFY(raw.fileName().startsWith(m_home.path()));
        QVERIFY(raw.fileName().endsWith(QStringLiteral("/Tavrin Networks/Tavrin Networks.conf")));
        QCOMPARE(raw.value("Common/" + prefix + "StampType").toString(), QStringLiteral("-3"));
    }

    // Every setting of the table: absent reads as its default, its default written through
    // the table is stored as True/False or decimal text, and damaged or out-of-range text
    // reads as its default through every reader of the table.
    void settingsTable() {
        for (const settings::Setting& s : settings::all) {
            const auto store = createMemorySettingsStore();
            const bool isBool = s.type == settings::Type::Bool;
            QCOMPARE(store->readInt32(s), s.defaultValue);
            if (isBool)
                store->writeBool(s, s.defaultValue != 0);
            else
                store->writeInt(s, s.defaultValue);
            QCOMPARE(store->value(QLatin1String(s.key)),
                     isBool ? QString(s.defaultValue ? "True" : "False")
                            : QString::number(s.defaultValue));
            QCOMPARE(isBool ? double(store->readBool(s)) : store->readDouble(s),
                     double(s.defaultValue));
            for (const char* damaged : {"damaged", "1e400", "99999"}) {
                store->setValue(QLatin1String(s.key), QLatin1String(damaged));
                QCOMPARE(store->readBool(s), s.defaultValue != 0 || damaged[0] == '9');
                QCOMPARE(store->readInt16(s), qint16(s.defaultValue));
                if (damaged[0] != '9')
                    QCOMPARE(store->readDouble(s), double(s.defaultValue));
            }
        }
    }

    // What the print system says about the default printer, and whether printing goes ahead:
    // only no printer, a stopped one, one refusing jobs or an "-error" reason hold it back.
    void printerStatus_data() {
        // state 0: the destination gives none
        columns<bool, int, bool, QString, QString>("found", "state", "accepting", "reasons",
                                                   "expected");
        const QString ready = QStringLiteral("Ready"), busy = QStringLiteral("Busy");
        addRow("idle", true, 3, true, QString("none"), ready);
        addRow("printing", true, 4, true, QString("none"), ready);
        addRow("no state given", true, 0, true, QString(), ready);
        addRow("warnings and reports", true, 3, true,
               QString("toner-low-warning, media-low-report,other"), ready);
        addRow("media low, plain", true, 3, true, QString("media-low"), ready);
        addRow("stopped", true, 5, true, QString("paused"), busy);
        addRow("error among warnings", true, 4, true,
               QString("toner-low-warning, Media-Empty-Error"), busy);
        addRow("refusing jobs", true, 3, false, QString("none"), busy);
        addRow("no printer", false, 0, true, QString(), busy);
    }
    void printerStatus() {
        auto [found, state, accepting, reasons, expected] =
            fetch<bool, int, bool, QString, QString>("found", "state", "accepting", "reasons",
                                                     "expected");
        PrinterQueueState queue;
        queue.found = found;
        queue.state = state;
        queue.acceptingJobs = accepting;
        queue.stateReasons = reasons;
        QCOMPARE(createPrinterStatus([queue] { return queue; })->status(), expected);
    }

    void messageBox() {
        QString title, text;
        QList<QMessageBox::StandardButton> buttons;
        ModalAnswer answer([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            for (QAbstractButton* b : box->buttons())
                buttons << box->standardButton(b);
            box->button(QMessageBox::Ok)->click();
        });
        QtPromptService().message(nullptr,
                                  QStringLiteral("OpenImage: Error (53) - File not found"));
        QCOMPARE(title, QStringLiteral("Viewer Test"));
        QCOMPARE(text, QStringLiteral("OpenImage: Error (53) - File not found"));
        QCOMPARE(buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    }

    void question_data() {
        // pressDefault: else press Escape
        columns<bool, bool, bool>("defaultNo", "pressDefault", "expected");
        addRow("default No, Enter", true, true, false);
        addRow("default Yes, Enter", false, true, true);
        addRow("default Yes, Escape", false, false, false);
    }

    void question() {
        QFETCH(bool, defaultNo);
        QFETCH(bool, pressDefault);
        QFETCH(bool, expected);
        QString title;
        ModalAnswer answer([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            QVERIFY(box->defaultButton() ==
                    box->button(defaultNo ? QMessageBox::No : QMessageBox::Yes));
            if (pressDefault)
                box->defaultButton()->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(QtPromptService().question(nullptr, "Delete", "Sure?", defaultNo), expected);
        QCOMPARE(title, QStringLiteral("Delete"));
    }

    void fileDialog_data() {
        // chooseFilter: 1-based filter to pick in the dialog
        columns<bool, int, int>("accept", "chooseFilter", "maxLength");
        addRow("open, first filter", true, 1, 260);
        addRow("cancelled", false, 2, 260);
        addRow("name too long", true, 1, 5);
    }

    void fileDialog() {
        QFETCH(bool, accept);
        QFETCH(int, chooseFilter);
        QFETCH(int, maxLength);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.tif"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        FileDialogRequest request;
        request.filter = kOpenFilter;
        request.flags = 4100;
        request.maxFileNameLength = maxLength;
        QStringList offered;
        QString initialFilter;
        ModalAnswer answer([&](QWidget* w) {
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
        QCOMPARE(offered, QStringList({"Image Files (*.bmp *.gif *.jpg *.jpeg *.tif *.tiff *.fax)",
                                       "All files (*.*)"}));
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
        if (!qIsNaN(value))
            QCOMPARE(bar.value(), value);
        QVERIFY(qAbs(bar.filledFraction() - fraction) < 1e-12);
        // The pixels agree: filled up to the fraction, empty beyond it.
        bar.resize(202, 20);
        const QImage img = bar.grab().toImage();
        const QColor fill = bar.palette().color(QPalette::Highlight);
        const QColor base = bar.palette().color(QPalette::Base);
        for (int x = 2; x < 200; x += 9) {
            const double at = (x - 1 + 0.5) / 200.0;
            if (qAbs(at - fraction) >= 0.02)
                QCOMPARE(img.pixelColor(x, 4), at < fraction ? fill : base);
        }
    }

private:
    QTemporaryDir m_home;
    int m_round = 0;
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
