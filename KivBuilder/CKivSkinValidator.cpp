#include "CKivSkinValidator.h"
#include "CKivFileBuilder.h"
#include "CKivSkinAuditor.h"
#include "CKivSkinSchema.h"
#include <climits>
#include <set>

namespace {

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

std::wstring RectText(const LONG* r)
{
    return std::to_wstring(r[0]) + L" " + std::to_wstring(r[1]) + L" " + std::to_wstring(r[2]) + L" " +
           std::to_wstring(r[3]);
}

}  // namespace

std::wstring CKivSkinValidator::NumberProblem(int kind, const std::wstring& text)
{
    // Only what the library's reading gives back unchanged: optional sign,
    // digits, nothing else (no blanks, no "#FF0000", no "0x").
    const size_t start = !text.empty() && (text[0] == L'-' || text[0] == L'+') ? 1 : 0;
    bool digits = start < text.size();
    for (size_t i = start; i < text.size(); ++i)
        digits = digits && text[i] >= L'0' && text[i] <= L'9';
    if (!digits)
        return Quoted(text) + L" is not a decimal number";
    long long value = 0;
    for (size_t i = start; i < text.size() && value <= INT_MAX + 1LL; ++i)
        value = value * 10 + (text[i] - L'0');
    if (text[0] == L'-')
        value = -value;
    switch (kind)
    {
    case kKivKindFlag:
        if (value != 0 && value != 1)
            return L"a switch is 0 or 1, not " + Quoted(text);
        break;
    case kKivKindLong:
        if (value < 0 || value > 0xFFFFFF)
            return Quoted(text) + L" is not a colour (a decimal 0x00BBGGRR value from 0 to 16777215)";
        break;
    default:
        if (value < INT_MIN || value > INT_MAX)
            return Quoted(text) + L" does not fit in 32 bits";
        break;
    }
    return std::wstring();
}

std::vector<std::wstring> CKivSkinValidator::CheckProject(const CKivFileBuilder& project)
{
    std::vector<std::wstring> problems;
    bool picturesWhole = true;
    const auto& items = project.Items();
    for (size_t i = 0; i < CKivSkinSchema::Count(); ++i)
    {
        const KivSchemaEntry& entry = CKivSkinSchema::Entries()[i];
        const std::wstring key = entry.key;
        const auto found = items.find(key);
        if (found == items.end())
        {
            problems.push_back(L"missing key " + key);
            continue;
        }
        const KivProjectItem& item = found->second;
        const bool picture = entry.kind == kKivKindRect;
        if (picture != (item.type == kKivItemPicture) || (item.type != kKivItemText && item.type != kKivItemPicture &&
                                                          item.type != kKivItemColor))
        {
            problems.push_back(key + L": item type " + std::to_wstring(item.type) +
                               (picture ? L" but the key takes a picture (type 2)"
                                        : L" but the key takes a number (type 1 or 3)"));
            continue;
        }
        if (!picture)
        {
            const std::wstring problem = NumberProblem(entry.kind, item.value);
            if (!problem.empty())
                problems.push_back(key + L": " + problem);
            continue;
        }
        SIZE size;
        const std::wstring problem = project.CheckPicture(key, item.value, &size);
        if (!problem.empty())
        {
            problems.push_back(problem);
            picturesWhole = false;
        }
    }
    for (const auto& item : items)
        if (CKivSkinSchema::Find(item.first.c_str()) == nullptr)
            problems.push_back(L"unknown key " + item.first + L" (the library ignores it)");
    // Pictures fine one by one may still not fit one atlas together.
    std::wstring layout;
    if (picturesWhole && !project.PlanAtlas(&layout))
        problems.push_back(layout);
    return problems;
}

std::vector<std::wstring> CKivSkinValidator::CheckSkin(const CKivSkinAuditor& skin)
{
    std::vector<std::wstring> problems;
    std::set<std::wstring> known;
    for (size_t i = 0; i < CKivSkinSchema::Count(); ++i)
    {
        const KivSchemaEntry& entry = CKivSkinSchema::Entries()[i];
        const std::wstring key = entry.key;
        known.insert(key);
        const auto found = skin.Keys().find(key);
        if (found == skin.Keys().end())
        {
            problems.push_back(L"missing key " + key);
            continue;
        }
        const CKivSkinAuditor::Value& value = found->second;
        if (entry.kind != kKivKindRect)
        {
            const std::wstring problem = NumberProblem(entry.kind, value.first);
            if (!problem.empty())
                problems.push_back(key + L": " + problem);
            continue;
        }
        const LONG* r = value.rect;
        if (!value.hasRect)
            problems.push_back(key + L": picture without left/top/right/bottom");
        else if (r[2] <= r[0] || r[3] <= r[1])
            problems.push_back(key + L": empty picture rectangle " + RectText(r));
        else if (r[0] < 0 || r[1] < 0 || r[2] > skin.AtlasWidth() || r[3] > skin.AtlasHeight())
            problems.push_back(key + L": rectangle " + RectText(r) + L" lies outside the " +
                               std::to_wstring(skin.AtlasWidth()) + L"x" + std::to_wstring(skin.AtlasHeight()) +
                               L" atlas");
    }
    for (const auto& key : skin.Keys())
        if (!known.count(key.first))
            problems.push_back(L"unknown key " + key.first + L" (the library ignores it)");
    return problems;
}

std::wstring CKivSkinValidator::Describe(const std::wstring& file, const std::wstring& problem)
{
    return Quoted(file) + L": " + problem;
}
