#!/usr/bin/env bash
# Rebuilds the binary layout fixtures in tests/data/stream from their text
# sources with Free Pascal's converter (fp-compiler). Run by hand after
# changing a text source; the test build does not need fpc.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
data="$here/../../data/stream"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fpc -O2 -FE"$work" "$here/fpstream.pas" >/dev/null
"$work/fpstream" tobin "$data/values.bin" "$data/values.txt"
"$work/fpstream" tobin "$data/sheet.sto" "$data/sheet-1.txt" "$data/sheet-2.txt" "$data/sheet-3.txt"
"$work/fpstream" tobin "$data/label.eti" "$data/label.txt"
