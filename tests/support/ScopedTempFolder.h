#pragma once
// Test helper: a fresh folder under the temporary folder, removed with its
// contents when the object goes.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

class ScopedTempFolder {
public:
    ScopedTempFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvane-test-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed for " + pattern);
        m_path = pattern;
    }
    ~ScopedTempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The folder as a string with a trailing '/'.
    std::string slashed() const { return m_path.string() + "/"; }

private:
    std::filesystem::path m_path;
};
