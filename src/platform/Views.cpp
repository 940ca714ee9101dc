#include "Views.h"

namespace {
const char *const TagProperty = "tag";
}

int Views::tag(const QObject *view)
{
    return view ? view->property(TagProperty).toInt() : 0;
}

void Views::setTag(QObject *view, int tag)
{
    if (view)
        view->setProperty(TagProperty, tag);
}

QWidget *Views::withTag(QWidget *root, int tag)
{
    if (!root)
        return nullptr;
    if (Views::tag(root) == tag)
        return root;
    for (QWidget *child : subviews(root)) {
        if (QWidget *found = withTag(child, tag))
            return found;
    }
    return nullptr;
}

void Views::makeTransparent(QWidget *view)
{
    view->setAutoFillBackground(false);
    view->setAttribute(Qt::WA_TranslucentBackground);
    view->setStyleSheet(QString());
}

QList<QWidget *> Views::subviews(const QWidget *view)
{
    QList<QWidget *> list;
    if (!view)
        return list;
    for (QObject *child : view->children()) {
        if (child->isWidgetType())
            list.append(static_cast<QWidget *>(child));
    }
    return list;
}
