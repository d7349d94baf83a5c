#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The system calls the report makes on a class's files, one file per system.
// Paths are UTF-8 on every system; errors are errno values.

// What may end a folder's name within a path; the first is the one put
// between a folder and a name.
extern const std::string_view kPathSeparators;

// The path of a name in a folder, with one separator between them.
inline std::string inFolder(const std::string& folder, std::string_view name)
{
    const bool ends = !folder.empty() && kPathSeparators.find(folder.back()) != std::string::npos;
    std::string path = ends ? folder : folder + kPathSeparators.front();
    return path.append(name);
}

struct FolderEntry {
    std::string name;
    bool folder = false; // a link to a folder is not one: it may lead back up
};

// The entries of a folder but "." and ".."; 0 or the errno.
int listFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// Opens files to read them, keeping the folder of the last one open where the
// system can then find the next file in it by its name alone.
class InputOpener
{
public:
    InputOpener() = default;
    InputOpener(const InputOpener&) = delete;
    InputOpener& operator=(const InputOpener&) = delete;
    ~InputOpener();

    // A descriptor for readInput and closeInput, or -1 with errno set.
    int open(const std::string& path);

private:
    std::string folder_;
    int folderFd_ = -1;
};

// At most `size` bytes: their count, 0 at the end, or -1 with errno set.
std::ptrdiff_t readInput(int fd, char* buffer, std::size_t size);
void closeInput(int fd);

// A file to be written from its start, or null with errno set.
std::FILE* openOutput(const std::string& path);

// Writes each text whole, in order, past the file's stream buffer (flush it
// first); 0 or the errno of the write that failed.
int writeTexts(std::FILE* file, const std::vector<std::string>& texts);

// Readies the allocator for threads that each build up tens of megabytes:
// glibc grows a thread's heap a page at a time otherwise, each step a system
// call that holds up every other thread's page faults.
void prepareMemory();

// The words of the command line, UTF-8. On Windows the console is also set
// to show UTF-8, as the summary is written.
std::vector<std::string> programWords(int argc, char* argv[]);
