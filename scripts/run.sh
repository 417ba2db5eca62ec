#!/usr/bin/env bash
# Starts the program in its run folder, handing it the remaining words as its
# command line. The program reads its game data relative to its working
# directory, so the run folder holds the generated data; the player's own
# files go to the user folder (~/.local/share/Novaliths).
set -euo pipefail
build_dir=$1
run_dir="$build_dir/run"
mkdir -p "$run_dir"

# A build without the program (a partial checkout) has nothing to start.
if [[ -x "$build_dir/game/main/novaliths" ]]; then
  cd "$run_dir" && exec ../game/main/novaliths "${@:2}"
fi
echo "Built the libraries in $build_dir; the program itself is not built yet."
