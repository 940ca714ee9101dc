#include "LayoutLoader.h"
#include "MyUIImageView.h"
#include "PhoneButton.h"
#include "PhoneImageView.h"
#include "PhoneLabel.h"
#include "StyledViews.h"
#include "TableView.h"
#include "Views.h"

#include <QDir>
#include <QTest>

class TestLayoutFiles : public QObject
{
    Q_OBJECT

    static QWidget *tagged(QWidget *root, int tag, const char *className)
    {
        QWidget *found = nullptr;
        // Subviews only: a layout's root keeps tag 0 and must not answer for it.
        for (QWidget *child : Views::subviews(root)) {
            if ((found = Views::withTag(child, tag)))
                break;
        }
        // MyUIImageView has no meta-object of its own.
        const bool matches = qstrcmp(className, "MyUIImageView") == 0 ? dynamic_cast<MyUIImageView *>(found) != nullptr
                                                                     : found && found->inherits(className);
        if (!matches)
            return nullptr;
        return found;
    }

private Q_SLOTS:
    void initTestCase() { StyledViews::registerLayoutClasses(); }

    void everyLayoutLoads_data()
    {
        QTest::addColumn<QString>("name");
        const QStringList files = QDir(u":/layouts"_qs).entryList({u"*.ui"_qs});
        QVERIFY(files.size() >= 8);
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << QFileInfo(file).completeBaseName();
    }
    void everyLayoutLoads()
    {
        QFETCH(QString, name);
        std::unique_ptr<QWidget> form(LayoutLoader::load(name));
        QVERIFY(form);
        QVERIFY(!form->size().isEmpty());
        // No class fell back to a plain QWidget by mistake: every placed class is known.
        QFile file(LayoutLoader::pathOf(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString xml = QString::fromUtf8(file.readAll());
        static const QRegularExpression cls(uR"re(class="([A-Za-z]+)")re"_qs);
        for (const auto &m : cls.globalMatch(xml)) {
            const QString className = m.captured(1);
            if (className.startsWith(u'Q'))
                continue;
            QVERIFY2(LayoutLoader::isRegistered(className), qPrintable(className));
            QVERIFY2(!form->findChildren<QWidget *>().isEmpty(), qPrintable(name));
        }
    }

    void tagsTheCodeReliesOn_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QList<int>>("tags");
        QTest::addColumn<QStringList>("classes");
        const QString label = u"PhoneLabel"_qs;
        const QString image = u"PhoneImageView"_qs;
        QTest::newRow("CellStore") << u"CellStore"_qs << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}
                                   << QStringList{u"MyUIImageView"_qs, label, label, label, image, image, image, image, image};
        QTest::newRow("CellPointCard") << u"CellPointCard"_qs << QList<int>{1, 2, 3, 4, 5, 6}
                                       << QStringList{u"MyUIImageView"_qs, label, label, label, u"PhoneButton"_qs, u"QWidget"_qs};
        QTest::newRow("CellCoupon") << u"CellCoupon"_qs << QList<int>{1, 2, 3, 4}
                                    << QStringList{u"MyUIImageView"_qs, label, label, label};
        QTest::newRow("PartialPointCardPoint") << u"PartialPointCardPoint"_qs << QList<int>{1, 2, 3}
                                               << QStringList{label, label, label};
        QTest::newRow("PartialPointCardRow") << u"PartialPointCardRow"_qs << QList<int>{1, 2}
                                             << QStringList{label, u"QWidget"_qs};
        QTest::newRow("STableFooterView") << u"STableFooterView"_qs << QList<int>{1, 2}
                                          << QStringList{u"ActivityIndicatorView"_qs, label};
        QTest::newRow("STableHeaderView") << u"STableHeaderView"_qs << QList<int>{1, 2}
                                          << QStringList{u"ActivityIndicatorView"_qs, label};
    }
    void tagsTheCodeReliesOn()
    {
        QFETCH(QString, layout);
        QFETCH(QList<int>, tags);
        QFETCH(QStringList, classes);
        std::unique_ptr<QWidget> form(LayoutLoader::load(layout));
        QVERIFY(form);
        for (qsizetype i = 0; i < tags.size(); ++i) {
            QWidget *view = tagged(form.get(), tags.at(i), classes.at(i).toLatin1().constData());
            QVERIFY2(view, qPrintable(u"tag %1 as %2"_qs.arg(tags.at(i)).arg(classes.at(i))));
        }
    }

    void rowsAreCellsWithTheirOwnIdentifier_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::newRow("store") << u"CellStore"_qs;
        QTest::newRow("point card") << u"CellPointCard"_qs;
        QTest::newRow("coupon") << u"CellCoupon"_qs;
    }
    void rowsAreCellsWithTheirOwnIdentifier()
    {
        QFETCH(QString, layout);
        std::unique_ptr<QWidget> form(LayoutLoader::load(layout));
        auto *cell = qobject_cast<TableViewCell *>(form.get());
        QVERIFY(cell);
        QCOMPARE(cell->reuseIdentifier(), layout);
        QVERIFY(dynamic_cast<MyUIImageView *>(Views::withTag(cell, 1)) != nullptr);
    }

    void tabStripIsTheLastViewWithButtonsInTagOrder()
    {
        std::unique_ptr<QWidget> form(LayoutLoader::load(u"TabBarView"_qs));
        QVERIFY(form);
        const QList<QWidget *> top = Views::subviews(form.get());
        QCOMPARE(top.size(), 2);
        QWidget *strip = top.constLast();
        const QList<QWidget *> buttons = Views::subviews(strip);
        QCOMPARE(buttons.size(), 5);
        for (int i = 0; i < 5; ++i) {
            QVERIFY(qobject_cast<PhoneButton *>(buttons.at(i)));
            // DEFAULT_TAB names the strip's child at that position.
            QCOMPARE(Views::tag(buttons.at(i)), i);
        }
        QCOMPARE(strip->height(), form->height() - strip->y());
        QWidget *floatView = form->findChild<QWidget *>(u"floatView"_qs);
        QVERIFY(floatView);
        QList<int> floatTags;
        for (QWidget *child : Views::subviews(floatView)) {
            if (qobject_cast<PhoneButton *>(child))
                floatTags << Views::tag(child);
        }
        QCOMPARE(floatTags, (QList<int>{1, 2, 3}));
        // The float view sits above the strip.
        QVERIFY(floatView->geometry().bottom() < strip->y());
    }

    void loadIntoMovesTheViewsIntoTheHost()
    {
        TableViewCell host;
        const QList<QWidget *> views = LayoutLoader::loadInto(u"CellCoupon"_qs, &host);
        QCOMPARE(views.size(), 4);
        QCOMPARE(host.size(), QSize(320, 80));
        QCOMPARE(Views::withTag<PhoneLabel>(&host, 4)->parentWidget(), &host);
        QVERIFY(LayoutLoader::loadInto(u"NoSuchLayout"_qs, &host).isEmpty());
        QCOMPARE(LayoutLoader::load(u"NoSuchLayout"_qs), nullptr);
    }
};

QTEST_MAIN(TestLayoutFiles)
#include "tst_layoutfiles.moc"
