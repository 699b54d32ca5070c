/* A plain C host of KivAPI.dll: the header compiles as C, the import library
 * links, and the exports behave as documented. */
#include <windows.h>
#include "KivAPI.h"
#include "KivHostExpect.h"

int main(void)
{
    static const char* names[] = {"KivInitialize", "KivLoadSkin", "KivRun", "KivStop",
                                  "KivGetClass", "KivAddFilterForCaption", "KivAddFilterForID",
                                  "KivDotNETApp"};
    HMODULE module = GetModuleHandleW(L"KivAPI.dll");
    size_t i;
    EXPECT(module != NULL);
    for (i = 0; i < sizeof(names) / sizeof(names[0]); ++i)
        EXPECT(GetProcAddress(module, names[i]) != NULL);

    EXPECT(KivInitialize() == 1);
    EXPECT(KivInitialize() == 1);
    EXPECT(KivGetClass() == 1);
    EXPECT(KivStop() == 0);                         /* nothing installed yet */
    EXPECT(KivLoadSkin(L"Z:\\no\\such\\skin.kiv") == 0);
    EXPECT(KivRun() != 0);
    EXPECT(KivRun() == 0);                          /* already installed */
    EXPECT(KivLoadSkin(L"Z:\\no\\such\\skin.kiv") == 0);
    EXPECT(KivStop() != 0);
    EXPECT(KivStop() == 0);
    EXPECT(KivRun() != 0);
    EXPECT(KivStop() != 0);
    KivAddFilterForCaption(L"Open");
    KivAddFilterForCaption(L"");
    KivAddFilterForID(1001);
    EXPECT(KivDotNETApp() != NULL);
    EXPECT(KivDotNETApp() == KivDotNETApp());

    return KIV_HOST_RESULT();
}
