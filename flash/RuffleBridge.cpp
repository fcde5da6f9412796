#include "RuffleBridge.h"

#include "PageValues.h"

#include <orvane/ExternalValue.h>

void RuffleBridge::flashCall(const QVariant& name, const QVariantList& arguments)
{
    orvane::InvokeCall call{TextFromPage(name), {}};
    for (const QVariant& argument : arguments)
        call.arguments.push_back(ValueFromPage(argument));
    emit externalCall(QString::fromStdString(orvane::WriteInvoke(call)));
}
