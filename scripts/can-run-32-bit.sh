#!/usr/bin/env bash
# Says whether this machine runs 32-bit x86 programs, which Wine needs for the
# 32-bit launcher: whether it may is the kernel's choice, and it varies from
# machine to machine. Runs a tiny static i386 Linux program that exits with 42.
#
#   scripts/can-run-32-bit.sh   exit 0: it runs; exit 1: it does not, and one
#                               line on standard output says why
set -uo pipefail
program=$(mktemp)
trap 'rm -f "$program"' EXIT
{
  # ELF identification: 32-bit, little-endian, version 1, System V.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  # Executable for i386, version 1, entry 0x08048054 (right after the two
  # headers), program headers at 52, no sections, header sizes 52 and 32, one
  # program header.
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00'
  printf '\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  # One loadable segment: the whole file (96 bytes) at 0x08048000, read and execute.
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  # mov eax, 1 (exit); mov ebx, 42; int 0x80
  printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'
} >"$program"
chmod +x "$program"

error=$("$program" 2>&1)
status=$?
[ "$status" -eq 42 ] && exit 0
# The shell's message ends with the system's reason ("Exec format error").
reason=${error##*: }
echo "this machine cannot run 32-bit x86 programs (${reason:-exit code $status})"
exit 1
