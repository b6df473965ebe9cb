#pragma once
// RAII owner of a libtiff handle whose errors and warnings are collected here instead of
// printed. Internal to the imaging layer.

#include <QString>

#include <tiffio.h>

namespace ktdv::imaging::detail {

class TiffHandle {
public:
    // mode as for TIFFOpen ("rh": read without loading the first directory).
    TiffHandle(const QString& path, const char* mode);
    ~TiffHandle();
    TiffHandle(const TiffHandle&) = delete;
    TiffHandle& operator=(const TiffHandle&) = delete;

    TIFF* get() const { return m_tif; }
    explicit operator bool() const { return m_tif != nullptr; }
    // The first error reported since the handle was opened or since clearError().
    QString error() const { return m_error; }
    bool hasError() const { return !m_error.isEmpty(); }
    void clearError() { m_error.clear(); }

private:
    static int onError(TIFF*, void* user, const char* module, const char* fmt, va_list ap);
    static int onWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap);
    TIFF* m_tif = nullptr;
    QString m_error;
};

}  // namespace ktdv::imaging::detail
