#!/usr/bin/env bash
# Start-up cost of sysquill-agent: it says hello and ends at the end of its
# input, so a run with empty input is one start, handshake and exit.
# usage: bench/agent_start.sh [path/to/sysquill-agent]
set -euo pipefail
agent=${1:-build/release/app/sysquill-agent}
command -v hyperfine >/dev/null || { echo "hyperfine is not installed" >&2; exit 1; }
hyperfine --warmup 5 --runs "${RUNS:-50}" "$agent --stdio < /dev/null"
