#!/usr/bin/env python3
"""Measures the character-key order of TDbf indexes for each language driver
and writes the weight tables into src/platform/dbase/CollationTables.cpp.

    tests/tools/tdbf/measure_collations.py [--check]

For every driver: one row per byte value, written once in ascending and once
in descending record order; bytes that swap places between the two runs have
equal weight (equal keys fall back to record order). The weights found are
then checked against TDbf on every two-byte key and on random longer keys, so
an order that is not one weight per byte (expansions, second passes) stops
the script instead of giving a wrong table. With --check the file is only
compared, not written.
"""

import datetime
import pathlib
import random
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parents[2]
TABLES = ROOT / "src/platform/dbase/CollationTables.cpp"
BEGIN = "// BEGIN MEASURED TABLES (tests/tools/tdbf/measure_collations.py)\n"
END = "// END MEASURED TABLES\n"

# Drivers users meet, with the driver's short name.
DRIVERS = [
    (0x01, "DB437US0"),
    (0x02, "DB850US0"),
    (0x0F, "DB437DE0"),
    (0x10, "DB850DE0"),
    (0x19, "DB437UK0"),
    (0x1A, "DB850UK0"),
    (0x1B, "DB437US0"),
    (0x37, "DB850US0"),
    (0x57, "DBWINUS0"),
    (0x58, "DBWINWE0"),
    (0x59, "DBWINES0"),
    (0x64, "DB852"),
    (0x65, "DB866"),
    (0xC8, "DBWIN1250"),
    (0xC9, "DBWIN1251"),
    (0xCA, "DBWIN1254"),
    (0xCB, "DBWIN1253"),
]


class Measurer:
    def __init__(self, workdir):
        self.workdir = pathlib.Path(workdir)
        self.binary = self.workdir / "measure_collation"
        subprocess.run(["fpc", "-O1", "-FE" + str(self.workdir), "-Fu" + str(HERE),
                        str(HERE / "measure_collation.pas")],
                       check=True, stdout=subprocess.DEVNULL)

    def order(self, driver, keys):
        """Positions (0-based into keys) in TDbf's index order."""
        keyfile = self.workdir / "keys.txt"
        keyfile.write_text("".join(k.hex().upper() + "\n" for k in keys))
        out = subprocess.run([str(self.binary), "$%02X" % driver, str(self.workdir), str(keyfile)],
                             check=True, capture_output=True, text=True).stdout
        return [int(line) - 1 for line in out.split()]


def weights_from_runs(ascending, descending):
    """Weights 0..n from the order of bytes 0..255 written ascending and then
    descending: neighbours that swap places tie."""
    later_in_desc = {b: i for i, b in enumerate(descending)}
    weights = [0] * 256
    weight = 0
    for previous, current in zip(ascending, ascending[1:]):
        if later_in_desc[current] > later_in_desc[previous]:
            weight += 1
        weights[current] = weight
    weights[ascending[0]] = 0
    return weights


def model_order(weights, keys, width):
    def sort_key(i):
        padded = keys[i].ljust(width, b" ")
        return ([weights[b] for b in padded], i)
    return sorted(range(len(keys)), key=sort_key)


def check_model(m, driver, weights, keys):
    width = max(len(k) for k in keys)
    measured = m.order(driver, keys)
    expected = model_order(weights, keys, width)
    if measured != expected:
        bad = next(i for i, (a, b) in enumerate(zip(measured, expected)) if a != b)
        sys.exit("driver 0x%02X: not one weight per byte; at position %d TDbf has %r, the model %r"
                 % (driver, bad, keys[measured[bad]], keys[expected[bad]]))


def measure(m, driver):
    single = [bytes([b]) for b in range(256)]
    ascending = m.order(driver, single)
    descending = [255 - i for i in m.order(driver, single[::-1])]
    weights = weights_from_runs(ascending, descending)
    check_model(m, driver, weights, [bytes([a, b]) for a in range(256) for b in range(256)])
    rng = random.Random(driver)
    letters = b" -.0123456789aAbBeEfFsStTzZ" + bytes(range(0x80, 0x100))
    samples = [bytes(rng.choice(letters) for _ in range(rng.randint(1, 8))) for _ in range(20000)]
    check_model(m, driver, weights, samples)
    return weights


def c_table(name, weights, comment):
    rows = []
    for start in range(0, 256, 16):
        rows.append("    " + ", ".join("%3d" % w for w in weights[start:start + 16]) + ",")
    return "// %s\nconstexpr std::uint8_t %s[256] = {\n%s\n};\n" % (comment, name, "\n".join(rows))


def generate(m):
    today = datetime.date.today().isoformat()
    fpc = subprocess.run(["fpc", "-iV"], check=True, capture_output=True, text=True).stdout.strip()
    tables = []  # (weights, identifier, first name)
    entries = []
    for driver, name in DRIVERS:
        weights = measure(m, driver)
        if weights == list(range(256)):
            entries.append((driver, name, "kByteOrder"))
            continue
        for table_weights, ident, _ in tables:
            if table_weights == weights:
                break
        else:
            ident = "k" + name
            tables.append((weights, ident, name))
        entries.append((driver, name, ident))

    source = "measured: order of TDbf (Free Pascal %s, fp-units-db) indexes over all 256 byte values,\n" \
             "// tools script tests/tools/tdbf/measure_collation.pas, on %s" % (fpc, today)
    parts = [BEGIN, "\n"]
    for weights, ident, name in tables:
        parts.append(c_table(ident, weights, "%s, %s" % (name, source)))
        parts.append("\n")
    parts.append("// Drivers for which TDbf orders by byte value (%s).\n"
                 % ", ".join("0x%02X" % d for d, _, ident in entries if ident == "kByteOrder"))
    parts.append("constexpr DriverTable kDrivers[] = {\n")
    for driver, name, ident in entries:
        parts.append("    {0x%02X, \"%s\", %s},\n" % (driver, name, ident))
    parts.append("};\n")
    parts.append(END)
    return "".join(parts)


def main():
    text = TABLES.read_text()
    head, rest = text.split(BEGIN)
    _, tail = rest.split(END)
    with tempfile.TemporaryDirectory() as workdir:
        generated = generate(Measurer(workdir))
    new = head + generated + tail
    if "--check" in sys.argv:
        old_tables = text.split(BEGIN)[1].split(END)[0]
        strip = lambda s: "\n".join(l for l in s.splitlines() if " on 20" not in l)
        if strip(old_tables) != strip(generated.split(BEGIN)[1].split(END)[0]):
            sys.exit("CollationTables.cpp differs from what TDbf measures now")
        print("tables agree with TDbf")
        return
    TABLES.write_text(new)
    print("wrote", TABLES)


if __name__ == "__main__":
    main()
