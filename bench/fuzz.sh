#!/bin/sh
# Fuzzes the window and project description readers with libFuzzer under ASan and UBSan, seeded
# with the real descriptions. Exits non-zero when the fuzzer finds a crash, a leak or undefined
# behaviour. Usage: bench/fuzz.sh [runs]   (default 200000 executions)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-200000}
work=${FUZZ_WORK:-$root/build/fuzz}
mkdir -p "$work/seeds" "$work/corpus"

python3 "$root/tools/make_form_data.py" --form "$root/app/form1.frm.txt" --out-dir "$work/generated"
cp "$work/generated/form1.bin" "$work/generated/project.bin" "$work/seeds/"

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root" "$root/bench/fuzz_description.cpp" "$root/runtime/window_description.cpp" \
    "$root/runtime/project_description.cpp" "$root/runtime/description_bytes.cpp" \
    "$root/runtime/description_values.cpp" "$root/platform/text.cpp" \
    "$root/tests/support/description_writers.cpp" -o "$work/fuzz_description"

cd "$work"
./fuzz_description -runs="$runs" -seed=1 -max_len=4096 -print_final_stats=1 corpus seeds

# The image machine reader, seeded with the test component built for this machine when there is one.
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root" "$root/bench/fuzz_image_machine.cpp" "$root/platform/pe_machine.cpp" -o "$work/fuzz_image_machine"
mkdir -p "$work/image-seeds" "$work/image-corpus"
for seed in "$root"/build/windows-*/tests/win32/tvxcomp.dll "$root"/build/windows-*/tervalux.exe; do
  if [ -f "$seed" ]; then head -c 4096 "$seed" >"$work/image-seeds/$(echo "$seed" | tr '/' '_')"; fi
done
./fuzz_image_machine -runs="$runs" -seed=1 -max_len=4096 -print_final_stats=1 image-corpus image-seeds
