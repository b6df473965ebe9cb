#pragma once
// Machine values kept in INI files, one per product: "<folder>/<product>.conf" with the
// value "AppPath" at top level. The system store (createSystemMachineValues) is such a
// folder; tests point one at a folder of their own.

#include "machinevalues.h"

namespace ktdv {

class IniMachineValues final : public MachineValues {
public:
    IniMachineValues(QString settingsFolder, QStringList fallbackFolders);

    QString appPath(const QString& product) const override;
    QStringList fallbackFolders() const override { return m_fallbacks; }

    // The file that holds the product's values.
    QString fileFor(const QString& product) const;

private:
    QString m_folder;
    QStringList m_fallbacks;
};

}  // namespace ktdv
