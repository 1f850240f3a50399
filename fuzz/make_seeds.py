#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/<target>/, deterministically.

Run it again after changing a target's input layout; each target's comment
describes the layout these seeds follow.
"""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Every action code the host performs, and a few it does not know.
ACTION_CODES = [1, 2, 3, 4, 5, 11, 12, 15, 16, 21, 22, 23, 24, 25, 32, 33, 34, 35, 36, 37, 38,
                39, 48, 49, 64, 65, 66, 67, 68, 69, 70, 71, 72, 80, 81, 83, 84, 85, 0, 6, 255]
# Key combinations: (modifier, usage) pairs: each modifier, letters, F keys,
# a sided modifier as the key, keypad, and usages without a row.
COMBINATIONS = [(0, 4), (1, 6), (2, 29), (3, 58), (1, 226), (2, 224), (0, 95), (3, 101),
                (4, 4), (255, 4), (1, 0), (0, 100), (0, 255)]
SCENES = 7

DEFAULTS = [0, 500, 3, 0, 11, 10, 0, 0, 3, 10, 1, 10, 10, 1, 6, 12, 1, 3, 10, 1, 0, 0]


def record(assignments, fields=None):
    values = list(fields or DEFAULTS)
    out = struct.pack("<22i", *values)
    for index, (code, modifier, usage) in enumerate(assignments):
        out += bytes([index + 1, code, modifier, usage])
    return out


def uniform(code, modifier=0, usage=0):
    return record([(code, modifier, usage)] * 7)


def words(*values):
    return b"".join(struct.pack("<I", v & 0xFFFFFFFF) for v in values)


TICK = 0x01000000
RESEND = 0x02000000


def press_every_button():
    out = []
    for index in range(7):
        out += [1 << index, TICK, 0]
    out += [0xFF0000, 0x010000, 0]
    return out


def write(target, name, data):
    directory = os.path.join(HERE, "corpus", target)
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


def event_words():
    for code in ACTION_CODES:
        write("event_words", f"code_{code:03d}", bytes([code % SCENES]) + uniform(code) +
              words(*press_every_button()))
    for n, (modifier, usage) in enumerate(COMBINATIONS):
        write("event_words", f"combination_{n:02d}",
              bytes([n % SCENES]) + uniform(5, modifier, usage) + words(*press_every_button()))
    mixed = record([(1, 0, 0), (80, 0, 0), (24, 0, 0), (21, 0, 0), (23, 0, 0), (15, 0, 0),
                    (16, 0, 0)])
    # Held buttons across arrival and removal, chords of buttons, a timer held
    # while the record changes.
    write("event_words", "held_across_device_changes",
          bytes([0]) + mixed + words(0x7F, TICK | 0x7F, 0x0400, 0x0800 | 0x03, RESEND | 0x03, 0,
                                     0x0400, 0x80, 0xFFFFFFFF, 0))
    write("event_words", "every_bit", bytes([1]) + mixed + words(*[1 << b for b in range(32)], 0))


def shared_block():
    for n, code in enumerate(ACTION_CODES):
        control = n % 4
        write("shared_block", f"code_{code:03d}", bytes([n % SCENES, control]) + uniform(code))
    for n, (modifier, usage) in enumerate(COMBINATIONS):
        write("shared_block", f"combination_{n:02d}",
              bytes([n % SCENES, n % 4]) + uniform(5, modifier, usage))
    fields = list(DEFAULTS)
    fields[6] = 1  # acceleration on
    fields[8] = 100  # horizontal scroll repeats at the cap
    fields[18] = 0x7FFFFFFF  # auto-fire period beyond the maximum
    write("shared_block", "extreme_fields",
          bytes([2, 0x00]) + record([(15, 0, 0), (16, 0, 0), (24, 0, 0)] + [(0, 0, 0)] * 4,
                                    fields) +
          bytes([0x13]) + uniform(80) + bytes([0x06]) + uniform(0))
    write("shared_block", "all_ones", bytes([0, 0x00]) + b"\xff" * 116)


def config_ini():
    full = ("[Setting]\r\nHScrollWheelSpeed=3\r\nMainSens=10\r\nXYSensFlag=1\r\nXSens=10\r\n"
            "YSens=10\r\nOTFStatus=1\r\nDpiValue0=6\r\nDpiValue1=12\r\nDpiValue2=1\r\nPRValue=3\r\n"
            "OTGSpeed=10\r\nLightSwitch=1\r\nLightEffectType=0\r\nMouseColor=16711680\r\n"
            "ButtonInfo0=0101000002\r\nButtonInfo1=0202000004\r\nButtonInfo2=0303000006\r\n"
            "ButtonInfo3=040C000010\r\nButtonInfo4=050B000010\r\nButtonInfo5=060F000015\r\n"
            "ButtonInfo6=0710000017\r\nDevice=1\r\n")
    cases = {
        "full": full,
        "full_lf": full.replace("\r\n", "\n"),
        "empty": "",
        "empty_section": "[Setting]\r\n",
        "other_section": "[Other]\r\nHScrollWheelSpeed=9\r\n",
        "bad_structs": "[Setting]\r\nButtonInfo0=0101000003\r\nButtonInfo1=01010000\r\n"
                       "ButtonInfo2=0101000002FF\r\nButtonInfo3=zz01000002\r\nButtonInfo4=\r\n",
        "numbers": "[setting]\r\nhscrollwheelspeed = -5\r\nOTGSpeed=99999999999\r\n"
                   "MainSens=  +7x\r\nXSens=0x10\r\nYSens=\r\nMouseColor=-2147483648\r\n",
        "duplicates": "[Setting]\r\nOTGSpeed=1\r\nOTGSpeed=2\r\n[Setting]\r\nOTGSpeed=3\r\n",
        "no_newline_at_end": "[Setting]\r\nOTGSpeed=4",
        "comments_and_junk": "; comment\r\n[Setting]\r\n;OTGSpeed=5\r\n=7\r\nnoequals\r\n"
                             "[\r\n]\r\n[Setting\r\nOTGSpeed=6\r\n",
        "long_value": "[Setting]\r\nOTGSpeed=" + "9" * 600 + "\r\nButtonInfo0=" + "0" * 300 + "\r\n",
    }
    for n, (name, text) in enumerate(cases.items()):
        write("config_ini", name, bytes([0]) + text.encode("latin-1"))
    write("config_ini", "mouse_key_locked", bytes([1]) + full.encode())
    write("config_ini", "desktop_key_locked", bytes([2]) + full.encode())


def reg_string(text):
    data = text if isinstance(text, bytes) else text.encode("latin-1")
    return struct.pack("<H", len(data)) + data


def reg_key(flags, values):
    """flags: exists, can open, can create, can write; values: (type, data) or None."""
    out = bytes(int(f) for f in flags)
    for value in values:
        if value is None:
            out += b"\x00"
        else:
            out += b"\x01" + struct.pack("<I", value[0]) + reg_string(value[1])
    return out


def registry():
    sz = 1
    ok = (True, True, True, True)

    def case(mouse, wheel, acceleration=None, mouse_flags=ok, desktop_flags=ok):
        tail = b"\x00" if acceleration is None else b"\x01" + struct.pack("<i", acceleration)
        return reg_key(mouse_flags, mouse) + reg_key(desktop_flags, [wheel]) + tail

    typical = [(sz, "500\0"), (sz, "0\0"), (sz, "10\0"), (sz, "1\0"), (sz, "6\0"), (sz, "10\0")]
    write("registry", "typical", case(typical, (sz, "3\0")))
    write("registry", "page_scroll", case(typical, (sz, "-1\0"), acceleration=0))
    write("registry", "row_zero", case([(sz, "500\0"), (sz, "1\0"), (sz, "10\0"), (sz, "0\0"),
                                        (sz, "0\0"), (sz, "0\0")], (sz, "3\0")))
    write("registry", "row_fourteen",
          case([(sz, "500\0")] * 3 + [(sz, "2\0"), (sz, "4\0"), (sz, "10\0")], (sz, "3\0"), 0))
    write("registry", "unterminated_and_typed",
          case([(4, b"\xf4\x01\x00\x00"), (3, b"1"), (sz, "  -12abc"), (sz, "+1"),
                (7, "4\0\0"), (0, "")], (2, "%LINES%\0"), acceleration=2))
    write("registry", "too_long",
          case([(sz, "9" * 170), (sz, "1" * 161), (sz, "7" * 300), (sz, "1" * 159),
                (sz, "4" * 259), (sz, "0" * 400)], (sz, "3" * 160), acceleration=0))
    write("registry", "saturating",
          case([(sz, "99999999999"), (sz, "-99999999999"), (sz, "2147483648"),
                (sz, "-2147483648"), (sz, "2147483647"), (sz, "0")], (sz, "-1"), 0))
    write("registry", "absent_values", case([None] * 6, None, acceleration=0))
    write("registry", "mouse_key_refused",
          case(typical, (sz, "3\0"), mouse_flags=(True, False, False, True)))
    write("registry", "desktop_key_refused",
          case(typical, (sz, "3\0"), 0, desktop_flags=(False, False, False, False)))
    write("registry", "read_only_mouse_key",
          case(typical, (sz, "3\0"), 0, mouse_flags=(True, True, True, False)))
    write("registry", "missing_keys_created",
          case(typical, (sz, "3\0"), 0, mouse_flags=(False, True, True, True),
               desktop_flags=(False, True, True, True)))


# fast_events steps (fast_events_fuzzer.cpp: Step).
(WORD, BUTTONS, TILT, RECORD, ASSIGNMENT, FIELD, NOTICE_ONLY, TICK, REMOVAL, ARRIVAL, DISCONNECT,
 CONNECT, DEVICE_CHANGE, TASKBAR_CREATED, TRAY_CLICK, CURSOR) = range(16)
# The codes the host performs, in the order ActionCodeFrom counts them.
KNOWN_CODES = sorted(c for c in ACTION_CODES if c not in (0, 6, 255))


def desktop_flags(scene, companions=0):
    return bytes([(scene % 8) << 5 | companions])


def steps(*parts):
    return b"".join(bytes(p) if isinstance(p, (list, tuple)) else p for p in parts)


def press_every_button_steps():
    out = []
    for index in range(7):
        out += [[BUTTONS, 1 << index], [TICK], [BUTTONS, 0]]
    return out + [[TILT, 1], [TILT, 0]]


def assign(notice, index, code, modifier=0, usage=0):
    # ActionCodeFrom: a known code by its place, or a byte from 0xE0 as it is.
    code_byte = KNOWN_CODES.index(code) if code in KNOWN_CODES else code
    return [ASSIGNMENT, notice, index, code_byte, modifier, usage]


def assign_every_button(code, modifier=0, usage=0, notice=0):
    return [assign(notice if index == 6 else 0, index, code, modifier, usage)
            for index in range(7)]


def fast_events():
    """Seeds stay within fast_events.options' max_len: assignments rather than records."""
    for n, code in enumerate(KNOWN_CODES + [0xEE, 0xFF]):
        write("fast_events", f"code_{code:03d}",
              desktop_flags(n, n % 16) + steps(*assign_every_button(code, notice=n % 4),
                                               *press_every_button_steps()))
    for n, (modifier, usage) in enumerate(COMBINATIONS):
        write("fast_events", f"combination_{n:02d}",
              desktop_flags(n) + steps(*assign_every_button(5, modifier, usage),
                                       *press_every_button_steps()))
    mixed = [assign(0, index, code) for index, code in enumerate([1, 80, 24, 21, 23, 15, 16])]
    write("fast_events", "held_across_device_changes",
          desktop_flags(0, 3) + steps(*mixed, [BUTTONS, 0x7F], [TICK], [REMOVAL, 0x7F],
                                      [TICK], [ARRIVAL], [BUTTONS, 0], [BUTTONS, 0x03],
                                      [DISCONNECT], [TICK], [CONNECT], [BUTTONS, 0],
                                      [DEVICE_CHANGE], [BUTTONS, 0x7F]))
    write("fast_events", "updates_while_held",
          desktop_flags(1) + steps(*mixed, [BUTTONS, 0x1F], [NOTICE_ONLY, 1],
                                   [NOTICE_ONLY, 0x80], [FIELD, 0, 6, 0, 0, 0, 0],
                                   [FIELD, 3, 18, 1, 0, 0, 0], [TICK], [BUTTONS, 0]))
    write("fast_events", "whole_record",
          desktop_flags(3) + steps([RECORD, 3], record([(23, 0, 0)] * 7), [BUTTONS, 0x7F]))
    write("fast_events", "tray_and_taskbar",
          desktop_flags(2, 0x0F) + steps([TRAY_CLICK, 0], [TRAY_CLICK, 1], [TRAY_CLICK, 2],
                                         [TASKBAR_CREATED], [CURSOR, 3], [WORD, 0, 0, 0xFF, 0xFF],
                                         [WORD, 0xFF, 0xFF, 0xFF, 0xFF]))
    # Two buttons that both press Left: after a removal, the one still held
    # owes no second up, and the other keeps its own.
    write("fast_events", "two_buttons_one_output_across_removal",
          desktop_flags(0) + steps(assign(0, 1, 1), assign(0, 5, 1), [BUTTONS, 0x02],
                                   [REMOVAL, 0x02], [BUTTONS, 0x22], [BUTTONS, 0x20],
                                   [BUTTONS, 0]))
    # A held button given another action before it is let go.
    write("fast_events", "held_button_reassigned",
          desktop_flags(0) + steps([BUTTONS, 0x04], assign(0, 2, 1), [BUTTONS, 0],
                                   [BUTTONS, 0x02], assign(3, 1, 23), [BUTTONS, 0], [TICK]))


def fast_record():
    for n, code in enumerate(ACTION_CODES):
        write("fast_record", f"code_{code:03d}", desktop_flags(n, n % 16) +
              bytes([n % 4 | (0x20 if n % 3 == 0 else 0)]) + uniform(code))
    for n, (modifier, usage) in enumerate(COMBINATIONS):
        write("fast_record", f"combination_{n:02d}",
              desktop_flags(n) + bytes([n % 4]) + uniform(5, modifier, usage))
    write("fast_record", "reconnect_hold_and_tear",
          desktop_flags(1, 3) + bytes([0x30]) + uniform(1) + bytes([0x40]) + uniform(2) +
          bytes([0x24]) + uniform(80) + bytes([0x1B]) + uniform(24))
    write("fast_record", "all_ones", desktop_flags(0) + bytes([0x00]) + b"\xff" * 116)


def fast_copies():
    """The fast targets that read files and the registry take the same inputs as their
    whole-host twins (fast_config_ini's flag byte also has bit 2: the file held open)."""
    for source, target in (("config_ini", "fast_config_ini"), ("registry", "fast_registry")):
        directory = os.path.join(HERE, "corpus", source)
        for name in sorted(os.listdir(directory)):
            with open(os.path.join(directory, name), "rb") as f:
                write(target, name, f.read())
    write("fast_config_ini", "file_held_open", bytes([4]) + b"[Setting]\r\nOTGSpeed=3\r\n")


def scenario():
    """The project's own scenarios, and a few lines that must be refused."""
    root = os.path.dirname(HERE)
    for folder in ("scenarios", os.path.join("tests", "scenarios")):
        directory = os.path.join(root, folder)
        if not os.path.isdir(directory):
            continue
        for name in sorted(os.listdir(directory)):
            if name.endswith(".scn"):
                with open(os.path.join(directory, name), "rb") as f:
                    write("scenario", name, f.read())
    malformed = {
        "unterminated_title": 'window 0x5 class=Edit title="open\nstart\n',
        "huge_numbers": "event 0x1FFFFFFFF\ncursor 99999999999 -99999999999\n",
        "shared_odd": "start\nshared ABC\n",
        "crlf_and_tabs": "start\r\n\tevent 0x1\r\nclose\r\n",
        "fail_counts": "fail CreateMutexA 0\nfail LoadLibraryA -5\nstart\nclose\n",
    }
    for name, text in malformed.items():
        write("scenario", name + ".scn", text.encode())


def main():
    shutil.rmtree(os.path.join(HERE, "corpus"), ignore_errors=True)
    event_words()
    shared_block()
    config_ini()
    registry()
    scenario()
    fast_events()
    fast_record()
    fast_copies()


if __name__ == "__main__":
    main()
