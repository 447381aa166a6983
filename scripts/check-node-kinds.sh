#!/usr/bin/env bash
# Fails when a tree-node, entry or trade kind is written as a bare number
# outside src/model/DomainEnums.h: comparisons of a kind with a number, setKind
# with a number, the kind arguments of the tree walkers, and the case labels of
# a switch over a kind. Bank, brand, loan-row and print-row kinds are other
# things that share the spelling; their receivers are let through by name.
set -euo pipefail
cd "$(dirname "$0")/.."

files=$(find src bench fuzz tests \( -name '*.h' -o -name '*.cpp' \) ! -path src/model/DomainEnums.h)

pattern='(kind\(\)|\bm_kind|\bkind) *(==|!=|<=|>=|<|>) *[0-9]+|setKind\( *[0-9]+ *\)|(findFirstItem|fillMenu|findAccountOfKind)\([^;]*, *[0-9]+ *\)'
hits=$(grep -nE "$pattern" $files | grep -vE '\b(b|bank|loan|row)(->|\.)(kind\(\)|setKind\()' || true)

# `case N:` inside a switch whose subject names a kind, up to the switch's closing brace.
cases=$(awk '
    FNR == 1 { depth = 0; inside = 0 }
    {
        line = $0
        sub(/\/\/.*/, "", line)
        if (!inside && line ~ /switch *\(.*[kK]ind.*\)/) { inside = 1; start = depth }
        if (inside && line ~ /case +-?[0-9]+ *:/) print FILENAME ":" FNR ":" $0
        opens = gsub(/\{/, "{", line); closes = gsub(/\}/, "}", line)
        depth += opens - closes
        if (inside && depth <= start && closes > 0) inside = 0
    }' $files)

if [[ -n "$hits$cases" ]]; then
  echo "bare kind numbers (use cv::NodeKind, the classes' kind names or cv::EntryKind/TradeKind from model/DomainEnums.h):" >&2
  [[ -n "$hits" ]] && echo "$hits" >&2
  [[ -n "$cases" ]] && echo "$cases" >&2
  exit 1
fi
echo "node, entry and trade kinds: no bare numbers"
