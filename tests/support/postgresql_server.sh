#!/bin/sh
# A PostgreSQL server of its own for a test or benchmark run: initdb in a fresh temporary
# folder, the server listening only on a Unix socket in that folder. As root (CI), the
# cluster belongs to and the server runs as the unprivileged user "nobody".
#
# Usage: postgresql_server.sh start STATE_FOLDER [durable]
#        postgresql_server.sh stop STATE_FOLDER
# start writes STATE_FOLDER/postgresql.uri, the URI of the server's "postgres" database for
# the user "tarnik" (trusted, no password). Without "durable" the server does not flush to
# disk (tests need no crash safety); a benchmark asks for "durable" to measure the real cost.
# A server an interrupted run left behind (named in STATE_FOLDER) is stopped first.
set -eu
action=$1
state=$2
mode=${3:-}

bindir=
for dir in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -t/ -k4 -n -r); do
  if [ -x "$dir/initdb" ] && [ -x "$dir/pg_ctl" ]; then bindir=$dir; break; fi
done
if [ -z "$bindir" ]; then
  echo "postgresql_server.sh: no initdb/pg_ctl under /usr/lib/postgresql (install the package postgresql)" >&2
  exit 1
fi

as_owner() {
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups -- env HOME=/ "$@"
  else
    "$@"
  fi
}

stop_server() {
  [ -f "$state/postgresql.folder" ] || return 0
  folder=$(cat "$state/postgresql.folder")
  if [ -d "$folder/data" ]; then
    as_owner "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  case $folder in
    /tmp/tarnik-postgresql.*) rm -rf "$folder" ;;
  esac
  rm -f "$state/postgresql.folder" "$state/postgresql.uri"
}

case $action in
start)
  stop_server
  mkdir -p "$state"
  folder=$(mktemp -d /tmp/tarnik-postgresql.XXXXXX)
  echo "$folder" >"$state/postgresql.folder"
  if [ "$(id -u)" = 0 ]; then
    chown nobody:nogroup "$folder"
  fi
  flush="-c fsync=off -c synchronous_commit=off -c full_page_writes=off"
  [ "$mode" = durable ] && flush=""
  if ! as_owner "$bindir/initdb" -D "$folder/data" -A trust -U tarnik -E UTF8 --locale=C.UTF-8 \
         --no-sync >"$folder/initdb.log" 2>&1; then
    cat "$folder/initdb.log" >&2
    stop_server
    exit 1
  fi
  if ! as_owner "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
         -o "-k $folder -c listen_addresses='' $flush" start >/dev/null; then
    cat "$folder/server.log" >&2
    stop_server
    exit 1
  fi
  echo "postgresql://tarnik@/postgres?host=$folder" >"$state/postgresql.uri"
  echo "PostgreSQL server ($bindir) on the socket in $folder"
  ;;
stop)
  stop_server
  ;;
*)
  echo "usage: postgresql_server.sh start|stop STATE_FOLDER [durable]" >&2
  exit 2
  ;;
esac
