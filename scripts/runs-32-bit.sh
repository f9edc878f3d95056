#!/usr/bin/env bash
# Exits 0 when this kernel runs 32-bit x86 programs, which Wine's 32-bit side
# needs. It runs a minimal 32-bit Linux program (an ELF header, one program
# header and three instructions: exit with status 42) and checks its status.
# Otherwise it prints why not and exits 1.
set -uo pipefail

program=$(mktemp "${TMPDIR:-/tmp}/runs-32-bit.XXXXXX") || exit 1
trap 'rm -f "$program"' EXIT
# 52-byte ELF header, i386, entry point 0x08048054.
elf_header='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
elf_header+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
elf_header+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
# One loadable segment: the whole 96-byte file at 0x08048000, readable and executable.
program_header='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
program_header+='\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
# mov eax, 1 (exit); mov ebx, 42; int 0x80
code='\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'
printf '%b' "$elf_header$program_header$code" >"$program"
chmod +x "$program"

"$program" 2>/dev/null
status=$?
if ((status == 42)); then
  exit 0
fi
echo "this kernel does not run 32-bit programs (a 32-bit test program ended with status $status)"
exit 1
