#include "imaging/tiffhandle.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdarg>
#include <cstdio>

#include "imaging/limits.h"

namespace ktdv::imaging::detail {

TiffHandle::TiffHandle(const QString& path, const char* mode) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return;
    TIFFOpenOptionsSetErrorHandlerExtR(options, &TiffHandle::onError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options, &TiffHandle::onWarning, this);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(limits::kMaxPageBytes));
    m_tif = TIFFOpenExt(QFile::encodeName(path).constData(), mode, options);
    TIFFOpenOptionsFree(options);
    if (!m_tif && m_error.isEmpty())
        m_error = QCoreApplication::translate("ktdv::imaging", "Cannot open %1").arg(path);
}

TiffHandle::~TiffHandle() {
    if (m_tif)
        TIFFClose(m_tif);
}

int TiffHandle::onError(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    auto* self = static_cast<TiffHandle*>(user);
    if (self && self->m_error.isEmpty()) {
        char buffer[512];
        vsnprintf(buffer, sizeof buffer, fmt, ap);
        self->m_error = module ? QString::fromLocal8Bit(module) + QStringLiteral(": ") +
                                     QString::fromLocal8Bit(buffer)
                               : QString::fromLocal8Bit(buffer);
    }
    return 1;  // handled: nothing reaches stderr
}

int TiffHandle::onWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

}  // namespace ktdv::imaging::detail
