"""Word lists of the hunspell dictionaries Debian ships, split once and for all into the words
that train the letter-pair model and the words held out for the test corpus."""

import hashlib
import os

DICTIONARY_DIR = "/usr/share/hunspell"

# Language, dictionary, weight in the model, script.
LANGUAGES = [
    ("ru", "ru_RU", 4, "cyrillic"),
    ("uk", "uk_UA", 2, "cyrillic"),
    ("be", "be_BY", 1, "cyrillic"),
    ("de", "de_DE", 1, "latin"),
    ("fr", "fr", 1, "latin"),
    ("es", "es_ES", 1, "latin"),
    ("it", "it_IT", 1, "latin"),
    ("pt", "pt_PT", 1, "latin"),
    ("sv", "sv_SE", 1, "latin"),
    ("nl", "nl", 1, "latin"),
    ("da", "da_DK", 1, "latin"),
    ("no", "nb_NO", 1, "latin"),
]


def held_out(word):
    """One word in five never trains the model: the test corpus is made of those."""
    return hashlib.md5(word.encode("utf-8")).digest()[0] % 5 == 0


def _encoding(aff_path):
    with open(aff_path, "rb") as aff:
        for line in aff:
            if line.startswith(b"SET "):
                return line.split()[1].decode("ascii")
    return "utf-8"


def stems(dictionary):
    """The stems of a .dic file (affixes not expanded), letters only, in file order."""
    path = os.path.join(DICTIONARY_DIR, dictionary)
    encoding = _encoding(path + ".aff").lower().replace("iso8859", "iso8859_")
    result = []
    seen = set()
    with open(path + ".dic", encoding=encoding, errors="replace") as dic:
        next(dic)
        for line in dic:
            word = line.split("/")[0].split("\t")[0].split(" ")[0].strip()
            if len(word) < 2 or not all(c.isalpha() or c in "'-’" for c in word):
                continue
            if word not in seen:
                seen.add(word)
                result.append(word)
    return result


def split(dictionary):
    """(training words, held-out words)."""
    words = stems(dictionary)
    return [w for w in words if not held_out(w)], [w for w in words if held_out(w)]
