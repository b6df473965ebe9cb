#pragma once
// Per-user settings: text values under application "Tavrin Networks", section "Common".
// Booleans are stored as True/False, numbers as decimal text; a missing key yields the
// reader's default. The viewer's own settings are read and written through their entries in
// settingskeys.h, which supply the key and the default; for those, a stored text that does
// not convert (a hand-edited file) also yields the default, so no read of them ever throws.

#include "settingskeys.h"

#include <QString>

#include <memory>

namespace ktdv {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual bool contains(const QString& key) const = 0;
    virtual QString value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QString& text) = 0;
    // Afterwards the key is missing.
    virtual void remove(const QString& key) = 0;

    // Any key; a stored text that does not convert throws ViewerError (13 or 6).
    bool readBool(const QString& key, bool defaultValue) const;
    qint16 readInt16(const QString& key, qint16 defaultValue) const;
    qint32 readInt32(const QString& key, qint32 defaultValue) const;
    double readDouble(const QString& key, double defaultValue) const;
    void writeBool(const QString& key, bool v) {
        setValue(key, v ? QStringLiteral("True") : QStringLiteral("False"));
    }
    void writeInt(const QString& key, qint64 v) { setValue(key, QString::number(v)); }

    // A setting of the table; its default when the key is missing or its text does not
    // convert to the type read. Never throws.
    bool readBool(const settings::Setting& s) const;
    qint16 readInt16(const settings::Setting& s) const;
    qint32 readInt32(const settings::Setting& s) const;
    double readDouble(const settings::Setting& s) const;
    // Written as True/False (Boolean settings) or decimal text (number settings).
    void writeBool(const settings::Setting& s, bool v);
    void writeInt(const settings::Setting& s, qint64 v);
};

// QSettings in the user scope, organisation and application "Tavrin Networks", group "Common".
std::shared_ptr<SettingsStore> createUserSettingsStore();
// An in-memory store (tests, and hosts that want no persistence).
std::shared_ptr<SettingsStore> createMemorySettingsStore();

}  // namespace ktdv
