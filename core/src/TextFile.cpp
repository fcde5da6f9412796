#include "orvane/TextFile.h"

#include "AtomicFile.h"

namespace orvane {

WholeFileWrite WriteWholeFile(const std::string& path, std::string_view bytes)
{
    const std::string_view pieces[] = {bytes};
    const detail::SaveResult saved = detail::SaveWhole(path, pieces);
    return {static_cast<bool>(saved), saved.targetDamaged};
}

}  // namespace orvane
