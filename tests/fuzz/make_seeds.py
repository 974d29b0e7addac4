#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus.

The FORTRAN and saved-state seeds are the example tables in those forms (the
uvt tool converts them; give its path as the first argument), each behind the
target's option bytes. The other seeds are encoded by hand in the byte
language each target reads; see the targets for what each byte means."""
import os
import pathlib
import subprocess
import sys

here = pathlib.Path(__file__).resolve().parent
examples = here.parent.parent / "examples"
corpus = here / "corpus"
tool = sys.argv[1] if len(sys.argv) > 1 else "build/default/bin/uvt"


def seed(target, name, data):
    path = corpus / target / name
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(bytes(data))


def converted(example, form):
    return subprocess.run([tool, "convert", str(examples / example), "--to", form],
                          check=True, capture_output=True).stdout


def small(value):  # a number as FuzzInput.smallInt reads it (-64 .. 63)
    return [(value * 2) & 0xFF]


# FORTRAN reader: option byte (1 import into itself, 2 import into a table with a row).
for example in ["mixer.f", "splitter.state", "column.txt"]:
    text = (examples / example).read_bytes() if example.endswith(".f") else converted(example, "fortran")
    seed("fortran_reader", example.split(".")[0] + ".f", [3] + list(text))

# Saved state: option byte (1 second source, 2 rows first, 4 bound first), number
# of read sizes and the sizes, then the string.
for example in ["splitter.state", "mixer.f", "column.txt"]:
    text = (examples / example).read_bytes() if example.endswith(".state") else converted(example, "state")
    name = example.split(".")[0]
    seed("saved_state", name, [0, 0] + list(text))
    seed("saved_state", name + "-pieces", [7, 3, 1, 5, 2] + list(text))

# Text form: option byte, then tokens: a text is a length byte and its bytes,
# a number one byte (smallInt).
def text_token(s):
    return [len(s)] + list(s.encode())

def records(function, stamp, rows):
    data = text_token(function) + small(stamp) + small(len(rows))
    for row in rows:
        ident, name, *numbers = row
        data += small(ident) + text_token(name)
        for number in numbers:
            data += small(number)
    return data

sample = [(1, "NC", 0, -1, 0, 1, -50), (2, "X", 1, -2, 0, 1, -50), (3, "S", 3, 1, 0, 1, -50),
          (4, "A", 0, -1, 1, 1, 3), (5, "B", 2, -1, 1, 3, 3), (6, "Y", 1, -1, 0, 2, -50)]
seed("text_form", "sample", [0] + records("SAMPLE", 7, sample))
seed("text_form", "sample-bound", [3] + records("SAMPLE", 7, sample))
seed("text_form", "dangling", [0] + records("ODD", -3, [(1, "A", 3, 9, 0, 1, -50), (2, "B", 1, 1, 2, 1, 7)]))

# Run-time lookup: option byte, components, streams, shape, the two sizing
# counts, 16 index bytes, then the name.
for shape, names in [(0, ["S.A", "S(2).B", "X(3)", "Y", "A", "B"]),
                     (1, ["OUTER(2).INNER(1).V(2)", "V", "W", "Z", "T.Z(2)", "OUTER.2.T"]),
                     (2, ["R.E.F(2)", "G(1)", "F", "D"])]:
    for i, name in enumerate(names):
        indexes = small(1) + small(0) + small(2) + [0] * 13
        seed("runtime_lookup", f"shape{shape}-{i}", [i % 4, 2, 3, shape, 2, 2] + indexes + [len(name)] + list(name.encode()))

# Session: builds the sample table in slot 0, binds it, writes NC and a
# member, saves and restores, dumps and loads, reads values, and replaces
# slot 1's table with it.
WORDS = ["NC", "X", "S", "A", "B", "Y", "NS", "T", "", "Integer", "Real", "Character", "Structure", "Scalar",
         "Number of Components", "Number of Inlet Streams", "Number of Outlet Streams", "0", "1", "2", "3", "-1", "Input Only", "Output Only",
         "Input and Output"]

def session_table(slot, rows):
    ops = [0, slot] + small(1) + small(2) + [1]  # create with host ids
    for r, row in enumerate(rows):
        ops += [1, slot, r]  # insert at the end
        for column, word in enumerate(row):
            ops += [3, slot, 0, column, r, 0, WORDS.index(word)]
    return ops

rows = [("NC", "Integer", "Scalar", "0", "Input Only"), ("X", "Real", "Number of Components", "0", "Input Only"),
        ("S", "Structure", "NC", "0", "Input Only"), ("A", "Integer", "Scalar", "1", "Input Only"),
        ("B", "Character", "Scalar", "1", "Input and Output"), ("Y", "Real", "Scalar", "0", "Output Only")]
ops = session_table(0, rows)
ops += [8, 0, 0]                                            # rtmInitArrays
ops += [9, 0] + small(0) * 4 + [4, 1, WORDS.index("NC"), 0, 0, 0] + small(2)  # NC = 2 by name
ops += [9, 0] + small(1) * 4 + [4, 1, WORDS.index("A"), 0, 0, 0] + small(3)   # S(2).A = 3
ops += [8, 0, 3]                                            # check the binding
ops += [6, 0, 0, 0]                                         # save and restore
ops += [7, 0]                                               # dump and load
ops += [11, 0, 0, 1, 2, 3, 0, 0, 0, 0] + small(0) * 4 + [0, WORDS.index("B")]
ops += session_table(1, rows[:2])
ops += [12, 1, 0]                                           # slot 1 takes over slot 0's table
seed("session", "sample", ops)
seed("session", "empty", [])
