#include "report/student_names.h"

#include <QString>

#include <algorithm>

namespace
{

// Case and accents folded, the letters of a word alone.
std::vector<std::string> foldedWords(QStringView text)
{
    std::vector<std::string> words;
    QString word;
    const auto endWord = [&] {
        if (!word.isEmpty()) {
            words.push_back(word.toCaseFolded().toStdString());
            word.clear();
        }
    };
    for (const QChar c : text.toString().normalized(QString::NormalizationForm_D)) {
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
    return words;
}

constexpr std::size_t kCandidates = 5;

} // namespace

std::vector<std::string> nameWords(std::string_view name)
{
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    const qsizetype comma = text.indexOf(u',');
    if (comma < 0 || text.indexOf(u',', comma + 1) >= 0) {
        return foldedWords(text);
    }
    // "Last, First": the given names first.
    std::vector<std::string> words = foldedWords(QStringView(text).mid(comma + 1));
    std::vector<std::string> last = foldedWords(QStringView(text).left(comma));
    words.insert(words.end(), last.begin(), last.end());
    return words;
}

std::string NameIndex::key(const std::vector<std::string>& words)
{
    std::string joined;
    for (const std::string& word : words) {
        joined += word;
        joined += ' ';
    }
    return joined;
}

std::string NameIndex::ends(const std::vector<std::string>& words)
{
    return words.empty() ? std::string() : words.front() + ' ' + words.back();
}

void NameIndex::add(std::string_view first, std::string_view last)
{
    std::vector<std::string> words = nameWords(first);
    const std::vector<std::string> family = nameWords(last);
    words.insert(words.end(), family.begin(), family.end());
    const int student = count_++;
    if (words.empty()) {
        return;
    }
    whole_[key(words)].push_back(student);
    ends_[ends(words)].push_back(student);
    words_[words.front()].push_back(student);
    if (words.size() > 1) {
        words_[words.back()].push_back(student);
    }
}

NameIndex::Match NameIndex::find(std::string_view name) const
{
    const std::vector<std::string> words = nameWords(name);
    if (words.empty()) {
        return {};
    }
    for (const auto* index : {&whole_, &ends_}) {
        const auto found = index->find(index == &whole_ ? key(words) : ends(words));
        if (found == index->end()) {
            continue;
        }
        if (found->second.size() == 1) {
            return {found->second.front(), false, {}};
        }
        return {-1, true, found->second};
    }
    // None: those who share its last or first word, as a hint.
    Match match;
    for (const std::string& word : {words.back(), words.front()}) {
        if (const auto found = words_.find(word); found != words_.end()) {
            for (const int student : found->second) {
                if (match.candidates.size() < kCandidates &&
                    std::find(match.candidates.begin(), match.candidates.end(), student) ==
                        match.candidates.end()) {
                    match.candidates.push_back(student);
                }
            }
        }
    }
    return match;
}
