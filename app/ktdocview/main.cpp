// Demo host of the viewer control: a main window with one ctlKTDocView showing the
// document named on the command line, or the sample document built with the program.

#include "demowindow.h"
#include "ktdocview/ctlktdocview.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

// With no display to show the window on, the demo renders offscreen and writes a picture
// instead. A platform chosen by the user (environment or -platform) is always respected.
bool chooseOffscreen(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return qgetenv("QT_QPA_PLATFORM") == "offscreen";
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return i + 1 < argc && std::strcmp(argv[i + 1], "offscreen") == 0;
        }
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }
    return false;
}

QString samplePath() {
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("../share/ktdocview/sample.tif"));
    for (const QString& candidate : {installed, QStringLiteral(KTDV_SAMPLE_PATH)}) {
        if (QFileInfo(candidate).isFile()) {
            return QFileInfo(candidate).absoluteFilePath();
        }
    }
    return {};
}

// Thumbnails for this run only: the viewer reads the choice from the user's settings, so it
// is written there while the demo runs and the user's own value is put back when it ends,
// unless the user changed the view in the meantime (that choice then stands).
class ThumbsForThisRun {
public:
    ThumbsForThisRun()
        : m_store(ktdv::createUserSettingsStore()),
          m_had(m_store->contains(key())),
          m_before(m_store->value(key())) {
        m_store->writeBool(ktdv::settings::Thumbs, true);
        m_written = m_store->value(key());
    }
    ~ThumbsForThisRun() {
        if (m_store->value(key()) != m_written)
            return;
        if (m_had)
            m_store->setValue(key(), m_before);
        else
            m_store->remove(key());
    }
    ThumbsForThisRun(const ThumbsForThisRun&) = delete;
    ThumbsForThisRun& operator=(const ThumbsForThisRun&) = delete;

private:
    static QString key() { return QLatin1String(ktdv::settings::Thumbs.key); }

    std::shared_ptr<ktdv::SettingsStore> m_store;
    bool m_had;
    QString m_before;
    QString m_written;
};

void fail(const QString& text) {
    std::fprintf(stderr, "ktdocview: %s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    const bool offscreen = chooseOffscreen(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ktdocview"));
    QApplication::setApplicationDisplayName(QStringLiteral("KTDocView"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Shows a document in the KTDocView viewer control. With no document, shows the "
        "sample document."));
    parser.addHelpOption();
    const QCommandLineOption permission(
        QStringLiteral("permission"),
        QStringLiteral("Permission bits: 8 = rotate and flip, 16 = annotate (default 24)."),
        QStringLiteral("N"), QStringLiteral("24"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Write a picture of the window to FILE.png once the document is shown, "
                       "then exit."),
        QStringLiteral("FILE.png"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Window size in pixels (default 1024x768)."),
                                  QStringLiteral("WxH"), QStringLiteral("1024x768"));
    const QCommandLineOption thumbs(QStringLiteral("thumbs"),
                                    QStringLiteral("Show the page thumbnails beside the page."));
    parser.addOption(permission);
    parser.addOption(screenshot);
    parser.addOption(size);
    parser.addOption(thumbs);
    parser.addPositionalArgument(QStringLiteral("document"),
                                 QStringLiteral("TIFF, fax, BMP, GIF or JPEG file to show."));
    parser.process(app);

    bool ok = false;
    const qint32 permissionBits = parser.value(permission).toInt(&ok);
    if (!ok) {
        fail(QStringLiteral("--permission needs a number"));
        return 2;
    }
    static const QRegularExpression sizePattern(QStringLiteral("^(\\d{2,5})[xX](\\d{2,5})$"));
    const QRegularExpressionMatch sizeMatch = sizePattern.match(parser.value(size));
    if (!sizeMatch.hasMatch()) {
        fail(QStringLiteral("--size needs WIDTHxHEIGHT, for example 1024x768"));
        return 2;
    }
    const QSize windowSize(sizeMatch.captured(1).toInt(), sizeMatch.captured(2).toInt());
    if (parser.positionalArguments().size() > 1) {
        fail(QStringLiteral("one document at a time"));
        return 2;
    }

    QString document = parser.positionalArguments().value(0);
    if (document.isEmpty()) {
        document = samplePath();
        if (document.isEmpty()) {
            fail(QStringLiteral("the sample document was not found; name a document to show"));
        }
    } else if (!QFileInfo(document).isFile()) {
        fail(QStringLiteral("no file at %1").arg(document));
    } else {
        document = QFileInfo(document).absoluteFilePath();
    }

    QString picturePath = parser.value(screenshot);
    if (picturePath.isEmpty() && offscreen) {
        picturePath = QDir(QDir::tempPath()).filePath(QStringLiteral("ktdocview-screenshot.png"));
    }

    std::optional<ThumbsForThisRun> thumbsForThisRun;
    if (parser.isSet(thumbs)) {
        thumbsForThisRun.emplace();
    }

    DemoWindow window;
    window.resize(windowSize);
    window.viewer()->setUserPermission(permissionBits);
    window.show();
    if (!document.isEmpty()) {
        window.viewer()->OpenImage(document);
    }

    if (picturePath.isEmpty()) {
        return app.exec();
    }
    if (!window.saveScreenshot(picturePath)) {
        fail(QStringLiteral("could not write %1").arg(picturePath));
        return 1;
    }
    std::printf("Screenshot written to %s\n",
                qPrintable(QFileInfo(picturePath).absoluteFilePath()));
    return 0;
}
