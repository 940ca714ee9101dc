#include "OuterRequest.h"

#include "Answers.h"
#include "EditionConfig.h"
#include "HttpClient.h"
#include "NumberRule.h"
#include "SQLiteHelper.h"
#include "UserMgr.h"

#include <QJsonDocument>
#include <QStringList>

#include <utility>

namespace {

void post(const QString &method, const QVariantMap &params, HttpClient::Success success,
          HttpClient::Failure failure)
{
    HttpClient::sharedClientByKorvani().post(HttpClient::pathByKorvani(method), OuterRequest::setPostParams(params),
                                             std::move(success), std::move(failure));
}

template <Entity T>
void listRequest(const QString &method, const QVariantMap &params, OuterRequest::ListBlock<T> block)
{
    post(method, params, Answers::handTo(block, &Answers::recordList<T>), Answers::failTo(block));
}

template <Entity T>
void recordRequest(const QString &method, const QVariantMap &params, OuterRequest::RecordBlock<T> block)
{
    post(method, params, Answers::handTo(block, &Answers::record<T>), Answers::failTo(block));
}

// The text form of a named answer value; "(null)" when the key is missing.
QString textOrNullMarker(const QJsonObject &object, const QString &key)
{
    const Field value(object.value(key));
    return value.isSet() ? value.text() : QStringLiteral("(null)");
}

QString storeIdsText(const QList<Field> &storeIds)
{
    QStringList texts;
    for (const Field &id : storeIds)
        texts << id.text();
    return texts.join(u',');
}

} // namespace

QVariantMap OuterRequest::setPostParams(const std::optional<QVariantMap> &params)
{
    QVariantMap result = params.value_or(QVariantMap());
    const QString skey = EditionConfig::text(QStringLiteral("SKEY"));
    if (!skey.isEmpty())
        result.insert(QStringLiteral("SKEY"), skey);
    return result;
}

bool OuterRequest::checkJSONString(const QByteArray &answer, bool isArray)
{
    return Answers::checkJSONString(answer, isArray);
}

void OuterRequest::getStoreListBySearch(const QString &keyword, int startIndex, int endIndex, int isVIP,
                                        ListBlock<Store> block)
{
    listRequest<Store>(QStringLiteral("getStoreListBySearch"),
                       {{QStringLiteral("keyword"), keyword},
                        {QStringLiteral("baseLat"), NumberRule::truncateToInteger(UserMgr::getCurLat())},
                        {QStringLiteral("baseLon"), NumberRule::truncateToInteger(UserMgr::getCurLon())},
                        {QStringLiteral("startIndex"), startIndex},
                        {QStringLiteral("endIndex"), endIndex},
                        {QStringLiteral("isVIP"), isVIP}},
                       std::move(block));
}

void OuterRequest::getStoreInfo(const Field &storeId, RecordBlock<Store> block)
{
    recordRequest<Store>(QStringLiteral("getStoreInfo"), {{QStringLiteral("storeID"), storeId.text()}},
                         std::move(block));
}

void OuterRequest::getStoreEventList(const Field &storeId, ListBlock<StoreEvent> block)
{
    post(
        QStringLiteral("getStoreEventList"), {{QStringLiteral("storeID"), storeId.text()}},
        [block](const QByteArray &body) {
            std::optional<QList<StoreEvent>> events = Answers::recordList<StoreEvent>(body);
            if (block && events)
                block(true, std::move(events));
        },
        Answers::failTo(block));
}

void OuterRequest::addToMyFavor(const Field &memberId, const Field &storeId, TextBlock block)
{
    post(
        QStringLiteral("addToMyFavor"),
        {{QStringLiteral("memberID"), memberId.text()}, {QStringLiteral("storeID"), storeId.text()}},
        [block](const QByteArray &body) {
            if (!block)
                return;
            if (body.isEmpty())
                block(true, std::nullopt);
            else
                block(true, Answers::text(body));
        },
        Answers::failTo(block));
}

void OuterRequest::removeMyFavor(const Field &memberId, const Field &storeId, FlagBlock block)
{
    post(
        QStringLiteral("removeMyFavor"),
        {{QStringLiteral("memberID"), memberId.text()}, {QStringLiteral("storeID"), storeId.text()}},
        [block](const QByteArray &) {
            if (block)
                block(true);
        },
        [block] {
            if (block)
                block(false);
        });
}

QList<Store> OuterRequest::getMyFavorList(const Field &memberId, std::function<void(QList<Store>)> block)
{
    post(
        QStringLiteral("getMyFavorList"), {{QStringLiteral("memberID"), memberId.text()}},
        [block](const QByteArray &body) {
            QJsonParseError error{};
            QJsonDocument::fromJson(body, &error);
            if (!body.isEmpty() && error.error == QJsonParseError::NoError)
                SQLiteHelper::getInstance().refreshDataWithJSON<Store>(body);
            if (block)
                block(SQLiteHelper::getInstance().getAllEntities<Store>());
        },
        {});
    return SQLiteHelper::getInstance().getAllEntities<Store>();
}

void OuterRequest::getStoreMainCategoryList(int isVIP, ListBlock<StoreCategory> block)
{
    // The record filling of StoreCategory turns its subCategories maps into records.
    listRequest<StoreCategory>(QStringLiteral("getStoreMainCategoryList"), {{QStringLiteral("isVIP"), isVIP}},
                               std::move(block));
}

void OuterRequest::getEventStoreListByMainCategory(const Field &mainCategoryId, const Field &subCategoryId,
                                                   int startIndex, int endIndex, ListBlock<Store> block)
{
    listRequest<Store>(QStringLiteral("getEventStoreListByMainCategory"),
                       {{QStringLiteral("mainCategoryID"), mainCategoryId.text()},
                        {QStringLiteral("subCategoryID"), subCategoryId.text()},
                        {QStringLiteral("baseLat"), UserMgr::getCurLat()},
                        {QStringLiteral("baseLon"), UserMgr::getCurLon()},
                        {QStringLiteral("startIndex"), startIndex},
                        {QStringLiteral("endIndex"), endIndex}},
                       std::move(block));
}

void OuterRequest::getBrandStoreList(const Field &mainCategoryId, const Field &subCategoryId, int startIndex,
                                     int endIndex, ListBlock<Store> block)
{
    listRequest<Store>(QStringLiteral("getBrandStoreList"),
                       {{QStringLiteral("mainCategoryID"), mainCategoryId.text()},
                        {QStringLiteral("subCategoryID"), subCategoryId.text()},
                        {QStringLiteral("startIndex"), startIndex},
                        {QStringLiteral("endIndex"), endIndex}},
                       std::move(block));
}

void OuterRequest::getBannerList(ListBlock<Banner> block)
{
    listRequest<Banner>(QStringLiteral("getBannerList"), {}, std::move(block));
}

void OuterRequest::getEventList(int startIndex, int endIndex, ListBlock<News> block)
{
    listRequest<News>(QStringLiteral("getEventList"),
                      {{QStringLiteral("startIndex"), startIndex}, {QStringLiteral("endIndex"), endIndex}},
                      std::move(block));
}

void OuterRequest::memberLogin(const QString &account, const QString &password, LoginBlock block)
{
    post(
        QStringLiteral("memberLogin"),
        {{QStringLiteral("account"), account}, {QStringLiteral("password"), password}},
        [block](const QByteArray &body) {
            if (!block)
                return;
            const std::optional<QJsonObject> answer = Answers::object(body);
            if (!answer) {
                block(true, std::nullopt, std::nullopt, std::nullopt);
                return;
            }
            const Field phone(answer->value(QStringLiteral("phone")));
            block(true, textOrNullMarker(*answer, QStringLiteral("memberID")),
                  textOrNullMarker(*answer, QStringLiteral("msg")),
                  phone.isSet() ? std::optional<QString>(phone.text()) : std::nullopt);
        },
        [block] {
            if (block)
                block(false, std::nullopt, std::nullopt, std::nullopt);
        });
}

void OuterRequest::memberRegister(const QString &email, const QString &name, const QString &nickname,
                                  const QString &password, const QString &tel, RegisterBlock block)
{
    post(
        QStringLiteral("memberRegister"),
        {{QStringLiteral("email"), email},
         {QStringLiteral("name"), name},
         {QStringLiteral("nickname"), nickname},
         {QStringLiteral("password"), password},
         {QStringLiteral("tel"), tel},
         {QStringLiteral("cardNo"), QString()}},
        [block](const QByteArray &body) {
            if (!block)
                return;
            const std::optional<QJsonObject> answer = Answers::object(body);
            if (!answer) {
                block(true, 1, std::nullopt);
                return;
            }
            block(true, Field(answer->value(QStringLiteral("status"))).toInt(),
                  textOrNullMarker(*answer, QStringLiteral("msg")));
        },
        [block] {
            if (block)
                block(false, 1, std::nullopt);
        });
}

void OuterRequest::getMemberComment(const Field &memberId, const Field &storeId, RecordBlock<Comment> block)
{
    recordRequest<Comment>(QStringLiteral("getMemberComment"),
                           {{QStringLiteral("memberID"), memberId.text()}, {QStringLiteral("storeID"), storeId.text()}},
                           std::move(block));
}

void OuterRequest::editMemberComment(const Field &memberId, const Field &storeId, const QString &comment,
                                     std::optional<double> serviceRate, std::optional<double> qualityRate,
                                     std::optional<double> enviromentRate, std::optional<double> cpRate,
                                     TextBlock block, EmptyAnswerBlock emptyAnswer)
{
    constexpr double defaultRate = 3;
    post(
        QStringLiteral("editMemberComment"),
        {{QStringLiteral("memberID"), memberId.text()},
         {QStringLiteral("storeID"), storeId.text()},
         {QStringLiteral("comment"), comment},
         {QStringLiteral("serviceRate"), serviceRate.value_or(defaultRate)},
         {QStringLiteral("qualityRate"), qualityRate.value_or(defaultRate)},
         {QStringLiteral("enviromentRate"), enviromentRate.value_or(defaultRate)},
         {QStringLiteral("cpRate"), cpRate.value_or(defaultRate)}},
        [block, emptyAnswer](const QByteArray &body) {
            if (body.isEmpty()) {
                if (emptyAnswer)
                    emptyAnswer();
                return;
            }
            if (block)
                block(true, Answers::text(body));
        },
        Answers::failTo(block));
}

void OuterRequest::getStoreCommentList(const Field &storeId, ListBlock<Comment> block)
{
    listRequest<Comment>(QStringLiteral("getStoreCommentList"), {{QStringLiteral("storeID"), storeId.text()}},
                         std::move(block));
}

void OuterRequest::getStoreListByID(const QList<Field> &storeIds, ListBlock<Store> block)
{
    listRequest<Store>(QStringLiteral("getStoreListByID"), {{QStringLiteral("storeID"), storeIdsText(storeIds)}},
                       std::move(block));
}
