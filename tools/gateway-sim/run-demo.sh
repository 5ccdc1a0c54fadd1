#!/usr/bin/env bash
# Starts the gateway stand-in for a demo: sample files for every catalogue
# item (made once, from the build's seed catalogue, and again after the
# catalogue or the sample maker changed), the account demo/demo, on
# 127.0.0.1. Usage: run-demo.sh BUILD_DIR [PORT]   (PORT 0 picks a free one;
# the port is printed as "PORT <n>"). The program runs in the foreground.
# Making the samples draws pictures, so it needs a display.
set -euo pipefail
build="${1:?usage: run-demo.sh BUILD_DIR [PORT]}"
port="${2:-8443}"
sim="$build/tools/gateway-sim/gateway-sim"
maker="$build/tools/gateway-sim/gateway-samples"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/tidewright-gateway"
samples="$cache/samples"
mkdir -p "$cache"
if [ ! -d "$samples" ] || [ "$build/resources/zir.db" -nt "$samples" ] || [ "$maker" -nt "$samples" ]; then
  # Made beside the old ones and put in place whole, so that an interrupted
  # run leaves no half set behind.
  rm -rf "$samples.new"
  "$maker" --db "$build/resources/zir.db" --out "$samples.new" >&2
  rm -rf "$samples"
  mv "$samples.new" "$samples"
fi
printf 'demo\tdemo\t25.00\n' > "$cache/accounts"
exec "$sim" --root "$samples" --port "$port" --accounts "$cache/accounts"
