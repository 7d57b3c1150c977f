#!/usr/bin/env bash
# help_is_polish.sh PROGRAM
# `PROGRAM --help` (and, when it lists commands under "Polecenia:", each `PROGRAM COMMAND
# --help`) is Polish and fits a terminal: it starts with "Użycie: " (ours) or "Sposób
# użycia: " (Qt's command-line parser in Polish), carries none of the
# English headings ("Usage:", "Options:", "Commands:", "Arguments:", "Exit status") and no
# line reaches the 80th column (counted in characters, not bytes). Each fault is reported
# as one line on standard error.
set -euo pipefail
. "$(dirname "$0")/help_commands.sh"
program=$1
name=$(basename "$program")
faults=0

check() {  # check ARG... : the help of `PROGRAM ARG... --help`
  local help line number=0 heading
  help=$(QT_QPA_PLATFORM=offscreen "$program" "$@" --help)
  local what="$name${*:+ $*} --help"
  if [[ $help != "Użycie: "* && $help != "Sposób użycia: "* ]]; then
    echo "$what does not start with \"Użycie: \" nor \"Sposób użycia: \"" >&2
    faults=1
  fi
  for heading in "Usage:" "Options:" "Commands:" "Arguments:" "Exit status"; do
    if grep -qF -- "$heading" <<<"$help"; then
      echo "$what has the English heading \"$heading\"" >&2
      faults=1
    fi
  done
  while IFS= read -r line; do
    number=$((number + 1))
    local columns
    columns=$(printf %s "$line" | LC_ALL=C.UTF-8 wc -m)
    if [ "$columns" -ge 80 ]; then
      echo "$what line $number has $columns columns: $line" >&2
      faults=1
    fi
  done <<<"$help"
  if [ $# -eq 0 ]; then
    local command
    while read -r command; do
      check "$command"
    done < <(help_commands <<<"$help")
  fi
}
check
exit "$faults"
