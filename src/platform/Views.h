#pragma once

#include <QList>
#include <QWidget>

// Every view carries a tag: the "tag" dynamic property (0 when unset), set in
// the layout files, so that code finds subviews by number.
namespace Views {

int tag(const QObject *view);
void setTag(QObject *view, int tag);

// The view itself when it has the tag, else the first descendant with it
// (depth first, in child order); null when none has it.
QWidget *withTag(QWidget *root, int tag);
template <typename T>
T *withTag(QWidget *root, int tag)
{
    return qobject_cast<T *>(withTag(root, tag));
}

// Drawn without a background of its own (and without the layout's style
// sheet), so whatever lies behind shows through.
void makeTransparent(QWidget *view);

// The direct child widgets in stacking order (bottom first).
QList<QWidget *> subviews(const QWidget *view);

} // namespace Views
