#include "XmlNesting.h"

#include <algorithm>
#include <array>

namespace orvane::detail {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

class NestingScan {
public:
    explicit NestingScan(std::string_view text) : m_text(text) {}

    bool DeeperThan(int limit)
    {
        int depth = 0;
        for (std::size_t at = m_text.find('<'); at != kNone;) {
            const std::string_view rest = m_text.substr(at);
            const char second = rest.size() > 1 ? rest[1] : '\0';
            std::size_t end;
            if (rest.starts_with("<!--"))
                end = EndOf("-->", at + 4);
            else if (rest.starts_with("<![CDATA["))
                end = EndOf("]]>", at + 9);
            else if (second == '?')
                end = EndOf("?>", at + 2);
            else
                end = TagEnd(at);
            if (end == kNone)
                return false;
            const bool isTag = second != '!' && second != '?';
            if (isTag && second == '/')
                --depth;
            else if (isTag && m_text[end - 1] != '/' && ++depth > limit)
                return true;
            at = m_text.find('<', end);
        }
        return false;
    }

private:
    // The index of the terminator's last character, searched from from.
    std::size_t EndOf(std::string_view terminator, std::size_t from) const
    {
        const std::size_t found = m_text.find(terminator, from);
        return found == kNone ? kNone : found + terminator.size() - 1;
    }

    // The '>' that closes the tag starting at start, quoted values stepped over.
    std::size_t TagEnd(std::size_t start)
    {
        for (std::size_t from = start + 1;;) {
            const std::size_t close = Next(0, from);
            const std::size_t quote = std::min(Next(1, from), Next(2, from));
            if (close == kNone || quote == kNone || close < quote)
                return close;
            const std::size_t quoteEnd = Next(m_text[quote] == '"' ? 1 : 2, quote + 1);
            if (quoteEnd == kNone)
                return kNone;
            from = quoteEnd + 1;
        }
    }

    // The next '>', '"' or '\'' (by index) at or after from. Positions only
    // grow during a scan, so one found earlier stays good until it is passed.
    std::size_t Next(std::size_t which, std::size_t from)
    {
        std::size_t& known = m_next[which];
        if (known != kUnknown && (known == kNone || known >= from))
            return known;
        return known = m_text.find(">\"'"[which], from);
    }

    static constexpr std::size_t kUnknown = kNone - 1;
    std::string_view m_text;
    std::array<std::size_t, 3> m_next{kUnknown, kUnknown, kUnknown};
};

}  // namespace

bool XmlNestsDeeperThan(std::string_view text, int limit) { return NestingScan(text).DeeperThan(limit); }

}  // namespace orvane::detail
