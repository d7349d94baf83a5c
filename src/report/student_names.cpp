#include "report/student_names.h"

#include <QString>

#include <algorithm>
#include <cctype>

namespace
{

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// As foldedWords below, for a text of ASCII alone, which has no accents and
// folds to lower case: most names, in a tenth of the time.
std::string asciiKey(std::string_view text)
{
    std::string key;
    key.reserve(text.size() + 1);
    bool inWord = false;
    for (const char c : text) {
        const bool blank = c == ' ' || (c >= '\t' && c <= '\r');
        if (blank || c == '_' || c == ',') {
            if (inWord) {
                key += ' ';
            }
            inWord = false;
        } else {
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            inWord = true;
        }
    }
    if (inWord) {
        key += ' ';
    }
    return key;
}

// Case and accents folded, the letters of each word, each followed by a blank.
std::string foldedKey(std::string_view text)
{
    if (isAscii(text)) {
        return asciiKey(text);
    }
    std::string key;
    QString word;
    const auto endWord = [&] {
        if (!word.isEmpty()) {
            key += word.toCaseFolded().toStdString() + ' ';
            word.clear();
        }
    };
    const QString name = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (const QChar c : name.normalized(QString::NormalizationForm_D)) {
        // Accents, and what has no look of its own (a byte order mark, a
        // zero-width space, a soft hyphen), are no part of a name.
        if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Other_Format) {
            continue;
        }
        if (c.isSpace() || c == u'_' || c == u',') {
            endWord();
        } else {
            word += c;
        }
    }
    endWord();
    return key;
}

// A key's first and last word, each with its blank.
std::string_view firstWordOf(std::string_view key)
{
    return key.substr(0, key.find(' ') + 1);
}

std::string_view lastWordOf(std::string_view key)
{
    const std::size_t before =
        key.size() < 2 ? std::string_view::npos : key.rfind(' ', key.size() - 2);
    return key.substr(before == std::string_view::npos ? 0 : before + 1);
}

constexpr std::size_t kCandidates = 5;

} // namespace

std::string nameKey(std::string_view name)
{
    const std::size_t comma = name.find(',');
    if (comma == std::string_view::npos || name.find(',', comma + 1) != std::string_view::npos) {
        return foldedKey(name);
    }
    // "Last, First": the given names first.
    return foldedKey(name.substr(comma + 1)) + foldedKey(name.substr(0, comma));
}

namespace
{

// "ann marie lee " gives "ann lee ", and "ann " "ann ann ".
std::string endsOf(std::string_view key)
{
    return std::string(firstWordOf(key)).append(lastWordOf(key));
}

} // namespace

void NameIndex::Chains::add(std::string_view key, int student)
{
    const auto [it, fresh] = ends.emplace(key, std::pair(student, student));
    if (!fresh) {
        // At the end of the chain, so that each lists the students in order.
        next[static_cast<std::size_t>(it->second.second)] = student;
        it->second.second = student;
    }
}

std::vector<int> NameIndex::Chains::of(std::string_view key) const
{
    std::vector<int> students;
    const auto found = ends.find(key);
    for (int s = found == ends.end() ? -1 : found->second.first; s >= 0;
         s = next[static_cast<std::size_t>(s)]) {
        students.push_back(s);
    }
    return students;
}

NameIndex::NameIndex(std::vector<std::string_view> keys) : keys_(std::move(keys))
{
    // Views of these stay put: the vector is not grown past its first size.
    endsKeys_.reserve(keys_.size());
    for (Chains* chains : {&whole_, &ends_}) {
        chains->ends.reserve(keys_.size());
        chains->next.assign(keys_.size(), -1);
    }
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (!keys_[i].empty()) {
            whole_.add(keys_[i], static_cast<int>(i));
            ends_.add(endsKeys_.emplace_back(endsOf(keys_[i])), static_cast<int>(i));
        }
    }
}

NameIndex::Match NameIndex::find(std::string_view name) const
{
    const std::string key = nameKey(name);
    if (key.empty()) {
        return {};
    }
    for (const auto& [chains, wanted] : {std::pair(&whole_, key), std::pair(&ends_, endsOf(key))}) {
        std::vector<int> students = chains->of(wanted);
        if (students.size() == 1) {
            return {students.front(), false, {}};
        }
        if (!students.empty()) {
            return {-1, true, std::move(students)};
        }
    }
    // None: those who share its last or first word, as a hint.
    Match match;
    for (const std::string_view word : {lastWordOf(key), firstWordOf(key)}) {
        for (std::size_t i = 0; i < keys_.size() && match.candidates.size() < kCandidates; ++i) {
            const int student = static_cast<int>(i);
            const bool shares = !keys_[i].empty() &&
                                (firstWordOf(keys_[i]) == word || lastWordOf(keys_[i]) == word);
            if (shares && std::find(match.candidates.begin(), match.candidates.end(), student) ==
                              match.candidates.end()) {
                match.candidates.push_back(student);
            }
        }
    }
    return match;
}
