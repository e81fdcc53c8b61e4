#include "Likeness.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace chip {

static char Lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

std::string NameKey(std::string_view text)
{
    std::string key;
    for (char c : text)
        if (std::isalnum(static_cast<unsigned char>(c))) key += Lower(c);
    return key;
}

std::string ValueKey(std::string_view text)
{
    std::string key;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) key += Lower(c);
    return key;
}

double Likeness(std::string_view a, std::string_view b)
{
    if (a.empty() && b.empty()) return 1.0;
    // One row of the longest-common-subsequence table at a time.
    std::vector<size_t> row(b.size() + 1, 0);
    for (char ca : a) {
        size_t diagonal = 0;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = ca == b[j - 1] ? diagonal + 1 : std::max(row[j], row[j - 1]);
            diagonal = above;
        }
    }
    return 2.0 * double(row.back()) / double(a.size() + b.size());
}

std::optional<size_t> Closest(std::string_view key, std::span<const std::string> candidates)
{
    std::optional<size_t> best;
    double bestLikeness = kCloseLikeness;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const double likeness = Likeness(key, candidates[i]);
        if (likeness > bestLikeness || (!best && likeness == bestLikeness)) {
            best = i;
            bestLikeness = likeness;
        }
    }
    return best;
}

}  // namespace chip
