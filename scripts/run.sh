#!/usr/bin/env bash
# Installs what is missing, builds, then starts the demo central service and
# the workstation against it.  Program data (database, settings) go to ./run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

RUN_DIR="$PWD/run"
PORT="${TALVEX_DEMO_PORT:-8091}"
mkdir -p "$RUN_DIR"

if [ -x build/tools/demo_service/talvex_demo_service ]; then
  # Point the program at the demo service unless the operator set it up already.
  if [ ! -f "$RUN_DIR/TALVSrv.ini" ]; then
    printf '[RDService]\r\nAddr=127.0.0.1\r\nPort=%s\r\n' "$PORT" > "$RUN_DIR/TALVSrv.ini"
  fi
  build/tools/demo_service/talvex_demo_service --port "$PORT" \
    --fixtures tools/demo_service/fixtures --data "$RUN_DIR/service_data" &
  SERVICE_PID=$!
  trap 'kill $SERVICE_PID 2>/dev/null || true' EXIT
fi

build/src/shell/talvex --dir "$RUN_DIR" "$@"
