#include "support/pdffixtures.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>

namespace ktdv::test {

QString writePdf(const QString& path, int pages, QSizeF inches, bool text) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(inches, QPageSize::Inch));
    writer.setPageMargins(QMarginsF());
    writer.setResolution(72);
    QPainter p(&writer);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        p.fillRect(QRectF(36, 36, 100, 40), QColor(200, 40, 40));
        p.drawEllipse(QRectF(60, 120, 150, 90));
        if (text) {
            p.setFont(QFont("DejaVu Sans", 24));
            p.drawText(QPointF(160, 200), QStringLiteral("Page %1").arg(i + 1));
        }
    }
    return p.end() ? path : QString();
}

QString writeHandMadePdf(const QString& path, int pages, double width, double height) {
    QByteArray pdf = "%PDF-1.4\n";
    QList<qint64> offsets;
    const auto object = [&](const QByteArray& body) {
        offsets << pdf.size();
        pdf += QByteArray::number(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    const QByteArray content = "0 0 1 rg 10 10 50 50 re f";
    object("<< /Type /Catalog /Pages 2 0 R >>");
    QByteArray kids;
    for (int i = 0; i < pages; ++i)
        kids += QByteArray::number(i + 4) + " 0 R ";
    object("<< /Type /Pages /Count " + QByteArray::number(pages) + " /Kids [" + kids + "] >>");
    object("<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
           "\nendstream");
    for (int i = 0; i < pages; ++i)
        object("<< /Type /Page /Parent 2 0 R /Contents 3 0 R /MediaBox [0 0 " +
               QByteArray::number(width) + ' ' + QByteArray::number(height) + "] >>");
    const qint64 xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (qint64 at : offsets)
        pdf += QByteArray::number(at).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(offsets.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size() ? path : QString();
}

bool qpdf(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("qpdf"), args);
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit &&
           (p.exitCode() == 0 || p.exitCode() == 3);
}

}  // namespace ktdv::test
