#include "CKivSkinSchema.h"
#include <cwchar>

namespace {

const KivSchemaEntry kEntries[] = {
    {L"WindowEdge\\CaptionBar\\ButtonWidth", offsetof(KivSkinSettings, captionBarButtonWidth), 1},
    {L"WindowEdge\\CaptionBar\\ButtonHeight", offsetof(KivSkinSettings, captionBarButtonHeight), 1},
    {L"WindowEdge\\CaptionBar\\ButtonSpace", offsetof(KivSkinSettings, captionBarButtonSpace), 1},
    {L"WindowEdge\\BorderLeft\\Width", offsetof(KivSkinSettings, borderLeftWidth), 1},
    {L"WindowEdge\\BorderTop\\Width", offsetof(KivSkinSettings, borderTopWidth), 1},
    {L"WindowEdge\\BorderRight\\Width", offsetof(KivSkinSettings, borderRightWidth), 1},
    {L"WindowEdge\\BorderBottom\\Width", offsetof(KivSkinSettings, borderBottomWidth), 1},
    {L"WindowEdge\\CaptionBar\\Height", offsetof(KivSkinSettings, captionBarHeight), 1},
    {L"WindowEdge\\MenuBar\\Height", offsetof(KivSkinSettings, menuBarHeight), 1},
    {L"WindowEdge\\CaptionBar\\IconX", offsetof(KivSkinSettings, captionBarIconX), 1},
    {L"WindowEdge\\CaptionBar\\IconY", offsetof(KivSkinSettings, captionBarIconY), 1},
    {L"WindowEdge\\CaptionBar\\IconWidth", offsetof(KivSkinSettings, captionBarIconWidth), 1},
    {L"WindowEdge\\CaptionBar\\IconHeight", offsetof(KivSkinSettings, captionBarIconHeight), 1},
    {L"WindowEdge\\BorderLeft\\ActiveBmp", offsetof(KivSkinSettings, borderLeftActiveBmp), 3},
    {L"WindowEdge\\BorderLeft\\DefaultBmp", offsetof(KivSkinSettings, borderLeftDefaultBmp), 3},
    {L"WindowEdge\\BorderTop\\ActiveBmp", offsetof(KivSkinSettings, borderTopActiveBmp), 3},
    {L"WindowEdge\\BorderTop\\DefaultBmp", offsetof(KivSkinSettings, borderTopDefaultBmp), 3},
    {L"WindowEdge\\BorderRight\\ActiveBmp", offsetof(KivSkinSettings, borderRightActiveBmp), 3},
    {L"WindowEdge\\BorderRight\\DefaultBmp", offsetof(KivSkinSettings, borderRightDefaultBmp), 3},
    {L"WindowEdge\\BorderBottom\\ActiveBmp", offsetof(KivSkinSettings, borderBottomActiveBmp), 3},
    {L"WindowEdge\\BorderBottom\\DefaultBmp", offsetof(KivSkinSettings, borderBottomDefaultBmp), 3},
    {L"WindowEdge\\CaptionBar\\ActiveBmp", offsetof(KivSkinSettings, captionBarActiveBmp), 3},
    {L"WindowEdge\\CaptionBar\\DefaultBmp", offsetof(KivSkinSettings, captionBarDefaultBmp), 3},
    {L"WindowEdge\\CloseButton\\DefaultBmp", offsetof(KivSkinSettings, closeButtonDefaultBmp), 3},
    {L"WindowEdge\\CloseButton\\HotBmp", offsetof(KivSkinSettings, closeButtonHotBmp), 3},
    {L"WindowEdge\\CloseButton\\SelectedBmp", offsetof(KivSkinSettings, closeButtonSelectedBmp), 3},
    {L"WindowEdge\\CloseButton\\DisableBmp", offsetof(KivSkinSettings, closeButtonDisableBmp), 3},
    {L"WindowEdge\\MaxButton\\DefaultBmp", offsetof(KivSkinSettings, maxButtonDefaultBmp), 3},
    {L"WindowEdge\\MaxButton\\HotBmp", offsetof(KivSkinSettings, maxButtonHotBmp), 3},
    {L"WindowEdge\\MaxButton\\SelectedBmp", offsetof(KivSkinSettings, maxButtonSelectedBmp), 3},
    {L"WindowEdge\\MaxButton\\DisableBmp", offsetof(KivSkinSettings, maxButtonDisableBmp), 3},
    {L"WindowEdge\\RestoreButton\\DefaultBmp", offsetof(KivSkinSettings, restoreButtonDefaultBmp), 3},
    {L"WindowEdge\\RestoreButton\\HotBmp", offsetof(KivSkinSettings, restoreButtonHotBmp), 3},
    {L"WindowEdge\\RestoreButton\\SelectedBmp", offsetof(KivSkinSettings, restoreButtonSelectedBmp), 3},
    {L"WindowEdge\\RestoreButton\\DisableBmp", offsetof(KivSkinSettings, restoreButtonDisableBmp), 3},
    {L"WindowEdge\\MinButton\\DefaultBmp", offsetof(KivSkinSettings, minButtonDefaultBmp), 3},
    {L"WindowEdge\\MinButton\\HotBmp", offsetof(KivSkinSettings, minButtonHotBmp), 3},
    {L"WindowEdge\\MinButton\\SelectedBmp", offsetof(KivSkinSettings, minButtonSelectedBmp), 3},
    {L"WindowEdge\\MinButton\\DisableBmp", offsetof(KivSkinSettings, minButtonDisableBmp), 3},
    {L"WindowEdge\\Edge\\EnableSizeCtl", offsetof(KivSkinSettings, edgeEnableSizeCtl), 0},
    {L"WindowEdge\\Edge\\ShadowColor", offsetof(KivSkinSettings, edgeShadowColor), 2},
    {L"WindowEdge\\Edge\\HideShadow", offsetof(KivSkinSettings, edgeHideShadow), 0},
    {L"WindowEdge\\Edge\\EnableRound", offsetof(KivSkinSettings, edgeEnableRound), 0},
    {L"WindowEdge\\Edge\\Background", offsetof(KivSkinSettings, edgeBackground), 3},
    {L"WindowEdge\\Edge\\EnableBackground", offsetof(KivSkinSettings, edgeEnableBackground), 0},
    {L"WindowEdge\\MenuBar\\Background", offsetof(KivSkinSettings, menuBarBackground), 3},
    {L"WindowEdge\\MenuBar\\SelectedItem", offsetof(KivSkinSettings, menuBarSelectedItem), 3},
    {L"WindowEdge\\MenuBar\\EnableCustom", offsetof(KivSkinSettings, menuBarEnableCustom), 0},
    {L"WindowEdge\\Edge\\BackgroundColor", offsetof(KivSkinSettings, edgeBackgroundColor), 2},
    {L"WindowEdge\\Edge\\EnableBackColor", offsetof(KivSkinSettings, edgeEnableBackColor), 0},
    {L"SystemControl\\Button\\NormalBmp", offsetof(KivSkinSettings, buttonNormalBmp), 3},
    {L"SystemControl\\Button\\HotBmp", offsetof(KivSkinSettings, buttonHotBmp), 3},
    {L"SystemControl\\Button\\PressedBmp", offsetof(KivSkinSettings, buttonPressedBmp), 3},
    {L"SystemControl\\Button\\DisabledBmp", offsetof(KivSkinSettings, buttonDisabledBmp), 3},
    {L"SystemControl\\Button\\DefaultBmp", offsetof(KivSkinSettings, buttonDefaultBmp), 3},
    {L"SystemControl\\Button\\Round", offsetof(KivSkinSettings, buttonRound), 1},
    {L"SystemControl\\CheckBox\\UncheckedNormal", offsetof(KivSkinSettings, checkBoxUncheckedNormal), 3},
    {L"SystemControl\\CheckBox\\UncheckedHot", offsetof(KivSkinSettings, checkBoxUncheckedHot), 3},
    {L"SystemControl\\CheckBox\\UncheckedPressed", offsetof(KivSkinSettings, checkBoxUncheckedPressed), 3},
    {L"SystemControl\\CheckBox\\UncheckedDisabled", offsetof(KivSkinSettings, checkBoxUncheckedDisabled), 3},
    {L"SystemControl\\CheckBox\\CheckedNormal", offsetof(KivSkinSettings, checkBoxCheckedNormal), 3},
    {L"SystemControl\\CheckBox\\CheckedHot", offsetof(KivSkinSettings, checkBoxCheckedHot), 3},
    {L"SystemControl\\CheckBox\\CheckedPressed", offsetof(KivSkinSettings, checkBoxCheckedPressed), 3},
    {L"SystemControl\\CheckBox\\CheckedDisabled", offsetof(KivSkinSettings, checkBoxCheckedDisabled), 3},
    {L"SystemControl\\CheckBox\\MixedNormal", offsetof(KivSkinSettings, checkBoxMixedNormal), 3},
    {L"SystemControl\\CheckBox\\MixedHot", offsetof(KivSkinSettings, checkBoxMixedHot), 3},
    {L"SystemControl\\CheckBox\\MixedPressed", offsetof(KivSkinSettings, checkBoxMixedPressed), 3},
    {L"SystemControl\\CheckBox\\MixedDisabled", offsetof(KivSkinSettings, checkBoxMixedDisabled), 3},
    {L"SystemControl\\CheckBox\\ImplicitNormal", offsetof(KivSkinSettings, checkBoxImplicitNormal), 3},
    {L"SystemControl\\CheckBox\\ImplicitHot", offsetof(KivSkinSettings, checkBoxImplicitHot), 3},
    {L"SystemControl\\CheckBox\\ImplicitPressed", offsetof(KivSkinSettings, checkBoxImplicitPressed), 3},
    {L"SystemControl\\CheckBox\\ImplicitDisabled", offsetof(KivSkinSettings, checkBoxImplicitDisabled), 3},
    {L"SystemControl\\CheckBox\\ExcludedNormal", offsetof(KivSkinSettings, checkBoxExcludedNormal), 3},
    {L"SystemControl\\CheckBox\\ExcludedHot", offsetof(KivSkinSettings, checkBoxExcludedHot), 3},
    {L"SystemControl\\CheckBox\\ExcludedPressed", offsetof(KivSkinSettings, checkBoxExcludedPressed), 3},
    {L"SystemControl\\CheckBox\\ExcludedDisabled", offsetof(KivSkinSettings, checkBoxExcludedDisabled), 3},
    {L"SystemControl\\RadioButton\\UncheckedNormal", offsetof(KivSkinSettings, radioButtonUncheckedNormal), 3},
    {L"SystemControl\\RadioButton\\UncheckedHot", offsetof(KivSkinSettings, radioButtonUncheckedHot), 3},
    {L"SystemControl\\RadioButton\\UncheckedPressed", offsetof(KivSkinSettings, radioButtonUncheckedPressed), 3},
    {L"SystemControl\\RadioButton\\UncheckedDisabled", offsetof(KivSkinSettings, radioButtonUncheckedDisabled), 3},
    {L"SystemControl\\RadioButton\\CheckedNormal", offsetof(KivSkinSettings, radioButtonCheckedNormal), 3},
    {L"SystemControl\\RadioButton\\CheckedHot", offsetof(KivSkinSettings, radioButtonCheckedHot), 3},
    {L"SystemControl\\RadioButton\\CheckedPressed", offsetof(KivSkinSettings, radioButtonCheckedPressed), 3},
    {L"SystemControl\\RadioButton\\CheckedDisabled", offsetof(KivSkinSettings, radioButtonCheckedDisabled), 3},
    {L"SystemControl\\GroupBox\\Color", offsetof(KivSkinSettings, groupBoxColor), 2},
    {L"SystemControl\\GroupBox\\Size", offsetof(KivSkinSettings, groupBoxSize), 1},
    {L"SystemControl\\GroupBox\\Round", offsetof(KivSkinSettings, groupBoxRound), 1},
    {L"SystemControl\\GroupBox\\TextColor", offsetof(KivSkinSettings, groupBoxTextColor), 2},
    {L"SystemControl\\StaticText\\Transparent", offsetof(KivSkinSettings, staticTextTransparent), 0},
    {L"SystemControl\\EditControl\\EnableBorder", offsetof(KivSkinSettings, editControlEnableBorder), 0},
    {L"SystemControl\\EditControl\\NormalColor", offsetof(KivSkinSettings, editControlNormalColor), 2},
    {L"SystemControl\\EditControl\\HotColor", offsetof(KivSkinSettings, editControlHotColor), 2},
    {L"SystemControl\\EditControl\\Transparent", offsetof(KivSkinSettings, editControlTransparent), 0},
    {L"SystemControl\\EditControl\\BackgroundColor", offsetof(KivSkinSettings, editControlBackgroundColor), 2},
    {L"SystemControl\\EditControl\\EnableBackgroundColor", offsetof(KivSkinSettings, editControlEnableBackgroundColor), 0},
    {L"SystemControl\\EditControl\\BackgroundBmp", offsetof(KivSkinSettings, editControlBackgroundBmp), 3},
    {L"SystemControl\\PictureControl\\Transparent", offsetof(KivSkinSettings, pictureControlTransparent), 0},
    {L"SystemControl\\ListBox\\BorderColor", offsetof(KivSkinSettings, listBoxBorderColor), 2},
    {L"SystemControl\\ListBox\\BackgroundColor", offsetof(KivSkinSettings, listBoxBackgroundColor), 2},
    {L"SystemControl\\ListBox\\SelectItemColor", offsetof(KivSkinSettings, listBoxSelectItemColor), 2},
    {L"SystemControl\\ListBox\\VScrollSize", offsetof(KivSkinSettings, listBoxVScrollSize), 1},
    {L"SystemControl\\ListBox\\SBarColor", offsetof(KivSkinSettings, listBoxSBarColor), 2},
    {L"SystemControl\\ListBox\\SBarBorderColor", offsetof(KivSkinSettings, listBoxSBarBorderColor), 2},
    {L"SystemControl\\ListBox\\SBarSliderColor", offsetof(KivSkinSettings, listBoxSBarSliderColor), 2},
    {L"SystemControl\\ListBox\\SBarSliderBorderColor", offsetof(KivSkinSettings, listBoxSBarSliderBorderColor), 2},
    {L"SystemControl\\ListBox\\SBarBackground", offsetof(KivSkinSettings, listBoxSBarBackground), 2},
    {L"SystemControl\\ComboBox\\BackgroundColor", offsetof(KivSkinSettings, comboBoxBackgroundColor), 2},
    {L"SystemControl\\ComboBox\\ButtonColor", offsetof(KivSkinSettings, comboBoxButtonColor), 2},
    {L"SystemControl\\ComboBox\\ButtonSelectColor", offsetof(KivSkinSettings, comboBoxButtonSelectColor), 2},
    {L"SystemControl\\ComboBox\\ListBoxBorderColor", offsetof(KivSkinSettings, comboBoxListBoxBorderColor), 2},
    {L"SystemControl\\ComboBox\\ListBoxBackgroundColor", offsetof(KivSkinSettings, comboBoxListBoxBackgroundColor), 2},
    {L"SystemControl\\ComboBox\\ListBoxSelectItemColor", offsetof(KivSkinSettings, comboBoxListBoxSelectItemColor), 2},
    {L"SystemControl\\ComboBox\\ListBoxVScrollSize", offsetof(KivSkinSettings, comboBoxListBoxVScrollSize), 1},
    {L"SystemControl\\ComboBox\\SBarColor", offsetof(KivSkinSettings, comboBoxSBarColor), 2},
    {L"SystemControl\\ComboBox\\SBarBorderColor", offsetof(KivSkinSettings, comboBoxSBarBorderColor), 2},
    {L"SystemControl\\ComboBox\\SBarSliderColor", offsetof(KivSkinSettings, comboBoxSBarSliderColor), 2},
    {L"SystemControl\\ComboBox\\SBarSliderBorderColor", offsetof(KivSkinSettings, comboBoxSBarSliderBorderColor), 2},
    {L"SystemControl\\ComboBox\\SBarBackground", offsetof(KivSkinSettings, comboBoxSBarBackground), 2},
    {L"SystemControl\\VScrollBar\\SBarColor", offsetof(KivSkinSettings, vScrollBarSBarColor), 2},
    {L"SystemControl\\VScrollBar\\SBarBorderColor", offsetof(KivSkinSettings, vScrollBarSBarBorderColor), 2},
    {L"SystemControl\\VScrollBar\\SBarSliderColor", offsetof(KivSkinSettings, vScrollBarSBarSliderColor), 2},
    {L"SystemControl\\VScrollBar\\SBarSliderBorderColor", offsetof(KivSkinSettings, vScrollBarSBarSliderBorderColor), 2},
    {L"SystemControl\\VScrollBar\\SBarBackground", offsetof(KivSkinSettings, vScrollBarSBarBackground), 2},
    {L"SystemControl\\HScrollBar\\SBarColor", offsetof(KivSkinSettings, hScrollBarSBarColor), 2},
    {L"SystemControl\\HScrollBar\\SBarBorderColor", offsetof(KivSkinSettings, hScrollBarSBarBorderColor), 2},
    {L"SystemControl\\HScrollBar\\SBarSliderColor", offsetof(KivSkinSettings, hScrollBarSBarSliderColor), 2},
    {L"SystemControl\\HScrollBar\\SBarSliderBorderColor", offsetof(KivSkinSettings, hScrollBarSBarSliderBorderColor), 2},
    {L"SystemControl\\HScrollBar\\SBarBackground", offsetof(KivSkinSettings, hScrollBarSBarBackground), 2},
    {L"SystemControl\\SliderControl\\ThumbDefault", offsetof(KivSkinSettings, sliderControlThumbDefault), 2},
    {L"SystemControl\\SliderControl\\ThumbHot", offsetof(KivSkinSettings, sliderControlThumbHot), 2},
    {L"SystemControl\\SliderControl\\ThumbSelect", offsetof(KivSkinSettings, sliderControlThumbSelect), 2},
    {L"SystemControl\\SliderControl\\Channel", offsetof(KivSkinSettings, sliderControlChannel), 2},
    {L"SystemControl\\ProgressControl\\ProgressColor", offsetof(KivSkinSettings, progressControlProgressColor), 2},
    {L"SystemControl\\ProgressControl\\ProgressPic", offsetof(KivSkinSettings, progressControlProgressPic), 3},
    {L"SystemControl\\ProgressControl\\EnablePic", offsetof(KivSkinSettings, progressControlEnablePic), 0},
    {L"SystemControl\\ListControl\\BorderColor", offsetof(KivSkinSettings, listControlBorderColor), 2},
    {L"SystemControl\\ListControl\\BackTransparent", offsetof(KivSkinSettings, listControlBackTransparent), 0},
    {L"SystemControl\\TreeControl\\BorderColor", offsetof(KivSkinSettings, treeControlBorderColor), 2},
    {L"SystemControl\\TreeControl\\BackColor", offsetof(KivSkinSettings, treeControlBackColor), 2},
    {L"SystemControl\\TabControl\\ItemNormalColor", offsetof(KivSkinSettings, tabControlItemNormalColor), 2},
    {L"SystemControl\\TabControl\\ItemHotColor", offsetof(KivSkinSettings, tabControlItemHotColor), 2},
    {L"SystemControl\\TabControl\\ItemPressedColor", offsetof(KivSkinSettings, tabControlItemPressedColor), 2},
    {L"SystemControl\\TabControl\\BottomLineColor", offsetof(KivSkinSettings, tabControlBottomLineColor), 2},
    {L"SystemControl\\TabControl\\BottomLineSelect", offsetof(KivSkinSettings, tabControlBottomLineSelect), 2},
    {L"SystemControl\\TabControl\\BackgroundColor", offsetof(KivSkinSettings, tabControlBackgroundColor), 2},
    {L"SystemControl\\TabControl\\Transparent", offsetof(KivSkinSettings, tabControlTransparent), 0},
};

}  // namespace

const KivSchemaEntry* CKivSkinSchema::Entries()
{
    return kEntries;
}

size_t CKivSkinSchema::Count()
{
    return sizeof(kEntries) / sizeof(kEntries[0]);
}

const KivSchemaEntry* CKivSkinSchema::Find(const wchar_t* key)
{
    if (key == nullptr)
        return nullptr;
    for (const KivSchemaEntry& entry : kEntries)
    {
        if (wcscmp(entry.key, key) == 0)
            return &entry;
    }
    return nullptr;
}

int* CKivSkinSchema::IntField(KivSkinSettings& settings, const KivSchemaEntry& entry)
{
    return entry.kind == kKivKindRect ? nullptr : reinterpret_cast<int*>(reinterpret_cast<char*>(&settings) + entry.offset);
}

RECT* CKivSkinSchema::RectField(KivSkinSettings& settings, const KivSchemaEntry& entry)
{
    return entry.kind == kKivKindRect ? reinterpret_cast<RECT*>(reinterpret_cast<char*>(&settings) + entry.offset) : nullptr;
}
