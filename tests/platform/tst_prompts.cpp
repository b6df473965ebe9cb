#include "platform/qtpromptservice.h"
#include "support/scriptedprompts.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace ktdv;

namespace {

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

class TestPrompts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Viewer Test")); }

    void toQtFilter_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("open dialog")
            << kOpenFilter
            << "Image Files (*.bmp *.gif *.jpg *.jpeg *.tif *.tiff *.fax);;All files (*.*)";
        QTest::newRow("two plain") << "Name|*.a;*.b|Name2|*.*"
                                   << "Name (*.a *.b);;Name2 (*.*)";
        QTest::newRow("single") << "Text|*.txt"
                                << "Text (*.txt)";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("name without pattern dropped") << "Text|*.txt|Orphan"
                                                      << "Text (*.txt)";
        QTest::newRow("empty pattern means all") << "Any|"
                                                 << "Any (*)";
        QTest::newRow("blank entries in list") << "Pics| *.png ;;*.gif"
                                               << "Pics (*.png *.gif)";
        QTest::newRow("nameless") << "|*.rtf"
                                  << "*.rtf";
    }

    void toQtFilter() {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(ktdv::toQtFilter(filter), expected);
    }

    // Each entry maps back to its own 1-based index; anything else to 1.
    void filterIndexRoundTrip() {
        const QString filter = QStringLiteral("A|*.a|B|*.b|C|*.c");
        const QStringList entries = qtNameFilters(filter);
        QCOMPARE(entries.size(), 3);
        for (int i = 0; i < entries.size(); ++i) {
            QCOMPARE(filterIndexOf(filter, entries.at(i)), i + 1);
        }
        QCOMPARE(filterIndexOf(filter, QStringLiteral("D (*.d)")), 1);
    }

    void messageBox() {
        QtPromptService prompts;
        QString title, text;
        QList<QMessageBox::StandardButton> buttons;
        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            for (QAbstractButton* b : box->buttons()) {
                buttons << box->standardButton(b);
            }
            box->button(QMessageBox::Ok)->click();
        });
        prompts.message(nullptr, QStringLiteral("OpenImage: Error (53) - File not found"));
        QCOMPARE(title, QStringLiteral("Viewer Test"));
        QCOMPARE(text, QStringLiteral("OpenImage: Error (53) - File not found"));
        QCOMPARE(buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    }

    void question_data() {
        QTest::addColumn<bool>("defaultNo");
        QTest::addColumn<bool>("pressDefault");  // else press Escape
        QTest::addColumn<bool>("expected");
        QTest::newRow("default No, Enter") << true << true << false;
        QTest::newRow("default Yes, Enter") << false << true << true;
        QTest::newRow("default Yes, Escape") << false << false << false;
    }

    void question() {
        QFETCH(bool, defaultNo);
        QFETCH(bool, pressDefault);
        QFETCH(bool, expected);
        QtPromptService prompts;
        QString title;
        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            QVERIFY(box->defaultButton() ==
                    box->button(defaultNo ? QMessageBox::No : QMessageBox::Yes));
            if (pressDefault) {
                box->defaultButton()->click();
            } else {
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        QCOMPARE(
            prompts.question(nullptr, QStringLiteral("Delete"), QStringLiteral("Sure?"), defaultNo),
            expected);
        QCOMPARE(title, QStringLiteral("Delete"));
    }

    void fileDialog_data() {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("chooseFilter");  // 1-based filter to pick in the dialog
        QTest::addColumn<int>("maxLength");
        QTest::newRow("open, first filter") << true << 1 << 260;
        QTest::newRow("open, second filter") << true << 2 << 260;
        QTest::newRow("cancelled") << false << 2 << 260;
        QTest::newRow("name too long") << true << 1 << 5;
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
        if (chosen) {
            QCOMPARE(result.filterIndex, chooseFilter);
        }
    }

    // The scripted double other tests rely on: menus by text, dialogs by button name.
    void scriptedPrompts() {
        test::ScriptedPromptService prompts;
        QMenu menu;
        QMenu* sub = menu.addMenu(QStringLiteral("&Stamps"));
        QAction* approved = sub->addAction(QStringLiteral("&Approved"));
        QAction* del = menu.addAction(QStringLiteral("&Delete"));
        menu.addSeparator();
        QAction* off = menu.addAction(QStringLiteral("Off"));
        off->setEnabled(false);
        int triggered = 0;
        connect(approved, &QAction::triggered, this, [&] { triggered += 1; });
        connect(del, &QAction::triggered, this, [&] { triggered += 10; });
        connect(off, &QAction::triggered, this, [&] { triggered += 100; });
        prompts.menuChoices = QStringList{"Approved", "", "Off", "Missing"};
        for (int i = 0; i < 4; ++i) {
            prompts.popupMenu(&menu, QPoint(5, 6));
        }
        QCOMPARE(triggered, 1);
        QCOMPARE(prompts.menus.size(), 4);
        QCOMPARE(prompts.menus[0].actions, QStringList({"Stamps", "Delete", "Off"}));
        QCOMPARE(prompts.menus[0].enabled, QStringList({"Stamps", "Delete"}));
        QCOMPARE(prompts.menus[0].chosen, QStringLiteral("Approved"));
        QCOMPARE(prompts.menus[2].chosen, QString());
        QCOMPARE(prompts.unmatchedChoices, QStringList{"Missing"});

        QDialog dialog;
        dialog.setObjectName(QStringLiteral("frmMsgBox"));
        auto* yes = new QPushButton(QStringLiteral("&Yes"), &dialog);
        yes->setObjectName(QStringLiteral("btnYes"));
        connect(yes, &QPushButton::clicked, &dialog, &QDialog::accept);
        prompts.dialogScripts << [](QDialog* d) {
            QVERIFY(test::ScriptedPromptService::clickButton(d, QStringLiteral("btnYes")));
        };
        QCOMPARE(prompts.execDialog(&dialog), int(QDialog::Accepted));
        QCOMPARE(prompts.execDialog(&dialog), int(QDialog::Rejected));  // no script left
        QVERIFY(!dialog.isVisible());
        QCOMPARE(prompts.dialogs, QStringList({"frmMsgBox", "frmMsgBox"}));
    }
};

QTEST_MAIN(TestPrompts)
#include "tst_prompts.moc"
