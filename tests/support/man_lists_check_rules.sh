#!/usr/bin/env bash
# man_lists_check_rules.sh TARNIK_CLI MAN_PAGE
# Every rule that `TARNIK_CLI check --help` lists (the id heading each line under
# "Reguły:") is named in the manual page MAN_PAGE (roff source) as a tagged paragraph's
# tag (".B id"). A missing rule is reported as "MAN_PAGE does not list the rule ID".
set -euo pipefail
program=$1
page=$2
help=$("$program" check --help)
rules=$(sed -n '/Reguły:$/,/^[^ ]/{s/^  \([a-z][a-z-]*\) .*/\1/p}' <<<"$help")
[ -n "$rules" ] || { echo "no rules under \"Reguły:\" in \`$(basename "$program") check --help\`" >&2; exit 1; }
# The page's tags as text: roff's "\-" is a dash.
tags=$(sed -n 's/\\-/-/g; s/^\.B \([a-z][a-z-]*\)$/\1/p' "$page")
missing=0
for rule in $rules; do
  if ! grep -qx -- "$rule" <<<"$tags"; then
    echo "$(basename "$page") does not list the rule $rule" >&2
    missing=1
  fi
done
exit "$missing"
