#include "record_files_fixture.h"

testing::AssertionResult isSystemReason(const std::string& reason, OpenFault fault)
{
    const char* expected = "";
    switch (fault) {
    case OpenFault::MissingFolder:
    case OpenFault::MissingFile:
        expected = "No such file or directory";
        break;
    case OpenFault::IsAFolder:
        expected = "Is a directory";
        break;
    case OpenFault::UnderAFile:
        expected = "Not a directory";
        break;
    case OpenFault::NameTooLong:
        expected = "File name too long";
        break;
    case OpenFault::ReadOnly:
        expected = "Permission denied";
        break;
    }
    if (reason == expected) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "\"" << reason << "\", not \"" << expected << "\"";
}
