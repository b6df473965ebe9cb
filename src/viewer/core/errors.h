#pragma once
// Failure helpers of the viewer's handlers: turning whatever was thrown into a
// ViewerError, the text of a trapped failure's report, and the numeric conversions
// whose failures are reported with the classic numbers.

#include <QString>
#include <QtGlobal>

#include "platform/viewererror.h"

namespace ktdv {

// The exception in flight as a ViewerError; call only inside a catch block.
ViewerError currentError();

// prefix + number + ") - " + description.
QString errorReport(const QString& prefix, const ViewerError& error);

// Runs a handler that traps nothing itself, at a boundary where nothing may escape
// into the event loop: a failure simply ends the handler.
template <class F>
void runUntrapped(F&& f) {
    try {
        f();
    } catch (...) {
    }
}

// Text to number: "" or non-numeric text is a type mismatch (13), a value outside the
// target range an overflow (6). Fractions round half to even.
double toNumber(const QString& text);
qint16 toInt16(qint64 value);
qint32 toInt32(const QString& text);
qint32 toInt32(qint64 value);

}  // namespace ktdv
