#!/usr/bin/env bash
# Fails when a file of src/ outside src/document changes the book behind the
# document's back: a write of the store (`dataModel()` followed by one of its
# write methods, or the store held in a variable to write through), a cache
# builder or refresher, or a hand-made change notice. Windows change the book
# only through CV4Document's operations, which do their own cache work and
# name what changed. Reads of the store (find..., forEach..., get...) may stay.
set -euo pipefail
cd "$(dirname "$0")/.."

files=$(find src \( -name '*.h' -o -name '*.cpp' \) ! -path 'src/document/*')

writes='(put|remove|move|set|create|begin|commit|rollback|vacuum|open|save|close|insert|update|delete|run|execute|expand|reopen)[A-Za-z0-9_]*'
store="dataModel\(\) *-> *${writes} *\(|CV4DataModel *\*|auto *\*? *[A-Za-z_][A-Za-z0-9_]* *= *[^;]*dataModel\(\) *;"
cache='\b(createCache|createCacheFor|createCacheIfDirty|clearCache|addCacheItem|refreshCurrencyCache|refreshBrandCache|refreshActualGroupCache|recalcMonthlyCache|brandPriceChanged|currencyRateChanged|postNotification) *\('

hits=$(grep -nE "$store|$cache" $files | grep -vE '^[^:]+:[0-9]+: *//' || true)

if [[ -n "$hits" ]]; then
  echo "errands outside the document (change the book through a CV4Document operation):" >&2
  echo "$hits" >&2
  exit 1
fi
echo "errands: every change goes through the document"
