#!/usr/bin/env python3
"""Generates the pictures and the plain project of the shipped skins.

Each skin is one theme table below. Running the script rewrites
skins/<name>/*.bmp and skins/<name>/project.kivxml; the build compiles the
plain project with kivtool. Pictures are 24-bit BMPs. Pure black RGB(0,0,0)
is transparent when the library draws a picture, so it is used only where
the parent should show through (corners of rounded faces, caption button
backgrounds); every visible dark pixel is at least RGB(1,1,1).

Usage: make_skin_pictures.py [SKINS_DIR]   (default: ../skins beside this file)
"""
import math
import os
import struct
import sys

CLEAR = (0, 0, 0)  # transparent when drawn by the library


def rgb(hex_text):
    value = int(hex_text.lstrip('#'), 16)
    return ((value >> 16) & 255, (value >> 8) & 255, value & 255)


def colorref(colour):
    r, g, b = colour
    return r | (g << 8) | (b << 16)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def visible(colour):
    # Keep visible pixels off the transparent key colour.
    return (1, 1, 1) if colour == CLEAR else colour


class Picture:
    def __init__(self, width, height, fill=CLEAR):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.pixels[y][x] = colour

    def outline(self, x0, y0, x1, y1, colour, thickness=1):
        self.rect(x0, y0, x1, y0 + thickness, colour)
        self.rect(x0, y1 - thickness, x1, y1, colour)
        self.rect(x0, y0, x0 + thickness, y1, colour)
        self.rect(x1 - thickness, y0, x1, y1, colour)

    def save(self, path):
        row = (self.width * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.height - 1, -1, -1):
            line = bytearray()
            for r, g, b in self.pixels[y]:
                line += bytes((b, g, r))
            line += b'\0' * (row - len(line))
            data += line
        header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.width, self.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, 'wb') as out:
            out.write(header + info + data)


def rounded_face(width, height, radius, border, top, bottom, inner=None, outside=CLEAR):
    """A face with a one-pixel border, a vertical gradient and round corners.
    Edge pixels are blended towards the border so the curve reads smoothly."""
    pic = Picture(width, height, outside)
    for y in range(height):
        fill = mix(top, bottom, y / max(1, height - 1))
        for x in range(width):
            # Distance from the corner circle's centre, only inside corner boxes.
            cx = radius - 0.5 if x < radius else (width - radius - 0.5 if x >= width - radius else x)
            cy = radius - 0.5 if y < radius else (height - radius - 0.5 if y >= height - radius else y)
            d = math.hypot(x - cx, y - cy)
            edge = radius - 0.5 if (cx != x and cy != y) else None
            if edge is not None and d > edge + 0.5:
                continue  # outside the rounded corner: parent shows through
            on_border = (x == 0 or y == 0 or x == width - 1 or y == height - 1 or
                         (edge is not None and d > edge - 0.5))
            if on_border:
                pic.set(x, y, visible(border))
            elif inner is not None and (x == 1 or y == 1 or x == width - 2 or y == height - 2 or
                                        (edge is not None and d > edge - 1.5)):
                pic.set(x, y, visible(inner))
            else:
                pic.set(x, y, visible(fill))
    return pic


def disc(size, radius, colour, background, picture=None, centre=None, outside_clear=True):
    """Anti-aliased filled circle drawn over a picture (or a new one)."""
    pic = picture or Picture(size, size, CLEAR if outside_clear else background)
    c = centre if centre is not None else (size - 1) / 2.0
    for y in range(pic.height):
        for x in range(pic.width):
            d = math.hypot(x - c, y - c)
            coverage = max(0.0, min(1.0, radius + 0.5 - d))
            if coverage <= 0.0:
                continue
            under = pic.pixels[y][x]
            if under == CLEAR:
                if coverage < 0.35:
                    continue
                under = background
            pic.set(x, y, visible(mix(under, colour, coverage)))
    return pic


# --- caption buttons -------------------------------------------------------

def glyph_min(pic, colour):
    cx, cy = pic.width // 2, pic.height // 2
    pic.rect(cx - 5, cy + 2, cx + 5, cy + 4, colour)


def glyph_max(pic, colour):
    cx, cy = pic.width // 2, pic.height // 2
    pic.outline(cx - 5, cy - 5, cx + 5, cy + 5, colour)
    pic.rect(cx - 5, cy - 5, cx + 5, cy - 3, colour)


def glyph_restore(pic, colour):
    cx, cy = pic.width // 2, pic.height // 2
    # back window: only the parts not hidden by the front one
    pic.rect(cx - 2, cy - 6, cx + 6, cy - 4, colour)
    pic.rect(cx + 4, cy - 6, cx + 6, cy + 2, colour)
    # front window
    pic.outline(cx - 6, cy - 2, cx + 2, cy + 6, colour)
    pic.rect(cx - 6, cy - 2, cx + 2, cy, colour)


def glyph_close(pic, colour):
    cx, cy = pic.width // 2, pic.height // 2
    for i in range(-5, 5):
        for t in (0, 1):
            pic.set(cx + i + t, cy + i, colour)
            pic.set(cx - i - 1 + t, cy + i, colour)


def caption_button(theme, glyph, state, close=False):
    w, h = theme['button_size']
    backgrounds = {
        'normal': None,
        'hot': theme['close_hot'] if close else theme['button_hot'],
        'pressed': theme['close_pressed'] if close else theme['button_pressed'],
        'disabled': None,
    }
    pic = Picture(w, h, CLEAR)
    background = backgrounds[state]
    if background is not None:
        face = rounded_face(w, h, 3, background, background, background)
        pic = face
    glyph(pic, visible(theme['glyph_disabled'] if state == 'disabled' else theme['glyph']))
    return pic


# --- check boxes and radio buttons ------------------------------------------

STATES = ('Normal', 'Hot', 'Pressed', 'Disabled')


def box_colours(theme, state, filled):
    if state == 'Disabled':
        return theme['box_disabled_border'], theme['box_disabled_fill'], theme['box_disabled_mark']
    if filled:
        fill = {'Normal': theme['accent'], 'Hot': theme['accent_hot'], 'Pressed': theme['accent_pressed']}[state]
        return fill, fill, theme['mark_on_accent']
    border = {'Normal': theme['box_border'], 'Hot': theme['accent_hot'], 'Pressed': theme['accent_pressed']}[state]
    fill = {'Normal': theme['box_fill'], 'Hot': theme['box_fill_hot'], 'Pressed': theme['box_fill_pressed']}[state]
    return border, fill, theme['accent']


def tick(pic, colour):
    points = [(3, 6), (4, 7), (5, 8), (6, 7), (7, 6), (8, 5), (9, 4)]
    for x, y in points:
        pic.set(x, y, colour)
        pic.set(x, y + 1, colour)


def check_box(theme, check, state):
    size = theme['glyph_size']
    filled = check in ('Checked', 'Mixed') and state != 'Disabled'
    border, fill, mark = box_colours(theme, state, filled)
    pic = rounded_face(size, size, 2, border, fill, fill)
    if check == 'Checked':
        tick(pic, visible(mark))
    elif check == 'Mixed':
        pic.rect(3, 5, size - 3, 8, visible(mark))
    elif check == 'Implicit':
        # implied by a parent: a lighter tick on the plain box
        tick(pic, visible(mix(theme['box_fill'], mark, 0.55) if state != 'Disabled' else mark))
    elif check == 'Excluded':
        colour = visible(theme['excluded'] if state != 'Disabled' else mark)
        for i in range(3, size - 3):
            pic.set(i, i, colour)
            pic.set(size - 1 - i, i, colour)
            pic.set(i + 1, i, colour)
            pic.set(size - i, i, colour)
    return pic


def radio(theme, checked, state):
    size = theme['glyph_size']
    border, fill, mark = box_colours(theme, state, False)
    if checked and state != 'Disabled':
        border = {'Normal': theme['accent'], 'Hot': theme['accent_hot'], 'Pressed': theme['accent_pressed']}[state]
        mark = border
    c = (size - 1) / 2.0
    pic = disc(size, size / 2.0 - 0.5, border, theme['dialog'])
    disc(size, size / 2.0 - 2.0, fill, theme['dialog'], picture=pic, centre=c)
    if checked:
        disc(size, 2.9, mark, fill, picture=pic, centre=c)
    return pic


# --- frame -----------------------------------------------------------------

def border_picture(side, thickness, outer, body, length=32):
    horizontal = side in ('top', 'bottom')
    w, h = (length, thickness) if horizontal else (thickness, length)
    pic = Picture(w, h, visible(body))
    if side == 'top':
        pic.rect(0, 0, w, 1, visible(outer))
    elif side == 'bottom':
        pic.rect(0, h - 1, w, h, visible(outer))
    elif side == 'left':
        pic.rect(0, 0, 1, h, visible(outer))
    else:
        pic.rect(w - 1, 0, w, h, visible(outer))
    return pic


def caption(theme, active):
    body = theme['caption_active'] if active else theme['caption_inactive']
    pic = Picture(64, theme['caption_height'], visible(body))
    # A faint highlight under the top edge keeps the bar from looking pasted on.
    pic.rect(0, 0, 64, 1, visible(mix(body, (255, 255, 255), 0.12)))
    return pic


def pictures(theme):
    out = {}
    bw = theme['border']
    for side, name in (('left', 'BorderLeft'), ('top', 'BorderTop'), ('right', 'BorderRight'),
                       ('bottom', 'BorderBottom')):
        out['WindowEdge\\%s\\ActiveBmp' % name] = ('border_%s_active' % side,
                                                   border_picture(side, bw, theme['frame_outer_active'],
                                                                  theme['caption_active']))
        out['WindowEdge\\%s\\DefaultBmp' % name] = ('border_%s_inactive' % side,
                                                    border_picture(side, bw, theme['frame_outer_inactive'],
                                                                   theme['caption_inactive']))
    out['WindowEdge\\CaptionBar\\ActiveBmp'] = ('caption_active', caption(theme, True))
    out['WindowEdge\\CaptionBar\\DefaultBmp'] = ('caption_inactive', caption(theme, False))
    for element, glyph, close in (('MinButton', glyph_min, False), ('MaxButton', glyph_max, False),
                                  ('RestoreButton', glyph_restore, False), ('CloseButton', glyph_close, True)):
        stem = element[:-6].lower()
        for prop, state in (('DefaultBmp', 'normal'), ('HotBmp', 'hot'), ('SelectedBmp', 'pressed'),
                            ('DisableBmp', 'disabled')):
            out['WindowEdge\\%s\\%s' % (element, prop)] = ('caption_%s_%s' % (stem, state),
                                                           caption_button(theme, glyph, state, close))
    # Dialog background picture; the skin uses the colour, the picture matches it.
    out['WindowEdge\\Edge\\Background'] = ('dialog_background', Picture(32, 32, visible(theme['dialog'])))
    bar = Picture(16, theme['menu_height'], visible(theme['menu_bar']))
    bar.rect(0, theme['menu_height'] - 1, 16, theme['menu_height'], visible(theme['menu_line']))
    out['WindowEdge\\MenuBar\\Background'] = ('menubar', bar)
    out['WindowEdge\\MenuBar\\SelectedItem'] = ('menubar_selected',
                                                rounded_face(48, theme['menu_height'], 3, theme['menu_sel_border'],
                                                             theme['menu_sel'], theme['menu_sel']))
    for prop, key in (('NormalBmp', 'normal'), ('HotBmp', 'hot'), ('PressedBmp', 'pressed'),
                      ('DisabledBmp', 'disabled'), ('DefaultBmp', 'default')):
        face = theme['button_faces'][key]
        out['SystemControl\\Button\\%s' % prop] = ('button_%s' % key,
                                                   rounded_face(64, 24, 5, face[0], face[1], face[2],
                                                                inner=face[3] if len(face) > 3 else None))
    for check in ('Unchecked', 'Checked', 'Mixed', 'Implicit', 'Excluded'):
        for state in STATES:
            out['SystemControl\\CheckBox\\%s%s' % (check, state)] = (
                'check_%s_%s' % (check.lower(), state.lower()), check_box(theme, check, state))
    for check in ('Unchecked', 'Checked'):
        for state in STATES:
            out['SystemControl\\RadioButton\\%s%s' % (check, state)] = (
                'radio_%s_%s' % (check.lower(), state.lower()), radio(theme, check == 'Checked', state))
    out['SystemControl\\EditControl\\BackgroundBmp'] = ('edit_background', Picture(16, 16, visible(theme['field'])))
    progress = Picture(16, 16)
    for y in range(16):
        progress.rect(0, y, 16, y + 1, visible(mix(theme['progress_top'], theme['progress_bottom'], y / 15.0)))
    out['SystemControl\\ProgressControl\\ProgressPic'] = ('progress', progress)
    return out


def numbers(theme):
    """Every key that is not a picture: (type, value). Type 1 text, 3 colour."""
    t, c = theme, lambda name: (3, colorref(theme[name]))
    n = lambda value: (1, value)
    v = {
        'WindowEdge\\CaptionBar\\ButtonWidth': n(t['button_size'][0]),
        'WindowEdge\\CaptionBar\\ButtonHeight': n(t['button_size'][1]),
        'WindowEdge\\CaptionBar\\ButtonSpace': n(2),
        'WindowEdge\\BorderLeft\\Width': n(t['border']),
        'WindowEdge\\BorderTop\\Width': n(t['border']),
        'WindowEdge\\BorderRight\\Width': n(t['border']),
        'WindowEdge\\BorderBottom\\Width': n(t['border']),
        'WindowEdge\\CaptionBar\\Height': n(t['caption_height']),
        'WindowEdge\\MenuBar\\Height': n(t['menu_height']),
        'WindowEdge\\CaptionBar\\IconX': n(8),
        'WindowEdge\\CaptionBar\\IconY': n((t['caption_height'] - 16) // 2),
        'WindowEdge\\CaptionBar\\IconWidth': n(16),
        'WindowEdge\\CaptionBar\\IconHeight': n(16),
        'WindowEdge\\Edge\\EnableSizeCtl': n(1),
        'WindowEdge\\Edge\\ShadowColor': c('shadow'),
        'WindowEdge\\Edge\\HideShadow': n(0),
        'WindowEdge\\Edge\\EnableRound': n(0),
        'WindowEdge\\Edge\\EnableBackground': n(0),
        'WindowEdge\\MenuBar\\EnableCustom': n(1),
        'WindowEdge\\Edge\\BackgroundColor': c('dialog'),
        'WindowEdge\\Edge\\EnableBackColor': n(1),
        'SystemControl\\Button\\Round': n(6),
        'SystemControl\\GroupBox\\Color': c('line'),
        'SystemControl\\GroupBox\\Size': n(1),
        'SystemControl\\GroupBox\\Round': n(6),
        'SystemControl\\GroupBox\\TextColor': c('group_text'),
        'SystemControl\\StaticText\\Transparent': n(1),
        'SystemControl\\EditControl\\EnableBorder': n(1),
        'SystemControl\\EditControl\\NormalColor': c('field_border'),
        'SystemControl\\EditControl\\HotColor': c('accent_hot'),
        'SystemControl\\EditControl\\Transparent': n(0),
        'SystemControl\\EditControl\\BackgroundColor': c('field'),
        'SystemControl\\EditControl\\EnableBackgroundColor': n(1),
        'SystemControl\\PictureControl\\Transparent': n(1),
        'SystemControl\\ProgressControl\\ProgressColor': c('progress_bottom'),
        'SystemControl\\ProgressControl\\EnablePic': n(1),
        'SystemControl\\SliderControl\\ThumbDefault': c('accent'),
        'SystemControl\\SliderControl\\ThumbHot': c('accent_hot'),
        'SystemControl\\SliderControl\\ThumbSelect': c('accent_pressed'),
        'SystemControl\\SliderControl\\Channel': c('line'),
        'SystemControl\\ListControl\\BorderColor': c('field_border'),
        'SystemControl\\ListControl\\BackTransparent': n(0),
        'SystemControl\\TreeControl\\BorderColor': c('field_border'),
        'SystemControl\\TreeControl\\BackColor': c('field'),
        'SystemControl\\TabControl\\ItemNormalColor': c('tab'),
        'SystemControl\\TabControl\\ItemHotColor': c('tab_hot'),
        'SystemControl\\TabControl\\ItemPressedColor': c('tab_selected'),
        'SystemControl\\TabControl\\BottomLineColor': c('line'),
        'SystemControl\\TabControl\\BottomLineSelect': c('accent'),
        'SystemControl\\TabControl\\BackgroundColor': c('dialog'),
        'SystemControl\\TabControl\\Transparent': n(0),
    }
    for element in ('ListBox', 'ComboBox'):
        prefix = 'SystemControl\\%s\\' % element
        list_prefix = prefix + ('ListBox' if element == 'ComboBox' else '')
        v[list_prefix + 'BorderColor'] = c('field_border')
        v[list_prefix + 'BackgroundColor'] = c('field')
        v[list_prefix + 'SelectItemColor'] = c('selection')
        v[list_prefix + 'VScrollSize'] = n(14)
    v['SystemControl\\ComboBox\\BackgroundColor'] = c('field')
    v['SystemControl\\ComboBox\\ButtonColor'] = c('combo_button')
    v['SystemControl\\ComboBox\\ButtonSelectColor'] = c('combo_button_hot')
    for element in ('ListBox', 'ComboBox', 'VScrollBar', 'HScrollBar'):
        prefix = 'SystemControl\\%s\\' % element
        v[prefix + 'SBarColor'] = c('scroll_track')
        v[prefix + 'SBarBorderColor'] = c('scroll_track_border')
        v[prefix + 'SBarSliderColor'] = c('scroll_thumb')
        v[prefix + 'SBarSliderBorderColor'] = c('scroll_thumb_border')
        v[prefix + 'SBarBackground'] = c('scroll_background')
    return v


THEMES = {
    'default': {
        'caption_height': 30, 'border': 4, 'button_size': (28, 22), 'menu_height': 24, 'glyph_size': 13,
        # Light captions and bar: the library draws the title and bar items black.
        'caption_active': rgb('C5D6EF'), 'caption_inactive': rgb('E3E6EB'),
        'frame_outer_active': rgb('5A78AA'), 'frame_outer_inactive': rgb('B2B9C4'),
        'glyph': rgb('243350'), 'glyph_disabled': rgb('98A3B4'),
        'button_hot': rgb('A9C0E4'), 'button_pressed': rgb('86A3D3'),
        'close_hot': rgb('D83B3B'), 'close_pressed': rgb('A82424'),
        'dialog': rgb('F6F7F9'), 'menu_bar': rgb('F4F6F9'), 'menu_line': rgb('DEE2E8'),
        'menu_sel': rgb('DCE6F5'), 'menu_sel_border': rgb('96AFD7'),
        # border, gradient top, gradient bottom[, inner highlight]
        'button_faces': {
            'normal': (rgb('AAB2BE'), rgb('FCFCFD'), rgb('ECEFF3'), rgb('FFFFFF')),
            'hot': (rgb('5A78AA'), rgb('F3F7FD'), rgb('DDE8F7'), rgb('FFFFFF')),
            'pressed': (rgb('3A5078'), rgb('C9D7EC'), rgb('D8E3F2')),
            'disabled': (rgb('CDD1D7'), rgb('F3F4F6'), rgb('F3F4F6')),
            'default': (rgb('3A5078'), rgb('FCFCFD'), rgb('E6ECF5'), rgb('9EB4D8')),
        },
        'accent': rgb('3F6FB5'), 'accent_hot': rgb('5A8AD0'), 'accent_pressed': rgb('2D548E'),
        'mark_on_accent': rgb('FFFFFF'), 'excluded': rgb('C0392B'),
        'box_border': rgb('8A94A3'), 'box_fill': rgb('FFFFFF'), 'box_fill_hot': rgb('EEF4FC'),
        'box_fill_pressed': rgb('D5E2F4'),
        'box_disabled_border': rgb('C8CCD2'), 'box_disabled_fill': rgb('F0F1F3'), 'box_disabled_mark': rgb('B4BAC3'),
        'field': rgb('FFFFFF'), 'field_border': rgb('AAB2BE'), 'selection': rgb('CCDEF5'),
        'line': rgb('C8CED6'), 'group_text': rgb('3A5078'), 'shadow': rgb('28303C'),
        'progress_top': rgb('6FA0E0'), 'progress_bottom': rgb('3F6FB5'),
        'combo_button': rgb('E8ECF2'), 'combo_button_hot': rgb('CCDAEE'),
        'scroll_track': rgb('F0F2F5'), 'scroll_track_border': rgb('DCE0E6'), 'scroll_thumb': rgb('BEC6D2'),
        'scroll_thumb_border': rgb('A0AAB9'), 'scroll_background': rgb('F0F2F5'),
        'tab': rgb('E8ECF2'), 'tab_hot': rgb('DCE6F5'), 'tab_selected': rgb('FFFFFF'),
    },
    'dark': {
        'caption_height': 30, 'border': 3, 'button_size': (28, 22), 'menu_height': 24, 'glyph_size': 13,
        # Dark captions and bar: the library draws the title and bar items white,
        # so the caption button glyphs are light as well.
        'caption_active': rgb('263A58'), 'caption_inactive': rgb('303338'),
        'frame_outer_active': rgb('4F8FE0'), 'frame_outer_inactive': rgb('4A4F58'),
        'glyph': rgb('E6EAF0'), 'glyph_disabled': rgb('6A717C'),
        'button_hot': rgb('3D5478'), 'button_pressed': rgb('52698E'),
        'close_hot': rgb('D83B3B'), 'close_pressed': rgb('A82424'),
        'dialog': rgb('2B2D32'), 'menu_bar': rgb('26282D'), 'menu_line': rgb('3A3D44'),
        'menu_sel': rgb('3A4150'), 'menu_sel_border': rgb('4F6A94'),
        'button_faces': {
            'normal': (rgb('555B65'), rgb('41454D'), rgb('383C43'), rgb('4A4F58')),
            'hot': (rgb('5F8FD0'), rgb('4A505A'), rgb('40454E'), rgb('565C66')),
            'pressed': (rgb('4F8FE0'), rgb('2F3A4A'), rgb('344052')),
            'disabled': (rgb('3E4249'), rgb('33363C'), rgb('33363C')),
            'default': (rgb('4F8FE0'), rgb('41454D'), rgb('383C43'), rgb('3D5A82')),
        },
        'accent': rgb('4F8FE0'), 'accent_hot': rgb('6FA6EC'), 'accent_pressed': rgb('3A70B8'),
        'mark_on_accent': rgb('FFFFFF'), 'excluded': rgb('E0605A'),
        'box_border': rgb('7A818C'), 'box_fill': rgb('1F2125'), 'box_fill_hot': rgb('2A3038'),
        'box_fill_pressed': rgb('323B48'),
        'box_disabled_border': rgb('464A51'), 'box_disabled_fill': rgb('2E3035'), 'box_disabled_mark': rgb('5A5F67'),
        'field': rgb('1E2024'), 'field_border': rgb('4A4F58'), 'selection': rgb('2F4A70'),
        'line': rgb('454A52'), 'group_text': rgb('8FB6EA'), 'shadow': rgb('0A0B0D'),
        'progress_top': rgb('6FA6EC'), 'progress_bottom': rgb('3A78C8'),
        'combo_button': rgb('3A3E45'), 'combo_button_hot': rgb('46505E'),
        'scroll_track': rgb('26282D'), 'scroll_track_border': rgb('34373D'), 'scroll_thumb': rgb('555A63'),
        'scroll_thumb_border': rgb('646A74'), 'scroll_background': rgb('26282D'),
        'tab': rgb('33363C'), 'tab_hot': rgb('3C414A'), 'tab_selected': rgb('2B2D32'),
    },
}


def xml_escape(text):
    return (text.replace('&', '&amp;').replace('"', '&quot;').replace('<', '&lt;').replace('>', '&gt;'))


def write_skin(folder, theme):
    os.makedirs(folder, exist_ok=True)
    items = {}
    for key, (name, picture) in pictures(theme).items():
        picture.save(os.path.join(folder, name + '.bmp'))
        items[key] = (2, name + '.bmp')
    items.update(numbers(theme))
    # Same element shape as an exported project: one KivItem per key, key order
    # by UTF-16 code units (plain ASCII here).
    lines = ['<?xml version="1.0" encoding="utf-8"?>', '<KivProject>']
    for key in sorted(items):
        kind, value = items[key]
        lines.append('  <KivItem key="%s" value="%s" type="%d" />' % (xml_escape(key), xml_escape(str(value)), kind))
    lines.append('</KivProject>')
    with open(os.path.join(folder, 'project.kivxml'), 'w', newline='\r\n') as out:
        out.write('\n'.join(lines) + '\n')
    return len(items)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    skins = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'skins')
    for name, theme in THEMES.items():
        count = write_skin(os.path.join(skins, name), theme)
        print('%s: %d keys' % (name, count))


if __name__ == '__main__':
    main()
