#pragma once
// Command line of ktdocview-convert, parsed into what the engine needs.

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace ktdv::convert {

struct Options {
    QStringList inputs;
    QString output;
    int format = 0;  // export format code; 0 = from the output's extension
    QString language = QStringLiteral("eng");
    QVector<int> pages;  // 1-based; empty = all
    int jobs = 0;        // 0 = one per core
    QString appFolder;   // folder whose "doZed" subfolder may hold language data
    bool quiet = false;
    QString fromList;    // file of input paths, "-" for standard input
    int shard = -1;      // task K of `shardCount` from --shard K/N; -1 = not given
    int shardCount = 0;  // N from --shard K/N or --shards N; 0 = not given
    bool force = false;  // convert again even when the output is up to date
    bool dryRun = false;
    QString summarise;  // output folder whose reports to merge

    // Outputs go into a folder, one per input, with a report: a list, several inputs,
    // shards, or an existing folder as the output.
    bool batch() const;
};

// Format code of a name ("pdf", "dos-formatted") or a number ("12"); nullopt if unknown.
std::optional<int> parseFormat(const QString& text);
// "1-3,5" -> {1,2,3,5}; nullopt for malformed lists or numbers below 1.
std::optional<QVector<int>> parsePages(const QString& text);
// The export format an output file name suggests (2 when nothing fits).
int formatForPath(const QString& path);
// File name extension of a format ("txt", "pdf", ...).
QString extensionForFormat(int format);
// Where the output of one input goes when several inputs share an output folder.
QString outputPathFor(const QString& input, const QString& folder, int format);

// "K/N" with 0 <= K < N; false when malformed.
bool parseShard(const QString& text, int* index, int* count);

// Parses argv; on failure returns nullopt and sets *error (empty for --help/--version,
// then *text holds what to print).
std::optional<Options> parseArguments(const QStringList& arguments, QString* error, QString* text);

}  // namespace ktdv::convert
