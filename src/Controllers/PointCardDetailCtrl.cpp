#include "PointCardDetailCtrl.h"

#include "Cipher.h"
#include "Dates.h"
#include "Event.h"
#include "Images.h"
#include "InnerRequest.h"
#include "LoadImageRequest.h"
#include "LoginCtrl.h"
#include "MyAlertView.h"
#include "NavigationController.h"
#include "NumberRule.h"
#include "PartialPointCardRow.h"
#include "PointCardUtil.h"
#include "SQLiteHelper.h"
#include "StoreDetailCtrl.h"
#include "Texts.h"
#include "Tools.h"
#include "UILabelStyle.h"
#include "UserMgr.h"

namespace {

const QString kLockImage = u"store_img_b_lock.png"_qs;
const QString kGridName = u"stampGrid"_qs;

// The lock drawn into the grid, at its size in points.
QImage lockImage()
{
    const QSize size = Images::pointSize(kLockImage);
    QImage image = Images::named(kLockImage).toImage();
    if (image.isNull() || size.isEmpty())
        return image;
    image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1);
    return image;
}

bool isFull(const PointCard &card)
{
    return card.point.toInt() >= card.totalPoints.toInt();
}

std::optional<int> optionalInt(const Field &field)
{
    return field.isSet() ? std::optional<int>(field.toInt()) : std::nullopt;
}

} // namespace

PointCardDetailCtrl::PointCardDetailCtrl(QObject *parent) : MainCtrl(parent)
{
    setLayoutName(u"PointCardDetailCtrl"_qs);
    setHidesBottomBarWhenPushed(true);
}

void PointCardDetailCtrl::viewDidLoad()
{
    MainCtrl::viewDidLoad();
    setTitle(Texts::get(u"pointCard"_qs));

    if (m_pointCard.cardKey.text().isEmpty())
        findHeldCard();
    if (!Tools::validateUrl(m_pointCard.detailPic.text()))
        m_pointCard.detailPic = Field(Event::genFullImagePath(m_pointCard.detailPic.text()));

    m_favoritesButton = new PhoneButton;
    m_favoritesButton->setObjectName(u"favoritesButton"_qs);
    m_favoritesButton->setFixedSize(32, 32);
    m_favoritesButton->setImage(Images::named(u"favorites_n.png"_qs), PhoneButton::Normal);
    m_favoritesButton->setImage(Images::named(u"favorites_p.png"_qs), PhoneButton::Highlighted);
    connect(m_favoritesButton, &PhoneButton::clicked, this, &PointCardDetailCtrl::rightBtnClick);
    navigationItem()->setRightWidget(m_favoritesButton);

    QWidget *root = view();
    m_cellView = root->findChild<QWidget *>(u"cellView"_qs);
    m_detailPicView = root->findChild<PhoneImageView *>(u"detailPicView"_qs);
    m_badgeImageView = root->findChild<PhoneImageView *>(u"badgeImageView"_qs);
    m_pointCardRowView = root->findChild<QWidget *>(u"pointCardRowView"_qs);
    m_dateLabel = root->findChild<PhoneLabel *>(u"dateLabel"_qs);
    m_scanButton = root->findChild<PhoneButton *>(u"scanButton"_qs);
    if (m_detailPicView)
        m_detailPicView->setContentMode(PhoneImageView::ContentMode::ScaleToFill);
    if (m_badgeImageView)
        m_badgeImageView->hide();
    if (m_scanButton) {
        UILabelStyle::ButtonText(m_scanButton, Texts::get(u"scanTitle"_qs));
        connect(m_scanButton, &PhoneButton::clicked, this, &PointCardDetailCtrl::scanQRCode);
    }

    if (m_cellView) {
        m_storeRow = new CellStore(m_cellView);
        m_storeRow->move(0, 0);
        m_storeRow->lower();
        if (m_store) {
            showStore(false);
        } else {
            m_storeButton = new PhoneButton(m_cellView);
            m_storeButton->setObjectName(u"storeButton"_qs);
            m_storeButton->setGeometry(m_cellView->rect());
            connect(m_storeButton, &PhoneButton::clicked, this, &PointCardDetailCtrl::toStoreDetailCtrl);
            QPointer<PointCardDetailCtrl> self(this);
            InnerRequest::mapStoreId(m_pointCard.merchantId, m_pointCard.storeId,
                                     [self](bool, std::optional<Store> store) {
                                         if (!self)
                                             return;
                                         self->m_store = std::move(store);
                                         self->showStore(true);
                                         Q_EMIT self->storeLoaded();
                                     });
        }
    }

    QPointer<PointCardDetailCtrl> self(this);
    LoadImageRequest::getInstance().LoadImage(m_pointCard.detailPic.text(), [self](std::optional<QImage> image) {
        if (!self)
            return;
        // Without its picture the card still shows its text, points and grid.
        if (image && self->m_detailPicView)
            self->m_detailPicView->setImage(QPixmap::fromImage(*image));
        self->layoutRefresh();
        Q_EMIT self->detailPictureShown();
    });

    if (m_dateLabel)
        m_dateLabel->setText(Dates::getDuration(m_pointCard.startTime, m_pointCard.endTime));
}

bool PointCardDetailCtrl::findHeldCard()
{
    std::optional<PointCard> held = SQLiteHelper::getInstance().getPointCardWithEventId(
        UserMgr::getMemberId(), m_pointCard.eventId, m_pointCard.storeId, m_pointCard.enableStoreIds);
    if (!held)
        return false;
    m_pointCard = *held;
    return true;
}

void PointCardDetailCtrl::showStore(bool fadeIn)
{
    if (m_storeRow)
        m_storeRow->setCellValue(m_store.value_or(Store()), fadeIn);
}

void PointCardDetailCtrl::layoutRefresh()
{
    if (m_badgeImageView)
        m_badgeImageView->setVisible(m_pointCard.isUsed.toInt() == 1);

    if (m_detailPicView) {
        const PointCardImage grid = PointCardUtil::genPointCardImg(
            m_detailPicView->size(), lockImage(), m_pointCard.totalPoints.toInt(), m_pointCard.point.toInt());
        delete m_detailPicView->findChild<PhoneImageView *>(kGridName, Qt::FindDirectChildrenOnly);
        auto *gridView = new PhoneImageView(m_detailPicView);
        gridView->setObjectName(kGridName);
        gridView->setGeometry(grid.frame.toAlignedRect());
        gridView->setImage(QPixmap::fromImage(grid.image));
        gridView->show();
    }

    const QString detail = m_pointCard.detail.text();
    const QString text = detail.isEmpty()
        ? m_pointCard.name.text() + u'\n' + m_pointCard.brief.text()
        : detail;
    if (m_pointCardRowView) {
        // The new row takes the place of the last one rather than piling up under it.
        qDeleteAll(m_pointCardRowView->findChildren<PartialPointCardRow *>(Qt::FindDirectChildrenOnly));
        auto *row = new PartialPointCardRow(m_pointCardRowView);
        row->setValue(text, optionalInt(m_pointCard.point), optionalInt(m_pointCard.totalPoints),
                      optionalInt(m_pointCard.isUsed));
        row->move(0, 0);
        row->show();
    }
}

void PointCardDetailCtrl::scanQRCode()
{
    if (UserMgr::getMemberId() <= 0) {
        doLogin();
        return;
    }
    if (m_pointCard.isDeleted.toInt() != 0 || m_pointCard.isUsed.toInt() != 0 || m_scanner)
        return;
    m_scanner = new QRScannerView;
    connect(m_scanner, &QRScannerView::decoded, this, &PointCardDetailCtrl::didScan);
    connect(m_scanner, &QRScannerView::cancelled, this, &PointCardDetailCtrl::didCancelScan);
    m_scanner->present(view()->window());
}

void PointCardDetailCtrl::didCancelScan()
{
    if (m_scanner)
        m_scanner->dismiss(false);
    m_scanner = nullptr;
}

void PointCardDetailCtrl::alert(const QString &key)
{
    Tools::showMsg(Texts::get(key));
}

void PointCardDetailCtrl::didScan(const QString &result)
{
    if (m_scanner)
        m_scanner->dismiss(true);
    m_scanner = nullptr;

    const auto fail = [this](const QString &key) {
        alert(key);
        layoutRefresh();
    };
    if (result.isEmpty())
        return fail(u"setPointFail"_qs);

    const QStringList fields = Cipher::decrypt3DES(result).split(u',');
    const qint64 memberId = UserMgr::getMemberId();
    const bool full = isFull(m_pointCard);
    // Only screened here: the operations check the payload in full.
    const int storeField = full ? 4 : 5;
    if (fields.size() <= storeField)
        return fail(u"setPointFail"_qs);
    const qint64 storeId = NumberRule::readInteger(fields.at(storeField));
    if (!PointCardUtil::isEnableStoreIds(storeId, m_pointCard.storeId, m_pointCard.enableStoreIds))
        return fail(u"disableStore"_qs);

    std::optional<PointCard> card = SQLiteHelper::getInstance().getPointCardWithCardKey(
        memberId, m_pointCard.cardKey, m_pointCard.storeId, m_pointCard.enableStoreIds);
    if (!card)
        card = genNewPointCard();
    // No card could be stored (a full disk): there is nothing to add points to.
    if (!card)
        return fail(u"setPointFail"_qs);
    m_pointCard = *card;

    const QString packageName = QString::number(m_pointCard.merchantId.toId());
    if (full) {
        const bool exchanged = PointCardUtil::dChangeQRCode(result, packageName, m_pointCard, memberId);
        alert(exchanged ? u"exchangePointDone"_qs : u"exchangePointFail"_qs);
    } else {
        const int added = PointCardUtil::dPointQRCode(result, packageName, m_pointCard, memberId);
        if (added < 0)
            alert(u"setPointFail"_qs);
        else
            alert(memberId > 0 ? u"setPointDone"_qs : u"getPointDoneWithNoLogin"_qs);
    }
    layoutRefresh();
}

std::optional<PointCard> PointCardDetailCtrl::genNewPointCard()
{
    const qint64 memberId = UserMgr::getMemberId();
    const std::optional<QString> account = UserMgr::getAccount();
    const PointCard card = PointCardUtil::genEmptyPointCard(
        m_pointCard.merchantId, memberId, account ? Field(*account) : Field(), m_pointCard.eventId, m_pointCard.name,
        m_pointCard.picture, m_pointCard.detailPic, m_pointCard.startTime, m_pointCard.endTime,
        m_pointCard.storeName, m_pointCard.brief, m_pointCard.detail, m_pointCard.totalPoints.toInt(),
        m_pointCard.storeId, m_pointCard.enableStoreIds);
    // Made means stored: a card that only lives on this screen would lose its points.
    const QList<PointCard> held = SQLiteHelper::getInstance().getAllPointCard(memberId);
    const bool stored = std::any_of(held.cbegin(), held.cend(),
                                    [&card](const PointCard &c) { return c.cardKey == card.cardKey; });
    return stored ? std::optional<PointCard>(card) : std::nullopt;
}

void PointCardDetailCtrl::rightBtnClick()
{
    if (UserMgr::getMemberId() <= 0) {
        doLogin();
        return;
    }
    if (!m_pointCard.cardKey.text().isEmpty()) {
        removeFromWallet();
        return;
    }
    if (findHeldCard()) {
        rightBtnClick();
        return;
    }
    addToWallet();
}

void PointCardDetailCtrl::removeFromWallet()
{
    QPointer<PointCardDetailCtrl> self(this);
    ask(u"removeFavorStoresEventConfirm"_qs, [self] {
        if (!self)
            return;
        self->m_pointCard.isDeleted = Field(1);
        self->m_pointCard.lastUpdatedTime = Field(PointCardUtil::getNowDateTime());
        const bool updated = SQLiteHelper::getInstance().updateWithEntity(self->m_pointCard);
        const QString outcome = Texts::get(updated ? u"removeFavorDone"_qs : u"removeFavorFail"_qs);
        self->showLoading(Texts::get(u"deleting"_qs));
        InnerRequest::syncPointCard(UserMgr::getMemberId(), [self, updated, outcome](bool) {
            if (!self)
                return;
            self->hideLoading();
            auto *done = new MyAlertView(Texts::get(u"warningTitle"_qs), outcome);
            done->addButtonWithTitle(Texts::get(u"ok"_qs), [self, updated](MyAlertView *, int) {
                if (!self || !updated)
                    return;
                if (NavigationController *nav = self->navigationController(); nav && nav->topViewController() == self)
                    nav->popViewControllerAnimated(true);
            });
            done->show();
        });
    });
}

void PointCardDetailCtrl::addToWallet()
{
    QPointer<PointCardDetailCtrl> self(this);
    ask(u"addFavorCouponConfirm"_qs, [self] {
        if (!self)
            return;
        std::optional<PointCard> card = self->genNewPointCard();
        if (!card) {
            self->showToast(Texts::get(u"addFavorFail"_qs));
            return;
        }
        InnerRequest::syncPointCard(UserMgr::getMemberId());
        self->m_pointCard = *card;
        self->showToast(Texts::get(u"addFavorDone"_qs));
    });
}

void PointCardDetailCtrl::ask(const QString &messageKey, std::function<void()> onOk)
{
    auto *question = new MyAlertView(Texts::get(u"warningTitle"_qs), Texts::get(messageKey));
    question->addButtonWithTitle(Texts::get(u"cancel"_qs), [](MyAlertView *, int) {});
    question->addButtonWithTitle(Texts::get(u"ok"_qs), [onOk = std::move(onOk)](MyAlertView *, int) { onOk(); });
    question->show();
}

void PointCardDetailCtrl::toStoreDetailCtrl()
{
    NavigationController *nav = navigationController();
    if (!m_store || !nav)
        return;
    auto *detail = new StoreDetailCtrl;
    detail->setStoreId(m_store->storeID);
    detail->setStore(*m_store);
    nav->pushViewController(detail, true);
}

void PointCardDetailCtrl::doLogin()
{
    if (NavigationController *nav = navigationController())
        nav->pushViewController(new LoginCtrl, true);
}
