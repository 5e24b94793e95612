# Sourced by scripts/demo: makes the current Wine prefix look like a developer's machine, with fake trees on
# drive C: and their registry entries, written for the 32-bit view in which the 32-bit wizard reads them
# (on a 64-bit prefix that is where its "Software\WOW6432Node\..." paths lead):
#   - Visual Studio Community 2022 (an Uninstall entry with its InstallLocation; VC\Auxiliary\VS\ with
#     include\, lib\x86\, lib\x64\),
#   - Visual C++ 2010 (the side-by-side value "10.0" naming its VC\ folder with include\, lib\, lib\amd64\),
#   - Dev-C++ with a 64-bit MinGW-w64 tool chain (an Uninstall entry "Dev-C++" whose uninstaller lies in the
#     Dev-Cpp folder; MinGW64\bin\gcc.exe, a stand-in printing a real x86_64 posix seh msvcrt "gcc -v" report,
#     its runtime DLL libgcc_s_seh-1.dll, and x86_64-w64-mingw32\ with include\, lib\, lib32\).
#   demo_machine_prepare STANDIN_GCC_EXE   idempotent; needs WINEPREFIX and a running wineserver

demo_machine_prepare() {
  local standin_gcc=$1
  local drive_c=$WINEPREFIX/drive_c
  local uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

  local vs2022='Program Files/Microsoft Visual Studio/2022/Community'
  mkdir -p "$drive_c/$vs2022/VC/Auxiliary/VS/"{include,lib/x86,lib/x64}
  demo_reg_add "$uninstall\\GravoDemo.VisualStudio.2022" DisplayName 'Visual Studio Community 2022'
  demo_reg_add "$uninstall\\GravoDemo.VisualStudio.2022" InstallLocation "C:\\${vs2022//\//\\}"

  local vc2010='Program Files (x86)/Microsoft Visual Studio 10.0/VC'
  mkdir -p "$drive_c/$vc2010/"{include,lib/amd64}
  demo_reg_add 'HKLM\Software\Microsoft\VisualStudio\SxS\VC7' 10.0 "C:\\${vc2010//\//\\}\\"

  # C:\Dev-Cpp, a path without blanks: Wine's cmd.exe drops the quotes around a program path named without
  # its extension ("C:\...\bin\gcc"), so a tool chain below "Program Files (x86)" would never run its gcc.
  local devcpp='Dev-Cpp'
  mkdir -p "$drive_c/$devcpp/MinGW64/bin" "$drive_c/$devcpp/MinGW64/x86_64-w64-mingw32/"{include,lib,lib32}
  cp "$standin_gcc" "$drive_c/$devcpp/MinGW64/bin/gcc.exe"
  : >"$drive_c/$devcpp/MinGW64/bin/libgcc_s_seh-1.dll"
  demo_reg_add "$uninstall\\Dev-C++" DisplayName 'Dev-C++'
  demo_reg_add "$uninstall\\Dev-C++" UninstallString "C:\\${devcpp//\//\\}\\uninstall.exe"
}

# demo_reg_add KEY NAME TEXT: one string value, in the 32-bit view.
demo_reg_add() {
  "$GRAVO_WINE" reg add "$1" /v "$2" /t REG_SZ /d "$3" /f /reg:32 </dev/null >/dev/null 2>&1
}
