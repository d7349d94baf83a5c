#include "bank/question_bank.h"

BankIndexOutOfRange::BankIndexOutOfRange(int index)
    : std::out_of_range("question bank index " + std::to_string(index) + " is out of range (" +
                        std::to_string(kFirstBankIndex) + " to " + std::to_string(kLastBankIndex) +
                        ")"),
      index_(index)
{
}

void loadQuestionBank(BankLines& bankLines, int& bankCursor,
                      const std::vector<std::string>& entries)
{
    for (const std::string& entry : entries) {
        ++bankCursor;
        if (bankCursor < kFirstBankIndex || bankCursor > kLastBankIndex) {
            throw BankIndexOutOfRange(bankCursor);
        }
        bankLines[static_cast<std::size_t>(bankCursor)] = entry;
    }
    bankCursor = 0;
}

std::string_view headerKey(std::string_view entry)
{
    return entry.substr(0, 4);
}

bool isAssignmentHeader(std::string_view entry)
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return entry.size() >= 4 && digit(entry[0]) && digit(entry[1]) && digit(entry[2]) &&
           entry[3] == '.';
}
