#include "RuffleBridge.h"

#include "PageValues.h"
#include "StartTrace.h"

#include <orvane/ExternalValue.h>

namespace orvane {

void RuffleBridge::flashCall(const QVariant& name, const QVariantList& arguments)
{
    orvane::InvokeCall call{TextFromPage(name), {}};
    if (StartTrace::Enabled())
        StartTrace::Mark(QString::fromStdString(call.name));
    for (const QVariant& argument : arguments)
        call.arguments.push_back(ValueFromPage(argument));
    emit ExternalCall(QString::fromStdString(orvane::WriteInvoke(call)));
}

}  // namespace orvane
