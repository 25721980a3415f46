// The libFuzzer entry of one target, chosen when it is compiled.

#include "FuzzCommon.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TFuzzTarget target = FindFuzzTarget(QStringLiteral(ZARVOS_FUZZ_TARGET));
    if (!target)
        FuzzFail(__FILE__, __LINE__, QStringLiteral("no target " ZARVOS_FUZZ_TARGET));
    return target(data, size);
}
