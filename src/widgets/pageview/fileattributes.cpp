#include "widgets/pageview/fileattributes.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace ktdv {

namespace {

bool writableByUser(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    return ::access(native.constData(), W_OK) == 0;
}

}  // namespace

QString fileAttributeLetters(const QString& path) {
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (!info.exists())
        return {};

    // The permission bits count as well: a privileged user passes access(), but a file
    // without any write permission is still meant to stay as it is.
    const QFileDevice::Permissions writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    const QFileInfo folder(info.absolutePath());
    const bool readOnly = !writableByUser(path) || !(info.permissions() & writeBits) ||
                          !writableByUser(folder.absoluteFilePath()) ||
                          !(folder.permissions() & writeBits);
    QString letters;
    if (readOnly)
        letters += QLatin1Char('R');
    if (info.fileName().startsWith(QLatin1Char('.')))
        letters += QLatin1Char('H');
    if (info.isFile())
        letters += QLatin1Char('A');
    return letters;
}

}  // namespace ktdv
