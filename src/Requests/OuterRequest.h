#pragma once

#include "Banner.h"
#include "Comment.h"
#include "Field.h"
#include "News.h"
#include "Store.h"
#include "StoreCategory.h"
#include "StoreEvent.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

// One class operation per method of the catalogue service. Every request is
// a form POST to THIRD_PARTY_HOST with "SKEY" added when configured. Called
// and answered on the UI thread; every callback is optional. A success flag
// is false only when the request failed.
class OuterRequest
{
public:
    OuterRequest() = delete;

    template <class T>
    using ListBlock = std::function<void(bool ok, std::optional<QList<T>> records)>;
    template <class T>
    using RecordBlock = std::function<void(bool ok, std::optional<T> record)>;
    using TextBlock = std::function<void(bool ok, std::optional<QString> text)>;
    using FlagBlock = std::function<void(bool ok)>;
    using LoginBlock = std::function<void(bool ok, std::optional<QString> memberId, std::optional<QString> message,
                                          std::optional<QString> phone)>;
    using RegisterBlock = std::function<void(bool ok, int status, std::optional<QString> message)>;
    // Called instead of nothing when the service answers with an empty body.
    using EmptyAnswerBlock = std::function<void()>;

    // The latitude and longitude go out cut toward zero to whole numbers.
    static void getStoreListBySearch(const QString &keyword, int startIndex, int endIndex, int isVIP,
                                     ListBlock<Store> block = {});
    static void getStoreInfo(const Field &storeId, RecordBlock<Store> block = {});
    // An empty or invalid answer calls nothing.
    static void getStoreEventList(const Field &storeId, ListBlock<StoreEvent> block = {});
    static void addToMyFavor(const Field &memberId, const Field &storeId, TextBlock block = {});
    static void removeMyFavor(const Field &memberId, const Field &storeId, FlagBlock block = {});
    // Returns the local favourite stores at once; the answer replaces them and
    // the block gets them read again. A failed request calls nothing.
    static QList<Store> getMyFavorList(const Field &memberId, std::function<void(QList<Store>)> block = {});
    static void getStoreMainCategoryList(int isVIP, ListBlock<StoreCategory> block = {});
    static void getEventStoreListByMainCategory(const Field &mainCategoryId, const Field &subCategoryId,
                                                int startIndex, int endIndex, ListBlock<Store> block = {});
    static void getBrandStoreList(const Field &mainCategoryId, const Field &subCategoryId, int startIndex,
                                  int endIndex, ListBlock<Store> block = {});
    static void getBannerList(ListBlock<Banner> block = {});
    static void getEventList(int startIndex, int endIndex, ListBlock<News> block = {});
    static void memberLogin(const QString &account, const QString &password, LoginBlock block = {});
    static void memberRegister(const QString &email, const QString &name, const QString &nickname,
                               const QString &password, const QString &tel, RegisterBlock block = {});
    static void getMemberComment(const Field &memberId, const Field &storeId, RecordBlock<Comment> block = {});
    // A rate that is not given goes out as 3.
    static void editMemberComment(const Field &memberId, const Field &storeId, const QString &comment,
                                  std::optional<double> serviceRate, std::optional<double> qualityRate,
                                  std::optional<double> enviromentRate, std::optional<double> cpRate,
                                  TextBlock block = {}, EmptyAnswerBlock emptyAnswer = {});
    static void getStoreCommentList(const Field &storeId, ListBlock<Comment> block = {});
    static void getStoreListByID(const QList<Field> &storeIds, ListBlock<Store> block = {});

    // The given entries plus "SKEY" when configured and not empty.
    static QVariantMap setPostParams(const std::optional<QVariantMap> &params = std::nullopt);
    static bool checkJSONString(const QByteArray &answer, bool isArray);
};
