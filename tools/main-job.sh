#!/usr/bin/env bash
# The README's main job: installs what is missing and builds the release configuration, writes
# the sample data set, then runs every job of tools/main-job/*.job (in name order; the format is
# in tools/main-job/README.md) through `tendix run ... --script`, leaving each job's PDFs and
# transcript in a folder of its own under the output folder, whose path it prints at the end.
#   tools/main-job.sh            output in out/main-job (emptied first)
#   TDX_MAIN_JOB_OUT=DIR tools/main-job.sh
# Exit status 0 only when every job ran (tendix exit 0) and left the PDFs it names.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${TDX_MAIN_JOB_OUT:-$top/out/main-job}

"$top/tools/setup.sh" release
tendix="$top/build/release/core/tendix"
[[ -x "$tendix" ]] || { echo "main job: $tendix was not built" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
data="$out/data"
echo "main job: writing the sample data set into $data"
"$tendix" sample "$data" >"$out/sample.log" 2>&1 || { cat "$out/sample.log" >&2; exit 1; }

failed=0
ran=0
shopt -s nullglob
for job in "$top"/tools/main-job/*.job; do
  name=$(basename "$job" .job)
  dir="$out/$name"
  mkdir -p "$dir"
  export_name=""
  sets=()
  pdfs=()
  in_script=0
  : >"$dir/script.txt"
  while IFS= read -r line || [[ -n "$line" ]]; do
    if ((in_script)); then
      printf '%s\n' "$line" >>"$dir/script.txt"
      continue
    fi
    read -r word rest <<<"$line" || true
    case "$word" in
      "" | \#*) ;;
      export) export_name=$rest ;;
      set) sets+=(--set "$rest") ;;
      pdf) pdfs+=("$rest") ;;
      script) in_script=1 ;;
      *) echo "main job: $job: unknown line: $line" >&2; export_name=""; break ;;
    esac
  done <"$job"
  ran=$((ran + 1))
  if [[ -z "$export_name" || $in_script -eq 0 ]]; then
    echo "main job: $name: FAILED (the job file needs an export line and a script line)" >&2
    failed=$((failed + 1))
    continue
  fi
  # Each run starts from the sample's own settings; the data files are only read.
  rc=0
  "$tendix" run "$export_name" "${sets[@]}" --data "$data" --script "$dir/script.txt" \
    --out "$dir" >"$dir/transcript.txt" 2>"$dir/stderr.txt" || rc=$?
  missing=()
  if ((${#pdfs[@]})); then
    for p in "${pdfs[@]}"; do [[ -s "$dir/$p" ]] || missing+=("$p"); done
  else
    found=("$dir"/*.pdf)
    ((${#found[@]})) || missing+=("a PDF")
  fi
  if ((rc != 0 || ${#missing[@]})); then
    echo "main job: $name: FAILED (tendix exit $rc${missing[*]:+, missing ${missing[*]}})" >&2
    sed 's/^/  /' "$dir/stderr.txt" >&2
    failed=$((failed + 1))
  else
    echo "main job: $name: $(cd "$dir" && ls ./*.pdf | sed 's|^\./||' | tr '\n' ' ')"
  fi
done

if ((ran == 0)); then
  echo "main job: no job files in tools/main-job" >&2
  exit 1
fi
echo "main job: $((ran - failed)) of $ran jobs ran; PDFs and transcripts in:"
echo "$out"
((failed == 0))
