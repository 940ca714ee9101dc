#include "Animations.h"
#include "Application.h"
#include "DatePicker.h"
#include "Gestures.h"
#include "Images.h"
#include "LaunchOptions.h"
#include "NotificationCenter.h"
#include "PageControl.h"
#include "PhoneButton.h"
#include "PhoneImageView.h"
#include "PhoneLabel.h"
#include "PhoneWindow.h"
#include "PickerView.h"
#include "ScreenTools.h"
#include "ShakeDetector.h"
#include "TextField.h"
#include "Texts.h"
#include "UrlOpener.h"
#include "EditionConfig.h"

#include <QDateTimeEdit>
#include <QDir>
#include <QListWidget>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <ZXing/ReadBarcode.h>

namespace {
class Columns : public PickerViewDataSource
{
public:
    QList<QPair<int, int>> chosen;
    int numberOfComponents(PickerView *) override { return 2; }
    int numberOfRows(PickerView *, int component) override { return component == 0 ? 3 : 20; }
    QString titleForRow(PickerView *, int row, int component) override { return u"%1-%2"_qs.arg(component).arg(row); }
    void didSelectRow(PickerView *, int row, int component) override { chosen << qMakePair(row, component); }
};
} // namespace

class TestPlatformViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Animations::setEnabled(false); }
    void cleanup()
    {
        UrlOpener::setHandler(nullptr);
        EditionConfig::reset();
        Texts::setLookup(nullptr);
    }

    void buttonStatesFallBackToNormal()
    {
        PhoneButton button;
        button.setTitle(u"normal"_qs);
        button.setTitleColor(Qt::red);
        button.setTitle(u"chosen"_qs, PhoneButton::Selected);
        QCOMPARE(button.currentState(), PhoneButton::Normal);
        button.setSelected(true);
        QCOMPARE(button.currentTitle(), u"chosen"_qs);
        QCOMPARE(button.currentTitleColor(), QColor(Qt::red));
        button.setEnabled(false);
        QCOMPARE(button.currentState(), PhoneButton::Disabled);
        QCOMPARE(button.currentTitle(), u"normal"_qs);
        button.setEnabled(true);
        button.setDown(true);
        QCOMPARE(button.currentState(), PhoneButton::Highlighted);
        QCOMPARE(button.text(), u"normal"_qs);
    }

    void labelShrinksDownToItsMinimum()
    {
        PhoneLabel label;
        QFont f = label.font();
        f.setPixelSize(16);
        label.setFont(f);
        label.setMinimumFontSize(12);
        label.setText(u"a text that needs much more room than this"_qs);
        label.resize(60, 20);
        QCOMPARE(label.displayedFontSize(), 12.0);
        label.resize(1000, 20);
        QCOMPARE(label.displayedFontSize(), 16.0);
        label.resize(60, 20);
        label.setAdjustsFontSizeToFitWidth(false);
        QCOMPARE(label.displayedFontSize(), 16.0);
        ScreenTools::alignLabelWithTop(&label);
        QVERIFY(!label.adjustsFontSizeToFitWidth());
        QCOMPARE(label.width(), 60);
        QVERIFY(label.height() > 2 * label.fontMetrics().height());
        QVERIFY(label.height() <= 999);
    }

    void imagesAreDrawnAtTwiceTheirSize()
    {
        const QStringList names{u"tital.png"_qs, u"return_n.png"_qs, u"return_p.png"_qs, u"main_bg.png"_qs,
                                u"star_on.png"_qs, u"star_off.png"_qs, u"star_small_on.png"_qs,
                                u"star_small_off.png"_qs, u"release_001.png"_qs, u"bg_tital_comment.png"_qs,
                                u"bg_frame_profile_center.png"_qs, u"bg_frame_profile_footer.png"_qs,
                                u"refrash_n.png"_qs, u"refrash_p.png"_qs, u"favorites_n.png"_qs,
                                u"comment_n.png"_qs, u"ribbon.png"_qs, u"ribbon_expire.png"_qs,
                                u"store_img_b_lock.png"_qs, u"btn003_open.png"_qs, u"btn003_close.png"_qs};
        for (const QString &name : names) {
            const QPixmap pixmap = Images::named(name);
            QVERIFY2(!pixmap.isNull(), qPrintable(name));
            QCOMPARE(pixmap.devicePixelRatio(), 2.0);
            QCOMPARE(pixmap.size(), Images::pointSize(name) * 2);
        }
        QCOMPARE(Images::pointSize(u"tital.png"_qs), QSize(320, 44));
        QCOMPARE(Images::pointSize(u"star_small_on.png"_qs), QSize(13, 13));
        QVERIFY(Images::named(u"no_such_picture.png"_qs).isNull());
    }

    void stretchableImageKeepsItsCaps()
    {
        // Left 4 points red, one green column, then blue.
        QPixmap source(QSize(12, 4) * 2);
        source.setDevicePixelRatio(2);
        source.fill(Qt::blue);
        {
            QPainter p(&source);
            p.fillRect(QRectF(0, 0, 4, 4), Qt::red);
            p.fillRect(QRectF(4, 0, 1, 4), Qt::green);
        }
        QImage target(40, 4, QImage::Format_ARGB32);
        target.fill(Qt::transparent);
        QPainter painter(&target);
        StretchableImage{source, 4, 0}.draw(painter, QRectF(0, 0, 40, 4));
        painter.end();
        QCOMPARE(target.pixelColor(1, 2), QColor(Qt::red));
        QCOMPARE(target.pixelColor(20, 2), QColor(Qt::green));
        QCOMPARE(target.pixelColor(38, 2), QColor(Qt::blue));
    }

    void qrCodeReadsBack()
    {
        const QString text = u"ADD|GRP-DEMO-7Q2X|1352339200000|5|12"_qs;
        const QImage image = ScreenTools::qrImage(text, 200).convertToFormat(QImage::Format_Grayscale8);
        QCOMPARE(image.size(), QSize(200, 200));
        ZXing::DecodeHints hints;
        hints.setFormats(ZXing::BarcodeFormat::QRCode);
        // A quiet zone around the code for the reader.
        QImage framed(240, 240, QImage::Format_Grayscale8);
        framed.fill(Qt::white);
        QPainter(&framed).drawImage(20, 20, image);
        const ZXing::ImageView view(framed.constBits(), framed.width(), framed.height(), ZXing::ImageFormat::Lum,
                                    int(framed.bytesPerLine()));
        const ZXing::Result result = ZXing::ReadBarcode(view, hints);
        QVERIFY(result.isValid());
        QCOMPARE(QString::fromStdWString(result.text()), text);
        QCOMPARE(QString::fromStdWString(result.ecLevel()), u"L"_qs);

        PhoneImageView imageView;
        imageView.resize(150, 150);
        ScreenTools::generateQRImage(text, &imageView);
        QCOMPARE(imageView.image().size(), QSize(150, 150));
        ScreenTools::generateQRImage(text, nullptr);
        QVERIFY(ScreenTools::qrImage(text, 0).isNull());
    }

    void textFieldShowsItsPickerAndBarWhileEditing()
    {
        PhoneWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *field = new TextField(&window);
        field->setGeometry(10, 300, 200, 30);
        field->show();
        auto *picker = new PickerView;
        Columns columns;
        picker->setDataSource(&columns);
        int done = 0;
        field->setInputView(picker);
        field->setInputAccessoryView(ScreenTools::createAccessoryView(this, [&] {
            ++done;
            field->resignFirstResponder();
        }));
        QSignalSpy began(field, &TextField::editingDidBegin);
        QSignalSpy ended(field, &TextField::editingDidEnd);

        field->becomeFirstResponder();
        QCOMPARE(began.size(), 1);
        QWidget *panel = TextField::activeInputPanel();
        QVERIFY(panel);
        QCOMPARE(panel->geometry().bottom(), window.height() - 1);
        QCOMPARE(picker->parentWidget(), panel);
        QVERIFY(picker->isVisible());
        auto *doneButton = panel->findChild<PhoneButton *>(u"doneButton"_qs);
        QVERIFY(doneButton);
        QCOMPARE(doneButton->geometry(), QRect(260, 7, 50, 30));

        // A row chosen in the picker leaves the field editing.
        QListWidget *second = picker->column(1);
        QTest::mouseClick(second->viewport(), Qt::LeftButton, {}, second->visualItemRect(second->item(2)).center());
        QCOMPARE(columns.chosen, (QList<QPair<int, int>>{{2, 1}}));
        QVERIFY(field->isEditing());

        QTest::mouseClick(doneButton, Qt::LeftButton);
        QCOMPARE(done, 1);
        QCOMPARE(ended.size(), 1);
        QCOMPARE(TextField::activeInputPanel(), nullptr);

        // A tap on the background ends whichever field is being edited.
        auto *other = new TextField(&window);
        other->show();
        other->becomeFirstResponder();
        QVERIFY(other->isEditing());
        TextField::endEditing(&window);
        QVERIFY(!other->isEditing());
        QVERIFY(!field->isEditing());
        QCOMPARE(ended.size(), 1);
    }

    void formMovesAboveTheKeyboardAndBack()
    {
        QWidget form;
        form.resize(320, 480);
        auto *field = new TextField(&form);
        field->setGeometry(10, 360, 200, 30);
        ScreenTools::textEditBegin(&form, field);
        QCOMPARE(form.y(), -200);
        QCOMPARE(form.height(), 480);
        // Again while moved: the same place.
        ScreenTools::textEditBegin(&form, field);
        QCOMPARE(form.y(), -200);
        ScreenTools::textEditEnd(&form);
        QCOMPARE(form.y(), 0);
    }

    void pickerAndDatePicker()
    {
        Columns columns;
        PickerView picker;
        picker.setDataSource(&columns);
        QCOMPARE(picker.numberOfComponents(), 2);
        QCOMPARE(picker.numberOfRows(1), 20);
        picker.selectRow(7, 1, true);
        QCOMPARE(picker.selectedRow(1), 7);
        QCOMPARE(picker.titleForRow(7, 1), u"1-7"_qs);
        QVERIFY(columns.chosen.isEmpty());
        picker.reloadAllComponents();
        QCOMPARE(picker.selectedRow(1), 7);

        DatePicker date;
        QSignalSpy changed(&date, &DatePicker::valueChanged);
        const QDateTime soon = QDateTime::currentDateTime().addSecs(1800);
        date.setDate(soon);
        date.setMinimumDate(soon);
        date.setDate(soon.addDays(-1));
        QVERIFY(date.date() >= soon.addSecs(-60));
        QVERIFY(changed.isEmpty());
        date.editor()->setDateTime(soon.addDays(2));
        QCOMPARE(changed.size(), 1);
    }

    void fadesEndAtOnceWithAnimationsOffAndLaterWithThemOn()
    {
        QWidget widget;
        QCOMPARE(Animations::opacity(&widget), 1.0);
        Animations::fade(&widget, 0, 1, 400);
        QCOMPARE(Animations::opacity(&widget), 1.0);
        Animations::setEnabled(true);
        Animations::fade(&widget, 0, 1, 400);
        QCOMPARE(Animations::opacity(&widget), 0.0);
        QTRY_COMPARE(Animations::opacity(&widget), 1.0);
    }

    void pageControlStaysInRange()
    {
        PageControl dots;
        dots.setNumberOfPages(3);
        dots.setCurrentPage(5);
        QCOMPARE(dots.currentPage(), 2);
        dots.setCurrentPage(-1);
        QCOMPARE(dots.currentPage(), 0);
    }

    void panReportsItsStatesAndTranslation()
    {
        QWidget strip;
        strip.resize(320, 100);
        strip.show();
        PanGestureRecognizer pan(&strip);
        QList<PanGestureRecognizer::State> states;
        QPointF last;
        connect(&pan, &PanGestureRecognizer::stateChanged, this, [&](PanGestureRecognizer *r) {
            states << r->state();
            last = r->translation();
        });
        QTest::mousePress(&strip, Qt::LeftButton, {}, QPoint(50, 10));
        QTest::mouseMove(&strip, QPoint(50, 30));
        QTest::mouseMove(&strip, QPoint(50, 60));
        QTest::mouseRelease(&strip, Qt::LeftButton, {}, QPoint(50, 60));
        QCOMPARE(states, (QList<PanGestureRecognizer::State>{PanGestureRecognizer::State::Began,
                                                             PanGestureRecognizer::State::Changed,
                                                             PanGestureRecognizer::State::Ended}));
        QCOMPARE(last, QPointF(0, 50));

        TapGestureRecognizer tap(&strip);
        QSignalSpy tapped(&tap, &TapGestureRecognizer::tapped);
        QTest::mouseClick(&strip, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(tapped.size(), 1);
    }

    void shakeNeedsAJoltAndAPause()
    {
        ShakeDetector &shake = ShakeDetector::instance();
        QSignalSpy spy(&shake, &ShakeDetector::shaken);
        shake.addReading(0, 0, 9.8, 10000);
        QCOMPARE(spy.size(), 0);
        shake.addReading(20, 15, 9.8, 10100);
        QCOMPARE(spy.size(), 1);
        shake.addReading(-20, 15, 9.8, 10400);
        QCOMPARE(spy.size(), 1);
        shake.addReading(20, -15, 9.8, 11200);
        QCOMPARE(spy.size(), 2);

        QWidget window;
        shake.attachShortcut(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(spy.size(), 3);
    }

    void notificationsReachObserversWhileTheyLive()
    {
        int refreshes = 0;
        auto *observer = new QObject;
        NotificationCenter::defaultCenter().addObserver(observer, u"refresh"_qs, [&] { ++refreshes; });
        NotificationCenter::defaultCenter().post(u"refresh"_qs);
        NotificationCenter::defaultCenter().post(u"other"_qs);
        QCOMPARE(refreshes, 1);
        NotificationCenter::defaultCenter().removeObserver(observer);
        NotificationCenter::defaultCenter().post(u"refresh"_qs);
        QCOMPARE(refreshes, 1);
        NotificationCenter::defaultCenter().addObserver(observer, u"refresh"_qs, [&] { ++refreshes; });
        delete observer;
        NotificationCenter::defaultCenter().post(u"refresh"_qs);
        QCOMPARE(refreshes, 1);
    }

    void applicationEventsFollowActivity()
    {
        ApplicationEvents &events = ApplicationEvents::instance();
        QStringList log;
        QObject context;
        connect(&events, &ApplicationEvents::didFinishLaunching, &context, [&] { log << u"launched"_qs; });
        connect(&events, &ApplicationEvents::didBecomeActive, &context, [&] { log << u"active"_qs; });
        connect(&events, &ApplicationEvents::willResignActive, &context, [&] { log << u"resign"_qs; });
        events.launch();
        events.launch();
        events.setActive(true);
        events.setActive(true);
        events.setActive(false);
        QCOMPARE(log.count(u"launched"_qs), 1);
        QCOMPARE(log.count(u"active"_qs), 1);
        QCOMPARE(log.constLast(), u"resign"_qs);

        bool ran = false;
        MainLoop::post(&context, [&] { ran = true; });
        QVERIFY(!ran);
        QTRY_VERIFY(ran);
    }

    void urlsGoThroughTheHandler()
    {
        QList<QUrl> opened;
        UrlOpener::setHandler([&](const QUrl &url) {
            opened << url;
            return true;
        });
        QVERIFY(UrlOpener::open(QUrl(u"tel://01012345678"_qs)));
        QVERIFY(!UrlOpener::open(QUrl()));
        QCOMPARE(opened, QList<QUrl>{QUrl(u"tel://01012345678"_qs)});

        // Texts with & and = stay whole inside the query.
        const QUrl sms = UrlOpener::smsUrl({u"13800000000"_qs}, u"Dinner & drinks = 4 people, 7点"_qs);
        QCOMPARE(sms.scheme(), u"sms"_qs);
        QCOMPARE(sms.path(), u"13800000000"_qs);
        QCOMPARE(QUrlQuery(sms).queryItemValue(u"body"_qs, QUrl::FullyDecoded), u"Dinner & drinks = 4 people, 7点"_qs);
        const QUrl mail = UrlOpener::mailUrl({u"a@b.cn"_qs, u"c@d.cn"_qs}, u"A store"_qs, u"See you?"_qs);
        QCOMPARE(mail.path(), u"a@b.cn,c@d.cn"_qs);
        QCOMPARE(QUrlQuery(mail).queryItemValue(u"subject"_qs, QUrl::FullyDecoded), u"A store"_qs);
        QCOMPARE(QUrlQuery(mail).queryItemValue(u"body"_qs, QUrl::FullyDecoded), u"See you?"_qs);
        QCOMPARE(UrlOpener::mailUrl({u"a@b.cn"_qs}, {}, {}).toString(), u"mailto:a@b.cn"_qs);
    }

    void commandLineConfiguration_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("loads");
        QTest::newRow("separate") << QStringList{u"app"_qs, u"--config"_qs, u"FILE"_qs} << true;
        QTest::newRow("joined") << QStringList{u"app"_qs, u"--config=FILE"_qs} << true;
        QTest::newRow("missing file") << QStringList{u"app"_qs, u"--config"_qs, u"/nonexistent/x.json"_qs} << false;
        QTest::newRow("no value") << QStringList{u"app"_qs, u"--config"_qs} << false;
        QTest::newRow("none") << QStringList{u"app"_qs} << true;
    }
    void commandLineConfiguration()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, loads);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"edition.json"_qs);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"COMPANY_KEY": "GRP-OTHER", "DEFAULT_TAB": 2})");
        file.close();
        arguments.replaceInStrings(u"FILE"_qs, path);
        const QString before = EditionConfig::text(u"COMPANY_KEY"_qs);
        LaunchOptions options = LaunchOptions::parse(arguments);
        QCOMPARE(options.applyConfig(), loads);
        QCOMPARE(options.error.isEmpty(), loads);
        const bool fromFile = loads && arguments.size() > 1;
        QCOMPARE(EditionConfig::text(u"COMPANY_KEY"_qs), fromFile ? u"GRP-OTHER"_qs : before);
    }
};

QTEST_MAIN(TestPlatformViews)
#include "tst_platformviews.moc"
