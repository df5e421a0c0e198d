#pragma once

#include "core/PrinterSink.h"

#include <cstdint>
#include <functional>
#include <memory>

#include <QFont>

class QPagedPaintDevice;
class QPainter;

namespace morvane {

// The print command's printer operations on a Qt paged device: a PDF writer
// or a printer. Positions are twips from the top-left corner of the device's
// paint area, converted with the device's resolution; a printer must be out of
// full-page mode for that to be its printable area. One sink serves one
// document at a time; after endDocument it is ready for the next.
class PagedDeviceSink : public PrinterSink {
public:
    // Asked when a document ends with nothing printed: true when the empty
    // document must still become a file (a PDF), false to print nothing (a
    // paper printer is spared the blank sheet).
    using KeepsEmptyDocument = std::function<bool()>;

    // The device must outlive the sink.
    PagedDeviceSink(QPagedPaintDevice& device, KeepsEmptyDocument keepsEmptyDocument);
    ~PagedDeviceSink() override;

    PagedDeviceSink(const PagedDeviceSink&) = delete;
    PagedDeviceSink& operator=(const PagedDeviceSink&) = delete;

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

    QPagedPaintDevice& m_device;
    KeepsEmptyDocument m_keepsEmptyDocument;
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
