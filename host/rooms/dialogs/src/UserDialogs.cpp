#include "dialogs/UserDialogs.h"

#include "orvane/StringTable.h"

namespace orvane {

void TellNothingToSave(UserDialogs& dialogs, QWidget* owner)
{
    dialogs.MessageBox(owner, LoadResString(IDS_NO_DATA_TO_SAVE), LoadResString(IDS_SAVE_CAPTION),
                       MsgButtons::Ok, MsgIcon::None);
}

}  // namespace orvane
