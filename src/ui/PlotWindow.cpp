#include "ui/PlotWindow.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "plot/PlotPainter.h"
#include "print/Fonts.h"

#include <cmath>
#include <functional>
#include <memory>
#include <optional>

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace morvane {

namespace {

const QString GeometryKey = QStringLiteral("plotWindow/geometry");
constexpr int DefaultWidth = 900;
constexpr int DefaultHeight = 700;
// Pixels kept free around everything that "show all" frames.
constexpr double FitMargin = 64;
// One notch of the wheel (120 units) zooms by a fifth.
constexpr double ZoomPerWheelUnit = 1.2;
constexpr double WheelUnitsPerNotch = 120;

} // namespace

// The drawing area: holds the view, paints through PlotPainter, zooms and
// pans with the mouse. Keys go on to the window.
class PlotCanvas : public QWidget {
public:
    explicit PlotCanvas(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("plotCanvas"));
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(200, 150);
    }

    std::function<void(PlanePoint)> pointerMoved;

    void setTable(const PointTable* table) {
        m_painter = table ? std::make_unique<PlotPainter>(*table) : nullptr;
        m_chosen = -1;
        update();
    }

    // Frames the box now and again on every resize, until the user moves the
    // view: a window that opens on a finding stays centred on it.
    void frame(const PlaneBox& box) {
        m_framed = box;
        m_view = framing(box, width(), height(), FitMargin);
        update();
    }

    void choose(std::int32_t finding) {
        m_chosen = finding;
        update();
    }

    std::int32_t chosen() const { return m_chosen; }
    const PlotView& view() const { return m_view; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (!m_painter) {
            painter.fillRect(rect(), Qt::white);
            return;
        }
        m_painter->paint(painter, m_view, m_chosen, QString(), devicePixelRatioF());
    }

    void resizeEvent(QResizeEvent*) override {
        if (m_framed)
            m_view = framing(*m_framed, width(), height(), FitMargin);
        else
            m_view = resized(m_view, width(), height());
    }

    void wheelEvent(QWheelEvent* event) override {
        const double notches = event->angleDelta().y() / WheelUnitsPerNotch;
        if (notches == 0)
            return;
        const QPointF at = event->position();
        moved(zoomedAbout(m_view, {at.x(), at.y()}, std::pow(ZoomPerWheelUnit, notches)));
        event->accept();
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            m_dragFrom = event->position();
            setCursor(Qt::ClosedHandCursor);
        }
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        const QPointF at = event->position();
        if (m_dragFrom && (event->buttons() & Qt::LeftButton)) {
            moved(panned(m_view, at.x() - m_dragFrom->x(), at.y() - m_dragFrom->y()));
            m_dragFrom = at;
        }
        if (pointerMoved)
            pointerMoved(toPlane(m_view, {at.x(), at.y()}));
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            m_dragFrom.reset();
            unsetCursor();
        }
    }

private:
    void moved(const PlotView& view) {
        m_framed.reset();
        m_view = view;
        update();
    }

    std::unique_ptr<PlotPainter> m_painter;
    PlotView m_view;
    std::optional<PlaneBox> m_framed;
    std::optional<QPointF> m_dragFrom;
    std::int32_t m_chosen = -1;
};

PlotWindow::PlotWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("plotWindow"));
    setWindowTitle(QStringLiteral(u"配置図"));
    m_canvas = new PlotCanvas(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("plotStatus"));
    m_status->setFont(proportionalGothicFont(10));
    m_status->setContentsMargins(6, 2, 6, 2);
    // Holds its height before the pointer first crosses the plot.
    m_status->setText(QStringLiteral(" "));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_canvas, 1);
    layout->addWidget(m_status);
    m_canvas->pointerMoved = [this](PlanePoint p) { showPointer(p); };

    resize(DefaultWidth, DefaultHeight);
    restoreGeometry(QSettings().value(GeometryKey).toByteArray());
}

PlotWindow::~PlotWindow() {
    if (isVisible())
        saveGeometryToSettings();
}

void PlotWindow::showRun(const PointTable& table, const RunSummary& run,
                         const std::filesystem::path& name) {
    m_table = &table;
    m_tolerance = run.tolerance;
    setWindowTitle(QStringLiteral(u"配置図 - ") + QFile::decodeName(name.c_str()));
    m_canvas->setTable(&table);
    showAll();
}

void PlotWindow::forgetRun() {
    m_table = nullptr;
    m_canvas->setTable(nullptr);
    setWindowTitle(QStringLiteral(u"配置図"));
}

bool PlotWindow::hasRun() const {
    return m_table != nullptr;
}

void PlotWindow::showFinding(std::int32_t index) {
    if (!m_table || index < 0 || index >= static_cast<std::int32_t>(m_table->findings.size()))
        return;
    const PlaneBox box = findingBox(*m_table, m_table->findings[index], m_tolerance);
    m_canvas->choose(index);
    m_canvas->frame(box.empty ? plottedBox(*m_table) : box);
}

void PlotWindow::showAll() {
    if (m_table)
        m_canvas->frame(plottedBox(*m_table));
}

std::int32_t PlotWindow::chosenFinding() const {
    return m_canvas->chosen();
}

PlotView PlotWindow::view() const {
    return m_canvas->view();
}

void PlotWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Home:
        if (m_table) {
            showAll();
            showPointer(view().centre);
        }
        return;
    case Qt::Key_N:
    case Qt::Key_Right:
    case Qt::Key_Down:
        step(1);
        return;
    case Qt::Key_P:
    case Qt::Key_Left:
    case Qt::Key_Up:
        step(-1);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PlotWindow::hideEvent(QHideEvent* event) {
    saveGeometryToSettings();
    QWidget::hideEvent(event);
}

void PlotWindow::step(std::int32_t by) {
    if (!m_table || m_table->findings.empty())
        return;
    const auto count = static_cast<std::int32_t>(m_table->findings.size());
    const std::int32_t chosen = chosenFinding();
    // From nothing chosen, N takes the first finding and P the last.
    std::int32_t next = chosen < 0 ? (by > 0 ? 0 : count - 1) : chosen + by;
    if (next < 0 || next >= count)
        return;
    showFinding(next);
    // The pointer has not moved, but what lies under it has: the readout
    // names the place the key went to, the middle of the new view.
    showPointer(view().centre);
    emit findingStepped(next);
}

void PlotWindow::showPointer(PlanePoint p) {
    m_status->setText(QStringLiteral("X ") + QString::fromStdU16String(formatThreeDecimals(p.x)) +
                      QStringLiteral(u"　Y ") +
                      QString::fromStdU16String(formatThreeDecimals(p.y)));
}

void PlotWindow::saveGeometryToSettings() {
    QSettings().setValue(GeometryKey, saveGeometry());
}

} // namespace morvane
