#include "PlayerControl.h"

#include "InitialProperties.h"
#include "RufflePlayerFactory.h"

std::unique_ptr<CShockwaveFlash> ShownPlayerControl()
{
    orvane::FlashCreateResult created = orvane::RufflePlayerFactory(ORVANE_BIN_DIR)();
    if (created.status != orvane::FlashCreateStatus::Ok)
        return nullptr;
    auto control = std::make_unique<CShockwaveFlash>();
    control->Attach(std::move(created.player), orvane::ControlInitialPropertiesBlock());
    control->resize(1000, 600);
    control->show();
    return control;
}
