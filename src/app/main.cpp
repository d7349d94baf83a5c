#include "course.h"
#include "question_bank.h"

#include <exception>
#include <iostream>
#include <memory>

int main()
{
    try {
        auto bankLines = std::make_unique<BankLines>();
        int bankCursor = 0;
        const auto entries = courseEntries();
        loadQuestionBank(*bankLines, bankCursor, entries);
        std::cout << "qa-tutor: the question bank is loaded (" << entries.size()
                  << " entries); the study window is not built yet.\n";
    } catch (const std::exception& e) {
        std::cerr << "qa-tutor: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
