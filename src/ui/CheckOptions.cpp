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

    m_lookAlikeNames =
        new QAction(QStringLiteral(u"全角・半角の違いを無視して名称を比べる"), window);
    m_lookAlikeNames->setObjectName(QStringLiteral("compareLookAlikeNamesAction"));
    m_lookAlikeNames->setCheckable(true);
    m_lookAlikeNames->setChecked(comparingLookAlikeNames());
    connect(m_lookAlikeNames, &QAction::toggled, this, &rememberComparingLookAlikeNames);
}

void CheckOptions::addTo(QMenu& menu) const {
    menu.addSeparator();
    menu.addAction(m_pointNumbers);
    menu.addAction(m_lookAlikeNames);
}

CheckChoice CheckOptions::choice() const {
    CheckChoice choice;
    choice.duplicateNumbers = m_pointNumbers->isChecked();
    if (m_lookAlikeNames->isChecked())
        choice.names = NameComparison::LookAlike;
    return choice;
}

} // namespace morvane
