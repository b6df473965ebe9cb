#pragma once
// A one-line progress bar on the terminal's error stream, redrawn in place.

#include <QString>

#include <cstdio>

namespace ktdv::convert {

class ProgressLine {
public:
    explicit ProgressLine(std::FILE* stream, bool enabled) : m_stream(stream), m_on(enabled) {}
    void start(const QString& label, int total);
    void update(int done);
    void finish();

private:
    std::FILE* m_stream;
    bool m_on;
    QString m_label;
    int m_total = 0;
};

}  // namespace ktdv::convert
