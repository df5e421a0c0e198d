#pragma once

#include "core/CheckChoice.h"

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace morvane {

// The entries of the result text's menu that choose what the next run
// checks: "点番号も検査する" adds the point-number check to the two checks
// every run makes, "全角・半角の違いを無視して名称を比べる" has the name check
// compare names as they read. Checkable, and kept in the settings as soon as
// the user changes them, so the next session checks the same way.
class CheckOptions : public QObject {
    Q_OBJECT

public:
    explicit CheckOptions(QWidget* window);

    // Appends the entries to a menu, after a separator.
    void addTo(QMenu& menu) const;

    // What the entries say now.
    CheckChoice choice() const;

private:
    QAction* m_pointNumbers;
    QAction* m_lookAlikeNames;
};

} // namespace morvane
