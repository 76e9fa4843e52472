#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz targets into their corpus folders.

Each seed is one of the cases the rules single out (worked examples, edge cases), laid
out in its target's input format. Files are named seed-*; other files in the corpus
folders (reproducers of fixed faults, inputs the fuzzer found) are left alone. Run from
anywhere: python3 fuzz/make_seeds.py
"""
import math
import struct
from fractions import Fraction
from pathlib import Path

HERE = Path(__file__).resolve().parent

DOLLAR = b"$,0.00;-$,0.00"
POUND = b"\xa3,0.00;-\xa3,0.00"
EURO = b"\x80,0.00;-\x80,0.00"


def extended(text):
    """The ten bytes of the x87 extended value nearest to a decimal text."""
    specials = {"inf": (0, 0x7FFF, 1 << 63), "-inf": (1, 0x7FFF, 1 << 63),
                "nan": (0, 0x7FFF, 3 << 62), "-0": (1, 0, 0)}
    if text in specials:
        sign, exponent, significand = specials[text]
    else:
        value = Fraction(text)
        sign = 1 if value < 0 else 0
        value = abs(value)
        if value == 0:
            exponent, significand = 0, 0
        else:
            e = math.floor(math.log2(value.numerator) - math.log2(value.denominator))
            while Fraction(2) ** e > value:
                e -= 1
            while Fraction(2) ** (e + 1) <= value:
                e += 1
            e = max(e, 1 - 16383)  # subnormals share the smallest exponent
            significand = round(value / Fraction(2) ** (e - 63))  # ties to even
            if significand == 1 << 64:
                significand >>= 1
                e += 1
            exponent = e + 16383 if significand >> 63 else 0
    return significand.to_bytes(8, "little") + ((sign << 15) | exponent).to_bytes(2, "little")


def text(data, limit):
    """A length byte and the bytes, for Input::Text(limit)."""
    data = data if isinstance(data, bytes) else data.encode("latin-1")
    assert len(data) <= limit
    return bytes([len(data)]) + data


def write(target, seeds):
    folder = HERE / target / "corpus"
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.glob("seed-*"):
        old.unlink()
    for name, data in seeds.items():
        (folder / f"seed-{name}").write_bytes(data)


def parse_number():
    plain = b".,"
    seeds = {
        "grouped": plain + b"1,234.50",
        "binary-2.675": plain + b"2.675",
        "exact-power": plain + b"-4.5e25",
        "negative-exponent": plain + b"+1.5E-3",
        "exponent": plain + b"  -12.34E5  ",
        "exponent-no-digits": plain + b"1E",
        "lone-minus": plain + b"-",
        "empty": plain + b"",
        "lone-point": plain + b".",
        "minus-point": plain + b"-.",
        "out-of-range": plain + b"1E4932",
        "just-in-range": plain + b"0.1E4932",
        "tiny": plain + b"1E-4960",
        "exponent-stop": plain + b"1E4999999",
        "two-points": plain + b"12.34.5",
        "currency-sign": plain + b"$12",
        "many-digits": plain + b"123456789012345678901234567890.123456789",
        "comma-decimal": b",.1.234,56",
        "blank-thousands": b", 1 234,5",
        "no-thousands": b".\x001234.5",
        "same-separators": b"..1.2.3",
    }
    write("parse_number", seeds)


def format_by_pattern(flags=1, seps=b".,", precision=18, decimals=2, value="0", pattern=DOLLAR):
    head = bytes([flags]) + seps + bytes([precision]) + struct.pack("<h", decimals)
    body = text(value, 64) if flags & 1 else extended(value)
    return head + body + pattern


def format_seeds():
    f = format_by_pattern
    seeds = {
        "zero": f(value="0"),
        "cents": f(value="1234.5"),
        "negative": f(value="-1234.5"),
        "half-cent-up": f(value="0.125"),
        "binary-2.675": f(flags=0, value="2.675"),
        "carry-to-thousand": f(value="999.995"),
        "rounds-to-zero": f(value="-0.001"),
        "negative-half-cent": f(value="-0.005"),
        "eighteen-digits": f(value="12345678901234567.89"),
        "rounds-to-1e18": f(value="999999999999999999.99"),
        "general": f(value="123456789012345678901"),
        "edit-pattern": f(value="-1234.567", pattern=b"0.##"),
        "edit-pattern-whole": f(value="1234", pattern=b"0.##"),
        "edit-pattern-rounds-to-zero": f(value="0.004", pattern=b"0.##"),
        "pound": f(value="1234567.891", pattern=POUND),
        "euro": f(value="0.5", pattern=EURO),
        "no-thousands": f(seps=b".\x00", value="1234.5"),
        "comma-decimal": f(seps=b",.", value="1234.5"),
        "quoted-sections": f(value="-0", pattern=b"'a;b'0.0;\"neg;\"#,##0;zero"),
        "empty-pattern": f(value="1.5", pattern=b""),
        "empty-first": f(value="-2", pattern=b";-0.00"),
        "many-zeros": f(value="3.25", decimals=-3, pattern=b"000000.000##"),
        "at-limit": f(value="7", pattern=b"0" * 224),
        "too-long": f(value="7", pattern=b"#" * 225),
        "infinity": f(flags=1 | 1 << 1, value="0"),
        "nan": f(flags=1 | 3 << 1, value="0"),
        "denormal": f(flags=1 | 5 << 1, value="0", precision=0),
        "largest": f(flags=1 | 6 << 1, value="0", decimals=-32768),
        "smallest-normal": f(flags=0, value="3.3621031431120935063e-4932", decimals=32767),
    }
    write("format_by_pattern", seeds)


# Money field operations.
M_TYPE, M_TYPE_TEXT, M_EDIT, M_PASTE, M_CUT, M_SELECT, M_ESCAPE = range(7)
M_FOCUS_KEY, M_FOCUS_MOUSE, M_FOCUS_OUT, M_SET_VALUE, M_SET_TEXT, M_VALUE, M_FORMAT = range(7, 14)


def m_type(keys):
    return bytes([M_TYPE_TEXT]) + text(keys, 16)


def m_value(v):
    return bytes([M_SET_VALUE]) + extended(v)


def m_set_text(t):
    return bytes([M_SET_TEXT]) + text(t, 80)


def m_edit(t, caret):
    return bytes([M_EDIT]) + text(t, 80) + struct.pack("<b", caret)


def m_paste(t):
    return bytes([M_PASTE]) + text(t, 80)


def m_select(anchor, caret):
    return bytes([M_SELECT]) + struct.pack("<bb", anchor, caret)


FOCUS_KEY = bytes([M_FOCUS_KEY])
FOCUS_MOUSE = bytes([M_FOCUS_MOUSE])
FOCUS_OUT = bytes([M_FOCUS_OUT])
VALUE = bytes([M_VALUE])
ESCAPE = bytes([M_ESCAPE])
CUT = bytes([M_CUT])


def money_field():
    price, total, month_total = b"\x00", b"\x01", b"\x03"
    comma_decimal = bytes([1 << 2])
    seeds = {
        "type-grouping": price + FOCUS_KEY + m_type("1234") + VALUE + FOCUS_OUT,
        "third-decimal": price + m_type("1.234") + VALUE + FOCUS_OUT,
        "exponents": price + m_type("1.5E3") + VALUE + m_select(0, 40) + m_type("12.34E5")
        + FOCUS_OUT,
        "lone-minus": price + m_type("-") + VALUE + FOCUS_OUT,
        "blank": price + m_type(" ") + VALUE,
        "lone-point": price + m_type(".") + VALUE + FOCUS_OUT,
        "round-on-write": price + m_value("1.005") + VALUE + FOCUS_KEY + FOCUS_OUT,
        "zero-write": price + m_value("12") + m_value("0") + m_value("0"),
        "enter-leave": price + m_value("1234.5") + FOCUS_KEY + FOCUS_OUT + FOCUS_MOUSE + FOCUS_OUT,
        "paste-refused": price + m_paste("$12") + m_paste("12") + FOCUS_OUT,
        "paste-three-decimals": price + m_paste("1.234") + FOCUS_OUT + VALUE,
        "paste-line-break": price + m_paste("12\r\n34") + FOCUS_OUT,
        "paste-comma-regroups": price + m_value("1234") + FOCUS_KEY + m_select(1, 1)
        + m_paste(",") + FOCUS_OUT,
        "escape": price + m_type("12.") + VALUE + ESCAPE + FOCUS_OUT,
        "read-only": total + m_value("1234.5") + FOCUS_MOUSE + m_type("5") + m_paste("7")
        + m_select(0, 3) + CUT + FOCUS_OUT,
        "month-total": month_total + m_value("54") + FOCUS_MOUSE + m_value("108") + FOCUS_OUT,
        "set-text": price + m_set_text("1,234.50") + m_set_text("abc") + m_set_text(" ")
        + m_set_text("-"),
        "not-a-number-on-leave": price + m_type("15") + m_edit("E5", 2) + FOCUS_OUT
        + m_edit("5", 1) + FOCUS_OUT,
        "plus-alone": price + m_type("+") + VALUE + FOCUS_OUT + m_edit("", 0) + FOCUS_OUT,
        "currency-change": price + m_value("99.5") + bytes([M_FORMAT, 1]) + FOCUS_KEY
        + bytes([M_FORMAT, 2]) + m_type("1") + bytes([M_FORMAT, 0]) + FOCUS_OUT,
        "cut-all": price + m_type("1234.5") + m_select(0, 7) + CUT + FOCUS_OUT,
        "non-finite": price + m_value("inf") + VALUE + m_value("nan") + FOCUS_KEY + FOCUS_OUT
        + m_edit("", 0) + FOCUS_OUT,
        "huge": price + m_value("1e18") + FOCUS_KEY + FOCUS_OUT + m_value("-1.5e4000") + VALUE,
        "negative-zero": price + m_value("-0") + FOCUS_KEY + m_type("-") + FOCUS_OUT,
        "shows-zero": price + m_value("0.001") + VALUE + bytes([M_FORMAT, 1]) + FOCUS_KEY,
        "comma-locale": comma_decimal + m_type("1234,5") + m_type(".") + FOCUS_OUT + VALUE,
        "long-text": price + FOCUS_KEY + m_edit("1" * 70, 70) + m_type("2") + FOCUS_OUT,
    }
    write("money_field", seeds)


# Quantity field operations.
Q_TYPE, Q_TYPE_TEXT, Q_EDIT, Q_UP, Q_DOWN, Q_WHEEL = range(6)
Q_SET_VALUE, Q_SET_TEXT, Q_FOCUS_IN, Q_FOCUS_OUT, Q_SELECT, Q_VALUE = range(6, 12)


def q_type(keys):
    return bytes([Q_TYPE_TEXT]) + text(keys, 12)


def q_text(t):
    return bytes([Q_SET_TEXT]) + text(t, 24)


def q_value(v):
    return bytes([Q_SET_VALUE]) + struct.pack("<i", v)


def q_wheel(delta):
    return bytes([Q_WHEEL]) + struct.pack("<h", delta)


UP, DOWN = bytes([Q_UP]), bytes([Q_DOWN])
Q_IN, Q_OUT, Q_READ = bytes([Q_FOCUS_IN]), bytes([Q_FOCUS_OUT]), bytes([Q_VALUE])


def quantity_field():
    sheet = b"\x00"
    seeds = {
        "type-digits": sheet + Q_IN + q_type("12") + Q_READ,
        "minus-refused": sheet + Q_IN + q_type("-") + DOWN + q_text("-5"),
        "up-from-empty": sheet + UP,
        "leading-zeros": sheet + q_text("007") + Q_IN + Q_OUT + UP,
        "letters": sheet + q_text("abc") + UP,
        "too-long": sheet + Q_IN + q_type("99999999999") + UP,
        "wheel": sheet + Q_IN + q_wheel(120) + q_wheel(60) + q_wheel(-240) + Q_OUT + q_wheel(120),
        "enter": sheet + Q_IN + bytes([Q_TYPE, 13]),
        "same-value": sheet + q_text("5") + q_value(5) + q_text("05") + q_value(5),
        "limits": sheet + q_value(2**31 - 1) + UP + q_value(-(2**31)) + DOWN + Q_IN + q_wheel(-32768),
        "hexadecimal": sheet + q_text("$FF") + UP + q_text("0x7fffffff") + q_text("x80000000")
        + q_text("-$10") + q_text("  +12"),
        "edit-select": sheet + q_text("1234") + Q_IN + bytes([Q_SELECT, 1, 3]) + q_type("9")
        + bytes([Q_EDIT]) + text("19", 24) + bytes([1]),
        "read-only": b"\x01" + Q_IN + UP + q_type("5") + q_wheel(120),
        "editor-disabled": b"\x02" + Q_IN + q_type("5") + UP + bytes([Q_EDIT]) + text("7", 24)
        + bytes([0]),
    }
    write("quantity_field", seeds)


def ini_read():
    example = (
        b"[Main]\r\nFormVersion=0\r\nFlags=0\r\nShowCmd=1\r\nPixelsPerInch=96\r\n"
        b"MinMaxPos(1920x1080)=-1,-1,-1,-1\r\nNormPos=334,132,864,572\r\nVisible=0\r\n"
        b"[Name]\r\nFormVersion=0\r\nP001Name_Text=Blue mug\r\n"
        b"[Price]\r\nFormVersion=0\r\nP001Price_Value=4.5\r\n"
        b"[Settings]\r\nFormVersion=0\r\nSetTitle_Text=Quilvern\r\n"
        b"Currency_Text=Pounds (\xa3)\r\n"
    )
    seeds = {
        "example": example,
        "lf-only": example.replace(b"\r\n", b"\n"),
        "cr-only": example.replace(b"\r\n", b"\r"),
        "empty": b"",
        "duplicates": b"[a]\r\nk=1\r\nK=2\r\n[A]\r\nk=3\r\nj=4\r\n[b]\r\nk=5\r\n",
        "comments-blanks": b"; note\r\n\r\n  [ Sec ]  trailing\r\n ; k=1\r\n  key  =  value  \r\n"
        b"\tTab\t=\t7\t\r\n",
        "quotes": b"[q]\r\nd=\"abc\"\r\ns='x'\r\nmixed=\"y'\r\none=\"\r\nin=a\"b\"\r\n"
        b"twice=\"\"z\"\"\r\n",
        "long-value": b"[long]\r\nv=" + b"x" * 2100 + b"\r\nafter=1\r\n",
        "integers": b"[n]\r\nhex=0xFFFFFFFF\r\nbig=2147483648\r\nneg=-2147483648\r\n"
        b"plus=+7\r\nplusminus=+-7\r\nshort=0x\r\nupper=0X1f\r\nblank= 12 \r\n",
        "unclosed": b"[open\r\nk=1\r\n[x]\r\n[open\r\nk=2\r\n=nokey\r\n[]\r\n=empty\r\n",
        "headerless": b"k=before\r\n[s]\r\nk=after\r\n",
        "nul-bytes": b"[s\x00t]\r\nk\x00=v\x00w\r\n\x00\r\n",
        "equals-in-value": b"[e]\r\nk==v=w\r\nurl=a=b\r\n",
        "no-final-break": b"[end]\r\nlast=1",
    }
    write("ini_read", seeds)


def ini_roundtrip():
    def start(file=b"", missing=False):
        return bytes([1 if missing else 0]) + struct.pack("<H", len(file)) + file

    def new(name):
        return b"\x80" + text(name, 24)

    def pick(index, toggled=False):
        return bytes([index | (0x40 if toggled else 0)])

    def string(section, key, value, long=False):
        return bytes([0x80 if long else 0]) + section + key + text(value, 64)

    def integer(section, key, number):
        return bytes([1]) + section + key + struct.pack("<i", number)

    def boolean(section, key, flag):
        return bytes([2]) + section + key + bytes([flag])

    flush = bytes([3])
    existing = (b"; kept\r\n[Settings]\r\nFormVersion=0\r\nSetTitle_Text=Old\r\n\r\n"
                b"junk line\r\n[Price]\r\nP001Price_Value=4.5\r\n")
    seeds = {
        "fresh-file": start(missing=True)
        + string(new("Settings"), new("Currency_Text"), "Dollar ($)")
        + integer(new("Main"), new("FormVersion"), 0)
        + string(pick(0), new("SetTitle_Text"), "Quilvern"),
        "replace-in-place": start(existing)
        + string(pick(0), pick(2), "New title")
        + string(pick(3, True), new("P002Price_Value"), "12.5")
        + boolean(new("Extra"), new("Flag"), 1),
        "line-breaks-in-value": start(existing) + string(pick(0), pick(2), "two\r\nlines\n"),
        "quoted-value": start() + string(new("q"), new("v"), '"kept quotes"')
        + string(pick(0), new("w"), "  'x'  "),
        "long-value": start() + string(new("long"), new("v"), "0123456789", long=True),
        "flush-between": start(existing) + integer(pick(1), pick(1), -5) + flush
        + integer(pick(1, True), pick(1), 7) + flush,
        "lone-cr-file": start(b"[a]\rk=1\r\n\n[b]\rj=2") + string(pick(0), pick(3), "3")
        + string(pick(2, True), pick(1), "4"),
        "nothing-written": start(existing) + flush,
    }
    write("ini_roundtrip", seeds)


def text_area_read():
    report = (b"Sales report for March\r\n\r\nBlue mug        12 x \xa34.50 = \xa354.00\r\n"
              b"Total: \x8054.00\r\n")
    seeds = {
        "report": report,
        "lf-only": b"first\nsecond\n",
        "cr-only": b"first\rsecond",
        "mixed": b"a\r\nb\nc\rd\n\re\r\r\n\n",
        "empty": b"",
        "breaks-only": b"\r\n\r\r\n\n\n\r",
        "binary": bytes(range(256)),
        "no-final-break": b"notes without an end",
    }
    write("text_area_read", seeds)


if __name__ == "__main__":
    parse_number()
    format_seeds()
    money_field()
    quantity_field()
    ini_read()
    ini_roundtrip()
    text_area_read()
