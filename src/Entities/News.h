#pragma once

#include "Entity.h"

// A news item of the home screen.
struct News
{
    Field bImgUrl;
    Field title;
    Field content;
    Field startTime;
    Field endTime;
};

template <>
struct EntityInfo<News>
{
    static constexpr const char *name = "News";
    static constexpr bool stored = false;
    static constexpr std::array fields{
        ENTITY_FIELD(News, bImgUrl, Text),
        ENTITY_FIELD(News, title, Text),
        ENTITY_FIELD(News, content, Text),
        ENTITY_FIELD(News, startTime, Time),
        ENTITY_FIELD(News, endTime, Time)};
};

static_assert(sizeof(News) == EntityInfo<News>::fields.size() * sizeof(Field),
              "every field of News is listed");
