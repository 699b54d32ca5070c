#!/usr/bin/env python3
"""The key reference docs/keys.md: every skin key with its group, kind, what it
draws, its value in the shipped skins and the picture KivKeyProbe took of it,
and the list of keys that change no pixel in the probe's still scene, each
with the reason.

    keys_doc.py KEYS_TSV SKINS_DIR OUT_MD     writes the page
    keys_doc.py --check KEYS_TSV PAGE_MD      exit 1 when the page's keys that
                                              change no pixel (their number and
                                              names) differ from the table's

KEYS_TSV is KivKeyProbe's table (key, kind, changed pixels, changed area,
picture file, switches); the pictures lie beside it. tools/docs.sh runs both."""
import os
import re
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
    "DisableBmp": "picture of the {e} when it is disabled (the window lacks that box, or its close command is "
                  "greyed)",
    "ButtonWidth": "width of the caption buttons", "ButtonHeight": "height of the caption buttons",
    "ButtonSpace": "gap between the caption buttons",
    "IconX": "left position of the window icon in the caption", "IconY": "top position of the window icon",
    "IconWidth": "width of the window icon's click area (the icon is drawn 16 x 16)",
    "IconHeight": "height of the window icon's click area (the icon is drawn 16 x 16)",
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
    "ListBoxBorderColor": "border colour of the drop-down list", "ListBoxBackgroundColor": "background colour of the drop-down list and of the face under the selected item",
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
CHECK_STATES = {"Unchecked": "unchecked", "Checked": "checked", "Mixed": "indeterminate",
                "Implicit": "implicit", "Excluded": "excluded"}
CHECK_NOTES = {
    "Mixed": "A three-state box (`BS_3STATE`, `BS_AUTO3STATE`) that holds `BST_INDETERMINATE` shows the Mixed "
             "set; where the skin has no Mixed picture for a state, the Checked picture of that state is used.",
    "Implicit": "The set shown while a program holds the box with `BM_SETSTATE` 2; since that also pushes the box, "
                "its Pressed picture shows first.",
    "Excluded": "The fifth state of the visual-styles check box (a box left out of a selection). No state of the "
                "standard check box maps to it, so the engine never draws these four pictures and a skin may leave "
                "them empty; they are kept so that every skin file has the same keys.",
}
MOUSE_STATES = {"Normal": "normal", "Hot": "under the mouse", "Pressed": "pressed", "Disabled": "disabled"}


MOUSE = "the mouse over it"
PRESSED_PART = "a scroll bar part held with the mouse: the thumb while dragged, an arrow while pressed"
DROPPED = "the drop-down list, which is open only while the user picks from it"
# Why a key changes no pixel in the still scene. A key that shows nothing and
# has no entry here is listed as unexplained.
REASONS = {
    "WindowEdge\\CaptionBar\\IconWidth": "it sizes the click area of the caption icon only; the icon is drawn 16 x 16",
    "WindowEdge\\CaptionBar\\IconHeight": "it sizes the click area of the caption icon only; the icon is drawn 16 x 16",
    "WindowEdge\\RestoreButton\\DefaultBmp": "a maximised window only; the scene's windows are not maximised",
    "WindowEdge\\RestoreButton\\DisableBmp": "a maximised window without a maximise box only",
    "WindowEdge\\RestoreButton\\HotBmp": "a maximised window with the mouse over the button",
    "WindowEdge\\RestoreButton\\SelectedBmp": "a maximised window with the button pressed",
    "WindowEdge\\MenuBar\\SelectedItem": "a menu bar item that is open or under the mouse",
    "SystemControl\\CheckBox\\ImplicitNormal": "a box held by BM_SETSTATE 2 once the mouse has passed over it and "
                                                "left; BM_SETSTATE itself shows the pressed picture (ImplicitPressed)",
    "SystemControl\\EditControl\\HotColor": "an edit box under the mouse or with the keyboard focus (the scene's "
                                             "focus is on the default push button)",
    "SystemControl\\ComboBox\\ListBoxVScrollSize": "an open drop-down list, where it sets the width of the list's bar",
    "SystemControl\\ComboBox\\ButtonSelectColor": "the drop-down button while it is pressed",
    "SystemControl\\SliderControl\\ThumbSelect": "the thumb while it is dragged",
    "SystemControl\\TabControl\\Transparent": "the strip then shows the dialog's background, which the shipped skin "
                                              "paints in the same colour as the strip's BackgroundColor",
}
for _button in ("Close", "Max", "Min", "Restore"):
    REASONS.setdefault(f"WindowEdge\\{_button}Button\\HotBmp", MOUSE)
    REASONS.setdefault(f"WindowEdge\\{_button}Button\\SelectedBmp", "the button pressed with the mouse")
for _key in ("Button\\HotBmp", "CheckBox\\UncheckedHot", "CheckBox\\CheckedHot", "CheckBox\\MixedHot",
             "CheckBox\\ImplicitHot", "RadioButton\\UncheckedHot", "RadioButton\\CheckedHot",
             "SliderControl\\ThumbHot", "TabControl\\ItemHotColor"):
    REASONS[f"SystemControl\\{_key}"] = MOUSE
for _state in ("Normal", "Hot", "Pressed", "Disabled"):
    REASONS[f"SystemControl\\CheckBox\\Excluded{_state}"] = (
        "no state of the standard check box maps to the excluded pictures; the engine never draws them")
for _group in ("ListBox", "VScrollBar", "HScrollBar", "ComboBox"):
    REASONS[f"SystemControl\\{_group}\\SBarSliderColor"] = PRESSED_PART
    REASONS[f"SystemControl\\{_group}\\SBarSliderBorderColor"] = PRESSED_PART
for _prop in ("ListBoxBorderColor", "ListBoxBackgroundColor", "ListBoxSelectItemColor"):
    REASONS[f"SystemControl\\ComboBox\\{_prop}"] = DROPPED
for _prop in ("SBarColor", "SBarBorderColor", "SBarBackground"):
    REASONS[f"SystemControl\\ComboBox\\{_prop}"] = "the scroll bar of the drop-down list, which is open only while the user picks from it"
REASONS["SystemControl\\ComboBox\\SBarSliderColor"] = REASONS["SystemControl\\ComboBox\\SBarSliderBorderColor"] = (
    "the thumb of the drop-down list's scroll bar while dragged")
UNEXPLAINED = "no reason recorded: check whether the engine still draws it"


def read_table(tsv):
    return [line.rstrip("\n").split("\t") for line in open(tsv, encoding="utf-8") if line.strip()]


def unchanged_keys(rows):
    return [row[0] for row in rows if int(row[2]) == 0]


def describe(key):
    group, element, prop = key.split("\\")
    e = ELEMENTS.get(element, element)
    if element in ("CheckBox", "RadioButton"):
        for state, words in CHECK_STATES.items():
            if prop.startswith(state):
                mouse = MOUSE_STATES.get(prop[len(state):], prop[len(state):])
                note = CHECK_NOTES.get(state, "") if element == "CheckBox" else ""
                return f"{e}, {words}, {mouse}." + (" " + note if note else "")
    if element == "MenuBar" and prop == "Background":
        return "picture behind the whole menu bar."
    if element == "Edge" and prop == "BackgroundColor":
        return "dialog background colour (used with EnableBackColor)."
    if element == "Edge" and prop == "Background":
        return "dialog background picture (used with EnableBackground)."
    if element == "Button" and prop == "DefaultBmp":
        return "face of the push button that has the keyboard focus."
    if element == "Button" and prop == "PressedBmp":
        return "face of the push button while pressed (by the mouse, the space bar or `BM_SETSTATE`)."
    return PROPERTIES.get(prop, prop).format(e=e) + "."


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


def write_page(tsv, skins, out):
    shipped = sorted(d for d in os.listdir(skins) if os.path.isfile(os.path.join(skins, d, "project.kivxml")))
    values = {name: skin_values(os.path.join(skins, name, "project.kivxml")) for name in shipped}
    rows = read_table(tsv)
    unchanged = unchanged_keys(rows)
    pictures = os.path.relpath(os.path.dirname(os.path.abspath(tsv)), os.path.dirname(os.path.abspath(out)))
    lines = [
        "# Skin keys",
        "",
        f"A skin sets {len(rows)} keys. Each section below names a key's group (`WindowEdge`: frame windows; "
        "`SystemControl`: the standard controls), its kind, what it draws and its value in the shipped skins "
        f"({', '.join('`' + s + '`' for s in shipped)}).",
        "",
        "This page and its pictures are made by `bash tools/docs.sh` from the current build; do not edit them by "
        "hand. `KivKeyProbe` changes one key of the default skin (a colour becomes magenta, a picture a magenta "
        "block, a flag is switched over, a size grows), compiles and loads the probe skin with the engine itself, "
        "shows the same still scene and compares it with the unchanged skin (a key that draws only behind a "
        "switch, like the borders behind `EnableSizeCtl`, gets that switch in both). Pixels that changed keep "
        "their colour and are outlined in red; everything else is faded. The scene is an active dialog frame "
        "with a menu bar, an icon and one of every standard control, its default push button focused, and an "
        "inactive frame beside it that holds the states a program can show without the mouse: buttons held "
        "pressed, indeterminate and implicit check boxes, disabled ones, a picture control and a tab strip "
        "without a selected tab. The active frame has no minimise box and the inactive one no maximise box and "
        "a greyed close command, so every caption button shows its disabled picture too.",
        "",
        f"{len(rows) - len(unchanged)} keys change pixels in that scene. The other {len(unchanged)} belong to a "
        "state a still scene cannot hold (the mouse over a control, a drag, an open drop-down list, a maximised "
        "window) or are not drawn; [the list](#keys-that-change-no-pixel) says why for each.",
        "",
        "| # | Key | Kind | " + " | ".join(shipped) + " | Changed pixels |",
        "|---|---|---|" + "---|" * len(shipped) + "---|",
    ]
    for number, row in enumerate(rows, 1):
        key, kind, changed = row[0], int(row[1]), int(row[2])
        anchor = key.replace("\\", "-").lower()
        cells = " | ".join(show(values[s].get(key), kind) for s in shipped)
        lines.append(f"| {number} | [`{key}`](#{anchor}) | {KINDS[kind]} | {cells} | {changed} |")
    lines += ["", '<a id="keys-that-change-no-pixel"></a>', "## Keys that change no pixel", "",
              f"{len(unchanged)} of {len(rows)} keys change no pixel in the still scene:", "",
              "| Key | Why the still scene shows nothing |", "|---|---|"]
    unexplained = []
    for key in unchanged:
        reason = REASONS.get(key)
        if reason is None:
            unexplained.append(key)
            reason = UNEXPLAINED
        lines.append(f"| `{key}` | {reason} |")
    lines.append("")
    for row in rows:
        key, kind, changed, area, picture = row[0], int(row[1]), int(row[2]), row[3], row[4]
        switches = [s.replace("=", " = ") for s in (row[5] if len(row) > 5 else "").split(";") if s]
        group = key.split("\\")[0]
        lines += [f'<a id="{key.replace(chr(92), "-").lower()}"></a>', f"## `{key}`", "",
                  f"Group `{group}` · {KINDS[kind]} · {describe(key)}", ""]
        for s in shipped:
            lines.append(f"- in `{s}`: {show(values[s].get(key), kind)}")
        probe = PROBES[kind]
        if switches:
            probe += " (with " + ", ".join(f"`{s}`" for s in switches) + " for both pictures)"
        if changed:
            where = " ".join(area.split())
            lines.append(f"- probe: {probe}; {changed} pixels changed, in the area {where} (left top right bottom)")
        else:
            lines.append(f"- probe: {probe}; nothing changed in the still scene: {REASONS.get(key, UNEXPLAINED)}")
        lines += ["", f"![{key}]({pictures}/{picture})", ""]
    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    for key in unexplained:
        print(f"keys_doc: {key} changes no pixel and has no recorded reason", file=sys.stderr)


ROW = re.compile(r"^\| \d+ \| \[`([^`]+)`\]\(#[^)]*\) \|.*\| (\d+) \|$")
SUMMARY = re.compile(r"^(\d+) of (\d+) keys change no pixel in the still scene:$")
LISTED = re.compile(r"^\| `([^`]+)` \| ")


def page_unchanged(page):
    """The keys the page's table gives 0 changed pixels, the count its list
    states and the keys the list names."""
    table, listed, stated = [], [], None
    in_list = False
    for line in open(page, encoding="utf-8"):
        line = line.rstrip("\n")
        row = ROW.match(line)
        if row and int(row.group(2)) == 0:
            table.append(row.group(1))
        summary = SUMMARY.match(line)
        if summary:
            stated, in_list = int(summary.group(1)), True
            continue
        if in_list and line.startswith("## "):
            in_list = False
        item = LISTED.match(line) if in_list else None
        if item:
            listed.append(item.group(1))
    return table, stated, listed


def check(tsv, page):
    measured = unchanged_keys(read_table(tsv))
    table, stated, listed = page_unchanged(page)
    problems = []
    if stated != len(measured):
        problems.append(f"the page says {stated} keys change no pixel; the probe finds {len(measured)}")
    for name, keys in (("table", table), ("list", listed)):
        for key in sorted(set(measured) - set(keys)):
            problems.append(f"{key} changes no pixel, but the page's {name} does not say so")
        for key in sorted(set(keys) - set(measured)):
            problems.append(f"the page's {name} says {key} changes no pixel, but it does")
    for problem in problems:
        print(f"keys_doc --check: {problem}")
    if problems:
        print("keys_doc --check: the reference is out of date; regenerate it with: bash tools/docs.sh")
        return 1
    print(f"keys_doc --check: {len(measured)} keys change no pixel, as {page} says")
    return 0


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--check":
        sys.exit(check(sys.argv[2], sys.argv[3]))
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    write_page(*sys.argv[1:4])


if __name__ == "__main__":
    main()
