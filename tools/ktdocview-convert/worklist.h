#pragma once
// The documents of a batch: inputs from the command line and a list file, each with the
// output it is written to and its page count where the list gives one.

#include <QString>
#include <QStringList>
#include <QVector>

namespace ktdv::convert {

struct WorkItem {
    QString input;   // absolute path
    QString output;  // absolute path inside the output folder
    int pages = 0;   // from the list; 0 = not known
    QString error;   // set when the item cannot be converted (e.g. its output name is taken)
};

struct WorkList {
    QVector<WorkItem> items;  // each input once, in the order first given
    QString error;            // why the list could not be read ("" = fine)
};

// Reads a list: one input a line, optionally followed by a tab and its page count; blank
// lines and lines starting with '#' are skipped. "-" reads standard input.
WorkList readList(const QString& listFile);

// The inputs of the command line followed by the list's. Each output is `folder` plus the
// input's path below the folder all inputs have in common, with the format's extension.
WorkList buildWorkList(const QStringList& inputs, const QString& listFile, const QString& folder,
                       int format);

}  // namespace ktdv::convert
