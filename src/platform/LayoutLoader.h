#pragma once

#include <QList>
#include <QString>
#include <QUiLoader>

#include <functional>

// Layout files by name ("CellStore" is ":/layouts/CellStore.ui"), made with
// Qt Designer and loaded at run time. Our own view classes are made through
// factories registered by class name, so layouts can place them.
class LayoutLoader : public QUiLoader
{
    Q_OBJECT
public:
    using Factory = std::function<QWidget *(QWidget *parent)>;

    explicit LayoutLoader(QObject *parent = nullptr);

    // Makes className known to every loader; a later registration replaces
    // an earlier one.
    static void registerClass(const QString &className, Factory factory);
    static bool isRegistered(const QString &className);

    // The layout's top widget, or null (and a warning) when the file is
    // missing or broken.
    static QWidget *load(const QString &name, QWidget *parent = nullptr);
    // Moves the layout's top-level views into host and gives host the
    // layout's size, tag and style sheet: for screens and rows whose class
    // is made in code. The views in their order, empty on failure.
    static QList<QWidget *> loadInto(const QString &name, QWidget *host);

    static QString pathOf(const QString &name);

    QWidget *createWidget(const QString &className, QWidget *parent = nullptr,
                          const QString &name = QString()) override;
};
