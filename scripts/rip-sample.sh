#!/usr/bin/env bash
# The newcomer's first command: installs what is missing, builds the
# project, registers the control in the per-user class registry, and rips
# a disc with vynrip: the disc in this machine's CD drive when it has one
# that answers, otherwise the sample disc the build generates, played by
# the virtual drive. The WAV files go to ./ripped (or the folder given);
# running it again replaces them.
#
#   scripts/rip-sample.sh [output-folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=$(realpath -m "${1:-ripped}")
build="$root/build/release"

"$root/scripts/install-deps.sh"

echo "=== Building into $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target vynctl vynregsvr vynrip wnaspi32 sample_disc

echo "=== Registering the control (${VYN_REGISTRY:-${XDG_DATA_HOME:-$HOME/.local/share}/vyn/classes.reg})"
"$build/bin/vynregsvr" "$build/lib/libvynctl.so"

# A CD drive that answers: its device node opens for reading.
real_drive=""
for device in /dev/sr[0-9]*; do
  if [ -b "$device" ] && [ -r "$device" ] && (exec 3<"$device") 2>/dev/null; then
    real_drive=$device
    break
  fi
done

if [ -n "$real_drive" ]; then
  echo "=== Ripping the disc in $real_drive"
  "$build/bin/vynrip" toc || true
  status=0
  "$build/bin/vynrip" rip -o "$output" --overwrite || status=$?
else
  cue="$build/share/sample-disc/sample.cue"
  echo "=== No CD drive here: ripping the sample disc $cue through the virtual drive"
  export LD_LIBRARY_PATH="$build/lib/virtual${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
  export VYN_VIRTUAL_DRIVES="$cue"
  "$build/bin/vynrip" toc
  status=0
  "$build/bin/vynrip" rip -o "$output" --overwrite || status=$?
fi

if [ "$status" -eq 0 ]; then
  echo "=== Done. The WAV files are in $output:"
  ls -1 "$output"
else
  echo "=== vynrip ended with status $status; what was ripped is in $output" >&2
fi
exit "$status"
