#include "LayoutLoader.h"

#include "Views.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QHash>
#include <QLoggingCategory>

namespace {
QHash<QString, LayoutLoader::Factory> &factories()
{
    static QHash<QString, LayoutLoader::Factory> registry;
    return registry;
}
Q_LOGGING_CATEGORY(lcLayouts, "loyalty.layouts")
} // namespace

void registerPlatformLayoutClasses();

LayoutLoader::LayoutLoader(QObject *parent) : QUiLoader(parent)
{
    registerPlatformLayoutClasses();
}

void LayoutLoader::registerClass(const QString &className, Factory factory)
{
    factories().insert(className, std::move(factory));
}

bool LayoutLoader::isRegistered(const QString &className)
{
    registerPlatformLayoutClasses();
    return factories().contains(className);
}

QString LayoutLoader::pathOf(const QString &name)
{
    return QStringLiteral(":/layouts/%1.ui").arg(name);
}

QWidget *LayoutLoader::createWidget(const QString &className, QWidget *parent, const QString &name)
{
    if (auto it = factories().constFind(className); it != factories().constEnd()) {
        QWidget *widget = (*it)(parent);
        if (widget)
            widget->setObjectName(name);
        return widget;
    }
    return QUiLoader::createWidget(className, parent, name);
}

QWidget *LayoutLoader::load(const QString &name, QWidget *parent)
{
    QFile file(pathOf(name));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcLayouts) << "no layout" << name;
        return nullptr;
    }
    // One loader for the process: making one scans the plugin folders, and
    // rows are loaded by the dozen while a list scrolls. UI thread only.
    static QPointer<LayoutLoader> loader;
    if (!loader)
        loader = new LayoutLoader(QCoreApplication::instance());
    QWidget *widget = loader->QUiLoader::load(&file, parent);
    if (!widget)
        qCWarning(lcLayouts) << "layout" << name << "failed:" << loader->errorString();
    return widget;
}

QList<QWidget *> LayoutLoader::loadInto(const QString &name, QWidget *host)
{
    QList<QWidget *> moved;
    QWidget *form = load(name);
    if (!form || !host) {
        delete form;
        return moved;
    }
    host->resize(form->size());
    if (form->property("tag").isValid())
        Views::setTag(host, Views::tag(form));
    if (!form->styleSheet().isEmpty())
        host->setStyleSheet(form->styleSheet());
    for (QWidget *child : Views::subviews(form)) {
        const QRect geometry = child->geometry();
        const bool hidden = child->isHidden();
        child->setParent(host);
        child->setGeometry(geometry);
        child->setVisible(!hidden);
        moved.append(child);
    }
    delete form;
    return moved;
}
