#pragma once
// PDF documents made for the tests: with Qt's PDF writer (text as real text, or only
// shapes), by hand (any page size, any number of pages sharing one content stream), and
// turned or locked with qpdf.

#include <QSizeF>
#include <QString>

namespace ktdv::test {

// pages pages of size inches; each shows "Page N" as text (a text layer) or as shapes only.
QString writePdf(const QString& path, int pages, QSizeF inches, bool text);
// A PDF written by hand: pages pages of width x height points in one flat page tree.
QString writeHandMadePdf(const QString& path, int pages, double width, double height);
// Runs qpdf with args; true when it succeeded (or only warned).
bool qpdf(const QStringList& args);

}  // namespace ktdv::test
