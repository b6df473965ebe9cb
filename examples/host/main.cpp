// A host of the viewer control: a main window with the viewer as its central widget, showing
// the document named on the command line with the permissions given.
//
//   ktdocview_host [--permission N] [--picture FILE.png] DOCUMENT
//
// With --picture the window is drawn once the document is shown, written to FILE.png, and the
// program ends; that works without a display (QT_QPA_PLATFORM=offscreen).
#include <ktdocview/ctlktdocview.h>
#include <ktdocview/version.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QThread>
#include <QThreadPool>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ktdocview-host"));
    QApplication::setApplicationVersion(QStringLiteral(KTDOCVIEW_VERSION_STRING));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption permission(QStringLiteral("permission"),
                                        QStringLiteral("8 = rotate and flip, 16 = annotate."),
                                        QStringLiteral("N"), QStringLiteral("24"));
    const QCommandLineOption picture(QStringLiteral("picture"),
                                     QStringLiteral("Write the window to FILE.png and end."),
                                     QStringLiteral("FILE.png"));
    parser.addOption(permission);
    parser.addOption(picture);
    parser.addPositionalArgument(QStringLiteral("document"), QStringLiteral("File to show."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    QMainWindow window;
    auto* viewer = new ctlKTDocView(&window);
    window.setCentralWidget(viewer);
    window.resize(900, 650);
    const int bits = parser.value(permission).toInt();
    if (!viewer->setProperty("UserPermission", bits) ||
        viewer->property("UserPermission").toInt() != bits) {
        std::fprintf(stderr, "ktdocview-host: the UserPermission property did not take\n");
        return 1;
    }
    window.show();
    viewer->OpenImage(parser.positionalArguments().constFirst());

    if (!parser.isSet(picture))
        return QApplication::exec();

    // Thumbnails are made on the global thread pool; draw once it has been idle a while.
    QElapsedTimer clock, quiet;
    clock.start();
    quiet.start();
    while (clock.elapsed() < 10000 && (clock.elapsed() < 500 || quiet.elapsed() < 300)) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (QThreadPool::globalInstance()->activeThreadCount() > 0)
            quiet.restart();
        QThread::msleep(10);
    }
    const QImage shot = window.grab().toImage();
    if (shot.isNull() || !shot.save(parser.value(picture), "PNG")) {
        std::fprintf(stderr, "ktdocview-host: could not write %s\n",
                     qPrintable(parser.value(picture)));
        return 1;
    }
    return 0;
}
