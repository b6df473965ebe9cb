#pragma once
// What the print system says about the current default printer, and the rule that turns
// it into the viewer's "Ready"/"Busy". The query is a function so tests can hand in their
// own queue; createCupsPrinterStatus uses queryDefaultCupsPrinter.

#include "printerstatus.h"

#include <QString>

#include <functional>

namespace ktdv {

struct PrinterQueueState {
    bool found = false;  // a default printer exists
    QString name;
    int state = 0;              // printer-state: 3 idle, 4 processing, 5 stopped; 0 not given
    bool acceptingJobs = true;  // printer-is-accepting-jobs; true when not given
    QString stateReasons;       // printer-state-reasons, comma-separated; "none" when clear
};

using PrinterQueueQuery = std::function<PrinterQueueState()>;

// "Busy" when there is no printer, or it is stopped, refuses jobs or reports an "-error"
// reason; "Ready" otherwise: a printer that is printing, or warns of low toner or paper, takes
// the job.
QString printerStatusText(const PrinterQueueState& queue);
// The same rule in words for the user: "" when ready, else what holds printing back.
QString printerProblem(const PrinterQueueState& queue);

// A PrinterStatus that runs query on every status() call.
std::shared_ptr<PrinterStatus> createPrinterStatus(PrinterQueueQuery query);

// The current default destination of the local print system; found == false when there
// is none or the print system cannot be reached.
PrinterQueueState queryDefaultCupsPrinter();

}  // namespace ktdv
