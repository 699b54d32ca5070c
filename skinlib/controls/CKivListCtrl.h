#pragma once
#include <windows.h>
#include <commctrl.h>
#include "CKivViewCtrl.h"

struct KivSkinSettings;

// List view skin: the skin's border colour, and with BackTransparent the
// dialog background behind the items, given to the control as its
// background image. The image is rebuilt only when the control's size or
// place or the skin changes; the control's own image and text background
// come back at detach.
class CKivListCtrl : public CKivViewCtrl
{
public:
    CKivListCtrl() = default;
    ~CKivListCtrl() override;

    // Takes the list view settings; 1 when attached.
    int Setup(const KivSkinSettings& settings);
    void OnSkinChanged(const KivSkinSettings& settings) override;

    int BackTransparent() const { return m_backTransparent; }
    // How many background images the skin has built (for tests).
    int BackgroundBuilds() const { return m_backgroundBuilds; }

protected:
    void AfterNcPaint() override;
    void RestoreControl() override;

private:
    // What the background image depends on.
    struct BackgroundKey
    {
        int width = -1;
        int height = -1;
        POINT position = {};
        unsigned skin = 0;
        bool operator==(const BackgroundKey& other) const;
    };
    BackgroundKey CurrentKey() const;
    // The control shows an image the host gave it.
    bool HasHostImage();
    // Builds and hands over the image; false when the control refused it.
    bool SetBackgroundImage(int width, int height);

    int m_backTransparent = 0;
    BackgroundKey m_built;
    bool m_imageSet = false;
    int m_backgroundBuilds = 0;
    LRESULT m_originalTextBack = CLR_DEFAULT;
};
