#include "IKivCryptTransform.h"

BYTE* IKivCryptTransform::TransformInPlace(BYTE* buffer, DWORD* length, BOOL final)
{
    if (buffer == nullptr || length == nullptr)
        return nullptr;
    return Transform(buffer, *length, buffer, length, final);
}
