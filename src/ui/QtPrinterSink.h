#pragma once

#include "core/PrinterSink.h"

#include <cstdint>
#include <memory>

#include <QFont>

class QPainter;
class QPrinter;

namespace morvane {

// The print command's printer operations on a QPrinter. Positions are twips
// from the top-left corner of the printable area, converted with the
// printer's resolution. One sink serves one document at a time; after endDocument
// it is ready for the next.
class QtPrinterSink : public PrinterSink {
public:
    // The printer must outlive the sink. Its printable area becomes the
    // coordinate origin (full-page mode is switched off).
    explicit QtPrinterSink(QPrinter& printer);
    ~QtPrinterSink() override;

    QtPrinterSink(const QtPrinterSink&) = delete;
    QtPrinterSink& operator=(const QtPrinterSink&) = delete;

    bool setFontName(const std::u16string& face) override;
    bool setFontSize(float points) override;
    bool setCurrentX(float twips) override;
    bool setCurrentY(float twips) override;
    bool printLine(const std::u16string& text) override;
    bool newPage() override;
    bool endDocument() override;

    // Whether any operation has failed since the sink was made. The print
    // command skips failures on purpose; a caller that must not lose output
    // (a PDF file) asks here afterwards.
    bool anyFailed() const { return m_anyFailed; }

private:
    bool ensurePainter();
    bool fail();

    QPrinter& m_printer;
    std::unique_ptr<QPainter> m_painter;
    QFont m_font;
    double m_xTwips = 0;
    double m_yTwips = 0;
    // Page breaks asked for but not yet made: they are made when something is
    // printed, so a break right before the end adds no empty page.
    std::int32_t m_pendingPages = 0;
    bool m_beginFailed = false;
    bool m_anyFailed = false;
};

} // namespace morvane
