#include "settingsstore.h"

#include "classicconversion.h"
#include "viewererror.h"

#include <QHash>
#include <QSettings>

namespace ktdv {

bool SettingsStore::readBool(const QString& key, bool defaultValue) const {
    return contains(key) ? classic::toBool(value(key)) : defaultValue;
}

qint16 SettingsStore::readInt16(const QString& key, qint16 defaultValue) const {
    return contains(key) ? classic::toInt16(value(key)) : defaultValue;
}

qint32 SettingsStore::readInt32(const QString& key, qint32 defaultValue) const {
    return contains(key) ? classic::toInt32(value(key)) : defaultValue;
}

double SettingsStore::readDouble(const QString& key, double defaultValue) const {
    return contains(key) ? classic::toDouble(value(key)) : defaultValue;
}

namespace {

QString keyOf(const settings::Setting& s) {
    return QString::fromLatin1(s.key);
}

// A text that does not convert (hand-edited, damaged) counts as a missing key.
template <class T, class Read>
T readOr(T fallback, Read read) {
    try {
        return read();
    } catch (const ViewerError&) {
        return fallback;
    }
}

}  // namespace

bool SettingsStore::readBool(const settings::Setting& s) const {
    const bool fallback = s.defaultValue != 0;
    return readOr(fallback, [&] { return readBool(keyOf(s), fallback); });
}

qint16 SettingsStore::readInt16(const settings::Setting& s) const {
    const auto fallback = qint16(s.defaultValue);
    return readOr(fallback, [&] { return readInt16(keyOf(s), fallback); });
}

qint32 SettingsStore::readInt32(const settings::Setting& s) const {
    return readOr(s.defaultValue, [&] { return readInt32(keyOf(s), s.defaultValue); });
}

double SettingsStore::readDouble(const settings::Setting& s) const {
    const double fallback = s.defaultValue;
    return readOr(fallback, [&] { return readDouble(keyOf(s), fallback); });
}

void SettingsStore::writeBool(const settings::Setting& s, bool v) {
    Q_ASSERT(s.type == settings::Type::Bool);
    writeBool(keyOf(s), v);
}

void SettingsStore::writeInt(const settings::Setting& s, qint64 v) {
    Q_ASSERT(s.type == settings::Type::Number);
    writeInt(keyOf(s), v);
}

namespace {

constexpr auto kOrganisation = "Tavrin Networks";
constexpr auto kApplication = "Tavrin Networks";
constexpr auto kGroup = "Common";

// Per-user values in an INI file; every value is written and read back as text.
class UserSettingsStore final : public SettingsStore {
public:
    UserSettingsStore()
        : m_settings(QSettings::NativeFormat, QSettings::UserScope,
                     QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication)) {
        m_settings.setFallbacksEnabled(false);
    }

    bool contains(const QString& key) const override { return m_settings.contains(path(key)); }

    QString value(const QString& key) const override {
        const QVariant v = m_settings.value(path(key));
        // A list ("a, b" unquoted in the file) reads back as the text it was written as.
        if (v.metaType().id() == QMetaType::QStringList) {
            return v.toStringList().join(QStringLiteral(", "));
        }
        return v.toString();
    }

    // The file is written only when a value changes: page loads store the document's
    // state every time, and most of the time it is what the file already says.
    void setValue(const QString& key, const QString& text) override {
        if (contains(key) && value(key) == text)
            return;
        m_settings.setValue(path(key), text);
        m_settings.sync();
    }

    void remove(const QString& key) override {
        if (!contains(key))
            return;
        m_settings.remove(path(key));
        m_settings.sync();
    }

private:
    static QString path(const QString& key) {
        return QString::fromLatin1(kGroup) + QLatin1Char('/') + key;
    }

    // contains() and value() are const but QSettings may reload the file underneath.
    mutable QSettings m_settings;
};

class MemorySettingsStore final : public SettingsStore {
public:
    bool contains(const QString& key) const override { return m_values.contains(key); }
    QString value(const QString& key) const override { return m_values.value(key); }
    void setValue(const QString& key, const QString& text) override { m_values.insert(key, text); }
    void remove(const QString& key) override { m_values.remove(key); }

private:
    QHash<QString, QString> m_values;
};

}  // namespace

std::shared_ptr<SettingsStore> createUserSettingsStore() {
    return std::make_shared<UserSettingsStore>();
}

std::shared_ptr<SettingsStore> createMemorySettingsStore() {
    return std::make_shared<MemorySettingsStore>();
}

}  // namespace ktdv
