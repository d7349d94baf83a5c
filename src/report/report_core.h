#pragma once

// What every output of the report shares: the class list's order of
// students, ratings as typed, empty texts and time stamps.
#include <QDate>
#include <QTime>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Students as class lists order them: by last name (the name's last word),
// then the rest, letters compared without case or accents, so that every
// system gives the same order.
std::string classListKey(const std::string& student);
// The students of `names` (sorted by name, as the report's maps are) in that order.
template <typename Map>
std::vector<typename Map::const_pointer> inClassListOrder(const Map& byName);

// A rating as typed, read: a digit 0 to 3 (with blanks around it or not),
// nothing typed (the prompt was left empty), or anything else.
inline constexpr char kRatingEmpty = '-';
inline constexpr char kRatingInvalid = 'x';
// '0' to '3', kRatingEmpty or kRatingInvalid.
char ratingCode(std::string_view reply);
inline bool isLowRating(char code)
{
    return code == '0' || code == '1';
}
inline bool isDigitRating(char code)
{
    return code >= '0' && code <= '3';
}

// True when a text holds nothing but blanks and line breaks.
bool isEmptyText(std::string_view text);

// A date and time as milliseconds since the start of the Julian day count,
// so that a record's stamp is kept and compared without a zone.
using Stamp = std::int64_t;
inline constexpr Stamp kNoStamp = -1;
Stamp stampOf(QDate date, QTime time);
QDate stampDate(Stamp stamp);
QTime stampTime(Stamp stamp);

template <typename Map> std::vector<typename Map::const_pointer> inClassListOrder(const Map& byName)
{
    std::vector<std::pair<std::string, typename Map::const_pointer>> keyed;
    keyed.reserve(byName.size());
    for (const auto& entry : byName) {
        keyed.emplace_back(classListKey(entry.first), &entry);
    }
    // Equal keys keep the maps' order.
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<typename Map::const_pointer> ordered;
    ordered.reserve(keyed.size());
    for (const auto& [key, entry] : keyed) {
        ordered.push_back(entry);
    }
    return ordered;
}
