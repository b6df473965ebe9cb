#pragma once
// Machine-wide values read once at start-up: "AppPath" of the two product keys, read
// through QSettings' system scope (on Linux a system-wide configuration file), and the
// fallback folders that hold a "doZed" entry.

#include <QString>
#include <QStringList>

#include <memory>

namespace ktdv {

class MachineValues {
public:
    virtual ~MachineValues() = default;
    // Value "AppPath" under the product key ("Brackwater" or "Selvagard"); "ERROR" when
    // absent or of an unsupported type. Numbers are returned in decimal.
    virtual QString appPath(const QString& product) const = 0;
    // Fallback folders tried in order when no "doZed" entry exists below AppPath.
    virtual QStringList fallbackFolders() const = 0;
    // The platform's path separator as a folder ends in it ("/" here).
    virtual QString separator() const { return QStringLiteral("/"); }
};

// System-scope QSettings, organisation "Tavrin Networks"; fallbacks /opt/Brackwater,
// /opt/Selvagard.
std::shared_ptr<MachineValues> createSystemMachineValues();

}  // namespace ktdv
