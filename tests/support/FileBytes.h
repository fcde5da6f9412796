#pragma once
// Test helpers: a file's bytes read or written whole, as they are, and a
// catalogue's text under another edition.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// "" when the file cannot be read.
inline std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The file's folder is made when missing.
inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes)
{
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The catalogue text with its root's edition replaced.
inline std::string WithEdition(std::string catalogue, const std::string& edition)
{
    const std::size_t at = catalogue.find("edition=\"") + 9;
    return catalogue.replace(at, catalogue.find('"', at) - at, edition);
}
