#include "machinevalues.h"

#include "inimachinevalues.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace ktdv {
namespace {

const QString kError = QStringLiteral("ERROR");
constexpr auto kOrganisation = "Tavrin Networks";

bool isIntegral(int typeId) {
    switch (typeId) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
            return true;
        default:
            return false;
    }
}

}  // namespace

IniMachineValues::IniMachineValues(QString settingsFolder, QStringList fallbackFolders)
    : m_folder(std::move(settingsFolder)), m_fallbacks(std::move(fallbackFolders)) {}

QString IniMachineValues::fileFor(const QString& product) const {
    return QDir(m_folder).filePath(product + QStringLiteral(".conf"));
}

QString IniMachineValues::appPath(const QString& product) const {
    if (product.isEmpty()) {
        return kError;
    }
    const QString file = fileFor(product);
    if (!QFileInfo(file).isFile()) {
        return kError;
    }
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        return kError;
    }
    const QVariant v = settings.value(QStringLiteral("AppPath"));
    const int type = v.metaType().id();
    // Texts are returned as stored; numbers in decimal; lists, byte arrays and every other
    // kind of value are not a folder.
    if (type == QMetaType::QString) {
        return v.toString();
    }
    if (isIntegral(type)) {
        return type == QMetaType::ULongLong || type == QMetaType::ULong ||
                       type == QMetaType::UInt || type == QMetaType::UShort
                   ? QString::number(v.toULongLong())
                   : QString::number(v.toLongLong());
    }
    return kError;
}

std::shared_ptr<MachineValues> createSystemMachineValues() {
    const QSettings probe(QSettings::NativeFormat, QSettings::SystemScope,
                          QString::fromLatin1(kOrganisation), QStringLiteral("Brackwater"));
    const QString folder = QFileInfo(probe.fileName()).absolutePath();
    return std::make_shared<IniMachineValues>(
        folder, QStringList{QStringLiteral("/opt/Brackwater"), QStringLiteral("/opt/Selvagard")});
}

}  // namespace ktdv
