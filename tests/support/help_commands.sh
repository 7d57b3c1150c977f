# Sourced by the checks of the programs' help texts.
# help_commands: reads a help text on standard input and prints its commands, one a line:
# the first word of each indented line under "Polecenia:".
help_commands() {
  sed -n '/^Polecenia:/,/^[^ ]/{/^  [a-z]/s/^ *\([a-z][a-z-]*\).*/\1/p}'
}
