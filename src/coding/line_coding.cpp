#include "coding/line_coding.h"

#include <cmath>
#include <vector>

namespace
{

constexpr int kBlank = 32;
constexpr int kFirstFiller = 66;
constexpr int kLastFiller = 118;

// Float on purpose: double arithmetic gives another code for draws such as 0.03f.
char codeNearest(float base, float span, float r)
{
    return static_cast<char>(std::lrint(base + span * r));
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto lf = text.find('\n');
        if (lf == std::string_view::npos) {
            lines.push_back(text);
            break;
        }
        auto line = text.substr(0, lf);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text.remove_prefix(lf + 1);
    }
    return lines;
}

std::string asciiLowerHead(std::string_view line, std::size_t length)
{
    std::string head(line.substr(0, length));
    for (char& ch : head) {
        if (ch >= 'A' && ch <= 'Z') {
            ch = static_cast<char>(ch - 'A' + 'a');
        }
    }
    return head;
}

} // namespace

std::string makeCodeLine(int codeNbr, const std::function<float()>& draw)
{
    std::string line;
    for (int i = 0; i < codeNbr; ++i) {
        if (draw() < 0.1f) {
            line += codeNearest(66.0f, 50.0f, draw());
        }
        line += codeNearest(118.0f, 137.0f, draw());
    }
    return line;
}

std::string decode(std::string_view line, int codeNbr)
{
    std::string text;
    for (const char ch : line) {
        const int c = static_cast<unsigned char>(ch);
        int result = 0;
        if (c == kBlank) {
            result = kBlank;
        } else if (c < kFirstFiller) {
            result = c + 209 - codeNbr;
        } else if (c > kLastFiller) {
            result = c - codeNbr - 100;
        } else {
            continue;
        }
        if (result >= 0 && result <= 255) {
            text += static_cast<char>(result);
        }
    }
    return text;
}

std::optional<QueryCoding> codeQueryText(std::string_view input)
{
    const auto lines = splitLines(input);
    if (lines.empty()) {
        return std::nullopt;
    }
    QueryCoding coding{static_cast<int>(lines.front().size()), {}};
    for (const auto line : lines) {
        // Assignment lines and all others are written whole: the coder the window applies
        // is the identity, so only the query header changes.
        if (asciiLowerHead(line, 6) == "query ") {
            coding.output += "query";
            if (line.size() > 7) {
                coding.output += line.substr(7);
            }
        } else {
            coding.output += line;
        }
        coding.output += "\r\n";
    }
    return coding;
}
