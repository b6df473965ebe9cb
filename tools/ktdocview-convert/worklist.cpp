#include "worklist.h"

#include "options.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextStream>

#include <cstdio>

namespace ktdv::convert {

namespace {

constexpr int kMaxPagesInList = 100000;

// The deepest folder that holds every one of the (absolute) paths.
QString commonFolder(const QVector<WorkItem>& items) {
    if (items.isEmpty()) {
        return QString();
    }
    QStringList common = QFileInfo(items.first().input).absolutePath().split(QLatin1Char('/'));
    for (const WorkItem& item : items) {
        const QStringList parts = QFileInfo(item.input).absolutePath().split(QLatin1Char('/'));
        qsizetype n = 0;
        while (n < common.size() && n < parts.size() && common[n] == parts[n]) {
            ++n;
        }
        common.resize(n);
    }
    const QString joined = common.join(QLatin1Char('/'));
    return joined.isEmpty() ? QStringLiteral("/") : joined;
}

}  // namespace

WorkList readList(const QString& listFile) {
    WorkList list;
    QFile file;
    const bool opened =
        listFile == QLatin1String("-")
            ? file.open(stdin, QIODevice::ReadOnly | QIODevice::Text)
            : (file.setFileName(listFile), file.open(QIODevice::ReadOnly | QIODevice::Text));
    if (!opened) {
        list.error = QCoreApplication::translate("ktdocview-convert", "cannot read the list %1")
                         .arg(listFile);
        return list;
    }
    QTextStream in(&file);
    int lineNumber = 0;
    QString line;
    while (in.readLineInto(&line)) {
        ++lineNumber;
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        WorkItem item;
        item.input = line;
        const qsizetype tab = line.lastIndexOf(QLatin1Char('\t'));
        if (tab >= 0) {
            bool ok = false;
            item.pages = line.mid(tab + 1).trimmed().toInt(&ok);
            if (!ok || item.pages < 1 || item.pages > kMaxPagesInList) {
                list.error = QCoreApplication::translate("ktdocview-convert",
                                                         "bad page count on line %1 of %2")
                                 .arg(lineNumber)
                                 .arg(listFile);
                return list;
            }
            item.input = line.left(tab);
        }
        list.items.append(item);
    }
    return list;
}

WorkList buildWorkList(const QStringList& inputs, const QString& listFile, const QString& folder,
                       int format) {
    WorkList list;
    for (const QString& input : inputs) {
        list.items.append(WorkItem{input, QString(), 0, QString()});
    }
    if (!listFile.isEmpty()) {
        WorkList fromFile = readList(listFile);
        if (!fromFile.error.isEmpty()) {
            return fromFile;
        }
        list.items += fromFile.items;
    }
    QSet<QString> seen;
    QVector<WorkItem> unique;
    unique.reserve(list.items.size());
    for (WorkItem& item : list.items) {
        item.input = QFileInfo(item.input).absoluteFilePath();
        if (!seen.contains(item.input)) {
            seen.insert(item.input);
            unique.append(item);
        }
    }
    list.items = unique;

    const QDir base(commonFolder(list.items));
    const QDir out(QFileInfo(folder).absoluteFilePath());
    QHash<QString, QString> taken;  // output -> the input it belongs to
    for (WorkItem& item : list.items) {
        const QString relative = base.relativeFilePath(item.input);
        const QString name =
            QFileInfo(relative).completeBaseName() + QLatin1Char('.') + extensionForFormat(format);
        const QString sub = QFileInfo(relative).path();
        item.output = QDir::cleanPath(
            out.filePath(sub == QLatin1String(".") ? name : sub + QLatin1Char('/') + name));
        const auto other = taken.constFind(item.output);
        if (other != taken.constEnd()) {
            item.error = QStringLiteral("output name also used for ") + other.value();
        } else {
            taken.insert(item.output, item.input);
        }
    }
    return list;
}

}  // namespace ktdv::convert
