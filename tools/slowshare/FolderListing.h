#pragma once

#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

// A folder's entries as a file server's directory query hands them out: the whole folder read
// when a listing starts, each entry with its attributes when asked for, and sent in answers of
// at most 64 KB, each of which costs one round trip. A board of two thousand members lists in
// a handful of answers, as it does from an SMB server.
class FolderListing
{
public:
    struct Entry
    {
        std::string name;
        struct stat attributes = {};
        // Only the type and number are known without them.
        bool hasAttributes = false;
        // Which answer of the listing carries it, from 0.
        int answer = 0;
    };

    explicit FolderListing(const std::string& realPath);
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    bool isOpen() const { return m_dir != nullptr; }

    // Reads the folder afresh, as a listing from its start does.
    void restart(bool withAttributes);
    const std::vector<Entry>& entries() const { return m_entries; }

    // The answers sent so far: an entry of a later one costs a round trip.
    int answersSent = 0;

private:
    DIR* m_dir = nullptr;
    std::vector<Entry> m_entries;
};
