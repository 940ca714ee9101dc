#pragma once

#include "Entity.h"

// A store comment with its four ratings.
struct Comment
{
    Field memberNickname;
    Field memberPicUrl;
    Field comment;
    Field serviceRate;
    Field qualityRate;
    Field enviromentRate;
    Field cpRate;
    Field recordTime;
    Field memberID;
    Field storeID;
};

template <>
struct EntityInfo<Comment>
{
    static constexpr const char *name = "Comment";
    static constexpr bool stored = false;
    static constexpr std::array fields{
        ENTITY_FIELD(Comment, memberNickname, Text),
        ENTITY_FIELD(Comment, memberPicUrl, Text),
        ENTITY_FIELD(Comment, comment, Text),
        ENTITY_FIELD(Comment, serviceRate, Integer),
        ENTITY_FIELD(Comment, qualityRate, Integer),
        ENTITY_FIELD(Comment, enviromentRate, Integer),
        ENTITY_FIELD(Comment, cpRate, Integer),
        ENTITY_FIELD(Comment, recordTime, Time),
        ENTITY_FIELD(Comment, memberID, Id),
        ENTITY_FIELD(Comment, storeID, Id)};
};

static_assert(sizeof(Comment) == EntityInfo<Comment>::fields.size() * sizeof(Field),
              "every field of Comment is listed");
