#include "CKivKeyProbe.h"
#include <objidl.h>
#include <gdiplus.h>
#include <algorithm>
#include "CKivClientDC.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivProbeScene.h"
#include "CKivSkinStore.h"

namespace {

const COLORREF kProbeColour = RGB(255, 0, 255);
const int kProbePictureSide = 16;

// Faded: three quarters of the way to white.
DWORD Fade(DWORD pixel)
{
    DWORD result = 0;
    for (int shift = 0; shift < 24; shift += 8)
    {
        DWORD channel = (pixel >> shift) & 0xFF;
        result |= ((channel + 3 * 255) / 4) << shift;
    }
    return result;
}

bool Encoder(const wchar_t* mimeType, CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(encoders[i].MimeType, mimeType) == 0)
        {
            *clsid = encoders[i].Clsid;
            return true;
        }
    return false;
}

// Keys that draw only when a switch is set: the switches set for the
// reference and the probe alike, so only the key itself makes the difference.
struct KivProbeSwitch
{
    const wchar_t* keyPrefix;  // the whole key unless it ends in '*'
    const wchar_t* switchKey;
    const wchar_t* value;
};
const KivProbeSwitch kSwitches[] = {
    {L"WindowEdge\\Border*", L"WindowEdge\\Edge\\EnableSizeCtl", L"0"},
    {L"WindowEdge\\Edge\\Background", L"WindowEdge\\Edge\\EnableBackground", L"1"},
    {L"WindowEdge\\Edge\\Background", L"WindowEdge\\Edge\\EnableBackColor", L"0"},
    {L"SystemControl\\ProgressControl\\ProgressPic", L"SystemControl\\ProgressControl\\EnablePic", L"1"},
    {L"SystemControl\\ProgressControl\\ProgressColor", L"SystemControl\\ProgressControl\\EnablePic", L"0"},
    {L"SystemControl\\EditControl\\BackgroundBmp", L"SystemControl\\EditControl\\EnableBackgroundColor", L"0"},
    // Teal (RGB 0, 160, 160): a fill colour no shipped picture has.
    {L"SystemControl\\EditControl\\EnableBackgroundColor", L"SystemControl\\EditControl\\BackgroundColor",
     L"10526720"},
};

bool SwitchApplies(const KivProbeSwitch& s, const wchar_t* key)
{
    const size_t length = wcslen(s.keyPrefix);
    const bool prefix = s.keyPrefix[length - 1] == L'*';
    return prefix ? wcsncmp(key, s.keyPrefix, length - 1) == 0 : wcscmp(key, s.keyPrefix) == 0;
}

// The switches for a key, as "key=value;..." (empty when it needs none).
std::wstring SwitchesFor(const wchar_t* key)
{
    std::wstring switches;
    for (const KivProbeSwitch& s : kSwitches)
        if (SwitchApplies(s, key))
            switches += std::wstring(s.switchKey) + L"=" + s.value + L";";
    return switches;
}

}  // namespace

CKivKeyProbe::CKivKeyProbe(HINSTANCE instance, const std::wstring& projectPath, const std::wstring& workDir)
    : m_instance(instance), m_projectPath(projectPath), m_workDir(workDir)
{
}

bool CKivKeyProbe::OpenProject(const KivSchemaEntry* entry, CKivFileBuilder* project)
{
    if (!project->OpenPlainProject(m_projectPath.c_str()))
    {
        m_error = L"cannot read " + m_projectPath + L": " + project->LastError();
        return false;
    }
    for (const KivProbeSwitch& s : kSwitches)
    {
        if (entry == nullptr || !SwitchApplies(s, entry->key))
            continue;
        // The item keeps its kind (a colour stays a colour).
        const KivProjectItem* item = project->FindItem(s.switchKey);
        project->SetItem(s.switchKey, s.value, item ? item->type : kKivItemText);
    }
    return true;
}

bool CKivKeyProbe::Start()
{
    CKivFileBuilder project;
    if (!OpenProject(nullptr, &project))
        return false;
    const RECT area = CKivProbeScene::Area();
    m_width = area.right - area.left;
    m_height = area.bottom - area.top;
    return Capture(project, &m_reference);
}

bool CKivKeyProbe::Capture(const CKivFileBuilder& project, Pixels* pixels)
{
    const std::wstring skin = m_workDir + L"\\probe.kiv";
    if (!const_cast<CKivFileBuilder&>(project).BuildSkin(skin))
    {
        m_error = L"cannot compile the probe skin: " + project.LastError();
        return false;
    }
    if (!CKivSkinStore::LoadSkin(skin.c_str()))
    {
        m_error = L"the engine refused the probe skin";
        return false;
    }
    CKivProbeScene scene(m_instance);
    if (!scene.IsValid())
    {
        m_error = L"cannot create the probe windows";
        return false;
    }
    const RECT area = CKivProbeScene::Area();
    CKivClientDC screen(nullptr);
    CKivHDCMemory copy(screen, m_width, m_height);
    if (!copy.IsValid())
        return false;
    BitBlt(copy.GetDC(), 0, 0, m_width, m_height, screen, area.left, area.top, SRCCOPY);
    pixels->assign(static_cast<size_t>(m_width) * m_height, 0);
    BITMAPINFO info = CKivGraphics::TopDown32(m_width, m_height);
    return GetDIBits(screen, copy.GetBitmap(), 0, m_height, pixels->data(), &info, DIB_RGB_COLORS) ==
           m_height;
}

std::wstring CKivKeyProbe::ProbePicture(const std::wstring& original)
{
    // Keeps the original's size: some pictures are drawn at natural size.
    SIZE size = {kProbePictureSide, kProbePictureSide};
    CKivFileBuilder sizer;
    sizer.SetProjectFile(m_projectPath.c_str());
    SIZE found = {0, 0};
    if (!original.empty() && sizer.QueryPictureSize(sizer.ResolvePicturePath(original), &found) && found.cx > 0 &&
        found.cy > 0)
        size = found;
    const std::wstring path = m_workDir + L"\\probe_" + std::to_wstring(size.cx) + L"x" +
                              std::to_wstring(size.cy) + L".bmp";
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return path;
    // A 24-bit BMP file, every pixel the probe colour.
    CLSID bmp;
    Gdiplus::Bitmap picture(size.cx, size.cy, PixelFormat24bppRGB);
    Gdiplus::Graphics(&picture).Clear(
        Gdiplus::Color(GetRValue(kProbeColour), GetGValue(kProbeColour), GetBValue(kProbeColour)));
    if (!Encoder(L"image/bmp", &bmp) || picture.Save(path.c_str(), &bmp, nullptr) != Gdiplus::Ok)
        return std::wstring();
    return path;
}

bool CKivKeyProbe::ProbeValue(const KivSchemaEntry& entry, CKivFileBuilder* project)
{
    const KivProjectItem* item = project->FindItem(entry.key);
    const std::wstring current = item ? item->value : std::wstring();
    const int number = _wtoi(current.c_str());
    switch (entry.kind)
    {
    case kKivKindFlag:
        project->SetItem(entry.key, number > 0 ? L"0" : L"1", kKivItemText);
        return true;
    case kKivKindInteger:
        project->SetItem(entry.key, std::to_wstring(number + (std::max)(number, 6)), kKivItemText);
        return true;
    case kKivKindLong:
        project->SetItem(entry.key, std::to_wstring(static_cast<long>(kProbeColour)), kKivItemColor);
        return true;
    case kKivKindRect:
    {
        const std::wstring picture = ProbePicture(current);
        if (picture.empty())
            return false;
        project->SetItem(entry.key, picture, kKivItemPicture);
        return true;
    }
    default:
        return false;
    }
}

CKivKeyProbe::Result CKivKeyProbe::Probe(const KivSchemaEntry& entry, const std::wstring& picturePath)
{
    Result result;
    const std::wstring switches = SwitchesFor(entry.key);
    result.switches = switches;
    if (!switches.empty() && switches != m_switchedFor)
    {
        CKivFileBuilder switched;
        m_switchedFor.clear();
        if (!OpenProject(&entry, &switched) || !Capture(switched, &m_switchedReference))
            return result;
        m_switchedFor = switches;
    }
    const Pixels& reference = switches.empty() ? m_reference : m_switchedReference;
    CKivFileBuilder project;
    Pixels probe;
    if (!OpenProject(&entry, &project) || !ProbeValue(entry, &project) || !Capture(project, &probe) ||
        probe.size() != reference.size())
        return result;

    Pixels picture(probe.size());
    RECT box = {m_width, m_height, 0, 0};
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
        {
            const size_t at = static_cast<size_t>(y) * m_width + x;
            const bool changed = (probe[at] & 0xFFFFFF) != (reference[at] & 0xFFFFFF);
            picture[at] = changed ? probe[at] : Fade(probe[at]);
            if (changed)
            {
                ++result.changedPixels;
                box.left = (std::min)(box.left, static_cast<LONG>(x));
                box.top = (std::min)(box.top, static_cast<LONG>(y));
                box.right = (std::max)(box.right, static_cast<LONG>(x + 1));
                box.bottom = (std::max)(box.bottom, static_cast<LONG>(y + 1));
            }
        }
    if (result.changedPixels > 0)
    {
        result.changed = box;
        // A red outline two pixels outside the change, so small changes are found at a glance.
        const RECT ring = {(std::max)(0L, box.left - 3), (std::max)(0L, box.top - 3),
                           (std::min)(static_cast<LONG>(m_width - 1), box.right + 2),
                           (std::min)(static_cast<LONG>(m_height - 1), box.bottom + 2)};
        for (LONG x = ring.left; x <= ring.right; ++x)
            picture[ring.top * m_width + x] = picture[ring.bottom * m_width + x] = 0xFF0000;
        for (LONG y = ring.top; y <= ring.bottom; ++y)
            picture[y * m_width + ring.left] = picture[y * m_width + ring.right] = 0xFF0000;
    }
    result.ok = picturePath.empty() || SavePng(picture, m_width, m_height, picturePath);
    return result;
}

bool CKivKeyProbe::SavePng(const Pixels& pixels, int width, int height, const std::wstring& path)
{
    CLSID png;
    if (!Encoder(L"image/png", &png))
        return false;
    Gdiplus::Bitmap bitmap(width, height, width * 4, PixelFormat32bppRGB,
                           reinterpret_cast<BYTE*>(const_cast<DWORD*>(pixels.data())));
    return bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}
