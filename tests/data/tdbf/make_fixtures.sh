#!/usr/bin/env bash
# Rewrites the tables in this folder with Free Pascal's TDbf
# (tests/tools/tdbf/tdbfmake.pas): STOFFE (dBASE IV, DBWINWE0, memos, field
# and expression tags, deleted rows), NAMEN (a tag on UPPER(NAME1)), ALT3
# (dBASE III with memos), DOS437 and DOS850 (DOS drivers with umlauts).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tools="$here/../../tools/tdbf"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fpc -O1 -l- -v0 -FE"$work" -Fu"$tools" "$tools/tdbfmake.pas" >/dev/null
rm -f "$here"/*.DBF "$here"/*.dbt "$here"/*.mdx
"$work/tdbfmake" "$here"
ls -l "$here"
