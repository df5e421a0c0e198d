#include "ui/CheckOptions.h"

#include "ui/WindowSettings.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace morvane {

CheckOptions::CheckOptions(QWidget* window) : QObject(window) {
    m_pointNumbers = new QAction(QStringLiteral(u"点番号も検査する"), window);
    m_pointNumbers->setObjectName(QStringLiteral("checkPointNumbersAction"));
    m_pointNumbers->setCheckable(true);
    m_pointNumbers->setChecked(checkingPointNumbers());
    connect(m_pointNumbers, &QAction::toggled, this, &rememberCheckingPointNumbers);
}

void CheckOptions::addTo(QMenu& menu) const {
    menu.addSeparator();
    menu.addAction(m_pointNumbers);
}

CheckChoice CheckOptions::choice() const {
    CheckChoice choice;
    choice.duplicateNumbers = m_pointNumbers->isChecked();
    return choice;
}

} // namespace morvane
