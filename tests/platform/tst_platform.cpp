// Platform services: settings conversions and stores, machine values, printer status,
// prompts (filters, message boxes, file dialogs), the progress bar.
#include "components/progressbar/progressbarwidget.h"
#include "platform/inimachinevalues.h"
#include "platform/printerqueue.h"
#include "platform/qtpromptservice.h"
#include "platform/settingsstore.h"
#include "platform/viewererror.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

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

template <class... T>
void row(const char* name, const T&... values) {
    QTestData& r = QTest::newRow(name);
    (r << ... << values);
}

// Runs check on the first modal window that opens, then lets it close.
void onNextModal(std::function<void(QWidget*)> check) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            check(w);
        }
    });
    timer->start();
}

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
        QTest::addColumn<Reader>("reader");
        QTest::addColumn<QString>("stored");  // "<absent>" = key not present
        QTest::addColumn<double>("expected");
        QTest::addColumn<int>("error");  // 6 Overflow, 13 Type mismatch

        const QString absent = QStringLiteral("<absent>");
        const auto B = Reader::Bool, S = Reader::Int16, L = Reader::Int32, D = Reader::Double;
        row("bool absent -> default", B, absent, 0.0, 0);
        row("bool True", B, QString("True"), 1.0, 0);
        row("bool TRUE upper, blanks", B, QString("  TRUE "), 1.0, 0);
        row("bool numeric 0", B, QString("0"), 0.0, 0);
        row("bool numeric -1", B, QString("-1"), 1.0, 0);
        row("bool numeric 0.5", B, QString("0.5"), 1.0, 0);
        row("bool yes is no bool", B, QString("yes"), 0.0, 13);
        row("bool empty text", B, QString(""), 0.0, 13);
        row("int16 absent -> default", S, absent, -7.0, 0);
        row("int16 negative, blanks", S, QString(" -12 "), -12.0, 0);
        row("int16 2.5 to even", S, QString("2.5"), 2.0, 0);
        row("int16 3.5 to even", S, QString("3.5"), 4.0, 0);
        row("int16 exponent", S, QString("1E3"), 1000.0, 0);
        row("int16 hex", S, QString("&H1F"), 31.0, 0);
        row("int16 hex FFFF is -1", S, QString("&HFFFF"), -1.0, 0);
        row("int16 max", S, QString("32767"), 32767.0, 0);
        row("int16 min", S, QString("-32768"), -32768.0, 0);
        row("int16 32767.5 rounds over", S, QString("32767.5"), 0.0, 6);
        row("int16 overflow", S, QString("32768"), 0.0, 6);
        row("int16 hex long overflow", S, QString("&H10000"), 0.0, 6);
        row("int16 text", S, QString("six"), 0.0, 13);
        row("int16 trailing junk", S, QString("6px"), 0.0, 13);
        row("int16 arabic-indic digits", S, QString::fromUtf8("\u0661"), 0.0, 13);
        row("int32 absent -> default", L, absent, -7.0, 0);
        row("int32 beyond int16", L, QString("40000"), 40000.0, 0);
        row("int32 max", L, QString("2147483647"), 2147483647.0, 0);
        row("int32 overflow", L, QString("2147483648"), 0.0, 6);
        row("int32 hex 8 digits", L, QString("&HFFFFFFFF"), -1.0, 0);
        row("double absent -> default", D, absent, -7.5, 0);
        row("double fraction", D, QString("0.25"), 0.25, 0);
        row("double D exponent", D, QString("2D2"), 200.0, 0);
        row("double huge", D, QString("1e400"), 0.0, 6);
        row("double text", D, QString("one"), 0.0, 13);
        row("double nan text", D, QString("nan"), 0.0, 13);
    }

    void conversions() {
        QFETCH(Reader, reader);
        QFETCH(QString, stored);
        QFETCH(double, expected);
        QFETCH(int, error);
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

    void appPath_data() {
        QTest::addColumn<QVariant>("stored");  // invalid = no value written
        QTest::addColumn<QString>("rawLine");  // written verbatim instead when not empty
        QTest::addColumn<QString>("expected");
        const QString none, error = QStringLiteral("ERROR");
        row("text as is", QVariant(QStringLiteral("/srv/ocr/")), none, QString("/srv/ocr/"));
        row("text with blanks kept", QVariant(QStringLiteral(" /srv/ocr ")), none,
            QString(" /srv/ocr "));
        row("text with comma", QVariant(QStringLiteral("/srv/a,b")), none, QString("/srv/a,b"));
        row("empty text", QVariant(QString()), none, QString(""));
        row("written integer", QVariant(42), none, QString("42"));
        row("typed 16-bit integer", QVariant::fromValue<qint16>(-5), none, QString("-5"));
        row("byte array", QVariant(QByteArray("\x01\x02", 2)), none, error);
        row("list", QVariant(QStringList{"a", "b"}), none, error);
        row("no value", QVariant(), none, error);
        row("other key only", QVariant(), QString("Path=/srv"), error);
        row("in a section, not top level", QVariant(), QString("[X]\nAppPath=/srv"), error);
        row("raw text line", QVariant(), QString("AppPath=/opt/raw dir"), QString("/opt/raw dir"));
    }

    void appPath() {
        QFETCH(QVariant, stored);
        QFETCH(QString, rawLine);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        IniMachineValues values(dir.path(), {});
        const QString file = values.fileFor(QStringLiteral("Brackwater"));
        QCOMPARE(file, dir.filePath(QStringLiteral("Brackwater.conf")));
        if (!rawLine.isEmpty()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(rawLine.toUtf8() + "\n");
        } else if (stored.isValid()) {
            QSettings(file, QSettings::IniFormat).setValue(QStringLiteral("AppPath"), stored);
        }
        QCOMPARE(values.appPath(QStringLiteral("Brackwater")), expected);
        // The other product has no file at all.
        QCOMPARE(values.appPath(QStringLiteral("Selvagard")), QStringLiteral("ERROR"));
    }

    void machineValuesWithoutFiles() {
        IniMachineValues values(QStringLiteral("/nonexistent/ktdv"), {"/x", "/y"});
        QCOMPARE(values.appPath(QStringLiteral("Brackwater")), QStringLiteral("ERROR"));
        QCOMPARE(values.appPath(QString()), QStringLiteral("ERROR"));
        QCOMPARE(values.fallbackFolders(), QStringList({"/x", "/y"}));
        const auto system = createSystemMachineValues();
        QCOMPARE(system->fallbackFolders(), QStringList({"/opt/Brackwater", "/opt/Selvagard"}));
        QCOMPARE(system->separator(), QStringLiteral("/"));
        // Whatever this machine holds, the answer is a text, never empty for a missing key.
        QVERIFY(!system->appPath(QStringLiteral("NoSuchProduct")).isEmpty());
        auto* ini = dynamic_cast<IniMachineValues*>(system.get());
        QVERIFY(ini);
        QVERIFY(ini->fileFor(QStringLiteral("Brackwater"))
                    .endsWith(QStringLiteral("/Tavrin Networks/Brackwater.conf")));
    }

    void printerStatus_data() {
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("accepting");
        QTest::addColumn<QString>("reasons");
        QTest::addColumn<QString>("expected");
        const QString ready = QStringLiteral("Ready"), busy = QStringLiteral("Busy");
        row("idle, accepting, none", true, 3, true, QString("none"), ready);
        row("reasons NONE any case", true, 3, true, QString(" None "), ready);
        row("no default printer", false, 3, true, QString("none"), busy);
        row("printing", true, 4, true, QString("none"), busy);
        row("stopped", true, 5, true, QString("paused"), busy);
        row("not accepting jobs", true, 3, false, QString("none"), busy);
        row("out of paper", true, 3, true, QString("media-empty-error"), busy);
        row("several reasons", true, 3, true, QString("none,toner-low-warning"), busy);
        row("unknown state", true, 0, true, QString("none"), busy);
    }

    void printerStatus() {
        QFETCH(bool, found);
        QFETCH(int, state);
        QFETCH(bool, accepting);
        QFETCH(QString, reasons);
        QFETCH(QString, expected);
        int queries = 0;
        const auto printer = createPrinterStatus([&] {
            ++queries;
            return PrinterQueueState{found, QStringLiteral("desk"), state, accepting, reasons};
        });
        QCOMPARE(printer->status(), expected);
        // Every check asks the print system again: the printer may have changed meanwhile.
        QCOMPARE(printer->status(), expected);
        QCOMPARE(queries, 2);
    }

    void printerWithoutQueue() {
        QCOMPARE(createPrinterStatus({})->status(), QStringLiteral("Busy"));
        // No print system may be running here; the answer must still be one of the two.
        const QString s = createCupsPrinterStatus()->status();
        QVERIFY2(s == QLatin1String("Ready") || s == QLatin1String("Busy"), qPrintable(s));
    }

    void toQtFilter_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        row("open dialog", kOpenFilter,
            QString("Image Files (*.bmp *.gif *.jpg *.jpeg *.tif *.tiff *.fax);;All files (*.*)"));
        row("two plain", QString("Name|*.a;*.b|Name2|*.*"), QString("Name (*.a *.b);;Name2 (*.*)"));
        row("empty", QString(), QString());
        row("name without pattern dropped", QString("Text|*.txt|Orphan"), QString("Text (*.txt)"));
        row("empty pattern means all", QString("Any|"), QString("Any (*)"));
        row("blank entries in list", QString("Pics| *.png ;;*.gif"), QString("Pics (*.png *.gif)"));
        row("nameless", QString("|*.rtf"), QString("*.rtf"));
    }

    void toQtFilter() {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(ktdv::toQtFilter(filter), expected);
        // Each entry maps back to its own 1-based index; anything else to 1.
        const QStringList entries = qtNameFilters(filter);
        for (int i = 0; i < entries.size(); ++i)
            QCOMPARE(filterIndexOf(filter, entries.at(i)), i + 1);
        QCOMPARE(filterIndexOf(filter, QStringLiteral("D (*.d)")), 1);
    }

    void messageBox() {
        QString title, text;
        QList<QMessageBox::StandardButton> buttons;
        onNextModal([&](QWidget* w) {
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
        QTest::addColumn<bool>("defaultNo");
        QTest::addColumn<bool>("pressDefault");  // else press Escape
        QTest::addColumn<bool>("expected");
        row("default No, Enter", true, true, false);
        row("default Yes, Enter", false, true, true);
        row("default Yes, Escape", false, false, false);
    }

    void question() {
        QFETCH(bool, defaultNo);
        QFETCH(bool, pressDefault);
        QFETCH(bool, expected);
        QString title;
        onNextModal([&](QWidget* w) {
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
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("chooseFilter");  // 1-based filter to pick in the dialog
        QTest::addColumn<int>("maxLength");
        row("open, first filter", true, 1, 260);
        row("open, second filter", true, 2, 260);
        row("cancelled", false, 2, 260);
        row("name too long", true, 1, 5);
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
        onNextModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            offered = dialog->nameFilters();
            initialFilter = dialog->selectedNameFilter();
            dialog->selectNameFilter(offered.value(chooseFilter - 1));
            dialog->selectFile(path);
            QDialog* asDialog = dialog;  // accept() is public on QDialog
            accept ? asDialog->accept() : asDialog->reject();
        });
        const FileDialogResult result = QtPromptService().fileDialog(nullptr, request);
        QCOMPARE(offered, qtNameFilters(kOpenFilter));
        QCOMPARE(initialFilter, offered.value(0));
        const bool chosen = accept && maxLength >= path.size();
        QCOMPARE(result.fileName, chosen ? path : QString());
        if (chosen)
            QCOMPARE(result.filterIndex, chooseFilter);
    }

    void progressFill_data() {
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("fraction");
        row("quarter", 0, 100, 25.0, 0.25);
        row("third, fractional", 0, 100, 100.0 / 3, 1.0 / 3);
        row("slightly above max", 0, 100, 100.00000000000001, 1.0);
        row("below min", 10, 20, -5.0, 0.0);
        row("offset range", 10, 20, 15.0, 0.5);
        row("empty range, reached", 5, 5, 5.0, 1.0);
        row("empty range, below", 5, 5, 4.0, 0.0);
        row("whole 16-bit range", -32768, 32767, 0.0, 32768.0 / 65535);
        row("not a number draws empty", 0, 100, std::numeric_limits<double>::quiet_NaN(), 0.0);
    }

    void progressFill() {
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(double, value);
        QFETCH(double, fraction);
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
