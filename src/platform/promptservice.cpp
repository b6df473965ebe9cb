#include "promptservice.h"

#include "qtpromptservice.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

bool PromptService::password(QWidget* parent, const QString& text, QString* password) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgPassword"));
    dialog.setWindowTitle(QCoreApplication::translate("PromptService", "Password"));
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    auto* edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("txtPassword"));
    edit->setEchoMode(QLineEdit::Password);
    auto* ok = new QPushButton(QCoreApplication::translate("PromptService", "OK"));
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QCoreApplication::translate("PromptService", "Cancel"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addLayout(buttons);
    if (execDialog(&dialog) != QDialog::Accepted)
        return false;
    if (password)
        *password = edit->text();
    return true;
}

QString toQtFilter(const QString& filter) {
    return qtNameFilters(filter).join(QStringLiteral(";;"));
}

int filterIndexOf(const QString& filter, const QString& qtFilter) {
    const qsizetype i = qtNameFilters(filter).indexOf(qtFilter);
    return i < 0 ? 1 : static_cast<int>(i) + 1;
}

}  // namespace ktdv
