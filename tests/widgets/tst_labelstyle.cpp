#include "Fonts.h"
#include "LayoutLoader.h"
#include "PhoneButton.h"
#include "PhoneLabel.h"
#include "StyledViews.h"
#include "UILabelStyle.h"

#include <QTest>

using LabelStyle = void (*)(PhoneLabel *);
Q_DECLARE_METATYPE(LabelStyle)

class TestLabelStyle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void labelStyles_data()
    {
        QTest::addColumn<LabelStyle>("style");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("minimum");
        auto row = [](const char *name, LabelStyle s, const char *c, bool b, int size, int min) {
            QTest::newRow(name) << s << QString::fromLatin1(c) << b << size << min;
        };
        row("CommStyleLarge", &UILabelStyle::CommStyleLarge, "#435662", false, 16, 16);
        row("CommStyleMiddle", &UILabelStyle::CommStyleMiddle, "#435662", false, 12, 12);
        row("CommStyleSmall", &UILabelStyle::CommStyleSmall, "#435662", false, 10, 10);
        row("CellByTitle", &UILabelStyle::CellByTitle, "#435662", true, 12, 12);
        row("CellByAverageCost", &UILabelStyle::CellByAverageCost, "#2e969d", false, 10, 10);
        row("CellByDuration", &UILabelStyle::CellByDuration, "#c02d5a", false, 10, 10);
        row("CellByReservation", &UILabelStyle::CellByReservation, "#e35e00", true, 12, 12);
        row("CellByPointCardNormal", &UILabelStyle::CellByPointCardNormal, "#0068b7", false, 8, 10);
        row("CellByPointCardOver", &UILabelStyle::CellByPointCardOver, "#a40000", false, 10, 10);
        row("NewsDetailTitle", &UILabelStyle::NewsDetailTitle, "#435662", true, 16, 16);
        row("ShakeNoteText1", &UILabelStyle::ShakeNoteText1, "#2e969d", true, 16, 16);
        row("ShakeNoteText2", &UILabelStyle::ShakeNoteText2, "#2e969d", true, 10, 10);
        row("CouponDetailTitle", &UILabelStyle::CouponDetailTitle, "#ba2a5d", false, 16, 16);
        row("CouponDetailDate", &UILabelStyle::CouponDetailDate, "#ba2a5d", false, 12, 12);
        row("CouponDetailIntro", &UILabelStyle::CouponDetailIntro, "#ba2a5d", true, 16, 16);
    }
    void labelStyles()
    {
        QFETCH(LabelStyle, style);
        QFETCH(QString, colour);
        QFETCH(bool, bold);
        QFETCH(int, size);
        QFETCH(int, minimum);
        PhoneLabel label;
        // Start from another look so that every attribute must be set.
        label.setFont(Fonts::boldSystem(30));
        label.setFont(bold ? Fonts::system(30) : Fonts::boldSystem(30));
        label.setTextColor(Qt::green);
        style(&label);
        QCOMPARE(label.textColor().name(), colour);
        QCOMPARE(label.font().bold(), bold);
        QCOMPARE(Fonts::sizeOf(label.font()), qreal(size));
        QCOMPARE(label.minimumFontSize(), qreal(minimum));
    }

    void pointCardNormalNeverShrinksBelowTen()
    {
        PhoneLabel label;
        UILabelStyle::CellByPointCardNormal(&label);
        label.setText(u"a status line far too long for this small label"_qs);
        label.resize(40, 12);
        // Font 8 is under the minimum: the label draws at its own size.
        QCOMPARE(label.displayedFontSize(), 8.0);
        UILabelStyle::CellByDuration(&label);
        QCOMPARE(label.displayedFontSize(), 10.0);
        UILabelStyle::CommStyleLarge(&label);
        label.setMinimumFontSize(11);
        QCOMPARE(label.displayedFontSize(), 11.0);
        label.resize(2000, 30);
        QCOMPARE(label.displayedFontSize(), 16.0);
    }

    void textOperations()
    {
        PhoneLabel caption;
        UILabelStyle::LabelByForm(&caption, u"Name"_qs);
        QCOMPARE(caption.text(), u"Name"_qs);
        QCOMPARE(caption.textColor(), QColor(128, 128, 128));
        QCOMPARE(Fonts::sizeOf(caption.font()), 12.0);
        QCOMPARE(caption.minimumFontSize(), 12.0);

        PhoneButton action;
        UILabelStyle::ButtonTextByMiddleSize(&action, u"Go"_qs);
        QCOMPARE(action.title(PhoneButton::Normal), u"Go"_qs);
        QCOMPARE(action.titleColor(PhoneButton::Normal), QColor(Qt::white));
        QCOMPARE(action.titleColor(PhoneButton::Highlighted), QColor(Qt::white));
        QVERIFY(action.font().bold());
        QCOMPARE(Fonts::sizeOf(action.font()), 12.0);
    }

    void tagButtonTurnsWhiteWhenDisabled_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("normal") << true << false << QColor(Qt::black);
        QTest::newRow("selected") << true << true << QColor(Qt::white);
        QTest::newRow("disabled") << false << false << QColor(Qt::white);
    }
    void tagButtonTurnsWhiteWhenDisabled()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, selected);
        QFETCH(QColor, expected);
        PhoneButton tab;
        UILabelStyle::TagButtonText(&tab, u"News"_qs);
        tab.setEnabled(enabled);
        tab.setSelected(selected);
        QCOMPARE(tab.currentTitle(), u"News"_qs);
        QCOMPARE(tab.currentTitleColor(), expected);
    }

    void selfStylingViewsInLayouts()
    {
        StyledViews::registerLayoutClasses();
        std::unique_ptr<QWidget> host(new QWidget);
        auto *large = qobject_cast<PhoneLabel *>(LayoutLoader().createWidget(u"LargeUILabel"_qs, host.get()));
        auto *middle = qobject_cast<PhoneLabel *>(LayoutLoader().createWidget(u"MIddleUILabel"_qs, host.get()));
        auto *small = qobject_cast<PhoneLabel *>(LayoutLoader().createWidget(u"SmallUILabel"_qs, host.get()));
        QVERIFY(large && middle && small);
        QCOMPARE(Fonts::sizeOf(large->font()), 16.0);
        QCOMPARE(Fonts::sizeOf(middle->font()), 12.0);
        QCOMPARE(Fonts::sizeOf(small->font()), 10.0);
        // Placing it again restores its look.
        small->setFont(Fonts::system(30));
        small->setParent(nullptr);
        small->setParent(host.get());
        QCOMPARE(Fonts::sizeOf(small->font()), 10.0);

        auto *text = qobject_cast<CommTextView *>(LayoutLoader().createWidget(u"CommTextView"_qs, host.get()));
        QVERIFY(text);
        text->setFont(Fonts::system(30));
        text->resize(200, 100);
        text->grab();
        QCOMPARE(Fonts::sizeOf(text->font()), 12.0);
        QCOMPARE(text->palette().color(QPalette::Text).name(), u"#435662"_qs);

        auto *background = LayoutLoader().createWidget(u"MainUIView"_qs, host.get());
        background->resize(80, 80);
        const QImage drawn = background->grab().toImage();
        QVERIFY(drawn.pixelColor(40, 40).alpha() == 255);
    }
};

QTEST_MAIN(TestLabelStyle)
#include "tst_labelstyle.moc"
