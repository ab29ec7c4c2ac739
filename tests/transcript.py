# SPDX-License-Identifier: BSD-2-Clause
"""What a whole game prints, written out independently of the program's source."""

GREETING = (
    b"Let's play a game of Verizoz.\n"
    b"All you have to do is supply the words I ask for.\n"
    b"Let's begin.\n"
)

PROMPTS = [
    b"Enter a noun: ",
    b"Enter a number: ",
    b'Enter a verb ending in "ing": ',
    b'Enter another verb ending in "ing": ',
    b'Enter one more verb ending in "ing": ',
    b"Enter a noun: ",
    b"Enter an adjective: ",
    b"Enter a plural noun: ",
    b"Enter a noun: ",
    b"Enter a adjective: ",
    b"Enter a noun: ",
    b"Enter a adjective: ",
    b"Enter a verb: ",
    b"Enter the name of a person in the room: ",
    b"Enter a noun: ",
    b"Enter a noun: ",
    b"Enter a noun: ",
    b"Enter a noun: ",
    b"Enter a silly word: ",
    b"Enter a noun: ",
]

HEADING = b"-----Career Advertisement-----\n\n"

# Each line with the answers (1-based) that fill its blanks, in order.
STORY = [
    (b"Seeking a new career?", []),
    (b"Be a {} or just look like one!", [1]),
    (b"In just {} sessions, we can have you {}, {}, and {} like a", [2, 3, 4, 5]),
    (b"top-paying {}.", [6]),
    (b"Opportunities in this {} field are limited.", [7]),
    (b"There is no fee!", []),
    (b"Just come in for a free consultation.", []),
    (b"Our expert {} will analyze your {} and determine your", [8, 9]),
    (b"potential for success in this {} field.", [10]),
    (b"Use your natural {} to earn {} money and", [11, 12]),
    (b"have time to {} your dreams too.", [13]),
    (b"Just ask {} who came to us looking like a", [14]),
    (b"{} out of {} and in just ten days we improved their", [15, 16]),
    (b"{} 100 percent.", [17]),
    (b"We even corrected their horrible {}.", [18]),
    (b"It was just in the nick of time because the {} Squad", [19]),
    (b"was ready to ban them from the {}.", [20]),
    (b"Don't wait annother day.", []),
    (b"Time is running out.", []),
]

# The answers of an ordinary game, one of each kind asked for.
SAMPLE_ANSWERS = [b"cat", b"42", b"running", b"jumping", b"swimming", b"dog", b"big", b"pens", b"table", b"odd",
                  b"car", b"tall", b"eat", b"Bob", b"a", b"b", b"c", b"d", b"zork", b"moon"]

WHITE_SPACE = b" \t\n\v\f\r"
CAPACITY = 31


def fill(line, answers):
    pieces = line.split(b"{}")
    out = pieces[0]
    for answer, piece in zip(answers, pieces[1:]):
        out += answer + piece
    return out


def transcript(answers, line_end=b"\n"):
    """The whole output of a game whose twenty answers are `answers`."""
    assert len(answers) == 20
    story = b"".join(fill(line, [answers[k - 1] for k in blanks]) + b"\n" for line, blanks in STORY)
    text = GREETING + b"".join(PROMPTS) + HEADING + story
    return text.replace(b"\n", line_end)


def keep(word, utf8=True):
    """A word as a slot keeps it: 31 bytes at most, never ending in part of a UTF-8 character (in UTF-8; in a
    code page of single bytes, its first 31 bytes)."""
    if len(word) <= CAPACITY:
        return word
    word = word[:CAPACITY]
    if not utf8:
        return word
    for back in range(1, 5):
        if back > len(word):
            break
        byte = word[-back]
        if byte & 0xC0 != 0x80:  # the start of the last character
            size = 2 if byte & 0xE0 == 0xC0 else 3 if byte & 0xF0 == 0xE0 else 4 if byte & 0xF8 == 0xF0 else 1
            return word[:-back] if size > back else word
    return word


def answers_for(data, utf8=True):
    """The twenty answers that typing `data` gives: its words in turn, empty once it runs out."""
    words = []
    word = None
    for byte in data:
        if byte in WHITE_SPACE:
            if word is not None:
                words.append(word)
                word = None
        else:
            word = (word or b"") + bytes([byte])
        if len(words) == 20:
            break
    if word is not None and len(words) < 20:
        words.append(word)
    return [keep(w, utf8) for w in words] + [b""] * (20 - len(words))
