#pragma once

// Students' names as a class list and a file name give them, compared
// without case, accents, blanks or underscores, "Last, First" as "First Last".
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The words of a name, folded: "Núñez, José" and "jose_NUNEZ" both give
// {"jose", "nunez"}.
std::vector<std::string> nameWords(std::string_view name);

// Finds a name among a class list's, never guessing: the same words in the
// same order, or failing that the same first and last word (a middle name
// on one side only), and only when one student has them.
class NameIndex
{
public:
    // Each student's given names and family name, in the class list's order.
    void add(std::string_view first, std::string_view last);

    struct Match {
        int student = -1; // the one found, -1 when none
        bool several = false;
        // Those who have the name when several do; when none does, those of
        // its last or first word.
        std::vector<int> candidates;
    };
    Match find(std::string_view name) const;

private:
    static std::string key(const std::vector<std::string>& words);
    static std::string ends(const std::vector<std::string>& words);
    std::unordered_map<std::string, std::vector<int>> whole_;
    std::unordered_map<std::string, std::vector<int>> ends_;
    std::unordered_map<std::string, std::vector<int>> words_; // by first and last word
    int count_ = 0;
};
