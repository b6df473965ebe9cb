#pragma once
// The report of a batch: each task appends one JSON line per document to report-K.jsonl in
// the output folder; summarise() merges every task's report, the newest line of each input
// counting.

#include <QString>

#include <cstdio>

namespace ktdv::convert {

struct ReportLine {
    QString input;
    QString output;
    int pages = 0;
    double seconds = 0;
    QString status;   // "ok", "skipped" (output up to date) or "failed"
    QString message;  // the engine's message on failure
};

class ReportWriter {
public:
    // Appends to `folder`/report-`task`.jsonl.
    ReportWriter(const QString& folder, int task);
    ~ReportWriter();
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;

    // False when the line could not be written (the reason in error()).
    bool append(const ReportLine& line);
    QString error() const { return m_error; }

private:
    QString m_path;
    int m_fd = -1;
    QString m_error;
};

// Prints the totals of the reports in `folder` (documents, pages, failures, pages per
// second) and one line per failed document to `out`. Returns the exit status: 0 when no
// document failed, 1 when any did or there is no report.
int summarise(const QString& folder, std::FILE* out);

}  // namespace ktdv::convert
