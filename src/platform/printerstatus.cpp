#include "printerstatus.h"

#include "printerqueue.h"

#if defined(KTDV_HAVE_CUPS)
#include <cups/cups.h>
#endif

#include <memory>

namespace ktdv {
namespace {

class QueryPrinterStatus final : public PrinterStatus {
public:
    explicit QueryPrinterStatus(PrinterQueueQuery query) : m_query(std::move(query)) {}
    QString status() const override {
        return m_query ? printerStatusText(m_query()) : QStringLiteral("Busy");
    }

private:
    PrinterQueueQuery m_query;
};

constexpr int kStateIdle = 3;

}  // namespace

QString printerStatusText(const PrinterQueueState& queue) {
    const QString reasons = queue.stateReasons.trimmed();
    const bool clear =
        reasons.isEmpty() || reasons.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
    const bool ready = queue.found && queue.state == kStateIdle && queue.acceptingJobs && clear;
    return ready ? QStringLiteral("Ready") : QStringLiteral("Busy");
}

std::shared_ptr<PrinterStatus> createPrinterStatus(PrinterQueueQuery query) {
    return std::make_shared<QueryPrinterStatus>(std::move(query));
}

PrinterQueueState queryDefaultCupsPrinter() {
    PrinterQueueState result;
#if defined(KTDV_HAVE_CUPS)
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
    bool ok = false;
    result.state = option("printer-state").toInt(&ok);
    if (!ok) {
        result.state = 0;
    }
    result.acceptingJobs =
        option("printer-is-accepting-jobs").compare(QLatin1String("true"), Qt::CaseInsensitive) ==
        0;
    result.stateReasons = option("printer-state-reasons");
#endif
    return result;
}

std::shared_ptr<PrinterStatus> createCupsPrinterStatus() {
    return createPrinterStatus(&queryDefaultCupsPrinter);
}

}  // namespace ktdv
