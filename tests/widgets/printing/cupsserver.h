#pragma once
// A private print server for tests: its own cupsd with its configuration, spool and logs
// in a temporary folder, reached through a domain socket there, with one queue that
// writes every job as a PDF file into the same folder. While it runs, CUPS_SERVER and
// LPDEST point this process (and the CUPS tools it starts) at it, so the queue is the
// default printer. Needs root (cupsd will not run its filters otherwise).

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace ktdv::test {

class PrivateCupsServer {
public:
    ~PrivateCupsServer();

    // Starts the server and creates the queue. Returns false with *why set when it cannot.
    bool start(QString* why);
    void stop();

    QString queue() const { return QStringLiteral("ktdvtest"); }
    // The PDF the queue writes each job into (the last job's).
    QString outputFile() const;

    // Runs a CUPS tool against the server; true when it exits with 0.
    bool run(const QString& program, const QStringList& arguments);
    // Jobs the queue has seen, finished or not.
    int jobCount();
    // Waits until every job has finished and the last one's PDF is written.
    bool waitForJobs(int expectedJobs, int timeoutMs = 30000);

private:
    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QByteArray m_oldServer, m_oldDest;
    bool m_started = false;
};

// Runs a program (30 s limit); its standard output, or a null array when it failed.
QByteArray runProgram(const QString& program, const QStringList& arguments);

}  // namespace ktdv::test
