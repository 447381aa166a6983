#!/usr/bin/env bash
# Fails when a tree-node kind is written as a bare number outside
# src/model/DomainEnums.h: comparisons of a kind with a number, setKind with a
# number, and the kind arguments of the tree walkers. Entry, trade and bank
# kinds are checked too where they use the same spellings.
set -euo pipefail
cd "$(dirname "$0")/.."

pattern='(kind\(\)|\bm_kind|\bkind) *(==|!=|<=|>=|<|>) *[0-9]+|setKind\( *[0-9]+ *\)|(findFirstItem|fillPopUpButton|findAccountOfKind)\([^;]*, *[0-9]+ *\)'
hits=$(grep -rnE "$pattern" src bench fuzz tests/support --include='*.h' --include='*.cpp' \
         | grep -v '^src/model/DomainEnums.h:' \
         | grep -vE '(b|bank|loan|trade|entry|t|e|row)(->|\.)kind\(\)' || true)
if [[ -n "$hits" ]]; then
  echo "bare kind numbers (use cv::NodeKind from model/DomainEnums.h):" >&2
  echo "$hits" >&2
  exit 1
fi
echo "node kinds: no bare numbers"
