#!/bin/bash
# scripts/fuzz.sh must end with a non-zero status when a target finds
# something, and with 0 when none does. Stand-in targets play both parts: one
# that finds nothing, one that leaves an input where libFuzzer leaves its
# findings and fails as libFuzzer does.
set -u
fuzz_script="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/fuzz"
cat >"$scratch/fuzz/fuzz_Quiet" <<'TARGET'
#!/bin/bash
echo "stat::number_of_executed_units: 10"
TARGET
cat >"$scratch/fuzz/fuzz_Finder" <<'TARGET'
#!/bin/bash
for word in "$@"; do
  case "$word" in -artifact_prefix=*) prefix="${word#-artifact_prefix=}" ;; esac
done
echo crash >"${prefix}crash-0"
exit 77
TARGET
chmod +x "$scratch"/fuzz/fuzz_*

failed=0
if ! bash "$fuzz_script" "$scratch" 1 1 Quiet >/dev/null 2>&1; then
  echo "a run that found nothing ended with a non-zero status"
  failed=1
fi
if bash "$fuzz_script" "$scratch" 1 2 >/dev/null 2>&1; then
  echo "a run with a finding ended with status 0"
  failed=1
fi
exit "$failed"
