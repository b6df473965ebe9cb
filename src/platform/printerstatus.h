#pragma once
// Status of the system's current default printer: "Busy" when there is none or it cannot
// take a job now (stopped, refusing jobs, an error reason), "Ready" otherwise.

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
