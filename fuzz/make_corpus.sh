#!/bin/sh
# Seeds the fuzzer with the hand-written RET pairs: header, separator, items.
set -e
src=$(dirname "$0")/../tests/data/ret
out=${1:?usage: make_corpus.sh <corpus folder>}
mkdir -p "$out"
for c in "$src"/C*.ret; do
    name=$(basename "$c" .ret | cut -c2-)
    { cat "$c"; printf '\n--ITEMS--\n'; cat "$src/I$name.ret"; } > "$out/$name"
done
