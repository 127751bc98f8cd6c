# A private stage for running the Windows program as a player would, sourced by
# scripts/test-windows-app and bench/windows: an X display of its own (Xvfb), a Wine prefix of
# its own and loopback web servers (nginx), all in one scratch folder and all ended on exit. Only
# processes started here are ever ended; Wine's server is ended through this prefix alone.
#
# After `session_start`: $session (the scratch folder), DISPLAY, WINEPREFIX. After
# `session_player_start` also a second prefix for an unprivileged player (see there).

session=
session_pids=()
# The unprivileged player's HOME (its prefix inside), once session_player_start has made it.
session_player_home=
# Set while session_run is to start programs as the player, in the player's prefix.
session_player=
session_player_command=()

session_cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "$session_player_home" ] && [ -d "$session_player_home/prefix" ]; then
    session_as_player wineserver -k >/dev/null 2>&1 || true
    session_as_player wineserver -w >/dev/null 2>&1 || true
  fi
  local pid
  for pid in "${session_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${session_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  [ -z "$session" ] || [ -n "${ZORVANE_KEEP_SESSION:-}" ] || rm -rf "$session"
}

# session_start: the display, then the prefix. The Wine prefix takes about ten seconds.
session_start() {
  session=$(mktemp -d "${TMPDIR:-/tmp}/zorvane-wine-run.XXXXXX")
  # nginx's workers run as another user when started as root: the served folders must be
  # readable by others.
  chmod 755 "$session"
  trap session_cleanup EXIT
  trap 'exit 143' TERM INT

  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$session/display" >/dev/null \
    2>"$session/xvfb.log" &
  session_pids+=($!)
  local i
  for i in $(seq 1 100); do
    [ -s "$session/display" ] && break
    sleep 0.1
  done
  [ -s "$session/display" ] || { echo "wine session: Xvfb did not start" >&2; return 1; }
  DISPLAY=":$(cat "$session/display")"
  export DISPLAY

  export WINEPREFIX="$session/prefix" WINEARCH=win64 WINEDEBUG=-all
  # No Mono or Gecko installers: the prefix needs neither.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  unset WAYLAND_DISPLAY
  session_prefix_init "$session" ""
}

# session_prefix_init FOLDER RUNNER: makes the Wine prefix that RUNNER (empty: this shell's user,
# else a function that runs a command as another) uses; web addresses opened there are written
# to FOLDER/opened-sites.
session_prefix_init() {
  local folder=$1 runner=$2
  $runner wine wineboot --init >"$folder/wineboot.log" 2>&1 || true
  $runner wineserver -w
  # Web addresses opened through the shell are written to a file instead of reaching a browser
  # of the machine.
  cat >"$folder/browser" <<SCRIPT
#!/bin/sh
echo "\$1" >>"$folder/opened-sites"
SCRIPT
  chmod 755 "$folder/browser"
  $runner wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$folder/browser" /f \
    >/dev/null 2>&1
  $runner wineserver -w
  # There is no window manager: Wine places and focuses its windows itself instead of waiting
  # for one (it would wait up to a second on every window that hides).
  $runner wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  $runner wineserver -w
  # One Wine server for the whole run, so each program starts warm.
  $runner wineserver -p
}

# session_as_player COMMAND...: runs COMMAND as the unprivileged user nobody (no groups), with the
# player's HOME and Wine prefix.
session_as_player() {
  "${session_player_command[@]}" "$@"
}

# session_player_start: the player, a user who cannot write what root owns, with a HOME and a
# Wine prefix of its own under $session, on the session's display (about ten seconds).
session_player_start() {
  session_player_home=$session/player-home
  mkdir -p "$session_player_home"
  chown nobody:nogroup "$session_player_home"
  session_player_command=(setpriv --reuid=nobody --regid=nogroup --clear-groups
    env HOME="$session_player_home" WINEPREFIX="$session_player_home/prefix")
  session_prefix_init "$session_player_home" session_as_player
}

# session_trust_root PEM: adds the certificate authority PEM to the prefix's trusted roots as the
# registry keeps them (one added through the API is not kept): under its SHA-1, a Blob of
# property records, here one: property 32 (the encoded certificate), 1, its length (32-bit
# little-endian numbers), its bytes.
session_trust_root() {
  local der thumbprint
  der=$(openssl x509 -in "$1" -outform DER | od -An -v -tx1 | tr -d ' \n')
  thumbprint=$(openssl x509 -in "$1" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
  wine reg add "HKLM\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$thumbprint" \
    /v Blob /t REG_BINARY /f /d "2000000001000000$(printf '%08x' $((${#der} / 2)) |
      sed -E 's/(..)(..)(..)(..)/\4\3\2\1/')$der" >/dev/null
}

# session_token: a random text no other server on the machine could answer with.
session_token() {
  od -An -N16 -tx1 /dev/urandom | tr -d ' \n'
}

# session_wait_reply URL EXPECTED SECONDS [PID]: whether URL answers with the body EXPECTED
# within SECONDS. A port that merely accepts could belong to anything on the machine; only our
# server knows the token (so an https server's certificate need not be trusted for this).
# Gives up early when the process PID has ended.
session_wait_reply() {
  local url=$1 expected=$2 deadline=$((SECONDS + $3)) pid=${4:-} body
  while [ "$SECONDS" -le "$deadline" ]; do
    body=$(curl -s --insecure --max-time 1 "$url" 2>/dev/null || true)
    [ "$body" != "$expected" ] || return 0
    [ -z "$pid" ] || kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# session_serve NAME ROOT: nginx on a free loopback port serving ROOT, its access log (with the
# completion time of each request) in $session/NAME.log; sets served_address to its base address
# once it has answered with a token written for the purpose. Extra nginx directives for the
# server block may be given in SESSION_SERVE_EXTRA. With SESSION_SERVE_TLS=PATH it serves https
# with the certificate PATH.pem and its key PATH.key instead of http.
served_address=
# shellcheck disable=SC2034 # served_address is read by the caller
session_serve() {
  local name=$1 root=$2 port i token tls=${SESSION_SERVE_TLS:-} scheme=http
  local folder="$session/nginx-$name"
  [ -z "$tls" ] || scheme=https
  mkdir -p "$folder/logs"
  chmod 755 "$folder"
  chmod -R a+rX "$root"
  token=$(session_token)
  printf '%s' "$token" >"$folder/ready"
  chmod 644 "$folder/ready"
  for i in $(seq 1 20); do
    port=$((20000 + RANDOM % 40000))
    cat >"$folder/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $folder/nginx.pid;
error_log $folder/logs/error.log;
events { worker_connections 64; }
http {
  log_format timed '\$msec \$status \$body_bytes_sent \$request_uri';
  access_log $session/$name.log timed;
  default_type application/octet-stream;
  client_body_temp_path $folder/client_temp;
  proxy_temp_path $folder/proxy_temp;
  fastcgi_temp_path $folder/fastcgi_temp;
  uwsgi_temp_path $folder/uwsgi_temp;
  scgi_temp_path $folder/scgi_temp;
  server {
    listen 127.0.0.1:$port${tls:+ ssl};
    ${tls:+ssl_certificate $tls.pem; ssl_certificate_key $tls.key;}
    root $root;
    location = /ver.php { default_type text/plain; return 200 "1.0.2"; }
    location = /.session-ready { alias $folder/ready; access_log off; }
    ${SESSION_SERVE_EXTRA:-}
  }
}
CONF
    nginx -c "$folder/nginx.conf" -p "$folder" >/dev/null 2>>"$folder/logs/start.log" &
    local pid=$!
    # A port taken by someone else makes this nginx end; try another.
    if session_wait_reply "$scheme://127.0.0.1:$port/.session-ready" "$token" 5 "$pid"; then
      session_pids+=("$pid")
      served_address="$scheme://127.0.0.1:$port"
      return 0
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  echo "wine session: nginx did not start" >&2
  cat "$folder/logs/error.log" "$folder/logs/start.log" >&2 || true
  return 1
}

# session_run NAME FOLDER PROGRAM [ARGS...]: starts a Windows program under Wine in FOLDER (its
# current directory) in the background, as the player while session_player is set; writes
# $session/NAME.pid (the program's process) and, when the program has ended, $session/NAME.ended
# (the end time, seconds since the epoch).
session_run() {
  local name=$1 folder=$2
  shift 2
  rm -f "$session/$name.ended" "$session/$name.pid"
  (
    cd "$folder" || exit 1
    runner=()
    [ -z "$session_player" ] || runner=("${session_player_command[@]}")
    "${runner[@]}" wine "$@" >>"$session/$name.out" 2>&1 &
    echo $! >"$session/$name.pid.new"
    mv "$session/$name.pid.new" "$session/$name.pid"
    wait $! || true
    date +%s.%N >"$session/$name.ended"
  ) </dev/null >/dev/null 2>&1 &
  session_pids+=($!)
  session_wait_file "$session/$name.pid" 5
}

# session_end NAME: ends the program started as NAME (it is this session's own process).
session_end() {
  [ -f "$session/$1.pid" ] && kill "$(cat "$session/$1.pid")" 2>/dev/null || true
}

# session_running NAME: whether the program started as NAME is still running.
session_running() {
  [ ! -f "$session/$1.ended" ]
}

# session_wait_window TITLE SECONDS [STEP]: the id of the first visible window called TITLE
# exactly, looked for every STEP seconds (default 0.1); fails after SECONDS.
session_wait_window() {
  local title=$1 seconds=$2 step=${3:-0.1} id deadline
  deadline=$(($(date +%s) + seconds))
  while [ "$(date +%s)" -le "$deadline" ]; do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep "$step"
  done
  return 1
}

# session_wait_file FILE SECONDS
session_wait_file() {
  local _
  for _ in $(seq 1 $(($2 * 10))); do
    [ -e "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# session_key WINDOW KEY: focuses WINDOW and types KEY on it, as a person would.
session_key() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  xdotool key --clearmodifiers "$2"
}

# session_client WINDOW WIDTH HEIGHT: sets client_x and client_y to where a client area of that
# size lies inside WINDOW (Wine draws the frame itself: equal borders left, right and below, the
# caption above).
client_x=0
client_y=0
session_client() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  client_x=$(((WIDTH - $2) / 2))
  client_y=$((HEIGHT - $3 - client_x))
}

# session_click WINDOW X Y: a left click at X, Y of WINDOW's client area (session_client first).
session_click() {
  xdotool mousemove --window "$1" $((client_x + $2)) $((client_y + $3)) click 1
}

# session_shot WINDOW FILE [WIDTH HEIGHT]: a screenshot of the whole screen, cut to WINDOW, or to
# its client area of WIDTH x HEIGHT (session_client first).
session_shot() {
  # shellcheck disable=SC2034 # set by the eval, like all six
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  if [ $# -ge 4 ]; then
    import -window root -crop "${3}x${4}+$((X + client_x))+$((Y + client_y))" +repage "$2"
  else
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
  fi
}
