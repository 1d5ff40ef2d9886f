#!/usr/bin/env bash
# Instructions of the remittance pass, counted by callgrind: the steady figure
# of its cost on a shared machine. bench_remittance --instrucoes runs the pass
# once headless, once headless with the checks and once in the window; the
# figures are those of VerificaArquivo under each (user-space instructions
# only: the kernel's reading and writing, the same for all three, are not
# counted; the window's paints follow the clock, which callgrind slows down).
#   bench/instrucoes_remessa.sh [build folder, default build-release] [MB, default 20]
set -euo pipefail
pasta=${1:-build-release}
mb=${2:-20}
saida=$(mktemp -d)
trap 'rm -rf "$saida"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$saida/cg.out" "$pasta/bench_remittance" --instrucoes "$mb" >/dev/null 2>"$saida/log" \
    || { cat "$saida/log" >&2; exit 1; }
# The callers of a function come in the lines before it, after a blank one.
callgrind_annotate --inclusive=yes --tree=caller "$saida/cg.out" 2>/dev/null | awk -v mb="$mb" '
    /^ *$/                                         { p = c = j = 0 }
    / < .*anonymous namespace\)::passa\(/          { gsub(",", "", $1); p = $1 }
    / < .*anonymous namespace\)::passaConferindo\(/ { gsub(",", "", $1); c = $1 }
    / < .*remessa::RenomeiaRemessa::/               { gsub(",", "", $1); j = $1 }
    / \* .*remessa::VerificaArquivo\(/              { plana = p; conferida = c; janela = j }
    END {
        if (!plana || !conferida || !janela) { print "callgrind gave no figures" > "/dev/stderr"; exit 1 }
        printf "file_size: %d MB\n", mb
        printf "instructions_headless: %d\n", plana
        printf "instructions_checked: %d\n", conferida
        printf "instructions_window: %d\n", janela
        printf "checks_cost_instructions: %.1f %%\n", (conferida / plana - 1) * 100
        printf "window_slower_than_headless_instructions: %.1f %%\n", (janela / plana - 1) * 100
        printf "window_slower_than_checked_instructions: %.1f %%\n", (janela / conferida - 1) * 100
    }'
