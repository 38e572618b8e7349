"""Text helpers shared by the data converters.

The program folder's data files are Windows-1252 text with CR LF line ends,
"." as decimal separator and colon-separated fields.
"""

import os
import struct
import unicodedata
from decimal import Decimal

# Letters that have no Windows-1252 form and no decomposition to a base
# letter; NFKD handles the accented ones.
ASCII_STAND_INS = {
    "\u0110": "D", "\u0111": "d",   # D with stroke
    "\u0126": "H", "\u0127": "h",   # H with stroke
    "\u0131": "i",                  # dotless i
    "\u0141": "L", "\u0142": "l",   # L with stroke
    "\u0166": "T", "\u0167": "t",   # T with stroke
    "\u0180": "b", "\u0197": "I", "\u0268": "i",
    "\u018F": "E", "\u0259": "e",   # schwa
    "\u0190": "E", "\u025B": "e",   # open e
    "\u0186": "O", "\u0254": "o",   # open o
    "\u014A": "N", "\u014B": "n",   # eng
    "\u01B7": "Z", "\u0292": "z",   # ezh
    "\u0138": "q",                  # kra
    "\u02BB": "'", "\u02BC": "'", "\u02BF": "'", "\u02BE": "'",
    "\u2010": "-", "\u2011": "-", "\u2012": "-", "\u2212": "-",
    "\u00A0": " ", "\u2002": " ", "\u2003": " ", "\u2009": " ", "\u202F": " ",
    "\u2032": "'", "\u2033": '"',
}


def _char_to_cp1252(ch):
    try:
        return ch.encode("cp1252")
    except UnicodeEncodeError:
        pass
    if ch in ASCII_STAND_INS:
        return ASCII_STAND_INS[ch].encode("ascii")
    # Keep the base letter of a decomposable character (Romanian s with comma
    # becomes s), or its Windows-1252 composed form when one exists.
    decomposed = unicodedata.normalize("NFKD", ch)
    base = "".join(c for c in decomposed if not unicodedata.combining(c))
    if base and base != ch:
        recomposed = unicodedata.normalize("NFC", base)
        try:
            return recomposed.encode("cp1252")
        except UnicodeEncodeError:
            pass
        try:
            return base.encode("ascii")
        except UnicodeEncodeError:
            pass
    if unicodedata.combining(ch):
        return b""
    return b"?"


def to_cp1252(text):
    """Windows-1252 bytes of a Unicode text; characters without a form there
    become their closest ASCII letter, or "?"."""
    text = unicodedata.normalize("NFC", text)
    return b"".join(_char_to_cp1252(ch) for ch in text)


def clean_field(text):
    """A field that can sit between colons: no control characters, single
    blanks, trimmed, and no colon ("Group: 308th" becomes "Group - 308th",
    "Ryu:x" becomes "Ryu-x")."""
    text = text.replace(": ", " - ").replace(":", "-")
    text = "".join(" " if unicodedata.category(c)[0] == "C" else c for c in text)
    return " ".join(text.split())


def _strip_number(text):
    if "." in text:
        text = text.rstrip("0").rstrip(".")
    if text in ("-0", ""):
        text = "0"
    return text


def format_fixed(value, decimals):
    """Value rounded to `decimals` places, without trailing zeros."""
    return _strip_number("%.*f" % (decimals, value))


def format_units(units, decimals):
    """A whole number of 10**-decimals steps written as a decimal number,
    exact (no float round trip), without trailing zeros."""
    sign = "-" if units < 0 else ""
    units = abs(units)
    scale = 10 ** decimals
    whole, frac = divmod(units, scale)
    text = "%s%d" % (sign, whole)
    if frac:
        text += "." + ("%0*d" % (decimals, frac)).rstrip("0")
    return _strip_number(text)


def to_single(value):
    """The nearest single-precision value."""
    return struct.unpack("<f", struct.pack("<f", value))[0]


def format_single(value):
    """A single-precision value with up to 7 significant digits, no trailing
    zeros, never in exponent form."""
    value = to_single(value)
    if value == 0:
        return "0"
    text = "%.7g" % value
    if "e" in text or "E" in text:
        text = format(Decimal(text), "f")
    return _strip_number(text)


def write_lines(path, lines):
    """Writes text lines (str or Windows-1252 bytes) with CR LF ends, through
    a temporary file so that a failed run leaves the old file in place."""
    tmp = path + ".tmp"
    with open(tmp, "wb") as out:
        for line in lines:
            if isinstance(line, str):
                line = line.encode("cp1252")
            out.write(line + b"\r\n")
    os.replace(tmp, path)
