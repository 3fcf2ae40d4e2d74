# Sourced by the scripts that run the window program under a virtual X
# display (the tests under tests/app/xvfb, the screen benchmarks in bench/).
#
# start_xvfb FIRST LAST GEOMETRY LOG [DISPLAY]
#   Starts Xvfb on DISPLAY (":58"), or else on the first free display number
#   from FIRST to LAST, with a screen of GEOMETRY ("1280x1024x24"), its output
#   to LOG, and waits up to 10 s for its socket. Sets `display` and `xvfb`
#   (its process). Returns 1, saying so, when no display number is free.
start_xvfb() {
  local first=$1 last=$2 geometry=$3 log=$4 n
  display=${5:-}
  if [ -z "$display" ]; then
    for n in $(seq "$first" "$last"); do
      if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
    done
  fi
  [ -n "$display" ] || { echo "no free display"; return 1; }
  Xvfb "$display" -screen 0 "$geometry" -nolisten tcp >"$log" 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
}
