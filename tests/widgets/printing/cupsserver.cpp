#include "widgets/printing/cupsserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace ktdv::test {

namespace {

const char* const kPdfDriver = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";

bool writeText(const QString& path, const QString& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
}

}  // namespace

QByteArray runProgram(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    const QByteArray out = p.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

PrivateCupsServer::~PrivateCupsServer() {
    stop();
}

QString PrivateCupsServer::outputFile() const {
    return m_dir.filePath(QStringLiteral("out.pdf"));
}

bool PrivateCupsServer::start(QString* why) {
    auto fail = [why](const QString& text) {
        *why = text;
        return false;
    };
    const QString cupsd =
        QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin")});
    if (geteuid() != 0 || cupsd.isEmpty() || !QFileInfo::exists(QLatin1String(kPdfDriver)) ||
        !m_dir.isValid())
        return fail(QStringLiteral("needs root, cupsd and the generic PDF driver of cups-filters"));

    // The filters run as the lp user and must reach the queue's files below this folder.
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::ExeOther);
    const QString root = m_dir.filePath(QStringLiteral("root"));
    for (const char* sub : {"root/ppd", "spool/tmp", "cache", "state", "log"})
        QDir(m_dir.path()).mkpath(QString::fromLatin1(sub));
    const QString socket = m_dir.filePath(QStringLiteral("cups.sock"));
    const QString conf = QStringLiteral(
                             "LogLevel warn\n"
                             "Listen %1\n"
                             "Browsing Off\n"
                             "WebInterface No\n"
                             "DefaultAuthType None\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                             "  </Limit>\n</Policy>\n")
                             .arg(socket);
    const QString files = QStringLiteral(
                              "FileDevice Yes\n"
                              "ServerRoot %1\n"
                              "RequestRoot %2/spool\n"
                              "TempDir %2/spool/tmp\n"
                              "CacheDir %2/cache\n"
                              "StateDir %2/state\n"
                              "ErrorLog %2/log/error_log\n"
                              "AccessLog %2/log/access_log\n"
                              "PageLog %2/log/page_log\n"
                              "SystemGroup root\n")
                              .arg(root, m_dir.path());
    const QString confPath = root + QStringLiteral("/cupsd.conf");
    const QString filesPath = root + QStringLiteral("/cups-files.conf");
    if (!writeText(confPath, conf) || !writeText(filesPath, files))
        return fail(QStringLiteral("cannot write the server's configuration"));

    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), confPath,
                          QStringLiteral("-s"), filesPath});
    if (!m_cupsd.waitForStarted(5000))
        return fail(QStringLiteral("cupsd did not start"));
    m_started = true;

    m_oldServer = qgetenv("CUPS_SERVER");
    m_oldDest = qgetenv("LPDEST");
    qputenv("CUPS_SERVER", socket.toLocal8Bit());
    qputenv("LPDEST", queue().toLocal8Bit());

    QDeadlineTimer deadline(15000);
    while (!run(QStringLiteral("lpstat"), {QStringLiteral("-r")})) {
        if (deadline.hasExpired() || m_cupsd.state() != QProcess::Running) {
            const QString log = QString::fromLocal8Bit(m_cupsd.readAll());
            stop();
            return fail(QStringLiteral("cupsd did not come up: ") + log);
        }
        QThread::msleep(100);
    }
    if (!run(QStringLiteral("lpadmin"),
             {QStringLiteral("-p"), queue(), QStringLiteral("-E"), QStringLiteral("-v"),
              QStringLiteral("file://") + outputFile(), QStringLiteral("-P"),
              QLatin1String(kPdfDriver)}) ||
        !run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), queue()})) {
        stop();
        return fail(QStringLiteral("the test queue could not be created"));
    }
    return true;
}

void PrivateCupsServer::stop() {
    if (!m_started)
        return;
    m_started = false;
    m_cupsd.terminate();
    if (!m_cupsd.waitForFinished(5000)) {
        m_cupsd.kill();
        m_cupsd.waitForFinished(2000);
    }
    auto restore = [](const char* name, const QByteArray& old) {
        if (old.isNull())
            qunsetenv(name);
        else
            qputenv(name, old);
    };
    restore("CUPS_SERVER", m_oldServer);
    restore("LPDEST", m_oldDest);
}

bool PrivateCupsServer::run(const QString& program, const QStringList& arguments) {
    return !runProgram(program, arguments).isNull();
}

int PrivateCupsServer::jobCount() {
    const QByteArray out = runProgram(QStringLiteral("lpstat"), {"-W", "all", "-o", queue()});
    return out.isNull() ? -1 : int(out.count('\n'));
}

bool PrivateCupsServer::waitForJobs(int expectedJobs, int timeoutMs) {
    for (QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired(); QThread::msleep(100)) {
        const QByteArray pending =
            runProgram(QStringLiteral("lpstat"), {"-W", "not-completed", "-o", queue()});
        if (!pending.isNull() && pending.trimmed().isEmpty() && jobCount() >= expectedJobs &&
            QFileInfo(outputFile()).size() > 0)
            return true;
    }
    return false;
}

}  // namespace ktdv::test
