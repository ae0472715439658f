#!/usr/bin/env python3
"""Writes the EDIDs of the test fixtures and the EDID fuzz seeds.

The monitors are shaped like real ones (a 14-inch 1080p laptop panel
without a name descriptor, a 27-inch 1440p desktop monitor over HDMI with
a CTA-861 extension block) and built here field by field after VESA E-EDID
1.4 and CTA-861, each block with its checksum.

    scripts/make-edid.py          rewrite the fixture files and the seeds
"""
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def checksummed(block):
    assert len(block) == 127
    return bytes(block) + bytes([(-sum(block)) & 0xFF])


def manufacturer(letters):
    a, b, c = (ord(x) - ord('A') + 1 for x in letters)
    return struct.pack('>H', a << 10 | b << 5 | c)


def timing(clock_khz, h, hblank, v, vblank, hsync_off, hsync, vsync_off, vsync, w_mm, h_mm, flags=0x1E):
    clock = clock_khz // 10
    return bytes([
        clock & 0xFF, clock >> 8,
        h & 0xFF, hblank & 0xFF, (h >> 8) << 4 | (hblank >> 8),
        v & 0xFF, vblank & 0xFF, (v >> 8) << 4 | (vblank >> 8),
        hsync_off & 0xFF, hsync & 0xFF, (vsync_off & 0xF) << 4 | (vsync & 0xF),
        (hsync_off >> 8) << 6 | (hsync >> 8) << 4 | (vsync_off >> 4) << 2 | (vsync >> 4),
        w_mm & 0xFF, h_mm & 0xFF, (w_mm >> 8) << 4 | (h_mm >> 8),
        0, 0, flags,
    ])


def text_descriptor(tag, text):
    body = text.encode('ascii')[:13]
    if len(body) < 13:
        body += b'\n' + b' ' * (12 - len(body))
    return bytes([0, 0, 0, tag, 0]) + body


def range_limits(vmin, vmax, hmin_khz, hmax_khz, max_clock_mhz):
    return bytes([0, 0, 0, 0xFD, 0, vmin, vmax, hmin_khz, hmax_khz, max_clock_mhz // 10, 0x01, 0x0A]) + b' ' * 6


def dummy_descriptor():
    return bytes([0, 0, 0, 0x10, 0]) + bytes(13)


def base_block(maker, product, serial, week, year, features, w_cm, h_cm, descriptors, extensions):
    assert len(descriptors) == 4 and all(len(d) == 18 for d in descriptors)
    block = bytearray([0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00])
    block += manufacturer(maker) + struct.pack('<HI', product, serial)
    block += bytes([week, year - 1990, 1, 4])          # EDID 1.4
    block += bytes([0xA5, w_cm, h_cm, 0x78, features])  # digital, 8 bits per colour, DisplayPort/HDMI
    block += bytes([0xEE, 0x91, 0xA3, 0x54, 0x4C, 0x99, 0x26, 0x0F, 0x50, 0x54])  # chromaticity
    block += bytes([0, 0, 0])                           # no established timings
    block += bytes([0x01, 0x01] * 8)                    # no standard timings
    for d in descriptors:
        block += d
    block += bytes([extensions])
    return checksummed(block)


def cta_block(data_blocks, timings):
    collection = b''.join(data_blocks)
    block = bytearray([0x02, 0x03, 4 + len(collection), 0xF0])  # underscan, audio, YCbCr; 0 native DTDs
    block += collection
    for t in timings:
        block += t
    block += bytes(127 - len(block))
    return checksummed(block)


# A 14-inch 1920x1080 panel as laptops carry them: the panel maker's and
# model's texts (0xFE) but no name, no range limits, no extension.
PANEL = base_block(
    'AUO', 0x408D, 0, 12, 2021, 0x0E, 31, 17,
    [timing(138500, 1920, 160, 1080, 31, 48, 32, 3, 5, 309, 174),
     dummy_descriptor(),
     text_descriptor(0xFE, 'AUO'),
     text_descriptor(0xFE, 'B140HAN04.0')],
    0)

# A 27-inch 2560x1440 desktop monitor on HDMI: name, serial and range limits,
# DPMS standby/suspend/off, sRGB, and a CTA-861 block with 1080p and the HDMI VSDB.
MONITOR = base_block(
    'DEL', 0xA0D4, 0x4C4B4E31, 36, 2019, 0xEE, 60, 34,
    [timing(241500, 2560, 160, 1440, 41, 48, 32, 3, 5, 597, 336),
     text_descriptor(0xFF, 'F8KNT93'),
     text_descriptor(0xFC, 'DELL U2719D'),
     range_limits(56, 76, 30, 113, 250)],
    1) + cta_block(
    [bytes([0x2 << 5 | 5, 0x10, 0x04, 0x03, 0x02, 0x01]),    # video: 1080p60, 720p60, 480p, 640x480
     bytes([0x1 << 5 | 3, 0x09, 0x07, 0x07]),                # audio: 2-channel LPCM 32-48 kHz
     bytes([0x3 << 5 | 5, 0x03, 0x0C, 0x00, 0x10, 0x00]),    # HDMI, physical address 1.0.0.0
     bytes([0x4 << 5 | 3, 0x01, 0x00, 0x00])],               # speakers: front left/right
    [timing(148500, 1920, 280, 1080, 45, 88, 44, 4, 5, 597, 336)])


def write(path, data):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, 'wb') as f:
        f.write(data)


def main():
    card = 'tests/fixtures/laptop-usb/tree/sys/devices/pci0000:00/0000:00:02.0/drm/card0'
    write(card + '/card0-eDP-1/edid', PANEL)
    write(card + '/card0-HDMI-A-1/edid', MONITOR)
    seeds = 'fuzz/corpus/edid_fuzz/'
    write(seeds + 'panel', PANEL)
    write(seeds + 'hdmi-monitor-with-cta', MONITOR)
    write(seeds + 'declares-two-extensions-has-one', MONITOR[:126] + bytes([2, (MONITOR[127] - 1) & 0xFF]) + MONITOR[128:])
    bad_cta = bytearray(MONITOR)
    bad_cta[130] = 126  # timings would start past the last whole descriptor
    bad_cta[255] = (bad_cta[255] - 126 + MONITOR[130]) & 0xFF
    write(seeds + 'cta-offset-at-the-end', bytes(bad_cta))
    write(seeds + 'truncated', MONITOR[:200])


if __name__ == '__main__':
    main()
