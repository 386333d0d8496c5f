# Services for the tests, sourced by tools/test.sh. Each one runs on a loopback port under
# build/services and is stopped by services_stop. The tests find them through the environment:
#   TDX_SMTP_PORT, TDX_SMTP_MAILDIR   a real SMTP server (aiosmtpd) storing mail as a Maildir
#   TDX_PG_PORT, TDX_PG_USER, TDX_PG_PASSWORD, TDX_PG_DB   a PostgreSQL 15 server
services_dir="$top/build/services"

services_start() {
  rm -rf "$services_dir"
  mkdir -p "$services_dir"
  export TDX_SMTP_PORT=${TDX_SMTP_PORT:-2525}
  export TDX_SMTP_MAILDIR="$services_dir/mail"
  /usr/bin/python3 -m aiosmtpd -n -l "127.0.0.1:$TDX_SMTP_PORT" -c aiosmtpd.handlers.Mailbox \
    "$TDX_SMTP_MAILDIR" >"$services_dir/smtp.log" 2>&1 &
  echo $! >"$services_dir/smtp.pid"

  local pgbin=/usr/lib/postgresql/15/bin
  if [[ -x $pgbin/initdb ]]; then
    export TDX_PG_PORT=${TDX_PG_PORT:-55432} TDX_PG_USER=bo TDX_PG_PASSWORD=secret TDX_PG_DB=bodb
    local pgdata="$services_dir/pg" pgsock="$services_dir/pgsock" pglog="$services_dir/pglog"
    mkdir -p "$pgdata" "$pgsock" "$pglog"
    echo "$TDX_PG_PASSWORD" >"$services_dir/pgpw"
    chown -R postgres "$pgdata" "$pgsock" "$pglog" "$services_dir/pgpw"
    runuser -u postgres -- $pgbin/initdb -D "$pgdata" -U "$TDX_PG_USER" --pwfile="$services_dir/pgpw" \
      -E UTF8 --locale=C.UTF-8 --auth=scram-sha-256 >"$services_dir/initdb.log" 2>&1 ||
      { cat "$services_dir/initdb.log" >&2; return 1; }
    runuser -u postgres -- $pgbin/pg_ctl -w -D "$pgdata" -l "$pglog/pg.log" \
      -o "-p $TDX_PG_PORT -k $pgsock -c listen_addresses=127.0.0.1" start >/dev/null
    PGPASSWORD=$TDX_PG_PASSWORD psql -h 127.0.0.1 -p "$TDX_PG_PORT" -U "$TDX_PG_USER" -d postgres \
      -qc "CREATE DATABASE $TDX_PG_DB" >/dev/null
  fi
  # wait for the SMTP port
  for _ in $(seq 50); do
    (exec 3<>/dev/tcp/127.0.0.1/$TDX_SMTP_PORT) 2>/dev/null && break
    sleep 0.1
  done
}

services_stop() {
  if [[ -f "$services_dir/smtp.pid" ]]; then
    kill "$(cat "$services_dir/smtp.pid")" 2>/dev/null || true
  fi
  if [[ -d "$services_dir/pg" ]]; then
    runuser -u postgres -- /usr/lib/postgresql/15/bin/pg_ctl -D "$services_dir/pg" -m fast stop \
      >/dev/null 2>&1 || true
  fi
}
