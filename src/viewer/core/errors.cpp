#include "viewer/core/errors.h"

#include <QCoreApplication>

#include <cmath>
#include <exception>
#include <limits>
#include <new>

#include "platform/twips.h"

namespace ktdv {

ViewerError currentError() {
    try {
        throw;
    } catch (const ViewerError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return ViewerError(7, QCoreApplication::translate("ktdv::ViewerError", "Out of memory"));
    } catch (const std::exception& e) {
        return ViewerError(ViewerError::kComponent, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return ViewerError(ViewerError::kComponent,
                           QCoreApplication::translate("ktdv::ViewerError", "Unknown failure"));
    }
}

QString errorReport(const QString& prefix, const ViewerError& error) {
    return prefix + QString::number(error.number()) + QStringLiteral(") - ") + error.description();
}

double toNumber(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw ViewerError(ViewerError::kTypeMismatch,
                          QCoreApplication::translate("ktdv::ViewerError", "Type mismatch"));
    return v;
}

qint16 toInt16(qint64 value) {
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw ViewerError(ViewerError::kOverflow,
                          QCoreApplication::translate("ktdv::ViewerError", "Overflow"));
    return static_cast<qint16>(value);
}

qint32 toInt32(qint64 value) {
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw ViewerError(ViewerError::kOverflow,
                          QCoreApplication::translate("ktdv::ViewerError", "Overflow"));
    return static_cast<qint32>(value);
}

qint32 toInt32(const QString& text) {
    const double v = toNumber(text);
    if (v < -2147483648.5 || v > 2147483647.5)
        throw ViewerError(ViewerError::kOverflow,
                          QCoreApplication::translate("ktdv::ViewerError", "Overflow"));
    return toInt32(twips::roundEven(v));
}

}  // namespace ktdv
