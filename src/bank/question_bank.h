#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kFirstBankIndex = 0;
inline constexpr int kLastBankIndex = 5000;

// Indices 0 to 5000; the course fills 1 to 501 and the rest stay empty.
using BankLines = std::array<std::string, kLastBankIndex + 1>;

class BankIndexOutOfRange : public std::out_of_range
{
public:
    explicit BankIndexOutOfRange(int index);
    int index() const { return index_; }

private:
    int index_;
};

// Stores the entries from bankCursor + 1 on, one index per entry, and leaves
// bankCursor at 0. Throws BankIndexOutOfRange for an entry whose index would
// fall outside 0 to 5000; the entries before it stay stored.
void loadQuestionBank(BankLines& bankLines, int& bankCursor,
                      const std::vector<std::string>& entries);

// What identifies an assignment's header entry: its first four characters
// (the whole entry when shorter), such as "005." for assignment 005.
std::string_view headerKey(std::string_view entry);

// Whether an entry is an assignment's header: three digits and a period.
bool isAssignmentHeader(std::string_view entry);
