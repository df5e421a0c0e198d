#include "ui/PrinterDialog.h"

#include <QDialog>
#include <QPrintDialog>

namespace morvane {

bool showPrinterDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace morvane
