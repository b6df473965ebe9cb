#include "options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <array>
#include <utility>

namespace ktdv::convert {

namespace {

struct FormatName {
    const char* name;
    int code;
    const char* extension;
};

constexpr std::array<FormatName, 12> kFormats = {{
    {"rtf", 1, "rtf"},
    {"ansi", 2, "txt"},
    {"dos", 3, "txt"},
    {"unicode", 4, "txt"},
    {"tabular", 5, "txt"},
    {"dos-formatted", 6, "txt"},
    {"unicode-formatted", 7, "txt"},
    {"html", 9, "html"},
    {"pdf-text", 10, "pdf"},
    {"pdf-text-on-image", 11, "pdf"},
    {"pdf", 12, "pdf"},
    {"pdf-annotated", 13, "pdf"},
}};

constexpr int kMaxShards = 1000000;

}  // namespace

std::optional<int> parseFormat(const QString& text) {
    const QString t = text.trimmed().toLower();
    bool isNumber = false;
    const int code = t.toInt(&isNumber);
    for (const FormatName& f : kFormats) {
        if ((isNumber && code == f.code) || (!isNumber && t == QLatin1String(f.name))) {
            return f.code;
        }
    }
    return std::nullopt;
}

std::optional<QVector<int>> parsePages(const QString& text) {
    QVector<int> pages;
    const QStringList parts = text.split(QLatin1Char(','), Qt::KeepEmptyParts);
    for (const QString& raw : parts) {
        const QString part = raw.trimmed();
        const qsizetype dash = part.indexOf(QLatin1Char('-'));
        bool ok1 = false;
        bool ok2 = false;
        int first = 0;
        int last = 0;
        if (dash < 0) {
            first = last = part.toInt(&ok1);
            ok2 = ok1;
        } else {
            first = part.left(dash).trimmed().toInt(&ok1);
            last = part.mid(dash + 1).trimmed().toInt(&ok2);
        }
        if (!ok1 || !ok2 || first < 1 || last < first || last - first > 1000000) {
            return std::nullopt;
        }
        for (int p = first; p <= last; ++p) {
            pages.append(p);
        }
    }
    return pages;
}

int formatForPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("rtf")) {
        return 1;
    }
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) {
        return 9;
    }
    if (suffix == QLatin1String("pdf")) {
        return 12;
    }
    return 2;
}

QString extensionForFormat(int format) {
    for (const FormatName& f : kFormats) {
        if (f.code == format) {
            return QString::fromLatin1(f.extension);
        }
    }
    return QStringLiteral("txt");
}

QString outputPathFor(const QString& input, const QString& folder, int format) {
    return QDir(folder).filePath(QFileInfo(input).completeBaseName() + QLatin1Char('.') +
                                 extensionForFormat(format));
}

bool parseShard(const QString& text, int* index, int* count) {
    const QStringList parts = text.split(QLatin1Char('/'));
    bool ok1 = false;
    bool ok2 = false;
    if (parts.size() == 2) {
        *index = parts[0].trimmed().toInt(&ok1);
        *count = parts[1].trimmed().toInt(&ok2);
    }
    return ok1 && ok2 && *count >= 1 && *count <= kMaxShards && *index >= 0 && *index < *count;
}

bool Options::batch() const {
    return !fromList.isEmpty() || inputs.size() > 1 || shardCount > 0 || QFileInfo(output).isDir();
}

std::optional<Options> parseArguments(const QStringList& arguments, QString* error, QString* text) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "ktdocview-convert",
        "Recognises the text of documents (TIFF, fax, PDF, BMP, GIF, JPEG, PNG) and writes it in "
        "an export format.\n\n"
        "One input: OUTPUT is the file to write.\n"
        "Several inputs, a list (--from-list) or shards: OUTPUT is a folder (created for a "
        "list); each input is written there under its own name with the format's extension, "
        "below the folders the inputs do not have in common (scan.tif -> OUTPUT/scan.pdf). "
        "An output newer than its input is kept (--force converts again); outputs appear "
        "whole or not at all. Each task appends one JSON line per document to "
        "OUTPUT/report-K.jsonl; --summarise OUTPUT adds them up.\n\n"
        "Shards: --shard K/N converts the K-th (from 0) of N parts of the inputs, balanced by "
        "page count where the list gives one (\"path<TAB>pages\"). Without --shard the part "
        "comes from a Slurm array task (SLURM_ARRAY_TASK_ID; with --shards N the task ids are "
        "the shard numbers 0..N-1, so a single task can be submitted again) or a Kubernetes "
        "Indexed Job (JOB_COMPLETION_INDEX with --shards N).\n\n"
        "Formats (name or code): rtf 1, ansi 2, dos 3, unicode 4, tabular 5, dos-formatted 6, "
        "unicode-formatted 7, html 9, pdf-text 10, pdf-text-on-image 11, pdf 12 (searchable: "
        "page image with invisible text), pdf-annotated 13 (recognised and searchable as pdf, "
        "pages as stored, neither turned nor straightened, with the document's annotations as "
        "PDF annotations). Without --format the output's extension decides: "
        ".rtf, .html, .pdf, else ansi.\n\n"
        "Exit status: 0 when every input was converted, 1 when any failed (each failure is "
        "reported as \"ktdocview-convert: <message> (<input>)\"), 2 for a bad command line."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("INPUT"),
        QCoreApplication::translate("ktdocview-convert", "Documents to read."),
        QStringLiteral("INPUT..."));
    const QCommandLineOption outputOpt(
        {QStringLiteral("o"), QStringLiteral("output")},
        QCoreApplication::translate("ktdocview-convert",
                                    "Output file, or folder for several "
                                    "inputs."),
        QStringLiteral("OUTPUT"));
    const QCommandLineOption formatOpt(
        {QStringLiteral("f"), QStringLiteral("format")},
        QCoreApplication::translate("ktdocview-convert", "Export format, name or code."),
        QStringLiteral("FORMAT"));
    const QCommandLineOption langOpt(
        {QStringLiteral("l"), QStringLiteral("lang")},
        QCoreApplication::translate("ktdocview-convert",
                                    "Recognition language(s), e.g. eng or "
                                    "eng+deu (default eng)."),
        QStringLiteral("LANG"), QStringLiteral("eng"));
    const QCommandLineOption pagesOpt({QStringLiteral("p"), QStringLiteral("pages")},
                                      QCoreApplication::translate("ktdocview-convert",
                                                                  "Pages to recognise, e.g. 1-3,5 "
                                                                  "(default all)."),
                                      QStringLiteral("LIST"));
    const QCommandLineOption jobsOpt(
        {QStringLiteral("j"), QStringLiteral("jobs")},
        QCoreApplication::translate("ktdocview-convert",
                                    "Pages recognised at once (default: "
                                    "SLURM_CPUS_PER_TASK, else the cores "
                                    "this process may run on)."),
        QStringLiteral("N"));
    const QCommandLineOption dataOpt(
        QStringLiteral("app-folder"),
        QCoreApplication::translate("ktdocview-convert",
                                    "Folder whose doZed subfolder holds "
                                    "language data (default: the system's)."),
        QStringLiteral("FOLDER"));
    const QCommandLineOption quietOpt(
        {QStringLiteral("q"), QStringLiteral("quiet")},
        QCoreApplication::translate("ktdocview-convert", "No progress bar."));
    const QCommandLineOption listOpt(
        QStringLiteral("from-list"),
        QCoreApplication::translate("ktdocview-convert",
                                    "File with one input path a line, "
                                    "optionally a tab and its page count; - "
                                    "for standard input."),
        QStringLiteral("FILE"));
    const QCommandLineOption shardOpt(
        QStringLiteral("shard"),
        QCoreApplication::translate("ktdocview-convert", "Convert part K of N (0 <= K < N)."),
        QStringLiteral("K/N"));
    const QCommandLineOption shardsOpt(
        QStringLiteral("shards"),
        QCoreApplication::translate("ktdocview-convert",
                                    "Number of parts when the scheduler "
                                    "gives the part's index."),
        QStringLiteral("N"));
    const QCommandLineOption forceOpt(
        QStringLiteral("force"),
        QCoreApplication::translate("ktdocview-convert",
                                    "Convert even where the output is newer "
                                    "than the input."));
    const QCommandLineOption dryOpt(
        {QStringLiteral("n"), QStringLiteral("dry-run")},
        QCoreApplication::translate("ktdocview-convert",
                                    "Print this part's inputs, outputs and page "
                                    "counts (tab-separated) and stop."));
    const QCommandLineOption sumOpt(
        QStringLiteral("summarise"),
        QCoreApplication::translate("ktdocview-convert",
                                    "Add up the reports in OUTPUT and list the "
                                    "failures."),
        QStringLiteral("OUTPUT"));
    parser.addOptions({outputOpt, formatOpt, langOpt, pagesOpt, jobsOpt, dataOpt, quietOpt, listOpt,
                       shardOpt, shardsOpt, forceOpt, dryOpt, sumOpt});

    auto failWith = [&](const QString& why) -> std::optional<Options> {
        *error = why;
        return std::nullopt;
    };
    if (!parser.parse(arguments)) {
        return failWith(parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        *error = QString();
        *text = parser.helpText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        *error = QString();
        *text = QStringLiteral("ktdocview-convert 0.1.0\n");
        return std::nullopt;
    }
    Options o;
    o.summarise = parser.value(sumOpt);
    if (!o.summarise.isEmpty()) {
        return o;
    }
    o.inputs = parser.positionalArguments();
    o.output = parser.value(outputOpt);
    o.fromList = parser.value(listOpt);
    if (o.inputs.isEmpty() && o.fromList.isEmpty()) {
        return failWith(QCoreApplication::translate("ktdocview-convert", "no input given"));
    }
    if (o.output.isEmpty()) {
        return failWith(QCoreApplication::translate("ktdocview-convert", "no output given (-o)"));
    }
    if (parser.isSet(shardOpt) && parser.isSet(shardsOpt)) {
        return failWith(QCoreApplication::translate("ktdocview-convert",
                                                    "give --shard K/N or --shards N, not both"));
    }
    if (parser.isSet(shardOpt) && !parseShard(parser.value(shardOpt), &o.shard, &o.shardCount)) {
        return failWith(QCoreApplication::translate("ktdocview-convert", "bad shard: %1")
                            .arg(parser.value(shardOpt)));
    }
    if (parser.isSet(shardsOpt) &&
        !parseShard(QStringLiteral("0/") + parser.value(shardsOpt), &o.shard, &o.shardCount)) {
        return failWith(QCoreApplication::translate("ktdocview-convert", "bad shard count: %1")
                            .arg(parser.value(shardsOpt)));
    }
    if (parser.isSet(shardsOpt)) {
        o.shard = -1;
    }
    const QFileInfo out(o.output);
    if (o.fromList.isEmpty() ? (o.batch() && !out.isDir()) : (out.exists() && !out.isDir())) {
        return failWith(QCoreApplication::translate(
            "ktdocview-convert",
            "with several inputs, a list or shards the output must be a folder"));
    }
    if (parser.isSet(formatOpt)) {
        const std::optional<int> f = parseFormat(parser.value(formatOpt));
        if (!f) {
            return failWith(QCoreApplication::translate("ktdocview-convert", "unknown format: %1")
                                .arg(parser.value(formatOpt)));
        }
        o.format = *f;
    }
    o.language = parser.value(langOpt);
    if (parser.isSet(pagesOpt)) {
        const std::optional<QVector<int>> p = parsePages(parser.value(pagesOpt));
        if (!p) {
            return failWith(QCoreApplication::translate("ktdocview-convert", "bad page list: %1")
                                .arg(parser.value(pagesOpt)));
        }
        o.pages = *p;
    }
    if (parser.isSet(jobsOpt)) {
        bool ok = false;
        o.jobs = parser.value(jobsOpt).toInt(&ok);
        if (!ok || o.jobs < 1 || o.jobs > 256) {
            return failWith(QCoreApplication::translate("ktdocview-convert", "bad job count: %1")
                                .arg(parser.value(jobsOpt)));
        }
    }
    o.appFolder = parser.value(dataOpt);
    o.quiet = parser.isSet(quietOpt);
    o.force = parser.isSet(forceOpt);
    o.dryRun = parser.isSet(dryOpt);
    return o;
}

}  // namespace ktdv::convert
