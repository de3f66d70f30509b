// Error kinds of the report library.
#pragma once

namespace fmx {

// A report file (chart image, report page) could not be written.
extern int tdek_ReportFileFailure;

// Registers the report's kinds once (idempotent).
void registerReportExceptions();

} // namespace fmx
