#pragma once
// Status of the system's current default printer: "Busy" when there is none or it cannot
// take a job now (stopped, refusing jobs, an error reason), "Ready" otherwise; and, for the
// user, why it cannot.

#include <QString>

#include <memory>

namespace ktdv {

class PrinterStatus {
public:
    virtual ~PrinterStatus() = default;
    virtual QString status() const = 0;
    // What keeps the printer from printing, as a phrase for the user ("no printer is set
    // up"); "" when status() is "Ready".
    virtual QString problem() const;
};

std::shared_ptr<PrinterStatus> createCupsPrinterStatus();

}  // namespace ktdv
