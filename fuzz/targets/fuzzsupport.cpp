#include "targets/fuzztargets.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace ktdv::fuzz {

namespace {

QString& scratchDir() {
    static QString dir;
    return dir;
}

}  // namespace

void initialize() {
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "ktdv-fuzz";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
    if (scratchDir().isEmpty()) {
        // Memory-backed where there is such a folder: the page edits flush every write.
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        static QTemporaryDir dir(base + QStringLiteral("/ktdv-fuzz-XXXXXX"));
        if (!dir.isValid())
            fail("cannot create a scratch folder");
        scratchDir() = dir.path();
    }
}

QString scratchFile(const char* name) {
    return scratchDir() + QLatin1Char('/') + QLatin1String(name);
}

const std::vector<Target>& targets() {
    static const std::vector<Target> all = {
        {"document", fuzzDocument}, {"ccitt", fuzzCcitt},     {"annotations", fuzzAnnotations},
        {"pageedit", fuzzPageEdit}, {"writers", fuzzWriters}, {"pdf", fuzzPdf},
    };
    return all;
}

void fail(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

}  // namespace ktdv::fuzz
