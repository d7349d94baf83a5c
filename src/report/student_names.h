#pragma once

// Students' names as a class list and a file name give them, compared
// without case, accents, blanks or underscores, "Last, First" as "First Last".
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The words of a name, folded, each followed by a blank: "Núñez, José" and
// "jose_NUNEZ" both give "jose nunez ". Empty when the name has no word.
std::string nameKey(std::string_view name);

// Finds a name among a class list's, never guessing: the same words in the
// same order, or failing that the same first and last word (a middle name
// on one side only), and only when one student has them.
class NameIndex
{
public:
    // Each student's key in the class list's order: the nameKey of the given
    // names, then that of the family name. The index keeps views of them.
    explicit NameIndex(std::vector<std::string_view> keys);

    struct Match {
        int student = -1; // the one found, -1 when none
        bool several = false;
        // Those who have the name when several do; when none does, those of
        // its last or first word.
        std::vector<int> candidates;
    };
    Match find(std::string_view name) const;

private:
    // The students of one key, in order: the first and last in the map,
    // each one's next in `next`.
    struct Chains {
        std::unordered_map<std::string_view, std::pair<int, int>> ends;
        std::vector<int> next;
        void add(std::string_view key, int student);
        std::vector<int> of(std::string_view key) const;
    };
    std::vector<std::string_view> keys_;
    std::vector<std::string> endsKeys_; // what ends_ views
    Chains whole_;
    Chains ends_;
};
