#!/usr/bin/env bash
# man_lists_help_options.sh PROGRAM MAN_PAGE
# Every option that `PROGRAM --help` names (long "--name" and short "-x") must be named in the
# manual page MAN_PAGE (roff source). When the help lists commands (a "Polecenia:" section),
# each command's own `PROGRAM COMMAND --help` is read as well. A missing option is reported
# as "MAN_PAGE does not list OPTION (from `PROGRAM ... --help`)", one line each.
set -euo pipefail
. "$(dirname "$0")/help_commands.sh"
program=$1
page=$2
name=$(basename "$program")

# The options a help text names, one a line: a dash or two after a blank, "[", "(", "|" or ","
# and before a blank, "=", "]", ")", "," or the line's end.
options_in() {
  grep -oE '(^|[][ (|,])--?[A-Za-z][A-Za-z0-9-]*([] =),]|$)' |
    sed -E 's/^[][ (|,]//; s/[] =),]$//' | sort -u
}

# The page as text: roff's "\-" is a dash, font changes and "\&" go.
text=$(sed -E 's/\\-/-/g; s/\\f[BIRP]//g; s/\\&//g' "$page")
named_in_page() {
  grep -qE -- "(^|[^A-Za-z0-9-])$1([^A-Za-z0-9-]|$)" <<<"$text"
}

missing=0
check() {  # check ARG... : the options of `PROGRAM ARG... --help`
  local help option
  help=$(QT_QPA_PLATFORM=offscreen "$program" "$@" --help)
  [ -n "$help" ] || { echo "$name $* --help printed nothing" >&2; missing=1; return; }
  while read -r option; do
    [ -n "$option" ] || continue
    if ! named_in_page "$option"; then
      echo "$(basename "$page") does not list $option (from \`$name${*:+ $*} --help\`)" >&2
      missing=1
    fi
  done < <(options_in <<<"$help")
  if [ $# -eq 0 ]; then
    local command
    while read -r command; do
      check "$command"
    done < <(help_commands <<<"$help")
  fi
}
check
exit "$missing"
