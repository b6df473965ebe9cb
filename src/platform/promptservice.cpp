#include "promptservice.h"

#include "qtpromptservice.h"

#include <QDialog>

namespace ktdv {

QStringList qtNameFilters(const QString& filter) {
    // Pairs of name and pattern list; a name without a pattern after it is dropped.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!p.trimmed().isEmpty()) {
                patterns << p.trimmed();
            }
        }
        if (patterns.isEmpty()) {
            patterns << QStringLiteral("*");
        }
        const QString name = parts.at(i).trimmed();
        const QString list = patterns.join(QLatin1Char(' '));
        // A name that already shows its patterns ("HTML (*.html)") is taken as it is.
        const QString shown = QStringLiteral(" (") + list + QLatin1Char(')');
        result << (name.isEmpty() ? list : name.endsWith(shown) ? name : name + shown);
    }
    return result;
}

bool PromptService::printDialog(QDialog* dialog, QPrinter& printer) {
    Q_UNUSED(printer)
    return dialog && execDialog(dialog) == QDialog::Accepted;
}

QString toQtFilter(const QString& filter) {
    return qtNameFilters(filter).join(QStringLiteral(";;"));
}

int filterIndexOf(const QString& filter, const QString& qtFilter) {
    const qsizetype i = qtNameFilters(filter).indexOf(qtFilter);
    return i < 0 ? 1 : static_cast<int>(i) + 1;
}

}  // namespace ktdv
