#pragma once
// What a screen reader reads of a control, through Qt's accessibility interface rather
// than the widget.

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QString>

namespace testsupport {

inline QString AccessibleText(QObject* control, QAccessible::Text which) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(which) : QStringLiteral("<no interface>");
}

inline QString AccessibleName(QObject* control) {
    return AccessibleText(control, QAccessible::Name);
}

// The current value of a control that holds text the user can change (a text box).
inline QString AccessibleValue(QObject* control) {
    return AccessibleText(control, QAccessible::Value);
}

// The text of one cell of a table view, as its accessible table offers it (row and
// column of the view's model). The table's interface is made afresh: without a screen
// reader attached (as offscreen) views do not tell their interfaces of changes, so the
// cells an earlier call made would still point at the rows of an earlier model state.
inline QString AccessibleCell(QObject* view, int row, int column) {
    if (QAccessibleInterface* old = QAccessible::queryAccessibleInterface(view))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(view);
    QAccessibleTableInterface* table = face ? face->tableInterface() : nullptr;
    QAccessibleInterface* cell = table ? table->cellAt(row, column) : nullptr;
    return cell ? cell->text(QAccessible::Name) : QStringLiteral("<no cell>");
}

} // namespace testsupport
