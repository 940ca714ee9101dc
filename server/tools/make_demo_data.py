#!/usr/bin/env python3
"""Writes the demo seed files of loyalty-server into server/demo (run from the
repository root). The output is committed; run again only to change the data."""
import json
import math
import os
import random

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo")
rnd = random.Random(20121108)

CENTRE = (31.2304, 121.4737)
HOUR = 3600 * 1000
DAY = 24 * HOUR
START = 1704038400000   # 2024-01-01 00:00 Shanghai
END = 2082729600000     # 2035-12-31 00:00 Shanghai

categories = [
    (1, "Dining", [(101, "Chinese"), (102, "Western"), (103, "Hotpot")]),
    (2, "Cafe & Dessert", [(201, "Coffee"), (202, "Tea house"), (203, "Bakery")]),
    (3, "Shopping", [(301, "Fashion"), (302, "Books"), (303, "Electronics")]),
    (4, "Leisure", [(401, "Cinema"), (402, "Spa"), (403, "Karaoke")]),
]
merchant_of = {1: 1001, 2: 1002, 3: 1003, 4: 1003}

names = {
    101: ["Bund Noodle House", "Jade Dumpling Hall", "Lotus Garden Kitchen", "Old Town Wok"],
    102: ["Riverside Bistro", "Maple Grill", "Little Paris Brasserie", "Silver Spoon"],
    103: ["Red Pepper Hotpot", "Copper Pot", "Mala Corner"],
    201: ["Morning Cup", "Bean & Leaf", "Harbour Roasters"],
    202: ["Moonlight Tea House", "Silk Road Teas", "Peace Tea Room"],
    203: ["Golden Crust Bakery", "Sugar Lane", "Xintiandi Sweets"],
    301: ["Nanjing Road Style", "Threadline"],
    302: ["Paper Lantern Books", "Old Map Bookshop"],
    303: ["Pixel Point", "Circuit Street"],
    401: ["Starlight Cinema", "Grand View Cinema"],
    402: ["Bamboo Spa", "Quiet Stone Spa"],
    403: ["Echo Karaoke", "Neon Box"],
}
streets = ["Zhongshan East 1st Rd", "Nanjing East Rd", "Huaihai Middle Rd", "Fuzhou Rd",
           "Yan'an East Rd", "Xizang Middle Rd", "Henan South Rd", "Sichuan Middle Rd",
           "Fuxing Middle Rd", "Changle Rd", "Julu Rd", "Wujiang Rd"]

stores = []
sid = 0
for main, _, subs in categories:
    for sub, _ in subs:
        for name in names[sub]:
            sid += 1
            # Most stores lie within 6 km of People's Square; every eighth is far out.
            far = sid % 8 == 0
            radius = rnd.uniform(12, 18) if far else rnd.uniform(0.2, 6.0)
            angle = rnd.uniform(0, 2 * math.pi)
            lat = CENTRE[0] + radius / 111.0 * math.sin(angle)
            lon = CENTRE[1] + radius / (111.0 * math.cos(math.radians(CENTRE[0]))) * math.cos(angle)
            tel = "021-6%07d" % rnd.randrange(10**7)
            if sid % 3 == 0:
                # Two numbers: the second a mobile, separated by one space.
                tel += " 13%09d" % rnd.randrange(10**9)
            store = {
                "storeID": sid, "merchantId": merchant_of[main], "mainCategoryID": main,
                "subCategoryID": sub, "isVip": 1 if sid % 2 == 1 else 0,
                "storeName": name, "rate": 2 + sid % 4, "discount": "%d%% off for members" % (5 + sid % 4 * 5),
                "cost": "%d CNY" % (30 + (sid * 37) % 270), "storePicUrl": "img/store-%d.png" % sid,
                "lat": round(lat, 6), "lon": round(lon, 6),
                "address": "%d %s, Shanghai" % (rnd.randrange(1, 999), rnd.choice(streets)),
                "tel": tel,
                "intro": "<p>%s welcomes you to %s.</p><p>Members collect points on every visit "
                         "and find coupons in the app.</p>" % (name, "Shanghai"),
            }
            if main == 1:
                store["reservation"] = {"openMinute": 600, "closeMinute": 1320, "restWeekdays": "",
                                        "seats": 40}
            stores.append(store)

# Fixed booking rules the service tests rely on (see server/README.md).
stores[0]["reservation"] = {"openMinute": 600, "closeMinute": 1320, "restWeekdays": "", "seats": 40}
stores[1]["reservation"] = {"openMinute": 660, "closeMinute": 1260, "restWeekdays": "1", "seats": 30}
stores[2]["reservation"] = {"openMinute": 600, "closeMinute": 1320, "restWeekdays": "", "seats": 8}
stores[8]["reservation"] = {"openMinute": 480, "closeMinute": 1380, "restWeekdays": "67", "seats": 20}

def ids(pred):
    return ",".join(str(s["storeID"]) for s in stores if pred(s))

dining = ids(lambda s: s["mainCategoryID"] == 1)
cafes = ids(lambda s: s["mainCategoryID"] == 2)
def store_by_sub(sub, index=0):
    return [s for s in stores if s["subCategoryID"] == sub][index]

events = []
def event(eid, etype, name, brief, detail, merchant, store_id, enable, total=0, limit=0):
    e = {"eventId": eid, "name": name, "brief": brief, "detail": detail,
         "picture": "event-%d.png" % eid, "detailPic": "event-%d-detail.png" % eid,
         "onlyShowDate": 0, "startTime": START, "endTime": END, "issuedTime": START,
         "clearTime": END, "storeKeys": enable, "merchantId": merchant, "eventType": etype,
         "totalPoints": total, "rewardCondition": total, "rewardCash": 0,
         "storeId": store_id, "enableStoreIds": enable, "couponUseLimit": limit}
    events.append(e)

event(1, 1, "Noodle stamp card", "A free bowl after 10 visits", "Collect 10 stamps at Bund Noodle House.",
      1001, 1, "1", total=10)
event(2, 1, "Dining group card", "8 meals, the 9th is on us", "Valid at every restaurant of the group.",
      1001, 0, dining, total=8)
event(3, 1, "Coffee card", "6 coffees, 1 free", "Valid at our cafes, tea houses and bakeries.",
      1002, 0, cafes, total=6)
event(4, 1, "Book lover card", "12 stamps for a book voucher", "",
      1003, store_by_sub(302)["storeID"], str(store_by_sub(302)["storeID"]), total=12)
event(11, 3, "10% off lunch", "Weekdays 11:00 to 14:00", "Show the coupon before paying.",
      1001, 1, "1", limit=1)
event(12, 3, "Free dessert", "With any drink", "Three desserts, at any of our cafes.",
      1002, 0, cafes, limit=3)
cinema = store_by_sub(401)["storeID"]
event(13, 3, "Two for one", "Two tickets for the price of one", "Mondays to Thursdays.",
      1003, cinema, str(cinema), limit=2)
spa = store_by_sub(402)["storeID"]
event(14, 3, "Spa welcome", "A free foot massage on your first visit", "",
      1003, spa, str(spa), limit=1)
event(15, 3, "Group dinner voucher", "50 CNY off a bill over 300 CNY", "Five uses at any restaurant.",
      1001, 0, dining, limit=5)
far = [s for s in stores if s["storeID"] % 8 == 0][0]
event(16, 3, "Out of town treat", "A gift for the long trip", "",
      far["merchantId"], far["storeID"], str(far["storeID"]), limit=1)

banners = [
    {"storeID": 1, "imgUrl": "img/banner-1.png"},
    {"storeID": 0, "imgUrl": "img/banner-2.png", "clickUrl": "news/2.html"},
    {"storeID": store_by_sub(201)["storeID"], "imgUrl": "img/banner-3.png"},
    {"storeID": 0, "imgUrl": "img/banner-4.png", "clickUrl": "news/4.html"},
]

news_titles = [
    ("Spring menu at the Bund", "Seasonal dishes at all our restaurants."),
    ("Coffee card doubles up", "Two stamps per cup every Tuesday."),
    ("Cinema nights", "Two for one on weekday evenings."),
    ("New bookshop corner", "Paper Lantern Books opens a reading room."),
    ("Members' week", "Extra coupons for every member."),
    ("Dumpling festival", "Watch our chefs fold dumplings by hand."),
]
news = []
for i, (title, content) in enumerate(news_titles, 1):
    news.append({"title": title, "content": content, "bImgUrl": "news/%d.html" % i,
                 "startTime": 1735660800000 + i * 7 * DAY, "endTime": END})

members = [
    {"account": "demo", "password": "demo123", "email": "demo@example.com", "name": "Demo Member",
     "tel": "13800000001"},
    {"account": "lily", "password": "lily2024", "email": "lily@example.com", "name": "Lily", "tel": "13800000002"},
    {"account": "tom", "password": "tompass1", "email": "tom@example.com", "name": "Tom", "tel": "13800000003"},
    {"account": "chen", "password": "chen8888", "email": "chen@example.com", "name": "Chen", "tel": ""},
    {"account": "mei", "password": "mei12345", "email": "mei@example.com", "name": "Mei", "tel": "13800000005",
     # Cards to try scanning on at once: part-filled at store 1, and a full one to exchange at a cafe.
     "pointCards": [{"cardKey": "demo-mei-noodle", "eventId": 1, "point": 4, "lastUpdatedTime": 1738339200000},
                    {"cardKey": "demo-mei-coffee", "eventId": 3, "point": 6, "lastUpdatedTime": 1738425600000}]},
]
texts = ["Great food and friendly staff.", "A bit noisy at lunchtime, but worth it.",
         "Lovely place, I come every week.", "Good value for money.",
         "The service was slow today.", "Best in the neighbourhood!"]
comments = []
for i in range(14):
    comments.append({"account": ["lily", "tom", "chen", "mei"][i % 4], "storeID": [1, 2, 3, 9, 12][i % 5],
                     "comment": texts[i % len(texts)], "serviceRate": 1 + (i * 3) % 5,
                     "qualityRate": 1 + (i * 2) % 5, "enviromentRate": 1 + i % 5, "cpRate": 1 + (i * 4) % 5,
                     "recordTime": 1735660800000 + i * DAY})
# Keys of account and storeID pairs are unique: one comment per member and store.
seen = set()
comments = [c for c in comments if not ((c["account"], c["storeID"]) in seen or seen.add((c["account"], c["storeID"])))]
comments.append({"account": "demo", "storeID": 6, "comment": "My favourite steak in town.",
                 "serviceRate": 4, "qualityRate": 5, "enviromentRate": 4, "cpRate": 3,
                 "recordTime": 1738339200000})

group = {"companyKey": "GRP-DEMO-7Q2X", "skey": "skey-demo-4f9a", "name": "Demo Merchant Group",
         "merchants": [{"merchantId": 1001, "name": "Demo Dining"}, {"merchantId": 1002, "name": "Demo Cafes"},
                       {"merchantId": 1003, "name": "Demo Retail & Leisure"}],
         "versions": [{"bundleId": "net.loyalty.demo", "iosBuild": "1.0",
                       "iosUrl": "http://127.0.0.1:18081/news/update.html"}],
         "members": members}

def write(name, value):
    with open(os.path.join(OUT, name), "w", encoding="utf-8") as f:
        json.dump(value, f, ensure_ascii=False, indent=1)
        f.write("\n")

os.makedirs(os.path.join(OUT, "news"), exist_ok=True)
write("group.json", group)
write("categories.json", [{"mainCategoryID": m, "mainCategoryName": n,
                           "subCategories": [{"subCategoryID": s, "subCategoryName": sn} for s, sn in subs]}
                          for m, n, subs in categories])
write("stores.json", stores)
write("events.json", events)
write("banners.json", banners)
write("news.json", news)
write("comments.json", comments)
page = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><meta name="viewport" content="width=device-width">
<title>%s</title></head>
<body style="font-family: sans-serif; margin: 16px">
<h2>%s</h2><p>%s</p>
<p>Ask at any store of the Demo Merchant Group, or open the app's coupon tab.</p>
</body></html>
"""
for i, (title, content) in enumerate(news_titles, 1):
    with open(os.path.join(OUT, "news", "%d.html" % i), "w", encoding="utf-8") as f:
        f.write(page % (title, title, content))
with open(os.path.join(OUT, "news", "update.html"), "w", encoding="utf-8") as f:
    f.write(page % ("Update", "A new version", "The newest version of the app is on its way."))
print("stores", len(stores), "events", len(events), "comments", len(comments))
