#include "SaveFailure.h"

#include "orvane/StringTable.h"
#include "orvane/SystemErrorReason.h"

namespace orvane {

std::string SaveFailureText(bool damaged)
{
    std::string text = MakeErrorText("(#2001)");
    if (damaged)
        text += "\n" + LoadResString(IDS_OLD_FILE_DAMAGED);
    return text;
}

std::string SaveFailureText(int systemError, bool existed, bool damaged)
{
    std::string text = MakeErrorText("(#2001)");
    if (systemError != 0)
        text += "\n" + SystemErrorReason(systemError);
    if (existed)
        text += "\n" + LoadResString(damaged ? IDS_OLD_FILE_DAMAGED : IDS_OLD_FILE_KEPT);
    return text;
}

}  // namespace orvane
