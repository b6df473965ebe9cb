#pragma once
// Status of the system's current default printer: "Ready" (idle, accepting jobs, no
// error reason) or "Busy" (anything else, or no printer).

#include <QString>

#include <memory>

namespace ktdv {

class PrinterStatus {
public:
    virtual ~PrinterStatus() = default;
    virtual QString status() const = 0;
};

std::shared_ptr<PrinterStatus> createCupsPrinterStatus();

}  // namespace ktdv
