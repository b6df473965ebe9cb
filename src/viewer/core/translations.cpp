#include "viewer/core/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <optional>

namespace ktdv::translations {

namespace {

struct State {
    bool automatic = true;
    bool done = false;
    std::optional<QLocale> chosen;
    // Owned by the application object, so they go with it.
    QPointer<QTranslator> own;
    QPointer<QTranslator> qt;
};

State& state() {
    static State s;
    return s;
}

void remove(QPointer<QTranslator>& translator) {
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

QTranslator* install(const QLocale& locale, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, name, QStringLiteral("_"), folder) &&
        QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}

bool installFor(const QLocale& locale) {
    State& s = state();
    remove(s.qt);
    remove(s.own);
    if (!QCoreApplication::instance())
        return false;
    s.own = install(locale, QStringLiteral("ktdocview"), QStringLiteral(":/i18n"));
    // Qt's texts only with ours, so that a dialog is in one language.
    if (s.own)
        s.qt = install(locale, QStringLiteral("qtbase"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return s.own != nullptr;
}

}  // namespace

void ensureLoaded() {
    State& s = state();
    if (s.done || !s.automatic || !QCoreApplication::instance())
        return;
    s.done = true;
    installFor(QLocale::system());
}

void setAutomatic(bool on) {
    State& s = state();
    s.automatic = on;
    if (!on) {
        remove(s.qt);
        remove(s.own);
        s.chosen.reset();
    }
}

bool setLanguage(const QString& code) {
    State& s = state();
    s.done = true;
    const QLocale locale = code.isEmpty() ? QLocale::system() : QLocale(code);
    s.chosen = locale;
    return installFor(locale) || locale.language() == QLocale::English ||
           locale.language() == QLocale::C;
}

QLocale locale() {
    const State& s = state();
    return s.chosen.value_or(QLocale());
}

}  // namespace ktdv::translations
