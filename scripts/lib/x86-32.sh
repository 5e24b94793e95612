# Sourced by scripts/setup, scripts/test, scripts/demo and scripts/bench: whether this machine runs 32-bit x86
# programs, and how. Wine's 32-bit loader is one, so every 32-bit Windows program depends on the answer.
#   x86_32_mode         prints native, emulated or none: found out by running a tiny 32-bit program, never
#                       guessed from the kernel; "emulated" when a qemu-i386 handler of binfmt_misc took it
#   x86_32_emulate      installs qemu-user-static and registers its qemu-i386 handler (mounting binfmt_misc
#                       first where it is not); safe to run again
#   x86_32_unemulate    removes that handler again

x86_32_handler=/proc/sys/fs/binfmt_misc/qemu-i386

x86_32_mode() {
  local probe status
  probe=$(mktemp)
  # A 93-byte 32-bit x86 Linux program (ELF header, one program header, 9 bytes of code) that exits with
  # status 42 through the int 0x80 system call.
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\064\0\0\0\0\0\0\0\0\0\0\0\064\0\040\0\1\0\0\0\0\0\0\0' >"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\135\0\0\0\135\0\0\0\5\0\0\0\0\020\0\0' >>"$probe"
  printf '\061\333\263\052\061\300\100\315\200' >>"$probe"
  chmod 755 "$probe"
  status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  if [ "$status" != 42 ]; then
    echo none
  elif [ -f "$x86_32_handler" ] && head -n 1 "$x86_32_handler" | grep -qx enabled; then
    # binfmt_misc handlers are tried before the kernel's own ELF loader.
    echo emulated
  else
    echo native
  fi
}

x86_32_emulate() {
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if ! command -v qemu-i386-static >/dev/null; then
    $sudo apt-get install -y -qq --no-install-recommends qemu-user-static >/dev/null
  fi
  local misc=/proc/sys/fs/binfmt_misc
  if [ ! -e "$misc/register" ]; then
    $sudo mount -t binfmt_misc binfmt_misc "$misc"
  fi
  if [ ! -f "$x86_32_handler" ]; then
    # qemu's own magic and mask for i386 ELF executables; F opens the emulator now, so that it serves in
    # every mount namespace and chroot as well.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      $sudo tee "$misc/register" >/dev/null
  fi
  echo 1 | $sudo tee "$x86_32_handler" >/dev/null
}

x86_32_unemulate() {
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if [ -f "$x86_32_handler" ]; then echo -1 | $sudo tee "$x86_32_handler" >/dev/null; fi
}
