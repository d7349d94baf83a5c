#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// codeNbr characters with codes 118 to 255, each possibly preceded by a filler with code 66 to
// 116; never CR, LF or blank. Each character takes draws r1 [, r2], r3 from draw, in that order.
std::string makeCodeLine(int codeNbr, const std::function<float()>& draw);

// Blanks stay; codes 66 to 118 are fillers and vanish. A character whose result would fall
// outside 0 to 255 vanishes as well.
std::string decode(std::string_view line, int codeNbr);

struct QueryCoding {
    int codeNumber;
    std::string output;
};

// The text part of coding a query file: codeNumber is the length of the first line and output
// holds every line, each ended with CR LF. Lines end at LF; only a CR right before an LF is
// dropped. nullopt for an empty input.
std::optional<QueryCoding> codeQueryText(std::string_view input);
