#include "printerstatus.h"

#include "printerqueue.h"

#include <cups/cups.h>

#include <QCoreApplication>
#include <QList>

#include <memory>

namespace ktdv {
namespace {

class QueryPrinterStatus final : public PrinterStatus {
public:
    explicit QueryPrinterStatus(PrinterQueueQuery query) : m_query(std::move(query)) {}
    QString status() const override {
        return m_query ? printerStatusText(m_query()) : QStringLiteral("Busy");
    }
    QString problem() const override {
        return printerProblem(m_query ? m_query() : PrinterQueueState());
    }

private:
    PrinterQueueQuery m_query;
};

constexpr int kStateStopped = 5;

// A state reason that stops jobs: "-error" reasons. "-warning" and "-report" reasons
// (toner-low-warning, media-low-report) and plain informational keywords do not.
bool blocks(QStringView reason) {
    return reason.trimmed().endsWith(QLatin1String("-error"), Qt::CaseInsensitive);
}

}  // namespace

QString PrinterStatus::problem() const {
    return status() == QLatin1String("Ready")
               ? QString()
               : QCoreApplication::translate("ktdv::PrinterStatus", "the printer is not ready");
}

QString printerStatusText(const PrinterQueueState& queue) {
    return printerProblem(queue).isEmpty() ? QStringLiteral("Ready") : QStringLiteral("Busy");
}

QString printerProblem(const PrinterQueueState& queue) {
    if (!queue.found)
        return QCoreApplication::translate("ktdv::PrinterStatus", "no printer is set up");
    if (queue.state == kStateStopped)
        return QCoreApplication::translate("ktdv::PrinterStatus", "the printer \"%1\" is stopped")
            .arg(queue.name);
    if (!queue.acceptingJobs)
        return QCoreApplication::translate("ktdv::PrinterStatus",
                                           "the printer \"%1\" does not accept jobs")
            .arg(queue.name);
    for (const QStringView reason : QStringView(queue.stateReasons).split(QLatin1Char(','))) {
        if (blocks(reason))
            return QCoreApplication::translate("ktdv::PrinterStatus",
                                               "the printer \"%1\" reports \"%2\"")
                .arg(queue.name, reason.trimmed());
    }
    return QString();
}

std::shared_ptr<PrinterStatus> createPrinterStatus(PrinterQueueQuery query) {
    return std::make_shared<QueryPrinterStatus>(std::move(query));
}

PrinterQueueState queryDefaultCupsPrinter() {
    PrinterQueueState result;
    struct DestDeleter {
        void operator()(cups_dest_t* d) const { cupsFreeDests(1, d); }
    };
    const std::unique_ptr<cups_dest_t, DestDeleter> dest(
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr));
    if (!dest) {
        return result;
    }
    const auto option = [&](const char* name) {
        const char* v = cupsGetOption(name, dest->num_options, dest->options);
        return v ? QString::fromUtf8(v) : QString();
    };
    result.found = true;
    result.name = QString::fromUtf8(dest->name);
    // A destination that leaves a value out (state 0) is not held back by it.
    bool ok = false;
    result.state = option("printer-state").toInt(&ok);
    if (!ok) {
        result.state = 0;
    }
    result.acceptingJobs =
        option("printer-is-accepting-jobs").compare(QLatin1String("false"), Qt::CaseInsensitive) !=
        0;
    result.stateReasons = option("printer-state-reasons");
    return result;
}

std::shared_ptr<PrinterStatus> createCupsPrinterStatus() {
    return createPrinterStatus(&queryDefaultCupsPrinter);
}

}  // namespace ktdv
