#!/usr/bin/env python3
"""Writes docs/keys.md: every skin key with its group, kind, what it draws,
its value in the shipped skins and the picture KivKeyProbe took of it.

    keys_doc.py KEYS_TSV SKINS_DIR OUT_MD

KEYS_TSV is KivKeyProbe's table (key, kind, changed pixels, changed area,
picture file); the pictures lie beside it."""
import os
import sys
import xml.etree.ElementTree as ET

KINDS = {0: "flag", 1: "integer", 2: "colour", 3: "picture"}
PROBES = {0: "switched over", 1: "made larger", 2: "set to magenta", 3: "replaced by a magenta picture"}

ELEMENTS = {
    "BorderLeft": "left window border", "BorderTop": "top window border",
    "BorderRight": "right window border", "BorderBottom": "bottom window border",
    "CaptionBar": "caption bar", "CloseButton": "close caption button", "MaxButton": "maximise caption button",
    "RestoreButton": "restore caption button", "MinButton": "minimise caption button",
    "MenuBar": "menu bar", "Edge": "window edge and dialog background",
    "Button": "push button", "CheckBox": "check box glyph", "RadioButton": "radio button glyph",
    "GroupBox": "group box", "StaticText": "static text", "EditControl": "edit box",
    "PictureControl": "picture control", "ListBox": "list box", "ComboBox": "combo box",
    "VScrollBar": "vertical scroll bar", "HScrollBar": "horizontal scroll bar", "SliderControl": "slider (trackbar)",
    "ProgressControl": "progress bar", "ListControl": "list view", "TreeControl": "tree view",
    "TabControl": "tab control",
}

PROPERTIES = {
    "Width": "thickness in pixels of the {e}",
    "Height": "height in pixels of the {e}",
    "ActiveBmp": "picture of the {e} of the active window",
    "DefaultBmp": "picture of the {e} in its normal state (inactive window for borders and caption)",
    "HotBmp": "picture of the {e} while the mouse is over it",
    "SelectedBmp": "picture of the {e} while it is pressed",
    "DisableBmp": "picture of the {e} when it is disabled",
    "ButtonWidth": "width of the caption buttons", "ButtonHeight": "height of the caption buttons",
    "ButtonSpace": "gap between the caption buttons",
    "IconX": "left position of the window icon in the caption", "IconY": "top position of the window icon",
    "IconWidth": "width of the window icon", "IconHeight": "height of the window icon",
    "EnableSizeCtl": "lets the skinned frame be resized by its borders",
    "ShadowColor": "colour of the shadow (glow) window around frames",
    "HideShadow": "hides the shadow window around frames",
    "EnableRound": "rounds the frame's corners",
    "Background": "picture of the {e}",
    "EnableBackground": "draws dialog backgrounds from the Background picture",
    "SelectedItem": "picture behind the selected menu bar item",
    "EnableCustom": "draws the menu bar from the skin",
    "BackgroundColor": "background colour of the {e}",
    "EnableBackColor": "fills dialog backgrounds with BackgroundColor",
    "NormalBmp": "face of the {e} in its normal state", "PressedBmp": "face of the {e} while pressed",
    "DisabledBmp": "face of the {e} when disabled",
    "Round": "corner diameter of the {e}",
    "Color": "frame colour of the {e}", "Size": "frame pen width of the {e}", "TextColor": "caption colour of the {e}",
    "Transparent": "draws the {e} over its parent's background",
    "EnableBorder": "draws the {e}'s border from the skin", "NormalColor": "border colour of the {e}",
    "HotColor": "border colour of the {e} while the mouse is over it or it has the focus",
    "EnableBackgroundColor": "fills the {e} with BackgroundColor", "BackgroundBmp": "background picture of the {e}",
    "BorderColor": "border colour of the {e}", "SelectItemColor": "colour of the {e}'s selected item",
    "VScrollSize": "width of the {e}'s vertical scroll bar", "ListBoxVScrollSize": "width of the drop-down list's scroll bar",
    "SBarColor": "scroll bar colour of the {e}", "SBarBorderColor": "scroll bar border colour of the {e}",
    "SBarSliderColor": "scroll bar thumb colour of the {e}",
    "SBarSliderBorderColor": "scroll bar thumb border colour of the {e}",
    "SBarBackground": "scroll bar track colour of the {e}",
    "ButtonColor": "colour of the {e}'s drop-down button", "ButtonSelectColor": "colour of the drop-down button while pressed",
    "ListBoxBorderColor": "border colour of the drop-down list", "ListBoxBackgroundColor": "background colour of the drop-down list",
    "ListBoxSelectItemColor": "selected item colour of the drop-down list",
    "ThumbDefault": "thumb colour of the {e}", "ThumbHot": "thumb colour while the mouse is over it",
    "ThumbSelect": "thumb colour while it is dragged", "Channel": "channel colour of the {e}",
    "ProgressColor": "bar colour of the {e}", "ProgressPic": "bar picture of the {e}",
    "EnablePic": "draws the {e}'s bar from ProgressPic instead of ProgressColor",
    "BackTransparent": "draws the {e} over its parent's background",
    "BackColor": "background colour of the {e}",
    "ItemNormalColor": "colour of a tab", "ItemHotColor": "colour of a tab under the mouse",
    "ItemPressedColor": "colour of the selected tab", "BottomLineColor": "colour of the line under the tabs",
    "BottomLineSelect": "colour of the line under the selected tab",
}
CHECK_STATES = {"Unchecked": "unchecked", "Checked": "checked", "Mixed": "mixed (indeterminate)",
                "Implicit": "implicitly checked", "Excluded": "excluded"}
MOUSE_STATES = {"Normal": "normal", "Hot": "under the mouse", "Pressed": "pressed", "Disabled": "disabled"}


def describe(key):
    group, element, prop = key.split("\\")
    e = ELEMENTS.get(element, element)
    if element in ("CheckBox", "RadioButton"):
        for state, words in CHECK_STATES.items():
            if prop.startswith(state):
                mouse = MOUSE_STATES.get(prop[len(state):], prop[len(state):])
                return f"{e}, {words}, {mouse}"
    if element == "MenuBar" and prop == "Background":
        return "picture behind the whole menu bar"
    if element == "Edge" and prop == "BackgroundColor":
        return "dialog background colour (used with EnableBackColor)"
    if element == "Edge" and prop == "Background":
        return "dialog background picture (used with EnableBackground)"
    if element == "Button" and prop == "DefaultBmp":
        return "face of the default push button"
    return PROPERTIES.get(prop, prop).format(e=e)


def skin_values(path):
    values = {}
    for item in ET.parse(path).getroot().iter("KivItem"):
        values[item.get("key")] = (item.get("value"), int(item.get("type", "1")))
    return values


def show(value, kind):
    if value is None:
        return "(none)"
    text, _ = value
    if kind == 2:
        number = int(text or 0)
        red, green, blue = number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF
        return f"`#{red:02X}{green:02X}{blue:02X}`"
    if kind == 0:
        return "on" if int(text or 0) > 0 else "off"
    if kind == 3:
        return f"`{text}`" if text else "(no picture)"
    return text


def main():
    tsv, skins, out = sys.argv[1:4]
    shipped = sorted(d for d in os.listdir(skins) if os.path.isfile(os.path.join(skins, d, "project.kivxml")))
    values = {name: skin_values(os.path.join(skins, name, "project.kivxml")) for name in shipped}
    rows = [line.rstrip("\n").split("\t") for line in open(tsv, encoding="utf-8") if line.strip()]
    pictures = os.path.relpath(os.path.dirname(os.path.abspath(tsv)), os.path.dirname(os.path.abspath(out)))
    lines = [
        "# Skin keys",
        "",
        f"A skin sets {len(rows)} keys. Each section below names a key's group (`WindowEdge`: frame windows; "
        "`SystemControl`: the standard controls), its kind, what it draws and its value in the shipped skins "
        f"({', '.join('`' + s + '`' for s in shipped)}).",
        "",
        "The pictures are taken by `tools/keypictures.sh` with the engine itself: `KivKeyProbe` changes that one "
        "key of the default skin (a colour becomes magenta, a picture a magenta block, a flag is switched over, a "
        "size grows), compiles and loads the probe skin, shows the same two windows and compares them with the "
        "unchanged skin (a key that draws only behind a switch, like the borders behind `EnableSizeCtl`, gets "
        "that switch in both). Pixels that changed keep their colour and are outlined in red; everything else is faded. "
        "A key whose state the still scene does not show (the mouse over a control, a pressed button) leaves the "
        "picture faded throughout; its description says which state it belongs to. So does a key whose control "
        "the engine does not draw yet: the picture then shows the system's own drawing, unchanged.",
        "",
        "| # | Key | Kind | " + " | ".join(shipped) + " | Changed pixels |",
        "|---|---|---|" + "---|" * len(shipped) + "---|",
    ]
    for number, row in enumerate(rows, 1):
        key, kind, changed = row[0], int(row[1]), int(row[2])
        anchor = key.replace("\\", "-").lower()
        cells = " | ".join(show(values[s].get(key), kind) for s in shipped)
        lines.append(f"| {number} | [`{key}`](#{anchor}) | {KINDS[kind]} | {cells} | {changed} |")
    lines.append("")
    for row in rows:
        key, kind, changed, area, picture = row[0], int(row[1]), int(row[2]), row[3], row[4]
        switches = [s.replace("=", " = ") for s in (row[5] if len(row) > 5 else "").split(";") if s]
        group = key.split("\\")[0]
        lines += [f'<a id="{key.replace(chr(92), "-").lower()}"></a>', f"## `{key}`", "",
                  f"Group `{group}` · {KINDS[kind]} · {describe(key)}.", ""]
        for s in shipped:
            lines.append(f"- in `{s}`: {show(values[s].get(key), kind)}")
        probe = PROBES[kind]
        if switches:
            probe += " (with " + ", ".join(f"`{s}`" for s in switches) + " for both pictures)"
        if changed:
            where = " ".join(area.split())
            lines.append(f"- probe: {probe}; {changed} pixels changed, in the area {where} (left top right bottom)")
        else:
            lines.append(f"- probe: {probe}; nothing changed in the still scene")
        lines += ["", f"![{key}]({pictures}/{picture})", ""]
    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
