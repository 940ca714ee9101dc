#pragma once

#include "Entity.h"

// A member's table reservation.
struct Reservation
{
    Field reservationId;
    Field requestName;
    Field requestTel;
    Field peopleCount;
    Field appointmentTime;
    Field requestTime;
    Field requestMember;
    Field storeKey;
    Field merchantId;
    Field gender;
    Field addInfo;
    Field requestType;
    Field isBox;
    Field storeName;
    Field storeAddress;
    Field storeTel;
    Field storeLat;
    Field storeLon;
};

template <>
struct EntityInfo<Reservation>
{
    static constexpr const char *name = "Reservation";
    static constexpr bool stored = true;
    static constexpr std::array fields{
        ENTITY_FIELD(Reservation, reservationId, Id),
        ENTITY_FIELD(Reservation, requestName, Text),
        ENTITY_FIELD(Reservation, requestTel, Text),
        ENTITY_FIELD(Reservation, peopleCount, Integer),
        ENTITY_FIELD(Reservation, appointmentTime, Time),
        ENTITY_FIELD(Reservation, requestTime, Number),
        ENTITY_FIELD(Reservation, requestMember, Id),
        ENTITY_FIELD(Reservation, storeKey, Text),
        ENTITY_FIELD(Reservation, merchantId, Id),
        ENTITY_FIELD(Reservation, gender, Text),
        ENTITY_FIELD(Reservation, addInfo, Text),
        ENTITY_FIELD(Reservation, requestType, Number),
        ENTITY_FIELD(Reservation, isBox, Flag),
        ENTITY_FIELD(Reservation, storeName, Text),
        ENTITY_FIELD(Reservation, storeAddress, Text),
        ENTITY_FIELD(Reservation, storeTel, Text),
        ENTITY_FIELD(Reservation, storeLat, Real),
        ENTITY_FIELD(Reservation, storeLon, Real)};
};

static_assert(sizeof(Reservation) == EntityInfo<Reservation>::fields.size() * sizeof(Field),
              "every field of Reservation is listed");
