#!/usr/bin/env bash
# Fails when a file of src/ outside src/document goes behind the document's
# back: any use of the store (`store()`, its type or its header),
# a cache builder, refresher or roll-up, or a hand-made change notice. Windows change
# the book only through Book's operations, which do their own cache
# work and name what changed, and read stored records through its reads().
# Tests and benchmarks may still set books up in the store.
set -euo pipefail
cd "$(dirname "$0")/.."

files=$(find src \( -name '*.h' -o -name '*.cpp' \) ! -path 'src/document/*')

store="\bstore\(\)|\bBookStore\b"
cache='\b(accumulateAccount|createCache|createCacheFor|createCacheIfDirty|clearCache|refreshCurrencyCache|refreshSecurityCache|refreshCategoryGroupingCache|recalcMonthlyCache|securityPriceChanged|currencyRateChanged|postNotification) *\('

hits=$(grep -nE "$store|$cache" $files | grep -vE '^[^:]+:[0-9]+: *//' || true)

if [[ -n "$hits" ]]; then
  echo "errands outside the document (change and read the book through Book):" >&2
  echo "$hits" >&2
  exit 1
fi
echo "errands: every change goes through the document"
