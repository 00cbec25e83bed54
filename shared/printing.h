// Printing as the platform's Qt allows it: one implementation of printDocument per
// capability, chosen when the programs are built (printing_dialog.cpp where Qt has
// print support, printing_viewer.cpp where it has not).
#pragma once

#include "runtime.h"

namespace rt {

// What Print does without a print responder's say: the print dialog after a preview,
// or a PDF opened in the system's viewer.
bool printDocument(const PrintJob& job);

// The test's stand-in for the print dialog; empty for the real one. Only a build
// that shows a dialog asks it.
PrintResponder& printResponder();

} // namespace rt
