#pragma once

class QPrinter;
class QWidget;

namespace morvane {

// The modal printer dialog. True when the user confirms, and the printer is
// then set up for the chosen device; false when the user cancels.
bool showPrinterDialog(QPrinter& printer, QWidget* parent);

} // namespace morvane
